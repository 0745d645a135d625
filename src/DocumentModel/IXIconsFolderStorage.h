#pragma once

#include "DocumentModel/IXIconsStorage.h"

#include <QHash>
#include <QImage>
#include <QString>
#include <QStringList>

// The icon library: the icons that exist, read once from a folder holding the pictures and
// the list "icons_list.plist", a dictionary with "ID_STORAGE" (the names in display order)
// and "INFO_STORAGE" (name -> {"ICON_FILE": picture file name in the folder,
// "ICON_TOOLTIP": tooltip}). A picture "<base>@2x.<ext>" beside a file is used for
// high-resolution screens. The names are what branches store.
//
// A missing folder or an unreadable list leaves the library empty; a known name whose
// picture is missing or unreadable shows a blank 22 x 22 picture. Main thread only.
class IXIconsFolderStorage : public IXIconsStorage {
public:
    // The library over the folder; nothing is read until first asked.
    explicit IXIconsFolderStorage(QString folder);

    // The process-wide library over resources/branch_icons, made on first use and installed
    // as the shared icon storage.
    static IXIconsFolderStorage& installShared();

    QString folder() const { return m_folder; }
    QStringList names() const override;
    QImage iconForName(const QString& name) override;
    QString tooltipForName(const QString& name) const;

private:
    struct Entry {
        QString file;
        QString tooltip;
        QImage image;
        bool loaded = false;
    };
    void load() const;
    QImage loadIcon(const QString& file) const;

    QString m_folder;
    mutable bool m_loaded = false;
    mutable QStringList m_names;
    mutable QHash<QString, Entry> m_entries;
};
