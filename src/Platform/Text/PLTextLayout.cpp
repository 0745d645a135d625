#include "Platform/Text/PLTextLayout.h"

#include "Platform/Text/PLFontSubstitutions.h"
#include "Platform/Text/PLTextDocumentConversion.h"

#include <QAbstractTextDocumentLayout>
#include <QImage>
#include <QPainter>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace {

// The paint device the text is laid out for: an image at Qt's default resolution, against
// which the text engine takes the lengths of paragraph formats (margins, indents, line
// heights, picture sizes) as they are. Fonts are scaled by fontScale() so that a point of
// text is one unit of the map all the same.
QPaintDevice* layoutDevice()
{
    static QImage device(1, 1, QImage::Format_ARGB32_Premultiplied);
    return &device;
}

double fontScale()
{
    return 72.0 / layoutDevice()->logicalDpiY();
}

// The text as it is laid out: installed families at scaled sizes, no run backgrounds (drawn
// by the layout itself, in line bands), and a CR that precedes a LF made an invisible
// zero-width character, so that the document's positions stay the text's indexes.
PLAttributedString textForLayout(const PLAttributedString& text)
{
    PLAttributedString result = text;
    for (int run = 0; run < text.runCount(); ++run) {
        const PLTextAttributes& attributes = text.runAttributes(run);
        // Runs without a font take the document's default font, which is installed and scaled.
        if (!attributes.font && !attributes.backgroundColor) continue;
        PLTextAttributes changed = attributes;
        if (changed.font) {
            changed.font->family = PLFontSubstitutions::availableFamily(changed.font->family);
            changed.font->pointSize *= fontScale();
        }
        changed.backgroundColor.reset();
        result.setAttributes(changed, text.runRange(run));
    }
    const QString& string = text.string();
    for (int i = 0; i + 1 < string.size(); ++i) {
        if (string.at(i) == QLatin1Char('\r') && string.at(i + 1) == QLatin1Char('\n'))
            result.replaceCharacters(PLRange(i, 1), QString(QChar(0x200B)));
    }
    return result;
}

}

PLTextLayout::PLTextLayout() = default;
PLTextLayout::~PLTextLayout() = default;

void PLTextLayout::setText(const PLAttributedString& text)
{
    if (text == m_text) return;
    m_text = text;
    m_valid = false;
    m_document.reset();
    m_paragraphs.clear();
}

void PLTextLayout::setForMeasuringOnly(bool flag)
{
    if (flag == m_measuringOnly) return;
    m_measuringOnly = flag;
    m_valid = false;
    m_document.reset();
    m_paragraphs.clear();
}

void PLTextLayout::setContainerSize(PLSize size)
{
    if (size == m_containerSize) return;
    m_containerSize = size;
    m_valid = false;
}

QTextLine PLTextLayout::textLine(const Line& line) const
{
    return line.layout->lineAt(line.lineNumber);
}

namespace {

QFont defaultFont()
{
    QFont font(PLFontSubstitutions::availableFamily(QString()));
    font.setPointSizeF(12.0 * fontScale());
    // Runs resolve their fonts against this one, so they are laid out unhinted too.
    font.setHintingPreference(QFont::PreferNoHinting);
    return font;
}

QTextOption textOption()
{
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setUseDesignMetrics(true);
    return option;
}

bool isParagraphEnd(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::ParagraphSeparator;
}

// Only the alignment of a paragraph style is honoured by a bare QTextLayout (through its
// text option); everything else a paragraph style sets needs the document's block layout.
bool isPlainParagraphStyle(const PLParagraphStyle& style)
{
    PLParagraphStyle rest = style;
    rest.alignment = PLParagraphStyle::Alignment::Natural;
    return rest.isDefault();
}

bool needsDocument(const PLAttributedString& text)
{
    for (int run = 0; run < text.runCount(); ++run) {
        const PLTextAttributes& attributes = text.runAttributes(run);
        if (attributes.attachment || (attributes.paragraphStyle && !isPlainParagraphStyle(*attributes.paragraphStyle))) return true;
    }
    return false;
}

// The text option of a paragraph laid out on its own: the document's, aligned as its style
// says. A natural alignment keeps the option's own, as for text without a paragraph style.
QTextOption paragraphTextOption(const std::optional<PLParagraphStyle>& style)
{
    QTextOption option = textOption();
    if (style && style->alignment != PLParagraphStyle::Alignment::Natural)
        option.setAlignment(PLTextDocumentConversion::blockFormat(*style).alignment());
    return option;
}

}

void PLTextLayout::prepareDocument(const PLAttributedString& text) const
{
    m_document = std::make_unique<QTextDocument>();
    m_document->documentLayout()->setPaintDevice(layoutDevice());
    m_document->setDocumentMargin(0);
    m_document->setDefaultFont(defaultFont());
    m_document->setDefaultTextOption(textOption());
    PLTextDocumentConversion::toTextDocument(text, m_document.get());
}

