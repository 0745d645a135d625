#include "Platform/Text/PLTextDocumentConversion.h"

#include "Platform/Core/PLAssert.h"

#include <QBuffer>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <QUrl>

namespace {

QTextCharFormat::UnderlineStyle qtUnderline(int style)
{
    if ((style & 0xFF) == 0) return QTextCharFormat::NoUnderline;
    switch (style & 0x700) {
    case PLTextAttributes::LinePatternDot: return QTextCharFormat::DotLine;
    case PLTextAttributes::LinePatternDash: return QTextCharFormat::DashUnderline;
    case PLTextAttributes::LinePatternDashDot: return QTextCharFormat::DashDotLine;
    case PLTextAttributes::LinePatternDashDotDot: return QTextCharFormat::DashDotDotLine;
    default: return QTextCharFormat::SingleUnderline;
    }
}

int underlineFromQt(QTextCharFormat::UnderlineStyle style)
{
    switch (style) {
    case QTextCharFormat::NoUnderline: return 0;
    case QTextCharFormat::DotLine: return PLTextAttributes::LineStyleSingle | PLTextAttributes::LinePatternDot;
    case QTextCharFormat::DashUnderline: return PLTextAttributes::LineStyleSingle | PLTextAttributes::LinePatternDash;
    case QTextCharFormat::DashDotLine: return PLTextAttributes::LineStyleSingle | PLTextAttributes::LinePatternDashDot;
    case QTextCharFormat::DashDotDotLine: return PLTextAttributes::LineStyleSingle | PLTextAttributes::LinePatternDashDotDot;
    default: return PLTextAttributes::LineStyleSingle;
    }
}

Qt::Alignment qtAlignment(PLParagraphStyle::Alignment alignment)
{
    switch (alignment) {
    case PLParagraphStyle::Alignment::Left: return Qt::AlignLeft | Qt::AlignAbsolute;
    case PLParagraphStyle::Alignment::Right: return Qt::AlignRight | Qt::AlignAbsolute;
    case PLParagraphStyle::Alignment::Center: return Qt::AlignHCenter;
    case PLParagraphStyle::Alignment::Justified: return Qt::AlignJustify;
    case PLParagraphStyle::Alignment::Natural: return Qt::AlignLeading;
    }
    return Qt::AlignLeading;
}

PLParagraphStyle::Alignment alignmentFromQt(Qt::Alignment alignment)
{
    const Qt::Alignment horizontal = alignment & Qt::AlignHorizontal_Mask;
    if (horizontal & Qt::AlignJustify) return PLParagraphStyle::Alignment::Justified;
    if (horizontal & Qt::AlignHCenter) return PLParagraphStyle::Alignment::Center;
    if (horizontal & Qt::AlignRight) return PLParagraphStyle::Alignment::Right;
    if ((horizontal & Qt::AlignLeft) && (horizontal & Qt::AlignAbsolute)) return PLParagraphStyle::Alignment::Left;
    return PLParagraphStyle::Alignment::Natural;
}

QString markerFormatFor(const QTextListFormat& format)
{
    QString placeholder;
    switch (format.style()) {
    case QTextListFormat::ListDisc: return QStringLiteral("{disc}");
    case QTextListFormat::ListCircle: return QStringLiteral("{circle}");
    case QTextListFormat::ListSquare: return QStringLiteral("{square}");
    case QTextListFormat::ListLowerAlpha: placeholder = QStringLiteral("{lower-alpha}"); break;
    case QTextListFormat::ListUpperAlpha: placeholder = QStringLiteral("{upper-alpha}"); break;
    case QTextListFormat::ListLowerRoman: placeholder = QStringLiteral("{lower-roman}"); break;
    case QTextListFormat::ListUpperRoman: placeholder = QStringLiteral("{upper-roman}"); break;
    default: placeholder = QStringLiteral("{decimal}"); break;
    }
    // Qt draws "." after numbers whose format names no suffix.
    const QString suffix = format.hasProperty(QTextFormat::ListNumberSuffix) ? format.numberSuffix() : QStringLiteral(".");
    return format.numberPrefix() + placeholder + suffix;
}

bool isParagraphEnd(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::ParagraphSeparator;
}

// The line-height settings of a block format, to tell whether Qt changed them.
struct LineHeight {
    int type;
    double height;
    bool operator==(const LineHeight&) const = default;
};

LineHeight lineHeightOf(const QTextBlockFormat& format)
{
    return {format.lineHeightType(), format.lineHeight()};
}

} // namespace

