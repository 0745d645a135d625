#include "MapLayout/IXTextMeasurements.h"

#include "DocumentModel/IXStyleTextAttributes.h"
#include "Platform/PLFont.h"
#include "Platform/PLParagraphStyle.h"
#include "Platform/PLTextLayout.h"

#include <cmath>

namespace {

PLParagraphStyle::Alignment alignmentOf(Qt::Alignment alignment)
{
    if (alignment & Qt::AlignJustify) return PLParagraphStyle::Alignment::Justified;
    if (alignment & Qt::AlignHCenter) return PLParagraphStyle::Alignment::Center;
    if (alignment & Qt::AlignRight) return PLParagraphStyle::Alignment::Right;
    if (alignment & Qt::AlignLeft) return PLParagraphStyle::Alignment::Left;
    return PLParagraphStyle::Alignment::Natural;
}

PLSize roundedUp(const QRectF& rect)
{
    return PLSize(float(std::ceil(rect.width())), float(std::ceil(rect.height())));
}

}  // namespace

IXTextMeasurements& IXTextMeasurements::shared()
{
    static IXTextMeasurements measurements;
    return measurements;
}

PLAttributedString IXTextMeasurements::attributedString(const QString& text, const IXStyleTextAttributes& attributes)
{
    PLTextAttributes textAttributes;
    if (attributes.font) textAttributes.font = PLFont::fromQFont(*attributes.font);
    if (attributes.paragraphStyle) {
        PLParagraphStyle paragraph;
        paragraph.alignment = alignmentOf(attributes.paragraphStyle->alignment());
        textAttributes.paragraphStyle = paragraph;
    }
    // Texts without a colour are black, whatever pen the painter holds.
    textAttributes.foregroundColor =
        attributes.foregroundColor.isNull() ? QColor(Qt::black) : attributes.foregroundColor.toQColor();
    if (!attributes.backgroundColor.isNull()) textAttributes.backgroundColor = attributes.backgroundColor.toQColor();
    return PLAttributedString(text, textAttributes);
}

QString IXTextMeasurements::layoutKey(const IXStyleTextAttributes& attributes)
{
    QString key = attributes.font ? attributes.font->key() : QString();
    if (attributes.paragraphStyle) key += QLatin1Char('|') + QString::number(int(attributes.paragraphStyle->alignment()));
    return key;
}

IXTextMeasurement IXTextMeasurements::measure(const PLAttributedString& text, const QString& layoutKey, PLSize container)
{
    Key key{text.string(), layoutKey, container.width, container.height};
    if (auto found = m_entries.constFind(key); found != m_entries.cend()) return *found;

    static PLTextLayout* layout = new PLTextLayout;  // kept for the process: one layout serves every miss
    layout->setText(text);
    layout->setContainerSize(container);
    const IXTextMeasurement measurement{roundedUp(layout->usedRect()), roundedUp(layout->fullRect())};
    ++m_layouts;
    if (m_entries.size() >= capacity()) m_entries.clear();
    m_entries.insert(std::move(key), measurement);
    return measurement;
}

void IXTextMeasurements::clear()
{
    m_entries.clear();
}
