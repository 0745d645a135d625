// The note text view: what a colour picked for either well does (a nearly transparent one
// removes the colour), superscript and subscript as toggles, and pictures shrunk to fit
// 100 × 100 when the user changes the text but not when a note is loaded.
#include "Inspectors/IXColorWell.h"
#include "Inspectors/IXNoteTextView.h"
#include "Platform/Text/PLTextAttachment.h"
#include "Platform/Text/PLTextDocumentConversion.h"

#include <QBuffer>
#include <QColorDialog>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextFragment>

#include <gtest/gtest.h>

namespace {

QByteArray pngBytes(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    // 72 dpi: a point per pixel.
    image.setDotsPerMeterX(2835);
    image.setDotsPerMeterY(2835);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// The sizes of the pictures of the text as it would be stored, in whole points.
QList<QSize> pictureSizes(const IXNoteTextView& view)
{
    QList<QSize> sizes;
    for (const PLTextAttachmentPtr& attachment : view.noteText().attachments())
        sizes.append(attachment->size().toSize());
    return sizes;
}

class NoteTextViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_view.setColorWells(&m_foreground, &m_background);
        for (IXColorWell* well : {&m_foreground, &m_background}) well->setMixedColor(IXMixedValue<PLColor>(PLColor()));
        m_view.setNoteText(PLAttributedString(QStringLiteral("red green blue")));
    }
    void TearDown() override
    {
        m_foreground.deactivate();
        m_background.deactivate();
        IXColorWell::colorDialog()->hide();
    }
    void selectRange(int from, int to)
    {
        QTextCursor cursor(m_view.document());
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        m_view.setTextCursor(cursor);
    }
    PLTextAttributes attributesAt(int index) const { return m_view.noteText().attributesAt(index); }

    IXColorWell m_foreground;
    IXColorWell m_background;
    IXNoteTextView m_view;
};

TEST_F(NoteTextViewTest, AColourGoesWhereTheActiveWellSaysAndAFaintOneRemovesIt)
{
    const QColor red(255, 0, 0);
    selectRange(0, 3);
    // Neither well: the text colour.
    m_view.changeColor(red);
    EXPECT_EQ(attributesAt(0).foregroundColor, red);
    EXPECT_FALSE(attributesAt(0).backgroundColor);
    EXPECT_FALSE(attributesAt(4).foregroundColor);
    EXPECT_EQ(m_view.selectedColor(false), red);

    m_background.activate();
    m_view.changeColor(QColor(255, 255, 0));
    EXPECT_EQ(attributesAt(2).backgroundColor, QColor(255, 255, 0));
    EXPECT_EQ(attributesAt(2).foregroundColor, red);
    EXPECT_EQ(m_view.color(), QColor(255, 255, 0));

    m_foreground.activate();
    QColor faint = red;
    faint.setAlphaF(0.1f);
    m_view.changeColor(faint);
    EXPECT_FALSE(attributesAt(0).foregroundColor);
    EXPECT_EQ(attributesAt(0).backgroundColor, QColor(255, 255, 0));
    EXPECT_EQ(m_view.color(), QColor(Qt::black));
    // With no well active a faint colour does nothing.
    m_foreground.deactivate();
    m_view.changeColor(faint);
    EXPECT_FALSE(attributesAt(0).foregroundColor);
    // Mixed colours over the selection show none.
    selectRange(0, 8);
    m_view.changeColor(red);
    selectRange(2, 12);
    EXPECT_FALSE(m_view.selectedColor(false));
}

TEST_F(NoteTextViewTest, SuperscriptAndSubscriptToggle)
{
    selectRange(4, 9);
    const struct {
        void (IXNoteTextView::*press)(QObject*);
        std::optional<int> level;
    } presses[] = {
        {&IXNoteTextView::superscript, 1}, {&IXNoteTextView::superscript, std::nullopt},
        {&IXNoteTextView::subscript, -1},  {&IXNoteTextView::subscript, std::nullopt},
        {&IXNoteTextView::subscript, -1},  {&IXNoteTextView::superscript, std::nullopt},
    };
    for (const auto& press : presses) {
        (m_view.*press.press)(nullptr);
        const std::optional<int> level = attributesAt(5).superscript;
        EXPECT_EQ(level.value_or(0), press.level.value_or(0));
    }
    EXPECT_FALSE(attributesAt(0).superscript.value_or(0));
}

TEST(NoteTextViewPictures, ShrinkToTheBoxKeepingTheirRatio)
{
    const struct {
        QSizeF size;
        QSize expected;
    } cases[] = {
        {{400, 200}, {100, 50}}, {{150, 301}, {50, 100}}, {{100, 100}, {100, 100}},
        {{101, 67}, {100, 66}},  {{30, 20}, {30, 20}},
    };
    for (const auto& each : cases) {
        EXPECT_EQ(IXNoteTextView::adjustedSize(each.size, {100, 100}), each.expected) << each.size.width();
        const QImage image(each.size.toSize(), QImage::Format_RGB32);
        EXPECT_EQ(IXNoteTextView::adjustedImage(image, {100, 100}).size(), each.expected);
    }
    EXPECT_TRUE(IXNoteTextView::adjustedImage(QImage(), {100, 100}).isNull());
}

TEST(NoteTextViewPictures, ALoadedNoteKeepsItsPicturesUntilTheUserTypes)
{
    IXNoteTextView view;
    PLAttributedString text(QStringLiteral("Picture: "));
    text.append(
        PLAttributedString::fromAttachment(PLTextAttachment::make(QStringLiteral("wide.png"), pngBytes(400, 200))));
    text.append(
        PLAttributedString::fromAttachment(PLTextAttachment::make(QStringLiteral("small.png"), pngBytes(40, 30))));
    view.setNoteText(text);
    EXPECT_EQ(pictureSizes(view), (QList<QSize> {{400, 200}, {40, 30}}));
    EXPECT_FALSE(view.isTextChanged());

    view.moveCursor(QTextCursor::End);
    QTest::keyClicks(&view, QStringLiteral("!"));
    EXPECT_TRUE(view.isTextChanged());
    const QList<PLTextAttachmentPtr> attachments = view.noteText().attachments();
    ASSERT_EQ(attachments.size(), 2);
    EXPECT_EQ(attachments[0]->size(), QSizeF(100, 50));
    EXPECT_EQ(attachments[0]->image().size(), QSize(100, 50));
    EXPECT_EQ(attachments[0]->fileName(), QStringLiteral("wide.png"));
    EXPECT_EQ(attachments[1]->size().toSize(), QSize(40, 30));
    EXPECT_EQ(attachments[1]->contents(), pngBytes(40, 30));

    // An inserted picture is shrunk as well; bytes that are no picture are refused.
    EXPECT_TRUE(view.insertPicture(QStringLiteral("tall.png"), pngBytes(150, 301)));
    EXPECT_FALSE(view.insertPicture(QStringLiteral("notes.txt"), QByteArrayLiteral("plain words")));
    EXPECT_EQ(pictureSizes(view).last(), QSize(50, 100));
}

}  // namespace
