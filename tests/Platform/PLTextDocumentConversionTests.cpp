#include "Platform/Text/PLRTFReader.h"
#include "Platform/Text/PLTextDocumentConversion.h"

#include "RichTextTestSupport.h"

#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>

#include <gtest/gtest.h>

namespace {

PLTextAttributes helvetica()
{
    PLTextAttributes a;
    a.font = PLFont(QStringLiteral("Helvetica"), 12);
    return a;
}

// Paragraph by paragraph: what Qt shows, what it cannot show, a picture and a link.
PLAttributedString sampleText()
{
    PLAttributedString text;
    PLTextAttributes a = helvetica();
    text.append(QStringLiteral("Plain "), a);
    a.font = PLFont(QStringLiteral("Arial"), 14.5, true, true);
    a.foregroundColor = QColor(10, 20, 30);
    a.backgroundColor = QColor::fromRgbF(1, 1, 0, 0.5);
    a.underlineStyle = PLTextAttributes::LineStyleSingle | PLTextAttributes::LinePatternDash;
    a.underlineColor = QColor(Qt::green);
    text.append(QStringLiteral("styled"), a);
    PLTextAttributes hidden = helvetica();
    hidden.underlineStyle = PLTextAttributes::LineStyleDouble; // Qt draws a single line
    hidden.strikethroughStyle = PLTextAttributes::LineStyleThick;
    hidden.strikethroughColor = QColor(Qt::red);
    hidden.superscript = 2;
    hidden.baselineOffset = 3.5;
    text.append(QStringLiteral(" kept"), hidden);
    PLTextAttributes sub = helvetica();
    sub.superscript = -1;
    text.append(QStringLiteral("sub"), sub);
    PLTextAttributes sized;
    sized.font = PLFont(QString(), 20);
    text.append(QStringLiteral(" sized"), sized);
    text.append(QStringLiteral(" bare\n"), PLTextAttributes());

    PLParagraphStyle centred;
    centred.alignment = PLParagraphStyle::Alignment::Center;
    centred.leftIndent = 20;
    centred.firstLineIndent = 30;
    centred.rightIndent = 5;
    centred.spacingBefore = 4;
    centred.spacingAfter = 8;
    centred.lineHeightMultiple = 1.5;
    centred.maximumLineHeight = 40; // Qt keeps one kind of line height
    centred.defaultTabInterval = 20;
    using K = PLParagraphStyle::TabStop::Kind;
    centred.tabStops = {{50, K::Left}, {100, K::Right}, {150, K::Center}, {200, K::Decimal}};
    PLTextAttributes p = helvetica();
    p.paragraphStyle = centred;
    text.append(QStringLiteral("Centred with a "), p);
    PLTextAttributes link = p;
    link.link = QStringLiteral("https://example.com/");
    text.append(QStringLiteral("link"), link);
    text.append(QStringLiteral(" and a picture "), p);
    text.append(PLAttributedString::fromAttachment(
        PLTextAttachment::make(QStringLiteral("red.png"), RichTextTest::pngBytes(12, 6, Qt::red), QSizeF(24, 12)), p));
    text.append(PLAttributedString::fromAttachment(
        PLTextAttachment::make(QStringLiteral("notes.txt"), QByteArray("not a picture")), p));
    text.append(QString::fromUtf8("\u2028second line\n"), p);

    PLParagraphStyle list;
    list.textLists = {{QStringLiteral("{disc}"), 1}};
    list.writingDirection = PLParagraphStyle::WritingDirection::LeftToRight;
    PLTextAttributes l = helvetica();
    l.paragraphStyle = list;
    text.append(QString::fromUtf8("\t\u2022\tItem\n"), l);
    text.append(QStringLiteral("last"), helvetica());
    return text;
}

QTextCharFormat formatAt(QTextDocument& document, int position)
{
    QTextCursor cursor(&document);
    cursor.setPosition(position + 1);
    return cursor.charFormat();
}

} // namespace

TEST(PLTextDocumentConversion, TextComesBackUnchanged)
{
    const PLAttributedString text = sampleText();
    QTextDocument document;
    PLTextDocumentConversion::toTextDocument(text, &document);
    EXPECT_EQ(PLTextDocumentConversion::fromTextDocument(&document), text);

    for (const PLAttributedString& edge : {PLAttributedString(), PLAttributedString(QStringLiteral("\n\n"), helvetica())}) {
        PLTextDocumentConversion::toTextDocument(edge, &document);
        EXPECT_EQ(PLTextDocumentConversion::fromTextDocument(&document), edge);
    }
}

