#pragma once

// Styles made of a few attributes, renders of frames and lines into small y-up images, and
// the contact sheets of every kind, saved under the build tree's "renders" folder.

#include "DocumentModel/IXStyleNode.h"
#include "Platform/RenderTestSupport.h"

#include <QDir>
#include <QImage>
#include <QString>

#include <initializer_list>
#include <memory>
#include <utility>

// A detached node style holding exactly the given attributes.
inline std::shared_ptr<IXStyleNode> styleWith(std::initializer_list<std::pair<const char*, IXStyleValue>> attributes)
{
    auto style = std::make_shared<IXStyleNode>();
    for (const auto& [name, value] : attributes) style->setValue(value, QString::fromLatin1(name));
    return style;
}

inline IXStyleValue colorValue(const PLColor& color) { return IXStyleValue::color(color); }

// Saves an image that is always meant to be looked at as "renders/<name>.png".
inline void saveRender(const QImage& image, const QString& name)
{
    QDir().mkpath(QStringLiteral("renders"));
    image.save(QStringLiteral("renders/%1.png").arg(name));
}

// The pixel at (x, y) of a y-up image (row 0 at the bottom), unpremultiplied.
inline QColor pixelAt(const QImage& image, int x, int y) { return image.pixelColor(x, image.height() - 1 - y); }

// Whether any pixel of the y-up rectangle of the image is painted.
inline bool anyPainted(const QImage& image, int x0, int y0, int x1, int y1)
{
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (pixelAt(image, x, y).alpha() > 0) return true;
    return false;
}

// Whether any pixel of the image outside the y-up rectangle is painted.
inline bool paintedOutside(const QImage& image, int x0, int y0, int x1, int y1)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((x < x0 || x >= x1 || y < y0 || y >= y1) && pixelAt(image, x, y).alpha() > 0) return true;
    return false;
}
