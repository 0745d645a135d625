#include "MapLayout/IXTextMeasurements.h"

#include "DocumentModel/IXStyleTextAttributes.h"
#include "Platform/Text/PLFont.h"
#include "Platform/Text/PLParagraphStyle.h"
#include "Platform/Text/PLTextLayout.h"

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

std::optional<IXTextMeasurements::Key> IXTextMeasurements::keyFor(const PLAttributedString& text, PLSize container)
{
    Key key{text.string(), std::nullopt, std::nullopt, container.width, container.height};
    if (text.runCount() > 1) return std::nullopt;
    if (text.runCount() == 1) {
        // Colours do not move glyphs; any paragraph setting but the alignment might.
        const PLTextAttributes& attributes = text.runAttributes(0);
        if (attributes.paragraphStyle) {
            PLParagraphStyle rest = *attributes.paragraphStyle;
            rest.alignment = PLParagraphStyle::Alignment::Natural;
            if (!rest.isDefault()) return std::nullopt;
            key.alignment = attributes.paragraphStyle->alignment;
        }
        if (attributes.attachment || attributes.superscript || attributes.baselineOffset) return std::nullopt;
        key.font = attributes.font;
    }
    return key;
}

IXTextMeasurement IXTextMeasurements::layOut(PLTextLayout& layout, const PLAttributedString& text, PLSize container)
{
    layout.setForMeasuringOnly(true);
    layout.setText(text);
    layout.setContainerSize(container);
    return IXTextMeasurement{roundedUp(layout.usedRect()), roundedUp(layout.fullRect())};
}

IXTextMeasurement IXTextMeasurements::measure(const PLAttributedString& text, PLSize container)
{
    std::optional<Key> key = keyFor(text, container);
    if (key) {
        if (auto found = m_entries.constFind(*key); found != m_entries.cend()) return *found;
    }
    static PLTextLayout* layout = new PLTextLayout;  // kept for the process: one layout serves every miss
    const IXTextMeasurement measurement = layOut(*layout, text, container);
    ++m_layouts;
    if (key) insert(std::move(*key), measurement);
    return measurement;
}

std::optional<IXTextMeasurement> IXTextMeasurements::cached(const PLAttributedString& text, PLSize container) const
{
    const std::optional<Key> key = keyFor(text, container);
    if (!key) return std::nullopt;
    auto found = m_entries.constFind(*key);
    if (found == m_entries.cend()) return std::nullopt;
    return *found;
}

void IXTextMeasurements::insertMeasured(const PLAttributedString& text, PLSize container, const IXTextMeasurement& measurement)
{
    ++m_layouts;
    if (std::optional<Key> key = keyFor(text, container)) insert(std::move(*key), measurement);
}

void IXTextMeasurements::reserveMore(qsizetype count)
{
    const qsizetype wanted = m_entries.size() + count;
    if (wanted <= capacity() && wanted > m_entries.capacity()) m_entries.reserve(wanted);
}

void IXTextMeasurements::insert(Key&& key, const IXTextMeasurement& measurement)
{
    if (m_entries.size() >= capacity()) m_entries.clear();
    m_entries.insert(std::move(key), measurement);
}

void IXTextMeasurements::clear()
{
    m_entries.clear();
}