QTextCharFormat PLTextDocumentConversion::charFormat(const PLTextAttributes& a)
{
    QTextCharFormat format;
    if (a.font) {
        if (!a.font->family.isEmpty()) format.setFontFamilies(QStringList{a.font->family});
        format.setFontPointSize(a.font->pointSize);
        format.setFontWeight(a.font->bold ? QFont::Bold : QFont::Normal);
        format.setFontItalic(a.font->italic);
    }
    if (a.foregroundColor) format.setForeground(*a.foregroundColor);
    if (a.backgroundColor) format.setBackground(*a.backgroundColor);
    if (a.underlineStyle) {
        format.setUnderlineStyle(qtUnderline(*a.underlineStyle));
        format.setProperty(UnderlineStyleProperty, *a.underlineStyle);
    }
    if (a.underlineColor) format.setUnderlineColor(*a.underlineColor);
    if (a.strikethroughStyle) {
        format.setFontStrikeOut((*a.strikethroughStyle & 0xFF) != 0);
        format.setProperty(StrikethroughStyleProperty, *a.strikethroughStyle);
    }
    if (a.strikethroughColor) format.setProperty(StrikethroughColorProperty, *a.strikethroughColor);
    if (a.superscript) {
        format.setVerticalAlignment(*a.superscript > 0   ? QTextCharFormat::AlignSuperScript
                                    : *a.superscript < 0 ? QTextCharFormat::AlignSubScript
                                                         : QTextCharFormat::AlignNormal);
        format.setProperty(SuperscriptProperty, *a.superscript);
    }
    if (a.baselineOffset) format.setProperty(BaselineOffsetProperty, *a.baselineOffset);
    if (a.link) {
        format.setAnchor(true);
        format.setAnchorHref(*a.link);
    }
    return format;
}

PLTextAttributes PLTextDocumentConversion::attributes(const QTextCharFormat& format)
{
    PLTextAttributes a;
    const bool hasFont = format.hasProperty(QTextFormat::FontFamilies) || format.hasProperty(QTextFormat::FontFamily)
        || format.hasProperty(QTextFormat::FontPointSize) || format.hasProperty(QTextFormat::FontWeight)
        || format.hasProperty(QTextFormat::FontItalic);
    if (hasFont) {
        PLFont font;
        const QStringList families = format.property(QTextFormat::FontFamilies).toStringList();
        font.family = families.isEmpty() ? format.property(QTextFormat::FontFamily).toString() : families.first();
        if (format.hasProperty(QTextFormat::FontPointSize)) font.pointSize = format.fontPointSize();
        font.bold = format.hasProperty(QTextFormat::FontWeight) && format.fontWeight() >= QFont::DemiBold;
        font.italic = format.fontItalic();
        a.font = font;
    }
    if (format.hasProperty(QTextFormat::ForegroundBrush) && format.foreground().style() != Qt::NoBrush)
        a.foregroundColor = format.foreground().color();
    if (format.hasProperty(QTextFormat::BackgroundBrush) && format.background().style() != Qt::NoBrush)
        a.backgroundColor = format.background().color();

    const QTextCharFormat::UnderlineStyle underline = format.underlineStyle();
    const QVariant storedUnderline = format.property(UnderlineStyleProperty);
    if (storedUnderline.isValid() && qtUnderline(storedUnderline.toInt()) == underline)
        a.underlineStyle = storedUnderline.toInt();
    else if (underline != QTextCharFormat::NoUnderline)
        a.underlineStyle = underlineFromQt(underline);
    if (format.hasProperty(QTextFormat::TextUnderlineColor)) a.underlineColor = format.underlineColor();

    const QVariant storedStrike = format.property(StrikethroughStyleProperty);
    if (storedStrike.isValid() && ((storedStrike.toInt() & 0xFF) != 0) == format.fontStrikeOut())
        a.strikethroughStyle = storedStrike.toInt();
    else if (format.fontStrikeOut())
        a.strikethroughStyle = PLTextAttributes::LineStyleSingle;
    if (format.hasProperty(StrikethroughColorProperty)) a.strikethroughColor = format.property(StrikethroughColorProperty).value<QColor>();

    const QTextCharFormat::VerticalAlignment vertical = format.verticalAlignment();
    const int storedLevel = format.property(SuperscriptProperty).toInt();
    if (vertical == QTextCharFormat::AlignSuperScript)
        a.superscript = storedLevel > 0 ? storedLevel : 1;
    else if (vertical == QTextCharFormat::AlignSubScript)
        a.superscript = storedLevel < 0 ? storedLevel : -1;
    else if (format.hasProperty(SuperscriptProperty) && storedLevel == 0)
        a.superscript = 0;
    if (format.hasProperty(BaselineOffsetProperty)) a.baselineOffset = format.property(BaselineOffsetProperty).toDouble();
    if (format.isAnchor() && !format.anchorHref().isEmpty()) a.link = format.anchorHref();
    return a;
}

