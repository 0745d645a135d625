#pragma once

#include "Platform/Drawing/PLSize.h"

#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

// What the map's cells need of the icon library, which lives with the inspectors: the
// pictures of the icon names that branches carry. The library implements this interface and
// installs itself at start-up; tests install a fake or the library itself.
class IXIconsStorage {
public:
    virtual ~IXIconsStorage();

    // The installed library, or null when none is installed (then no icon is drawn).
    static IXIconsStorage* sharedStorage();
    // Installs the library (null uninstalls); the caller keeps ownership.
    static void install(IXIconsStorage* storage);

    // Every icon is drawn at this size in points.
    static PLSize iconSize() { return PLSize(16, 16); }

    // The icon names in display order.
    virtual QStringList names() const = 0;
    // The picture of an icon, read on first use and kept; a null image for a name the
    // library does not know, and then nothing is drawn.
    virtual QImage iconForName(const QString& name) = 0;
    // The pictures of the names, in order, skipping names without a picture.
    QList<QImage> iconsForNames(const QStringList& names);
};
