#include "DocumentWindow/IXTemplateStorage.h"

#include "DocumentWindow/IXPreferences.h"
#include "DocumentWindow/IXTemplateFolder.h"
#include "DocumentWindow/IXTemplateItem.h"
#include "Platform/Core/PLNotificationCenter.h"
#include "Platform/Drawing/PLImage.h"
#include "Platform/Drawing/PLNamedImages.h"
#include "Platform/System/PLLocalizedStrings.h"
#include "Platform/System/PLResources.h"
#include "Platform/XML/PLPropertyList.h"
#include "Utilities/UTZipArchive.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QStandardPaths>

#include <algorithm>

const QString IXTemplateStorage::StateDidChangeNotification
    = QStringLiteral("IXTemplateStorageStateDidChangeNotification");
const QString IXTemplateStorage::CategoriesKey = QStringLiteral("Categories");
const QString IXTemplateStorage::ItemsKey = QStringLiteral("Templates");
const QString IXTemplateStorage::UserTemplatesFolderKey = QStringLiteral("IXUserTemplatesFolder");

namespace {

IXTemplateStorage* s_shared = nullptr;

// Lists and pictures beyond these sizes are no template pack's.
constexpr qint64 MaximumListSize = 4 << 20;
constexpr qint64 MaximumPreviewSize = 32 << 20;

QByteArray readFile(const QString& path, qint64 maximumSize)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > maximumSize) return {};
    return file.readAll();
}

QImage pictureFile(const QString& path, double ratio)
{
    if (!QFileInfo(path).isFile()) return {};
    QImage image = PLImage::decodedImage(readFile(path, MaximumPreviewSize));
    if (!image.isNull()) image.setDevicePixelRatio(ratio);
    return image;
}

QVariantMap userItemAttributes(const QString& path)
{
    const QFileInfo info(path);
    return {{IXTemplateItem::FileNameKey, info.fileName()}, {IXTemplateItem::TitleKey, info.completeBaseName()}};
}

}  // namespace

IXTemplateStorage::IXTemplateStorage(const QString& resourcesDirectory)
    : m_resources(resourcesDirectory.isEmpty() ? PLResources::directory() : resourcesDirectory)
{
}

IXTemplateStorage::~IXTemplateStorage()
{
    if (IXTemplateStoring::shared() == this) IXTemplateStoring::install(nullptr);
    if (s_shared == this) s_shared = nullptr;
}

IXTemplateStorage& IXTemplateStorage::sharedStorage()
{
    if (!s_shared) {
        s_shared = new IXTemplateStorage;
        s_shared->load();
        IXTemplateStoring::install(s_shared);
    }
    return *s_shared;
}

bool IXTemplateStorage::isSupportedType(const QString& path)
{
    const QString extension = QFileInfo(path).suffix().toLower();
    return extension == QLatin1String("ixp") || extension == QLatin1String("ixd");
}

QString IXTemplateStorage::userTemplatesFolderPath()
{
    const QString stored = IXPreferences::value(UserTemplatesFolderKey).toString();
    if (!stored.isEmpty()) return stored;
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
        + QStringLiteral("/Ideaflux/User Templates");
}

void IXTemplateStorage::load()
{
    m_items.clear();
    m_categories.clear();
    m_dynamics.clear();
    for (const QString& pack : {QStringLiteral("Default.pack"), QStringLiteral("Templates.pack")}) {
        const QString path = QDir(m_resources).filePath(pack);
        if (QFileInfo(path).isDir()) loadFromPath(path);
    }
    const QString userFolder = userTemplatesFolderPath();
    if (QFileInfo(userFolder).isDir()) loadUserTemplates(userFolder);

    QStringList all;
    QSet<QString> listed;
    for (const auto& folder : std::as_const(m_categories))
        for (const QString& path : folder->pathes())
            if (!listed.contains(path)) {
                listed.insert(path);
                all.append(path);
            }
    m_categories.insert(
        0, std::make_shared<IXTemplateFolder>(this, PLLocalizedStrings::string(QStringLiteral("All")), all));
    m_categories.insert(1, IXTemplateFolder::separatorFolder(this));
    // Between the first category and the others; never two in a row or one at the end.
    if (m_categories.size() > 3 && !m_categories[3]->isSeparator())
        m_categories.insert(3, IXTemplateFolder::separatorFolder(this));
}