QTextBlockFormat PLTextDocumentConversion::blockFormat(const PLParagraphStyle& style)
{
    QTextBlockFormat format;
    if (style.isDefault()) return format;
    format.setAlignment(qtAlignment(style.alignment));
    if (style.writingDirection == PLParagraphStyle::WritingDirection::LeftToRight) format.setLayoutDirection(Qt::LeftToRight);
    if (style.writingDirection == PLParagraphStyle::WritingDirection::RightToLeft) format.setLayoutDirection(Qt::RightToLeft);
    format.setLeftMargin(style.leftIndent);
    format.setTextIndent(style.firstLineIndent - style.leftIndent);
    format.setRightMargin(style.rightIndent);
    format.setTopMargin(style.spacingBefore);
    format.setBottomMargin(style.spacingAfter);
    // Qt keeps one kind of line height: the first that the style uses.
    if (style.lineHeightMultiple > 0)
        format.setLineHeight(style.lineHeightMultiple * 100, QTextBlockFormat::ProportionalHeight);
    else if (style.minimumLineHeight > 0 && style.minimumLineHeight == style.maximumLineHeight)
        format.setLineHeight(style.minimumLineHeight, QTextBlockFormat::FixedHeight);
    else if (style.minimumLineHeight > 0)
        format.setLineHeight(style.minimumLineHeight, QTextBlockFormat::MinimumHeight);
    else if (style.lineSpacing != 0)
        format.setLineHeight(style.lineSpacing, QTextBlockFormat::LineDistanceHeight);
    QList<QTextOption::Tab> tabs;
    for (const PLParagraphStyle::TabStop& stop : style.tabStops) {
        switch (stop.kind) {
        case PLParagraphStyle::TabStop::Kind::Left: tabs.append(QTextOption::Tab(stop.location, QTextOption::LeftTab)); break;
        case PLParagraphStyle::TabStop::Kind::Right: tabs.append(QTextOption::Tab(stop.location, QTextOption::RightTab)); break;
        case PLParagraphStyle::TabStop::Kind::Center: tabs.append(QTextOption::Tab(stop.location, QTextOption::CenterTab)); break;
        case PLParagraphStyle::TabStop::Kind::Decimal:
            tabs.append(QTextOption::Tab(stop.location, QTextOption::DelimiterTab, QLatin1Char('.')));
            break;
        }
    }
    if (!tabs.isEmpty()) format.setTabPositions(tabs);
    format.setProperty(ParagraphStyleProperty, QVariant::fromValue(style));
    return format;
}

