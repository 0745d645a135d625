#include "DocumentWindow/IXTemplateItem.h"

#include "DocumentWindow/IXTemplateStorage.h"

const QString IXTemplateItem::TitleKey = QStringLiteral("Name");
const QString IXTemplateItem::DescriptionKey = QStringLiteral("Description");
const QString IXTemplateItem::FileNameKey = QStringLiteral("FileName");
const QString IXTemplateItem::AbsolutePathKey = QStringLiteral("AbsolutePath");

IXTemplateItem::IXTemplateItem(IXTemplateStorage* storage, const QVariantMap& attributes)
    : m_storage(storage)
    , m_attributes(attributes)
{
}

void IXTemplateItem::setAttributes(const QVariantMap& attributes)
{
    for (auto entry = attributes.begin(); entry != attributes.end(); ++entry)
        m_attributes.insert(entry.key(), entry.value());
}

QString IXTemplateItem::title() const
{
    return m_attributes.value(TitleKey).toString();
}

const QImage& IXTemplateItem::previewImage()
{
    if (m_image.isNull() && m_storage) m_image = m_storage->previewImageForPath(m_path);
    return m_image;
}
