#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class IXTemplateItem;
class IXTemplateStorage;

// One category of the template store: a title and the paths of its templates, whose items
// the store keeps; or a separator row between categories.
class IXTemplateFolder {
public:
    IXTemplateFolder(IXTemplateStorage* storage, const QString& title, const QStringList& paths);
    static std::shared_ptr<IXTemplateFolder> separatorFolder(IXTemplateStorage* storage);

    int numberOfItems() const { return int(m_items.size()); }
    // The store's item for the path at the index; null when the store has none.
    IXTemplateItem* itemAtIndex(int index) const;
    QList<IXTemplateItem*> items() const;
    const QStringList& pathes() const { return m_items; }
    void setPathes(const QStringList& paths) { m_items = paths; }
    const QString& title() const { return m_title; }
    void setTitle(const QString& title) { m_title = title; }
    bool isSeparator() const { return m_separator; }
    void setSeparator(bool separator) { m_separator = separator; }
    // Rescanned from the user's templates folder.
    bool isDynamic() const;

private:
    IXTemplateStorage* m_storage;
    QStringList m_items;
    QString m_title;
    bool m_separator = false;
};