QFont PLTextLayout::paragraphFont(const PLTextAttributes& attributes) const
{
    if (!m_paragraphFont || m_paragraphFontKey != attributes.font) {
        // The font a character format of these attributes resolves to against the default
        // font, made at the layout device's resolution as the layout makes its own.
        const QTextCharFormat format = PLTextDocumentConversion::charFormat(attributes);
        m_paragraphFont = std::make_unique<QFont>(QFont(format.font().resolve(defaultFont()), layoutDevice()));
        m_paragraphFontKey = attributes.font;
    }
    return *m_paragraphFont;
}

void PLTextLayout::prepareParagraphs(const PLAttributedString& text) const
{
    const QString& string = text.string();
    const QFont font = defaultFont();
    for (int start = 0; start <= text.length();) {
        int end = start;
        while (end < text.length() && !isParagraphEnd(string.at(end))) ++end;
        PLRange firstRun;
        const PLTextAttributes& attributes = text.attributesAt(std::min(start, std::max(0, text.length() - 1)), &firstRun);
        if (m_measuringOnly && start < end && firstRun.end() >= end && attributes.font && !attributes.superscript
            && !attributes.baselineOffset) {
            // One font over the whole paragraph and nothing else that moves glyphs: no formats.
            auto layout = std::make_unique<QTextLayout>(string.mid(start, end - start), paragraphFont(attributes), layoutDevice());
            layout->setTextOption(paragraphTextOption(attributes.paragraphStyle));
            m_paragraphs.push_back({start, std::move(layout)});
            if (end >= text.length()) break;
            start = end + 1;
            continue;
        }
        auto layout = std::make_unique<QTextLayout>(string.mid(start, end - start), font, layoutDevice());
        QList<QTextLayout::FormatRange> formats;
        for (int index = start; index < end;) {
            PLRange run;
            const PLTextAttributes& attributes = text.attributesAt(index, &run);
            const int runEnd = std::min(run.end(), end);
            formats.append({index - start, runEnd - index, PLTextDocumentConversion::charFormat(attributes)});
            index = runEnd;
        }
        if (start == end) {
            // An empty paragraph is as high as the font of the break before it (of its own
            // break when it comes first).
            const QTextCharFormat format = PLTextDocumentConversion::charFormat(text.attributesAt(start > 0 ? start - 1 : start));
            layout->setFont(format.font().resolve(font));
        }
        layout->setFormats(formats);
        // As in the document, a paragraph takes the style of its first character.
        layout->setTextOption(paragraphTextOption(start < text.length() ? text.attributesAt(start).paragraphStyle : std::nullopt));
        m_paragraphs.push_back({start, std::move(layout)});
        if (end >= text.length()) break;
        start = end + 1;
    }
}

void PLTextLayout::layOutDocument() const
{
    m_document->setTextWidth(m_containerSize.width);
    m_document->documentLayout()->documentSize(); // lays the whole text out
    for (QTextBlock block = m_document->begin(); block.isValid(); block = block.next()) {
        QTextLayout* layout = block.layout();
        const QTextBlockFormat format = block.blockFormat();
        for (int i = 0; i < layout->lineCount(); ++i)
            m_lines.push_back(Line{layout, i, block.position(), format.topMargin(), format.bottomMargin()});
    }
}

void PLTextLayout::layOutParagraphs() const
{
    double y = 0;
    for (const auto& [start, layout] : m_paragraphs) {
        layout->setPosition(QPointF(0, y));
        layout->beginLayout();
        double lineY = 0;
        for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
            line.setLeadingIncluded(true);
            line.setLineWidth(m_containerSize.width);
            line.setPosition(QPointF(0, lineY));
            lineY += line.height();
            m_lines.push_back(Line{layout.get(), line.lineNumber(), start, 0, 0});
        }
        layout->endLayout();
        y += lineY;
    }
}

void PLTextLayout::ensureLayout() const
{
    if (m_valid) return;
    m_valid = true;
    m_fragments.clear();
    m_lines.clear();
    if (m_text.isEmpty()) return;
    // The text is converted once; a new container size only breaks it into lines again.
    if (!m_document && m_paragraphs.empty()) {
        const PLAttributedString text = textForLayout(m_text);
        if (needsDocument(text))
            prepareDocument(text);
        else
            prepareParagraphs(text);
    }
    if (m_document)
        layOutDocument();
    else
        layOutParagraphs();

    // The empty paragraph after a final paragraph break has no line of its own.
    if (isParagraphEnd(m_text.string().back()) && !m_lines.empty()) {
        const QTextLayout* lastParagraph = m_lines.back().layout;
        while (!m_lines.empty() && m_lines.back().layout == lastParagraph) m_lines.pop_back();
    }

    // Fragments tile downward: a fragment reaches the next line's top, the spacing before a
    // paragraph belongs to its first line and the last fragment takes the spacing after.
    const float width = m_containerSize.width;
    double top = 0;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        const Line& line = m_lines[i];
        const QTextLine textLine = this->textLine(line);
        const QPointF origin = line.layout->position();
        QRectF used = textLine.naturalTextRect().translated(origin);
        used.setHeight(textLine.height());
        double bottom;
        if (i + 1 < m_lines.size()) {
            const Line& next = m_lines[i + 1];
            const QTextLine nextLine = this->textLine(next);
            double nextTop = next.layout->position().y() + nextLine.y();
            if (next.lineNumber == 0) nextTop -= next.spacingBefore;
            bottom = std::max(nextTop, used.bottom());
        } else {
            bottom = used.bottom() + line.spacingAfter;
        }
        LineFragment fragment;
        fragment.rect = QRectF(0, top, width, bottom - top);
        fragment.usedRect = used;
        fragment.baselineOffset = float(textLine.ascent());
        const int start = line.blockPosition + textLine.textStart();
        int end = start + textLine.textLength();
        // The paragraph break that ends the block belongs to its last line.
        if (line.lineNumber == line.layout->lineCount() - 1 && end < m_text.length()) ++end;
        fragment.characterRange = PLRange(start, end - start);
        m_fragments.push_back(fragment);
        top = bottom;
    }
}

