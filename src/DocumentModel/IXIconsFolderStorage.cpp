#include "DocumentModel/IXIconsFolderStorage.h"

#include "Platform/Drawing/PLImage.h"
#include "Platform/XML/PLPropertyList.h"
#include "Platform/System/PLResources.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

QImage blankIcon()
{
    QImage image(22, 22, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

// An icon file's picture; SVG icons through the same sanitising as every other picture.
QImage readIcon(const QString& path)
{
    // Icons are small: a file far larger is no icon and is not read whole.
    constexpr qint64 MaximumIconBytes = qint64(16) << 20;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaximumIconBytes) return QImage();
    return PLImage::decodedImage(file.readAll());
}

}

IXIconsFolderStorage::IXIconsFolderStorage(QString folder) : m_folder(std::move(folder))
{
}

IXIconsFolderStorage& IXIconsFolderStorage::installShared()
{
    static IXIconsFolderStorage library(QDir(PLResources::directory()).filePath(QStringLiteral("branch_icons")));
    IXIconsStorage::install(&library);
    return library;
}

void IXIconsFolderStorage::load() const
{
    if (m_loaded) return;
    m_loaded = true;
    if (!QFileInfo(m_folder).isDir()) return;
    QFile list(QDir(m_folder).filePath(QStringLiteral("icons_list.plist")));
    if (!list.open(QIODevice::ReadOnly)) return;
    const QVariant root = PLPropertyList::read(list.read(PLPropertyList::MaxDataSize + 1));
    if (root.typeId() != QMetaType::QVariantMap) return;
    const QVariantMap map = root.toMap();
    const QVariantMap info = map.value(QStringLiteral("INFO_STORAGE")).toMap();
    for (const QVariant& value : map.value(QStringLiteral("ID_STORAGE")).toList()) {
        if (value.typeId() != QMetaType::QString) continue;
        const QString name = value.toString();
        if (name.isEmpty() || m_entries.contains(name)) continue;
        const QVariantMap entry = info.value(name).toMap();
        m_names.append(name);
        m_entries.insert(name, Entry{entry.value(QStringLiteral("ICON_FILE")).toString(),
                                     entry.value(QStringLiteral("ICON_TOOLTIP")).toString(), QImage(), false});
    }
}

QStringList IXIconsFolderStorage::names() const
{
    load();
    return m_names;
}

QString IXIconsFolderStorage::tooltipForName(const QString& name) const
{
    load();
    return m_entries.value(name).tooltip;
}

QImage IXIconsFolderStorage::loadIcon(const QString& file) const
{
    // Only plain file names inside the folder are read.
    if (file.isEmpty() || file.contains(QLatin1Char('/')) || file == QStringLiteral("..")) return blankIcon();
    const QDir folder(m_folder);
    const QFileInfo info(file);
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    QImage image = readIcon(folder.filePath(info.completeBaseName() + QStringLiteral("@2x") + suffix));
    if (!image.isNull()) {
        image.setDevicePixelRatio(2.0);
        return image;
    }
    image = readIcon(folder.filePath(file));
    if (image.isNull()) return blankIcon();
    image.setDevicePixelRatio(1.0);
    return image;
}

QImage IXIconsFolderStorage::iconForName(const QString& name)
{
    load();
    auto found = m_entries.find(name);
    if (found == m_entries.end()) return QImage();
    if (!found->loaded) {
        found->image = loadIcon(found->file);
        found->loaded = true;
    }
    return found->image;
}