PLParagraphStyle PLTextDocumentConversion::paragraphStyle(const QTextBlockFormat& format)
{
    const QVariant stored = format.property(ParagraphStyleProperty);
    PLParagraphStyle style = stored.isValid() ? stored.value<PLParagraphStyle>() : PLParagraphStyle();
    // What Qt would show for the kept style; whatever differs was edited in Qt.
    const QTextBlockFormat expected = blockFormat(style);
    if ((format.alignment() & Qt::AlignHorizontal_Mask) != (expected.alignment() & Qt::AlignHorizontal_Mask))
        style.alignment = alignmentFromQt(format.alignment());
    if (format.layoutDirection() != expected.layoutDirection()) {
        style.writingDirection = format.layoutDirection() == Qt::LeftToRight   ? PLParagraphStyle::WritingDirection::LeftToRight
                                 : format.layoutDirection() == Qt::RightToLeft ? PLParagraphStyle::WritingDirection::RightToLeft
                                                                               : PLParagraphStyle::WritingDirection::Natural;
    }
    if (format.leftMargin() != expected.leftMargin() || format.textIndent() != expected.textIndent()) {
        style.leftIndent = format.leftMargin();
        style.firstLineIndent = format.leftMargin() + format.textIndent();
    }
    if (format.rightMargin() != expected.rightMargin()) style.rightIndent = format.rightMargin();
    if (format.topMargin() != expected.topMargin()) style.spacingBefore = format.topMargin();
    if (format.bottomMargin() != expected.bottomMargin()) style.spacingAfter = format.bottomMargin();
    if (!(lineHeightOf(format) == lineHeightOf(expected))) {
        style.lineHeightMultiple = style.minimumLineHeight = style.maximumLineHeight = style.lineSpacing = 0;
        switch (format.lineHeightType()) {
        case QTextBlockFormat::ProportionalHeight:
            if (format.lineHeight() != 100) style.lineHeightMultiple = format.lineHeight() / 100.0;
            break;
        case QTextBlockFormat::FixedHeight: style.minimumLineHeight = style.maximumLineHeight = format.lineHeight(); break;
        case QTextBlockFormat::MinimumHeight: style.minimumLineHeight = format.lineHeight(); break;
        case QTextBlockFormat::LineDistanceHeight: style.lineSpacing = format.lineHeight(); break;
        default: break;
        }
    }
    if (format.tabPositions() != expected.tabPositions()) {
        style.tabStops.clear();
        for (const QTextOption::Tab& tab : format.tabPositions()) {
            PLParagraphStyle::TabStop stop;
            stop.location = tab.position;
            stop.kind = tab.type == QTextOption::RightTab       ? PLParagraphStyle::TabStop::Kind::Right
                        : tab.type == QTextOption::CenterTab    ? PLParagraphStyle::TabStop::Kind::Center
                        : tab.type == QTextOption::DelimiterTab ? PLParagraphStyle::TabStop::Kind::Decimal
                                                                : PLParagraphStyle::TabStop::Kind::Left;
            style.tabStops.append(stop);
        }
    }
    return style;
}

namespace {

// The blocks of a paragraph that name a table, at most as deep as tables nest.
QList<PLTextTableBlock> tableBlocksOf(const std::optional<PLParagraphStyle>& style)
{
    if (!style) return {};
    QList<PLTextTableBlock> blocks = style->textBlocks.mid(0, PLTextTableBlock::MaximumNesting);
    for (qsizetype i = 0; i < blocks.size(); ++i) {
        if (!blocks[i].table) return blocks.mid(0, i);
    }
    return blocks;
}

void markPlaceholder(QTextCursor& cursor)
{
    QTextBlockFormat format = cursor.blockFormat();
    format.setProperty(PLTextDocumentConversion::PlaceholderProperty, true);
    cursor.setBlockFormat(format);
}

// Builds the tables of a text in a document as its paragraphs come: the tables open around
// the cursor, and whether the cursor's block still waits for its paragraph.
class TableBuilder {
public:
    TableBuilder(const PLAttributedString& text, QTextCursor& cursor)
        : m_cursor(cursor)
    {
        // Each table's rows and the cells that span, before any is made.
        const QString& string = text.string();
        int start = 0;
        while (start < text.length()) {
            for (const PLTextTableBlock& block : tableBlocksOf(text.attributesAt(start).paragraphStyle)) {
                Shape& shape = m_shapes[block.table.get()];
                shape.rows = std::max(shape.rows, std::clamp(block.row, 0, text.length()) + std::clamp(block.rowSpan, 1, text.length()));
                if ((block.rowSpan > 1 || block.columnSpan > 1) && (shape.spans.empty() || !(shape.spans.back() == block)))
                    shape.spans.push_back(block);
                if (block.columnSpan == 1 && block.width > 0 && block.column >= 0 && block.column < PLTextTable::MaximumColumns) {
                    if (shape.widths.size() <= size_t(block.column)) shape.widths.resize(size_t(block.column) + 1, 0);
                    shape.widths[size_t(block.column)] = std::max(shape.widths[size_t(block.column)], block.width);
                }
            }
            int end = start;
            while (end < text.length() && !isParagraphEnd(string.at(end))) ++end;
            start = end + 1;
            if (end < text.length() && string.at(end) == QLatin1Char('\r') && start < text.length() && string.at(start) == QLatin1Char('\n'))
                ++start;
        }
    }