const std::vector<PLTextLayout::LineFragment>& PLTextLayout::lineFragments() const
{
    ensureLayout();
    return m_fragments;
}

int PLTextLayout::lineFragmentIndexForCharacter(int index) const
{
    ensureLayout();
    if (index < 0 || index >= m_text.length()) return -1;
    const auto found = std::upper_bound(m_fragments.begin(), m_fragments.end(), index,
                                        [](int i, const LineFragment& f) { return i < f.characterRange.location; });
    return found == m_fragments.begin() ? -1 : int(found - m_fragments.begin()) - 1;
}

QRectF PLTextLayout::usedRect() const
{
    QRectF result;
    for (const LineFragment& fragment : lineFragments()) result |= fragment.usedRect;
    return result;
}

QRectF PLTextLayout::fullRect() const
{
    QRectF result;
    for (const LineFragment& fragment : lineFragments()) result |= fragment.rect;
    return result;
}

std::optional<int> PLTextLayout::characterIndexAtPoint(QPointF point) const
{
    ensureLayout();
    if (m_fragments.empty()) return std::nullopt;
    // The first line whose fragment reaches below the point, else the last line.
    size_t index = 0;
    while (index + 1 < m_fragments.size() && point.y() >= m_fragments[index].rect.bottom()) ++index;
    const Line& line = m_lines[index];
    const QTextLine textLine = this->textLine(line);
    const PLRange range = m_fragments[index].characterRange;
    const int position = line.blockPosition + textLine.xToCursor(point.x() - line.layout->position().x(), QTextLine::CursorOnCharacter);
    // Past the end of the line is its last character (the paragraph break when it has one).
    return std::clamp(position, range.location, range.end() - 1);
}

std::vector<QRectF> PLTextLayout::rectsForCharacterRange(PLRange range) const
{
    ensureLayout();
    std::vector<QRectF> result;
    if (range.isEmpty()) return result;
    const int first = lineFragmentIndexForCharacter(std::max(range.location, 0));
    if (first < 0) return result;
    for (size_t i = size_t(first); i < m_fragments.size() && m_fragments[i].characterRange.location < range.end(); ++i) {
        const Line& line = m_lines[i];
        const QTextLine textLine = this->textLine(line);
        const PLRange part = m_fragments[i].characterRange.intersected(range);
        if (part.isEmpty()) continue;
        // Positions past the glyphs (a paragraph break) stay at the line's end.
        const int lineEnd = textLine.textStart() + textLine.textLength();
        const int start = std::min(part.location - line.blockPosition, lineEnd);
        const int end = std::min(part.end() - line.blockPosition, lineEnd);
        const qreal x1 = textLine.cursorToX(start);
        const qreal x2 = textLine.cursorToX(end);
        const QRectF& used = m_fragments[i].usedRect;
        result.emplace_back(line.layout->position().x() + std::min(x1, x2), used.y(), std::abs(x2 - x1), used.height());
    }
    return result;
}

void PLTextLayout::draw(QPainter& painter, PLPoint topLeft, bool drawBackgrounds) const
{
    ensureLayout();
    if (m_fragments.empty()) return;
    painter.save();
    // Mirror about the text's top: below it, the lines read upright, top-down.
    painter.translate(topLeft.x, topLeft.y);
    painter.scale(1, -1);
    for (size_t i = 0; i < m_fragments.size(); ++i) {
        const LineFragment& fragment = m_fragments[i];
        if (drawBackgrounds) {
            const int end = fragment.characterRange.end();
            for (int index = fragment.characterRange.location; index < end;) {
                PLRange run;
                const PLTextAttributes& attributes = m_text.attributesAt(index, &run);
                const PLRange part = run.intersected(PLRange(index, end - index));
                if (attributes.backgroundColor) {
                    for (const QRectF& rect : rectsForCharacterRange(part))
                        painter.fillRect(QRectF(rect.x(), fragment.rect.y(), rect.width(), fragment.rect.height()), *attributes.backgroundColor);
                }
                index = part.end();
            }
        }
        const Line& line = m_lines[i];
        textLine(line).draw(&painter, line.layout->position());
    }
    painter.restore();
}
