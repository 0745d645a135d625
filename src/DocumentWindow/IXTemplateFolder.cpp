#include "DocumentWindow/IXTemplateFolder.h"

#include "DocumentWindow/IXTemplateStorage.h"

IXTemplateFolder::IXTemplateFolder(IXTemplateStorage* storage, const QString& title, const QStringList& paths)
    : m_storage(storage)
    , m_items(paths)
    , m_title(title)
{
}

std::shared_ptr<IXTemplateFolder> IXTemplateFolder::separatorFolder(IXTemplateStorage* storage)
{
    auto folder = std::make_shared<IXTemplateFolder>(storage, QString(), QStringList());
    folder->setSeparator(true);
    return folder;
}

IXTemplateItem* IXTemplateFolder::itemAtIndex(int index) const
{
    if (index < 0 || index >= m_items.size() || !m_storage) return nullptr;
    return m_storage->itemAtPath(m_items[index]);
}

QList<IXTemplateItem*> IXTemplateFolder::items() const
{
    QList<IXTemplateItem*> items;
    for (int i = 0; i < m_items.size(); ++i)
        if (IXTemplateItem* item = itemAtIndex(i)) items.append(item);
    return items;
}

bool IXTemplateFolder::isDynamic() const
{
    return m_storage && m_storage->isDynamicFolder(*this);
}