    bool fresh = true; // the cursor's block is empty and belongs to no paragraph yet
    bool atCellStart = false; // and it is the first block of a cell

    // Puts the cursor where a paragraph in these cells goes.
    void enter(const QList<PLTextTableBlock>& blocks)
    {
        size_t kept = 0;
        while (kept < m_open.size() && kept < size_t(blocks.size()) && m_open[kept].source == blocks[qsizetype(kept)].table.get())
            ++kept;
        for (size_t level = 0; level < kept; ++level) {
            if (m_open[level].cell == blocks[qsizetype(level)]) continue;
            kept = level + 1;
            closeTo(kept);
            moveToCell(level, blocks[qsizetype(level)]);
            break;
        }
        closeTo(kept);
        for (size_t level = m_open.size(); level < size_t(blocks.size()); ++level) open(blocks[qsizetype(level)]);
    }

    void setSeparatorFormat(const QTextCharFormat& separator)
    {
        const Open& open = m_open.back();
        QTextTableCell cell = open.table->cellAt(std::clamp(open.cell.row, 0, open.table->rows() - 1),
                                                 std::clamp(open.cell.column, 0, open.table->columns() - 1));
        QTextCharFormat format = cell.format();
        format.setProperty(PLTextDocumentConversion::SeparatorFormatProperty, QVariant::fromValue(QTextFormat(separator)));
        cell.setFormat(format);
    }

private:
    struct Shape {
        int rows = 1;
        std::vector<PLTextTableBlock> spans;
        std::vector<double> widths; // of the columns, from the cells that span one
    };
    struct Open {
        const PLTextTable* source;
        QTextTable* table;
        PLTextTableBlock cell;
    };

    void closeTo(size_t depth)
    {
        while (m_open.size() > depth) {
            // The block after a table waits for the paragraph that follows it, if any.
            m_cursor.setPosition(m_open.back().table->lastPosition() + 1);
            markPlaceholder(m_cursor);
            fresh = true;
            atCellStart = false;
            m_open.pop_back();
        }
    }

    void open(const PLTextTableBlock& block)
    {
        if (fresh) markPlaceholder(m_cursor);
        else m_cursor.movePosition(QTextCursor::EndOfBlock);
        atCellStart = false;
        const Shape& shape = m_shapes[block.table.get()];
        const int columns = std::clamp(block.table->numberOfColumns, 1, PLTextTable::MaximumColumns);
        QTextTableFormat format;
        format.setBorderCollapse(true);
        format.setBorder(0);
        format.setCellPadding(0);
        format.setCellSpacing(0);
        std::vector<double> known = shape.widths;
        for (qsizetype column = 0; column < block.table->columnWidths.size(); ++column) {
            if (known.size() <= size_t(column)) known.resize(size_t(column) + 1, 0);
            if (block.table->columnWidths[column] > 0) known[size_t(column)] = block.table->columnWidths[column];
        }
        if (!known.empty()) {
            QList<QTextLength> widths(columns, QTextLength());
            for (size_t column = 0; column < known.size() && column < size_t(columns); ++column)
                if (known[column] > 0) widths[qsizetype(column)] = QTextLength(QTextLength::FixedLength, known[column]);
            format.setColumnWidthConstraints(widths);
        }
        format.setProperty(PLTextDocumentConversion::TableLeftEdgeProperty, block.table->leftEdge);
        QTextTable* table = m_cursor.insertTable(shape.rows, columns, format);
        // Cell formats hold the spans, so the cells are marked before they are merged.
        QTextTableCellFormat placeholder;
        placeholder.setProperty(PLTextDocumentConversion::PlaceholderProperty, true);
        for (int row = 0; row < shape.rows; ++row)
            for (int column = 0; column < columns; ++column) table->cellAt(row, column).setFormat(placeholder);
        for (const PLTextTableBlock& span : shape.spans) {
            const int row = std::clamp(span.row, 0, shape.rows - 1);
            const int column = std::clamp(span.column, 0, columns - 1);
            table->mergeCells(row, column, std::clamp(span.rowSpan, 1, shape.rows - row), std::clamp(span.columnSpan, 1, columns - column));
        }
        m_open.push_back({block.table.get(), table, block});
        moveToCell(m_open.size() - 1, block);
    }