void IXTemplateStorage::loadFromPath(const QString& packPath)
{
    const QDir pack(packPath);
    const QVariant list
        = PLPropertyList::read(readFile(pack.filePath(QStringLiteral("templates.plist")), MaximumListSize));
    const QVariantMap templates = list.toMap().value(ItemsKey).toMap();
    const QVariantMap categories = list.toMap().value(CategoriesKey).toMap();

    QHash<QString, QString> pathForKey;
    for (auto entry = templates.begin(); entry != templates.end(); ++entry) {
        QVariantMap attributes = entry.value().toMap();
        const QString fileName = attributes.value(IXTemplateItem::FileNameKey).toString();
        // Only a file of the pack itself.
        if (fileName.isEmpty() || fileName.contains(QLatin1Char('/')) || fileName.startsWith(QLatin1Char('.')))
            continue;
        const QString path = pack.filePath(fileName);
        if (!QFileInfo(path).isFile()) continue;
        attributes.insert(IXTemplateItem::AbsolutePathKey, path);
        addItem(path, attributes);
        pathForKey.insert(entry.key(), path);
    }

    QStringList keys = categories.keys();
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::stable_sort(keys.begin(), keys.end(),
                     [&collator](const QString& a, const QString& b) { return collator.compare(a, b) < 0; });
    for (const QString& key : keys) {
        const QVariantMap category = categories.value(key).toMap();
        QStringList paths;
        for (const QVariant& templateKey : category.value(ItemsKey).toList())
            if (const QString path = pathForKey.value(templateKey.toString()); !path.isEmpty()) paths.append(path);
        m_categories.append(
            std::make_shared<IXTemplateFolder>(this, category.value(IXTemplateItem::TitleKey).toString(), paths));
    }
}

void IXTemplateStorage::loadUserTemplates(const QString& folder)
{
    QStringList paths;
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& entry : entries)
        if (isSupportedType(entry.fileName())) paths.append(userItemPath(entry.absoluteFilePath()));
    if (paths.isEmpty()) return;
    m_categories.append(IXTemplateFolder::separatorFolder(this));
    auto user
        = std::make_shared<IXTemplateFolder>(this, PLLocalizedStrings::string(QStringLiteral("User templates")), paths);
    m_categories.append(user);
    m_dynamics.append(user);
}

IXTemplateItem* IXTemplateStorage::addItem(const QString& path, const QVariantMap& attributes)
{
    auto item = std::make_shared<IXTemplateItem>(this, attributes);
    item->setFilePath(path);
    item->setName(attributes.value(IXTemplateItem::TitleKey).toString());
    m_items.insert(path, item);
    return item.get();
}

QString IXTemplateStorage::userItemPath(const QString& path)
{
    addItem(path, userItemAttributes(path))->setUserItem(true);
    return path;
}

IXTemplateItem* IXTemplateStorage::itemAtPath(const QString& path) const
{
    const auto found = m_items.constFind(path);
    return found == m_items.constEnd() ? nullptr : found->get();
}

QList<IXTemplateItem*> IXTemplateStorage::itemsForCategoryIndexes(const QList<int>& indexes) const
{
    QList<int> sorted = indexes;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    QList<IXTemplateItem*> items;
    QSet<const IXTemplateItem*> listed;
    for (const int index : sorted) {
        if (index < 0 || index >= m_categories.size()) continue;
        for (IXTemplateItem* item : m_categories[index]->items())
            if (!listed.contains(item)) {
                listed.insert(item);
                items.append(item);
            }
    }
    return items;
}

IXTemplateItem* IXTemplateStorage::defaultTemplateItem() const
{
    return m_categories.isEmpty() ? nullptr : m_categories.first()->itemAtIndex(0);
}

QImage IXTemplateStorage::previewImageForPath(const QString& path) const
{
    const QFileInfo info(path);
    const QString base = info.dir().filePath(info.completeBaseName());
    QImage image = pictureFile(base + QStringLiteral("@2x.jpg"), 2);
    if (image.isNull()) image = pictureFile(base + QStringLiteral(".jpg"), 1);
    if (image.isNull() && info.isFile())
        if (const auto archive = UTZipArchive::fromFilePath(path))
            if (const auto thumbnail = archive->dataByName(QStringLiteral("thumbnail")))
                image = PLImage::decodedImage(*thumbnail);
    if (image.isNull()) image = PLNamedImages::imageNamed(QStringLiteral("ix_ixd"));
    return image;
}

bool IXTemplateStorage::isDynamicFolder(const IXTemplateFolder& folder) const
{
    return std::any_of(m_dynamics.begin(), m_dynamics.end(),
                       [&folder](const auto& dynamic) { return dynamic.get() == &folder; });
}

QString IXTemplateStorage::templateUsersFolder()
{
    const QString folder = userTemplatesFolderPath();
    if (QFileInfo(folder).isDir() || QDir().mkpath(folder)) return folder;
    return {};
}

void IXTemplateStorage::updateDynamicItems()
{
    if (m_dynamics.isEmpty()) return;
    for (const auto& folder : std::as_const(m_dynamics)) {
        if (folder->pathes().isEmpty()) continue;
        QStringList paths;
        QStringList parents;
        for (const QString& path : folder->pathes()) {
            const QString parent = QFileInfo(path).absolutePath();
            if (!parents.contains(parent)) parents.append(parent);
            if (QFileInfo(path).isFile())
                paths.append(path);
            else
                m_items.remove(path);
        }
        for (const QString& parent : std::as_const(parents)) {
            const QFileInfoList entries = QDir(parent).entryInfoList(QDir::Files, QDir::Name | QDir::IgnoreCase);
            for (const QFileInfo& entry : entries) {
                const QString path = entry.absoluteFilePath();
                if (isSupportedType(path) && !paths.contains(path)) paths.append(userItemPath(path));
            }
        }
        if (!paths.isEmpty()) folder->setPathes(paths);
    }
    PLNotificationCenter::defaultCenter().post(StateDidChangeNotification, this);
}