TEST(PLTextDocumentConversion, QtShowsWhatItCan)
{
    const PLAttributedString text = sampleText();
    QTextDocument document;
    PLTextDocumentConversion::toTextDocument(text, &document);
    EXPECT_EQ(document.blockCount(), 4);

    const QTextCharFormat styled = formatAt(document, int(text.string().indexOf(QLatin1String("styled"))));
    EXPECT_EQ(styled.font().families().value(0), QStringLiteral("Arial"));
    EXPECT_EQ(styled.fontPointSize(), 14.5);
    EXPECT_EQ(styled.fontWeight(), QFont::Bold);
    EXPECT_TRUE(styled.fontItalic());
    EXPECT_EQ(styled.foreground().color(), QColor(10, 20, 30));
    EXPECT_EQ(styled.underlineStyle(), QTextCharFormat::DashUnderline);
    EXPECT_EQ(styled.underlineColor(), QColor(Qt::green));
    const QTextCharFormat kept = formatAt(document, int(text.string().indexOf(QLatin1String("kept"))));
    EXPECT_EQ(kept.underlineStyle(), QTextCharFormat::SingleUnderline);
    EXPECT_TRUE(kept.fontStrikeOut());
    EXPECT_EQ(kept.verticalAlignment(), QTextCharFormat::AlignSuperScript);
    EXPECT_EQ(formatAt(document, int(text.string().indexOf(QLatin1String("sub")))).verticalAlignment(),
              QTextCharFormat::AlignSubScript);
    const QTextCharFormat link = formatAt(document, int(text.string().indexOf(QLatin1String("link"))));
    EXPECT_TRUE(link.isAnchor());
    EXPECT_EQ(link.anchorHref(), QStringLiteral("https://example.com/"));

    const QTextBlockFormat centred = document.findBlockByNumber(1).blockFormat();
    EXPECT_EQ(centred.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    EXPECT_EQ(centred.leftMargin(), 20);
    EXPECT_EQ(centred.textIndent(), 10);
    EXPECT_EQ(centred.rightMargin(), 5);
    EXPECT_EQ(centred.lineHeightType(), QTextBlockFormat::ProportionalHeight);
    EXPECT_EQ(centred.lineHeight(), 150);
    EXPECT_EQ(centred.tabPositions().size(), 4);

    const int picture = int(text.string().indexOf(QChar(0xFFFC)));
    const QTextCharFormat image = formatAt(document, picture);
    ASSERT_TRUE(image.isImageFormat());
    EXPECT_EQ(image.toImageFormat().width(), 24);
    const QVariant resource = document.resource(QTextDocument::ImageResource, QUrl(image.toImageFormat().name()));
    EXPECT_FALSE(QImage::fromData(resource.toByteArray()).isNull());
    QImage canvas(800, 300, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    QPainter painter(&canvas);
    document.drawContents(&painter);
    painter.end();
    int redPixels = 0;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x)
            if (canvas.pixel(x, y) == qRgb(255, 0, 0)) ++redPixels;
    EXPECT_GT(redPixels, 100) << "the picture is drawn";
    EXPECT_EQ(document.toRawText(), QString(text.string()).replace(QLatin1Char('\n'), QChar::ParagraphSeparator));
}

TEST(PLTextDocumentConversion, EditsInQtWinOverKeptValues)
{
    const PLAttributedString text = sampleText();
    QTextDocument document;
    PLTextDocumentConversion::toTextDocument(text, &document);

    const int kept = int(text.string().indexOf(QLatin1String("kept")));
    QTextCursor cursor(&document);
    cursor.setPosition(kept);
    cursor.setPosition(kept + 4, QTextCursor::KeepAnchor);
    QTextCharFormat edit;
    edit.setUnderlineStyle(QTextCharFormat::DotLine);
    edit.setVerticalAlignment(QTextCharFormat::AlignNormal);
    cursor.mergeCharFormat(edit);
    cursor.setPosition(text.string().indexOf(QLatin1String("Centred")));
    QTextBlockFormat block;
    block.setAlignment(Qt::AlignRight | Qt::AlignAbsolute);
    block.setLineHeight(12, QTextBlockFormat::FixedHeight);
    cursor.mergeBlockFormat(block);

    const PLAttributedString back = PLTextDocumentConversion::fromTextDocument(&document);
    ASSERT_EQ(back.string(), text.string());
    const PLTextAttributes& edited = back.attributesAt(kept);
    EXPECT_EQ(edited.underlineStyle, PLTextAttributes::LineStyleSingle | PLTextAttributes::LinePatternDot);
    EXPECT_FALSE(edited.superscript);
    EXPECT_EQ(edited.strikethroughStyle, PLTextAttributes::LineStyleThick) << "what was not edited keeps its value";
    EXPECT_EQ(edited.strikethroughColor, QColor(Qt::red));
    const PLParagraphStyle paragraph = back.attributesAt(int(text.string().indexOf(QLatin1String("Centred")))).paragraphStyle.value();
    EXPECT_EQ(paragraph.alignment, PLParagraphStyle::Alignment::Right);
    EXPECT_EQ(paragraph.minimumLineHeight, 12);
    EXPECT_EQ(paragraph.maximumLineHeight, 12);
    EXPECT_EQ(paragraph.lineHeightMultiple, 0);
    EXPECT_EQ(paragraph.leftIndent, 20) << "what was not edited keeps its value";
    EXPECT_EQ(paragraph.defaultTabInterval, 20);
}

TEST(PLTextDocumentConversion, QtListsAndSeparatorsBecomeRichTextForms)
{
    QTextDocument document;
    QTextCursor cursor(&document);
    cursor.insertText(QStringLiteral("Intro"));
    cursor.insertBlock();
    QTextListFormat numbered;
    numbered.setStyle(QTextListFormat::ListDecimal);
    cursor.createList(numbered);
    cursor.insertText(QStringLiteral("One"));
    cursor.insertBlock();
    cursor.insertText(QStringLiteral("Two"));

    const PLAttributedString text = PLTextDocumentConversion::fromTextDocument(&document);
    EXPECT_EQ(text.string(), QStringLiteral("Intro\n\t1.\tOne\n\t2.\tTwo"));
    const PLParagraphStyle style = text.attributesAt(int(text.string().indexOf(QLatin1String("Two")))).paragraphStyle.value();
    ASSERT_EQ(style.textLists.size(), 1);
    EXPECT_EQ(style.textLists[0].markerFormat, QStringLiteral("{decimal}."));
    EXPECT_FALSE(text.attributesAt(0).paragraphStyle);

    PLTextDocumentConversion::toTextDocument(PLAttributedString(QString::fromUtf8("a\r\nb\rc\u2029d\ne")), &document);
    EXPECT_EQ(document.blockCount(), 5);
    EXPECT_EQ(PLTextDocumentConversion::fromTextDocument(&document).string(), QStringLiteral("a\nb\nc\nd\ne"));
}

TEST(PLTextDocumentConversion, TablesBecomeQtTablesAndComeBack)
{
    const char* const hand = R"({\rtf1 \trowd\cellx1000\cellx2000\pard\intbl\itap2 in\nestcell{\*\nesttableprops\trowd\cellx500\nestrow}
\pard\intbl\cell\pard\intbl b\cell\row\trowd\clbrdrt\brdrs\brdrw30\brdrcf1\clpadl80\clcbpat1\clvertalb\cellx2000\pard\intbl wide\cell\row})";
    for (const QByteArray& rtf : {RichTextTest::fixture("libreoffice-tables.rtf"), RichTextTest::fixture("editor-tables.rtf"), QByteArray(hand)}) {
        SCOPED_TRACE(rtf.left(60).toStdString());
        const PLAttributedString text = *PLRTFReader::read(rtf);
        QTextDocument document;
        PLTextDocumentConversion::toTextDocument(text, &document);
        const PLAttributedString back = PLTextDocumentConversion::fromTextDocument(&document);
        EXPECT_EQ(RichTextTest::tableOutline(back), RichTextTest::tableOutline(text));
        ASSERT_EQ(back.string(), text.string());
        for (int i = 0; i < text.length(); ++i) {
            const auto blocks = [](const PLAttributedString& t, int at) {
                const auto& style = t.attributesAt(at).paragraphStyle;
                return style ? style->textBlocks : QList<PLTextTableBlock>();
            };
            const QList<PLTextTableBlock> before = blocks(text, i);
            const QList<PLTextTableBlock> after = blocks(back, i);
            ASSERT_EQ(before.size(), after.size()) << i;
            for (int level = 0; level < before.size(); ++level) EXPECT_TRUE(before[level].sameCell(after[level])) << i;
            // And so do the other attributes, those of the separators between cells too.
            const auto withoutTables = [](PLTextAttributes a) {
                if (a.paragraphStyle) a.paragraphStyle->textBlocks.clear();
                return a;
            };
            EXPECT_EQ(withoutTables(back.attributesAt(i)), withoutTables(text.attributesAt(i))) << i;
        }
    }

    // Qt sees the structure: the spans, the nesting, the cell settings.
    const PLAttributedString text = *PLRTFReader::read(hand);
    QTextDocument document;
    PLTextDocumentConversion::toTextDocument(text, &document);
    QTextCursor cursor = document.find(QStringLiteral("wide"));
    QTextTable* outer = cursor.currentTable();
    ASSERT_TRUE(outer);
    EXPECT_EQ(outer->rows(), 2);
    EXPECT_EQ(outer->cellAt(cursor).columnSpan(), 2);
    const QTextTableCellFormat wide = outer->cellAt(cursor).format().toTableCellFormat();
    EXPECT_EQ(wide.topBorder(), 1.5);
    EXPECT_EQ(wide.leftPadding(), 4);
    EXPECT_EQ(wide.verticalAlignment(), QTextCharFormat::AlignBottom);
    QTextTable* inner = document.find(QStringLiteral("in")).currentTable();
    ASSERT_TRUE(inner);
    EXPECT_EQ(inner->parentFrame(), outer);

    // Edits made in Qt come back as they are: a row added at the end holds new cells.
    outer->appendRows(1);
    QTextCursor added = outer->cellAt(2, 1).firstCursorPosition();
    added.insertText(QStringLiteral("new"));
    const PLAttributedString edited = PLTextDocumentConversion::fromTextDocument(&document);
    EXPECT_TRUE(RichTextTest::tableOutline(edited).endsWith(QStringLiteral("[0 2,0]\n[0 2,1]new\n")))
        << RichTextTest::tableOutline(edited).toStdString();
}