    void moveToCell(size_t level, const PLTextTableBlock& block)
    {
        Open& open = m_open[level];
        open.cell = block;
        QTextTableCell cell = open.table->cellAt(std::clamp(block.row, 0, open.table->rows() - 1),
                                                 std::clamp(block.column, 0, open.table->columns() - 1));
        // A cell met a second time goes on after what it holds.
        const bool visited = !cell.format().boolProperty(PLTextDocumentConversion::PlaceholderProperty);
        QTextTableCellFormat format = PLTextDocumentConversion::cellFormat(block);
        format.setTableCellRowSpan(cell.rowSpan());
        format.setTableCellColumnSpan(cell.columnSpan());
        cell.setFormat(format);
        m_cursor = visited ? cell.lastCursorPosition() : cell.firstCursorPosition();
        fresh = atCellStart = !visited;
    }

    QTextCursor& m_cursor;
    QHash<const PLTextTable*, Shape> m_shapes;
    std::vector<Open> m_open;
};

} // namespace

QTextTableCellFormat PLTextDocumentConversion::cellFormat(const PLTextTableBlock& block)
{
    QTextTableCellFormat format;
    format.setTopBorder(block.borderWidths[PLTextTableBlock::Top]);
    format.setLeftBorder(block.borderWidths[PLTextTableBlock::Left]);
    format.setBottomBorder(block.borderWidths[PLTextTableBlock::Bottom]);
    format.setRightBorder(block.borderWidths[PLTextTableBlock::Right]);
    const auto brush = [&](PLTextTableBlock::Edge edge) {
        const std::optional<QColor>& color = block.borderColors[edge];
        return color ? QBrush(*color) : QBrush(Qt::black);
    };
    format.setTopBorderBrush(brush(PLTextTableBlock::Top));
    format.setLeftBorderBrush(brush(PLTextTableBlock::Left));
    format.setBottomBorderBrush(brush(PLTextTableBlock::Bottom));
    format.setRightBorderBrush(brush(PLTextTableBlock::Right));
    format.setBorderStyle(QTextFrameFormat::BorderStyle_Solid);
    format.setTopPadding(block.padding[PLTextTableBlock::Top]);
    format.setLeftPadding(block.padding[PLTextTableBlock::Left]);
    format.setBottomPadding(block.padding[PLTextTableBlock::Bottom]);
    format.setRightPadding(block.padding[PLTextTableBlock::Right]);
    if (block.backgroundColor) format.setBackground(*block.backgroundColor);
    switch (block.verticalAlignment) {
    case PLTextTableBlock::VerticalAlignment::Top: format.setVerticalAlignment(QTextCharFormat::AlignTop); break;
    case PLTextTableBlock::VerticalAlignment::Middle: format.setVerticalAlignment(QTextCharFormat::AlignMiddle); break;
    case PLTextTableBlock::VerticalAlignment::Bottom: format.setVerticalAlignment(QTextCharFormat::AlignBottom); break;
    }
    for (int edge = 0; edge < 4; ++edge)
        if (!block.borderColors[size_t(edge)]) format.setProperty(BorderColorUnsetProperty + edge, true);
    if (block.width > 0) format.setProperty(CellWidthProperty, block.width);
    return format;
}

PLTextTableBlock PLTextDocumentConversion::textTableBlock(const QTextTableCellFormat& format)
{
    PLTextTableBlock block;
    block.borderWidths = {format.topBorder(), format.leftBorder(), format.bottomBorder(), format.rightBorder()};
    const QBrush brushes[] = {format.topBorderBrush(), format.leftBorderBrush(), format.bottomBorderBrush(), format.rightBorderBrush()};
    for (int edge = 0; edge < 4; ++edge) {
        if (block.borderWidths[size_t(edge)] > 0 && brushes[edge].style() != Qt::NoBrush
            && !format.boolProperty(BorderColorUnsetProperty + edge))
            block.borderColors[size_t(edge)] = brushes[edge].color();
    }
    block.padding = {format.topPadding(), format.leftPadding(), format.bottomPadding(), format.rightPadding()};
    if (format.hasProperty(QTextFormat::BackgroundBrush) && format.background().style() != Qt::NoBrush)
        block.backgroundColor = format.background().color();
    switch (format.verticalAlignment()) {
    case QTextCharFormat::AlignMiddle: block.verticalAlignment = PLTextTableBlock::VerticalAlignment::Middle; break;
    case QTextCharFormat::AlignBottom: block.verticalAlignment = PLTextTableBlock::VerticalAlignment::Bottom; break;
    default: break;
    }
    block.width = format.doubleProperty(CellWidthProperty);
    return block;
}

