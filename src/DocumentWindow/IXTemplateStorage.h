#pragma once

#include "DocumentWindow/IXTemplateStoring.h"

#include <QHash>
#include <QImage>
#include <QList>
#include <QString>

#include <memory>

class IXTemplateFolder;
class IXTemplateItem;

// The templates new documents start from, by category: the template packs of the resources
// ("Default.pack", then "Templates.pack": folders holding template files and a "templates"
// property list naming them and their categories) and the user's templates folder.
//
// Order of the categories: "All" (every template once), a separator, the first category of
// the packs, a separator, the other categories of the packs (each pack's sorted by key,
// ignoring case), and, when the user's folder holds templates, a separator and "User
// templates". The user's category is dynamic: updateDynamicItems rescans it (after a save as
// template) and posts "IXTemplateStorageStateDidChangeNotification" with the store.
//
// A pack, list or file that is missing or unreadable is left out without a word. One shared
// store (sharedStorage), installed as the document's IXTemplateStoring; main thread only.
class IXTemplateStorage : public IXTemplateStoring {
public:
    static const QString StateDidChangeNotification;  // "IXTemplateStorageStateDidChangeNotification"
    static const QString CategoriesKey;  // "Categories"
    static const QString ItemsKey;  // "Templates"
    static const QString UserTemplatesFolderKey;  // "IXUserTemplatesFolder"
    using Folders = QList<std::shared_ptr<IXTemplateFolder>>;

    // The packs are read from the folder given (the resources when empty) by load().
    explicit IXTemplateStorage(const QString& resourcesDirectory = QString());
    ~IXTemplateStorage() override;

    // The application's store, made, loaded and installed on first use.
    static IXTemplateStorage& sharedStorage();
    // Template files are ".ixd" and ".ixp" files, in any case.
    static bool isSupportedType(const QString& path);
    // "IXUserTemplatesFolder", else "Ideaflux/User Templates" in the user's documents.
    static QString userTemplatesFolderPath();

    // Reads everything again.
    void load();
    Folders categories() const { return m_categories; }
    IXTemplateItem* itemAtPath(const QString& path) const;
    // The items of the categories at the indexes, in ascending index order and each
    // category's own order, each once; indexes beyond the list are skipped.
    QList<IXTemplateItem*> itemsForCategoryIndexes(const QList<int>& indexes) const;
    // The first item of the first category, or null.
    IXTemplateItem* defaultTemplateItem() const;
    // The picture beside the template with its name and "jpg" ("@2x.jpg" for twice the
    // pixels), else the package's "thumbnail" part, else the document picture.
    QImage previewImageForPath(const QString& path) const;
    bool isDynamicFolder(const IXTemplateFolder& folder) const;

    // --- IXTemplateStoring ---
    QString templateUsersFolder() override;
    void updateDynamicItems() override;

private:
    void loadFromPath(const QString& packPath);
    void loadUserTemplates(const QString& folder);
    IXTemplateItem* addItem(const QString& path, const QVariantMap& attributes);
    QString userItemPath(const QString& path);

    QString m_resources;
    QHash<QString, std::shared_ptr<IXTemplateItem>> m_items;
    Folders m_categories;
    Folders m_dynamics;
};