void PLTextDocumentConversion::toTextDocument(const PLAttributedString& text, QTextDocument* document)
{
    PL_ASSERT_PARAM(document, "document");
    document->clear();
    QTextCursor cursor(document);
    cursor.beginEditBlock();
    TableBuilder tables(text, cursor);
    const QString& string = text.string();
    const int length = text.length();
    int attachmentNumber = 0;
    int start = 0;
    while (true) {
        int end = start;
        while (end < length && !isParagraphEnd(string.at(end))) ++end;
        const std::optional<PLParagraphStyle> paragraphStyle = start < length ? text.attributesAt(start).paragraphStyle : std::nullopt;
        const PLParagraphStyle style = paragraphStyle.value_or(PLParagraphStyle());
        tables.enter(tableBlocksOf(paragraphStyle));
        if (tables.fresh) {
            cursor.setBlockFormat(blockFormat(style));
            // The separator's format, as below; the first paragraph has none and keeps its own.
            const QTextCharFormat separator = start > 0 ? charFormat(text.attributesAt(start - 1))
                                            : start < length ? charFormat(text.attributesAt(start))
                                                             : QTextCharFormat();
            if (tables.atCellStart) {
                // A cell's first block starts with the cell's own mark, whose format is the
                // cell's: the separator's format rides along in it.
                tables.setSeparatorFormat(separator);
            } else {
                cursor.setBlockCharFormat(separator);
            }
            tables.fresh = tables.atCellStart = false;
        } else {
            // The separator's format is that of the character that ended the previous paragraph.
            cursor.insertBlock(blockFormat(style), charFormat(text.attributesAt(start - 1)));
        }
        int index = start;
        while (index < end) {
            PLRange run;
            const PLTextAttributes& attributes = text.attributesAt(index, &run);
            const int runEnd = std::min(run.end(), end);
            const QTextCharFormat format = charFormat(attributes);
            if (attributes.attachment) {
                int segment = index;
                for (int i = index; i < runEnd; ++i) {
                    if (string.at(i) != QChar(PLAttributedString::AttachmentCharacter)) continue;
                    if (i > segment) cursor.insertText(string.mid(segment, i - segment), format);
                    const PLTextAttachment& attachment = *attributes.attachment;
                    const QString name = QStringLiteral("attachment:%1/%2")
                                             .arg(++attachmentNumber)
                                             .arg(QString::fromLatin1(QUrl::toPercentEncoding(attachment.fileName())));
                    // Qt shows pictures from their bytes; the bytes stay exactly as they were.
                    document->addResource(QTextDocument::ImageResource, QUrl(name), attachment.contents());
                    QTextImageFormat imageFormat;
                    imageFormat.merge(format);
                    imageFormat.setName(name);
                    imageFormat.setProperty(AttachmentNameProperty, attachment.fileName());
                    if (!attachment.displaySize().isEmpty()) {
                        imageFormat.setWidth(attachment.displaySize().width());
                        imageFormat.setHeight(attachment.displaySize().height());
                    }
                    cursor.insertImage(imageFormat);
                    segment = i + 1;
                }
                if (runEnd > segment) cursor.insertText(string.mid(segment, runEnd - segment), format);
            } else {
                cursor.insertText(string.mid(index, runEnd - index), format);
            }
            index = runEnd;
        }
        if (end >= length) break;
        start = end + 1;
        if (string.at(end) == QLatin1Char('\r') && start < length && string.at(start) == QLatin1Char('\n')) ++start;
    }
    cursor.endEditBlock();
}

PLAttributedString PLTextDocumentConversion::fromTextDocument(const QTextDocument* document)
{
    PL_ASSERT_PARAM(document, "document");
    PLAttributedString result;
    // Each paragraph's range (with the "\n" that ends it) and style, applied at the end.
    std::vector<std::pair<int, PLParagraphStyle>> paragraphs;
    QHash<const QTextTable*, PLTextTablePtr> tables;
    bool firstParagraph = true;
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        // The tables around the block, outermost first, each with the cell the block is in.
        QList<PLTextTableBlock> cells;
        QTextCursor at(block);
        int position = block.position();
        bool placeholderCell = false;
        std::optional<QTextCharFormat> separator; // for the first block of a cell
        for (QTextFrame* frame = at.currentFrame(); frame; frame = frame->parentFrame()) {
            const auto* table = qobject_cast<const QTextTable*>(frame);
            if (!table) {
                position = frame->firstPosition() - 1;
                continue;
            }
            const QTextTableCell cell = table->cellAt(position);
            position = table->firstPosition() - 1;
            if (!cell.isValid()) continue;
            PLTextTablePtr& shared = tables[table];
            if (!shared) {
                QList<double> widths;
                for (const QTextLength& length : table->format().columnWidthConstraints())
                    widths.append(length.type() == QTextLength::FixedLength ? length.rawValue() : 0);
                shared = PLTextTable::make(table->columns(), widths, table->format().doubleProperty(TableLeftEdgeProperty));
            }
            PLTextTableBlock tableBlock = textTableBlock(cell.format().toTableCellFormat());
            tableBlock.table = shared;
            tableBlock.row = cell.row();
            tableBlock.column = cell.column();
            tableBlock.rowSpan = cell.rowSpan();
            tableBlock.columnSpan = cell.columnSpan();
            if (cells.isEmpty()) {
                placeholderCell = cell.format().boolProperty(PlaceholderProperty);
                if (cell.firstPosition() == block.position())
                    separator = cell.format().property(SeparatorFormatProperty).value<QTextFormat>().toCharFormat();
            }
            cells.prepend(tableBlock);
        }
        // The empty blocks that tables and cells need around them are no paragraphs of the text.
        const bool empty = block.length() <= 1;
        if (empty && (placeholderCell || block.blockFormat().boolProperty(PlaceholderProperty))) continue;
        if (!firstParagraph) result.append(QStringLiteral("\n"), attributes(separator.value_or(block.charFormat())));
        firstParagraph = false;
        PLParagraphStyle style = paragraphStyle(block.blockFormat());
        style.textBlocks = cells.mid(0, PLTextTableBlock::MaximumNesting);
        const int start = result.length();
        if (QTextList* list = block.textList()) {
            const PLParagraphStyle::TextList textList{markerFormatFor(list->format()), 1};
            if (style.textLists.isEmpty() || !(style.textLists.last() == textList)) style.textLists = {textList};
            result.append(QLatin1Char('\t') + textList.marker(list->itemNumber(block) + 1) + QLatin1Char('\t'),
                          attributes(block.charFormat()));
        }
        paragraphs.emplace_back(start, style);
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.isValid()) continue;
            const QTextCharFormat format = fragment.charFormat();
            const PLTextAttributes a = attributes(format);
            if (!format.isImageFormat()) {
                result.append(fragment.text(), a);
                continue;
            }
            const QTextImageFormat image = format.toImageFormat();
            const QUrl url(image.name());
            // The bytes that went in, or a picture that an editor put in as an image.
            QByteArray bytes;
            const QVariant resource = document->resource(QTextDocument::ImageResource, url);
            if (resource.userType() == QMetaType::QByteArray) {
                bytes = resource.toByteArray();
            } else if (resource.canConvert<QImage>()) {
                QBuffer buffer(&bytes);
                buffer.open(QIODevice::WriteOnly);
                resource.value<QImage>().save(&buffer, "PNG");
            }
            QString name = image.property(AttachmentNameProperty).toString();
            if (name.isEmpty()) name = url.fileName().isEmpty() ? QStringLiteral("Picture.png") : url.fileName();
            const QSizeF size = image.hasProperty(QTextFormat::ImageWidth) && image.hasProperty(QTextFormat::ImageHeight)
                ? QSizeF(image.width(), image.height())
                : QSizeF();
            const PLTextAttachmentPtr attachment = PLTextAttachment::make(name, bytes, size);
            // One attachment character per image character of the fragment.
            for (int i = 0; i < fragment.length(); ++i) result.append(PLAttributedString::fromAttachment(attachment, a));
        }
    }
    for (size_t i = 0; i < paragraphs.size(); ++i) {
        if (paragraphs[i].second.isDefault()) continue;
        const int start = paragraphs[i].first;
        const int end = i + 1 < paragraphs.size() ? paragraphs[i + 1].first : result.length();
        PLTextAttributes paragraph;
        paragraph.paragraphStyle = paragraphs[i].second;
        if (end > start) result.addAttributes(paragraph, PLRange(start, end - start));
    }
    return result;
}
