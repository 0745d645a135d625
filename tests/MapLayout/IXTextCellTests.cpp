#include "DocumentModel/IXPictureNode.h"
#include "DocumentModel/IXSpellCheckingNotices.h"
#include "IXMapCellTestSupport.h"
#include "IXTextMeasurementsProbe.h"
#include "MapLayout/IXTextCell.h"
#include "MapLayout/IXTextMeasurements.h"
#include "Platform/Core/PLLog.h"
#include "Platform/Core/PLNotificationCenter.h"
#include "Platform/Drawing/PLGraphicsContext.h"
#include "Platform/Text/PLSpellChecker.h"
#include "Platform/Text/PLTextLayout.h"
#include "Utilities/UTDateTime.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

struct TitleCase {
    const char* name;
    QString title;
    bool wordWrap;
    bool windows;
    float minLength;
    PLSize box;           // zero: the default box
    float expectedWidth;  // -1: the natural width of the text, at least the minimum length
};

// Widths that do not depend on the font: wrapping titles take the box (at least the minimum
// length), others their natural width (at least the minimum length); the Windows-compatible
// layout grows both by 1.3 (+10 in width).
TEST(IXTextCellTests, TitleWidthsFollowTheBoxTheMinimumLengthAndTheWindowsMetrics)
{
    const TitleCase cases[] = {
        {"short title, wrap off: the 40-point minimum", QStringLiteral("A"), false, false, 40, {}, 40},
        {"short title, wrapping: the default box", QStringLiteral("A"), true, false, 40, {}, 200},
        {"wrapping in a set box, rounded up", QStringLiteral("A"), true, false, 40, {150.2f, 700}, 151},
        {"box narrower than the minimum", QStringLiteral("A"), true, false, 60, {30, 700}, 60},
        {"box wider than the measuring container", QStringLiteral("A"), true, false, 40, {5000, 700}, 1200},
        {"long title, wrap off: natural width", QStringLiteral("A rather long title that would wrap"), false, false, 40, {100, 700}, -1},
        {"Windows: not wrapped, 1.3 x 40 + 10", QStringLiteral("A"), true, true, 40, {}, 62},
        {"Windows: 1.3 x 100 + 10", QStringLiteral("Ab"), true, true, 100, {}, 140},
    };
    for (const TitleCase& c : cases) {
        SCOPED_TRACE(c.name);
        CellFixture f;
        auto branch = f.map.addRoot(c.title);
        f.context()->setWindowsCompatibleLayout(c.windows);
        auto style = f.styleOf(branch);
        style->setDocumentWordWrap(c.wordWrap);
        style->setDocumentBranchMinLength(c.minLength);
        auto cell = f.make<IXTextCell>(branch);
        if (c.box != PLSize()) cell->setBoxSize(c.box);

        const PLSize text = cell->cellTextSize();
        const PLSize size = cell->frame().size;
        const float expected = c.expectedWidth >= 0 ? c.expectedWidth : std::max(text.width, c.minLength);
        EXPECT_EQ(size.width, expected);
        EXPECT_EQ(cell->bounds(), PLRect(0, 0, size.width, size.height));
        EXPECT_EQ(cell->lineBreak(), c.windows || !c.wordWrap ? IXTextCell::LineBreakNone : IXTextCell::LineBreakWrap);
        EXPECT_GT(text.width, 0);
        // One line; the Windows layout grows it by 1.3.
        EXPECT_EQ(size.height, c.windows ? std::ceil(double(text.height) * 1.3) : text.height);
    }
}

TEST(IXTextCellTests, AWrappingTitleGrowsInLinesAndSetBoxSizeLaysOutOnlyOnAChange)
{
    CellFixture f;
    auto branch = f.map.addRoot(QStringLiteral("one two three four five six seven eight nine ten"));
    auto cell = f.make<IXTextCell>(branch);
    const PLSize oneLine = cell->cellTextSize();
    cell->setBoxSize(PLSize(60, 700));
    EXPECT_EQ(cell->frame().width(), 60);
    EXPECT_GE(cell->frame().height(), 3 * oneLine.height);
    EXPECT_EQ(std::fmod(cell->frame().height(), 1.0f), 0);

    const std::uint64_t layouts = IXTextMeasurementsProbe::layoutCount();
    cell->setBoxSize(PLSize(59.5f, 699.2f));  // rounds up to the same box
    cell->invalidateLayout();
    EXPECT_EQ(cell->frame().width(), 60);
    EXPECT_EQ(IXTextMeasurementsProbe::layoutCount(), layouts);
}

struct FloatingCase {
    const char* name;
    float commentTextWidth;
    float frameWidth;
    float expectedBoxWidth;
};

TEST(IXTextCellTests, FloatingTextBoxAndSize)
{
    const FloatingCase cases[] = {
        {"comment width 40: the default box", 40, 0, 200},
        {"comment width 150", 150, 0, 150},
        {"comment width 150 and a frame of 1", 150, 1, 150},
        {"comment width 300 and a frame of 2", 300, 2, 300},
    };
    for (const FloatingCase& c : cases) {
        SCOPED_TRACE(c.name);
        CellFixture f;
        auto comment = f.addComment(QStringLiteral("Note"));
        auto style = f.styleOf(comment);
        style->setCommentTextWidth(c.commentTextWidth);
        style->setFloatingFrameWidth(c.frameWidth);
        style->setDocumentBranchMinLength(20);
        style->setFloatingTargetOffset(PLPoint(30, -40));
        auto cell = f.make<IXTextCell>(comment);
        ASSERT_TRUE(cell->isFloating());
        EXPECT_EQ(cell->cellBoxSize(), PLSize(c.expectedBoxWidth, 1000));
        const PLRect frame = cell->frame();
        EXPECT_EQ(frame.origin, PLPoint(30, -40));
        EXPECT_EQ(frame.width(), std::max(c.commentTextWidth, c.expectedBoxWidth + 4 * c.frameWidth));
        EXPECT_EQ(frame.height(), cell->cellTextSize().height + 4 * c.frameWidth);
    }
}

TEST(IXTextCellTests, TimelineRootShowsItsDates)
{
    CellFixture f(QStringLiteral("timeline"));
    auto root = f.map.addRoot(QStringLiteral("Project"));
    auto child = MapFixture::addChild(root, QStringLiteral("Step"));
    const UTDateTime begin = *UTDateTime::fromString(QStringLiteral("Y2020/3/1"));
    const UTDateTime end = *UTDateTime::fromString(QStringLiteral("Y2021/6/2"));
    const UTDateTimeFormatter& formatter = f.map.document->timeScaleFormatter();
    const QString b = formatter.stringForObjectValue(begin);
    const QString e = formatter.stringForObjectValue(end);
    ASSERT_FALSE(b.isEmpty());

    auto cell = f.make<IXTextCell>(root);
    auto childCell = f.make<IXTextCell>(child);
    cell->cellTextSize();
    EXPECT_EQ(cell->text().string(), QStringLiteral("Project"));
    root->setBeginDate(begin);
    child->setBeginDate(begin);
    cell->invalidateLayout();
    childCell->cellTextSize();
    cell->cellTextSize();
    EXPECT_EQ(cell->text().string(), QStringLiteral("Project\n") + b);
    EXPECT_EQ(childCell->text().string(), QStringLiteral("Step"));
    root->setEndDate(end);
    cell->invalidateLayout();
    cell->cellTextSize();
    EXPECT_EQ(cell->text().string(), QStringLiteral("Project\n") + b + QStringLiteral(" - ") + e);
}

TEST(IXTextCellTests, MeasurementsAreSharedAndOnlyChangedTextsAreMeasuredAgain)
{
    CellFixture f;
    auto a = f.map.addRoot(QStringLiteral("Measured once 12"));
    auto b = f.map.addRoot(QStringLiteral("Measured once 12"));
    auto cellA = f.make<IXTextCell>(a);
    auto cellB = f.make<IXTextCell>(b);
    IXTextMeasurements& measurements = IXTextMeasurements::shared();
    measurements.clear();
    const std::uint64_t start = IXTextMeasurementsProbe::layoutCount(measurements);
    cellA->frame();
    EXPECT_EQ(IXTextMeasurementsProbe::layoutCount(measurements), start + 1);  // its natural size; it fits its box
    cellB->frame();
    EXPECT_EQ(IXTextMeasurementsProbe::layoutCount(measurements), start + 1);
    EXPECT_EQ(cellA->frame(), cellB->frame());

    cellA->invalidateLayout();
    cellB->invalidateLayout();
    cellA->frame();
    cellB->frame();
    EXPECT_EQ(IXTextMeasurementsProbe::layoutCount(measurements), start + 1);

    b->setTitle(QStringLiteral("Another title"));
    cellA->invalidateLayout();
    cellB->invalidateLayout();
    cellA->frame();
    cellB->frame();
    EXPECT_EQ(IXTextMeasurementsProbe::layoutCount(measurements), start + 2);
    EXPECT_LT(cellB->cellTextSize().width, cellA->cellTextSize().width);

    // A text wider than its box is laid out in the box too, and its lines stack up.
    cellB->setBoxSize(PLSize(40, 700));
    EXPECT_EQ(IXTextMeasurementsProbe::layoutCount(measurements), start + 3);
    EXPECT_GT(cellB->frame().height(), cellA->frame().height());

    // A new font is a new measurement even for the same text.
    IXStyleTextAttributes attributes;
    attributes.font = QFont(QStringLiteral("Helvetica"), 30);
    f.styleOf(a)->setBranchTextAttributes(attributes);
    cellA->invalidateLayout();
    EXPECT_GT(cellA->cellTextSize().height, cellB->cellTextSize().height);
    EXPECT_EQ(IXTextMeasurementsProbe::layoutCount(measurements), start + 4);
}

// Whatever the cell reuses of its measurement in the wide container, its size is that of its
// text laid out in its box.
TEST(IXTextCellTests, CellSizesAreThoseOfTheTextLaidOutInItsBox)
{
    const QString titles[] = {
        QStringLiteral("Short"),
        QStringLiteral("Two\nlines"),
        QStringLiteral("Trailing spaces   "),
        QStringLiteral("A title long enough to wrap in the narrower boxes below"),
        QStringLiteral("Ünïcödé — “quoted” 日本語"),
        QStringLiteral("Averyveryverylongwordwithoutanybreaks"),
    };
    const float boxes[] = {40, 90, 200, 1200};
    for (const QString& title : titles) {
        for (const float box : boxes) {
            SCOPED_TRACE(title.toStdString() + " in " + std::to_string(box));
            CellFixture f;
            auto branch = f.map.addRoot(title);
            f.styleOf(branch)->setDocumentBranchMinLength(20);
            auto cell = f.make<IXTextCell>(branch);
            cell->setBoxSize(PLSize(box, 700));
            PLTextLayout layout;
            layout.setText(cell->text());
            layout.setContainerSize(PLSize(box, 700));
            EXPECT_EQ(cell->frame().size, PLSize(std::ceil(float(layout.fullRect().width())), std::ceil(float(layout.fullRect().height()))));
        }
    }
}

TEST(IXTextCellTests, ANodeThatIsNeitherABranchNorACommentIsLoggedAndShowsNothing)
{
    CellFixture f;
    auto picture = std::make_shared<IXPictureNode>();
    picture->setTitle(QStringLiteral("Not a text"));
    f.map.document->addPicture(picture);
    QStringList lines;
    const PLLog::Sink previous = PLLog::setSink([&](const QString& line) { lines << line; });
    auto cell = f.make<IXTextCell>(picture);
    EXPECT_EQ(cell->frame().size, PLSize());
    PLLog::setSink(previous);
    EXPECT_TRUE(lines.contains(QStringLiteral("Invalid node for IXTextCell")));
    EXPECT_TRUE(cell->text().isEmpty());
}

std::vector<PLRange> rangesOf(IXTextCell& cell)
{
    cell.cellTextSize();
    return cell.misspelledRanges();
}

TEST(IXTextCellTests, MisspelledWordsAreFoundAndAnIgnoredWordIsDroppedInEveryCellOfItsDocument)
{
    if (!PLSpellChecker::sharedChecker().isAvailable()) GTEST_SKIP() << "no en_US dictionary";
    CellFixture f;
    CellFixture other;
    f.context()->setShowSpelling(true);
    other.context()->setShowSpelling(true);
    auto a = f.map.addRoot(QStringLiteral("Helo big wrld"));
    auto comment = f.addComment(QStringLiteral("wrld peace"));
    auto elsewhere = other.map.addRoot(QStringLiteral("wrld"));
    auto cellA = f.make<IXTextCell>(a);
    auto cellC = f.make<IXTextCell>(comment);
    auto cellOther = other.make<IXTextCell>(elsewhere);

    EXPECT_EQ(rangesOf(*cellA), (std::vector<PLRange>{{0, 4}, {9, 4}}));
    EXPECT_EQ(rangesOf(*cellC), (std::vector<PLRange>{{0, 4}}));
    EXPECT_EQ(rangesOf(*cellOther), (std::vector<PLRange>{{0, 4}}));

    IXSpellCheckingNotices::ignoreWord(QStringLiteral("wrld"), f.map.document->spellDocumentTag(), &f);
    EXPECT_EQ(cellA->misspelledRanges(), (std::vector<PLRange>{{0, 4}}));
    EXPECT_TRUE(cellC->misspelledRanges().empty());
    EXPECT_EQ(cellOther->misspelledRanges(), (std::vector<PLRange>{{0, 4}}));
    PLSpellChecker::sharedChecker().closeSpellDocument(f.map.document->spellDocumentTag());
}

TEST(IXTextCellTests, SpellingShownLaterMarksAnUnchangedTextAndHidingItClearsTheMarks)
{
    if (!PLSpellChecker::sharedChecker().isAvailable()) GTEST_SKIP() << "no en_US dictionary";
    CellFixture f;
    auto a = f.map.addRoot(QStringLiteral("Helo"));
    auto cell = f.make<IXTextCell>(a);
    EXPECT_TRUE(rangesOf(*cell).empty());
    f.context()->setShowSpelling(true);
    cell->invalidateLayout();
    EXPECT_EQ(rangesOf(*cell), (std::vector<PLRange>{{0, 4}}));
    f.context()->setShowSpelling(false);
    cell->invalidateLayout();
    EXPECT_TRUE(rangesOf(*cell).empty());
}

// A layout checks no spelling: a cell checks (and listens for ignored words) once its marks
// are drawn or asked for, and checks again only after its text changed.
TEST(IXTextCellTests, SpellingIsCheckedWhenTheMarksAreFirstWantedAndAgainAfterAnEdit)
{
    if (!PLSpellChecker::sharedChecker().isAvailable()) GTEST_SKIP() << "no en_US dictionary";
    CellFixture f;
    f.context()->setShowSpelling(true);
    auto a = f.map.addRoot(QStringLiteral("Helo"));
    auto b = f.map.addRoot(QStringLiteral("Byee"));
    auto asked = f.make<IXTextCell>(a);
    auto drawn = f.make<IXTextCell>(b);
    asked->cellTextSize();
    drawn->cellTextSize();

    EXPECT_EQ(asked->misspelledRanges(), (std::vector<PLRange> {{0, 4}}));
    QImage image(200, 50, QImage::Format_ARGB32_Premultiplied);
    PLGraphicsContext graphics(image);
    drawn->draw(graphics);
    // Drawn, the cell listens: an ignored word leaves its marks at once.
    const int tag = f.map.document->spellDocumentTag();
    IXSpellCheckingNotices::ignoreWord(QStringLiteral("Byee"), tag, &f);
    EXPECT_TRUE(drawn->misspelledRanges().empty());
    PLSpellChecker::sharedChecker().closeSpellDocument(tag);

    a->setTitle(QStringLiteral("Hello wrld"));
    asked->invalidateLayout();
    EXPECT_EQ(rangesOf(*asked), (std::vector<PLRange> {{6, 4}}));
    a->setTitle(QStringLiteral("Hello world"));
    asked->invalidateLayout();
    EXPECT_TRUE(rangesOf(*asked).empty());
}

TEST(IXTextCellTests, MisspelledWordAtAPointAndItsCorrection)
{
    if (!PLSpellChecker::sharedChecker().isAvailable()) GTEST_SKIP() << "no en_US dictionary";
    CellFixture f;
    f.context()->setShowSpelling(true);
    auto a = f.map.addRoot(QStringLiteral("Good wrld"));
    f.styleOf(a)->setDocumentWordWrap(false);
    auto cell = f.make<IXTextCell>(a);
    const PLRect bounds = cell->bounds();
    const float middle = bounds.height() / 2;
    EXPECT_EQ(cell->misspellWordAtPoint(PLPoint(bounds.maxX() - 3, middle)), QStringLiteral("wrld"));
    EXPECT_TRUE(cell->misspellWordAtPoint(PLPoint(3, middle)).isNull());
    EXPECT_TRUE(cell->misspellWordAtPoint(PLPoint(bounds.maxX() + 5, middle)).isNull());

    cell->correctSpelling(QStringLiteral("world"), PLPoint(3, middle));
    EXPECT_EQ(a->title(), QStringLiteral("Good wrld"));
    cell->correctSpelling(QStringLiteral("world"), PLPoint(bounds.maxX() - 3, middle));
    EXPECT_EQ(a->title(), QStringLiteral("Good world"));
}

struct MouseCase {
    const char* name;
    PLMouseEvent press;
    std::optional<PLMouseEvent> next;
    bool selectedAlone;
    bool handled;
    QString tool;            // the tool started, or empty
    QStringList selection;   // titles after the press
};

TEST(IXTextCellTests, MouseDownOnAFloatingText)
{
    const PLMouseEvent up(PLMouseEvent::LeftMouseUp, PLPoint(5, 5));
    const PLMouseEvent drag(PLMouseEvent::LeftMouseDragged, PLPoint(9, 5));
    const auto press = [](int clicks = 1, std::uint32_t modifiers = 0) {
        return PLMouseEvent(PLMouseEvent::LeftMouseDown, PLPoint(5, 5), clicks, modifiers);
    };
    const MouseCase cases[] = {
        {"double click edits the text", press(2), std::nullopt, false, true, QStringLiteral("IXCommentTitleTool"), {}},
        {"command click is left alone", press(1, PLMouseEvent::Command), up, false, false, {}, {}},
        {"shift click adds it", press(1, PLMouseEvent::Shift), up, false, true, {}, {QStringLiteral("B"), QStringLiteral("Note")}},
        {"shift click on the selected one removes it", press(1, PLMouseEvent::Shift), up, true, true, {}, {}},
        {"click selects it alone", press(), up, false, true, {}, {QStringLiteral("Note")}},
        {"click on the only selected one is left alone", press(), up, true, false, {}, {QStringLiteral("Note")}},
        {"drag starts dragging", press(), drag, false, true, QStringLiteral("IXDragFloatingTool"), {QStringLiteral("Note")}},
        {"held press starts dragging", press(), std::nullopt, true, true, QStringLiteral("IXDragFloatingTool"), {QStringLiteral("Note")}},
        {"right button is left alone", PLMouseEvent(PLMouseEvent::RightMouseDown, PLPoint(5, 5)), up, false, false, {}, {}},
    };
    for (const MouseCase& c : cases) {
        SCOPED_TRACE(c.name);
        CellFixture f;
        auto b = f.map.addRoot(QStringLiteral("B"));
        auto comment = f.addComment(QStringLiteral("Note"));
        auto cell = f.make<IXTextCell>(comment);
        f.context()->setSelection(c.selectedAlone ? IXSelection::selectionWithNode(comment) : IXSelection::selectionWithNode(b));
        if (!c.selectedAlone && c.selection.isEmpty() && c.handled) f.context()->setSelection(IXSelection());
        f.view.nextEvent = c.next;
        EXPECT_EQ(cell->trackMouse(c.press), c.handled);
        if (c.tool.isEmpty()) {
            EXPECT_TRUE(f.tools.activations.isEmpty());
        } else {
            ASSERT_EQ(f.tools.activations.size(), 1);
            EXPECT_EQ(f.tools.activations[0].toolClassName, c.tool);
            EXPECT_EQ(f.tools.activations[0].object, comment);
            EXPECT_EQ(f.tools.activations[0].context, f.context());
        }
        if (c.tool == QStringLiteral("IXCommentTitleTool") || !c.handled) continue;
        QStringList titles;
        for (const auto& node : f.context()->selection().nodes()) titles << node->title();
        EXPECT_EQ(titles, c.selection);
    }
}

TEST(IXTextCellTests, ABranchTitleTakesNoHitsNorPresses)
{
    CellFixture f;
    auto branch = f.map.addRoot(QStringLiteral("Title"));
    auto cell = f.make<IXTextCell>(branch);
    EXPECT_FALSE(cell->hitTest(PLPoint(2, 2)));
    EXPECT_FALSE(cell->trackMouse(PLMouseEvent(PLMouseEvent::LeftMouseDown, PLPoint(2, 2), 2)));
    EXPECT_TRUE(f.tools.activations.isEmpty());

    auto comment = f.addComment(QStringLiteral("Note"));
    auto floating = f.make<IXTextCell>(comment);
    EXPECT_TRUE(floating->hitTest(PLPoint(2, 2)));
    EXPECT_FALSE(floating->hitTest(PLPoint(-1, 2)));
}

struct ResizeCase {
    const char* name;
    PLRect frame;
    int tracksX, tracksY;
    float expectedWidth;
    PLPoint expectedOffset;
};

TEST(IXTextCellTests, ResizingAFloatingText)
{
    const ResizeCase cases[] = {
        {"right knob", {100, 50, 180, 40}, 1, 0, 180, {100, 50}},
        {"narrower than 30", {100, 50, 12, 40}, 1, 0, 30, {100, 50}},
        {"left knob moves the offset", {80, 50, 220, 40}, -1, 0, 220, {80, 50}},
        {"bottom knob moves the offset", {100, 30, 200, 60}, 0, -1, 200, {100, 30}},
        {"top knob keeps it", {100, 44, 200, 60}, 0, 1, 200, {100, 50}},
    };
    for (const ResizeCase& c : cases) {
        SCOPED_TRACE(c.name);
        CellFixture f;
        auto comment = f.addComment(QStringLiteral("Note"));
        auto style = f.styleOf(comment);
        style->setCommentTextWidth(200);
        style->setFloatingTargetOffset(PLPoint(100, 50));
        auto cell = f.make<IXTextCell>(comment);
        ASSERT_EQ(cell->frame().origin, PLPoint(100, 50));
        const QVariantMap initial = cell->resizing_state();
        cell->resizing_setFrame(c.frame, c.tracksX, c.tracksY);
        EXPECT_EQ(style->commentTextWidth(), c.expectedWidth);
        EXPECT_EQ(style->floatingTargetOffset(), c.expectedOffset);
        cell->resizing_setState(initial);
        EXPECT_EQ(style->commentTextWidth(), 200);
        EXPECT_EQ(style->floatingTargetOffset(), PLPoint(100, 50));
    }
}

TEST(IXTextCellTests, RendersTheTextWithDottedRedMarksUnderMisspelledWordsOnly)
{
    if (!PLSpellChecker::sharedChecker().isAvailable()) GTEST_SKIP() << "no en_US dictionary";
    CellFixture f;
    f.context()->setShowSpelling(true);
    auto branch = f.map.addRoot(QStringLiteral("Good morning wrld"));
    IXStyleTextAttributes attributes;
    attributes.font = QFont(QStringLiteral("Helvetica"), 18);
    attributes.foregroundColor = PLColor::black();  // roots are white by default
    f.styleOf(branch)->setBranchTextAttributes(attributes);
    f.styleOf(branch)->setDocumentWordWrap(false);
    auto comment = f.addComment(QStringLiteral("A floating note with a frame"));
    auto style = f.styleOf(comment);
    style->setFloatingFrameWidth(1);
    style->setFloatingFrameColor(PLColor::rgb(0.2f, 0.4f, 0.8f));
    style->setFloatingFrameBackgroundColor(PLColor::rgb(1, 1, 0.8f));
    style->setCommentTextWidth(120);
    style->setFloatingTargetOffset(PLPoint(10, 10));
    auto title = f.make<IXTextCell>(branch);
    auto floating = f.make<IXTextCell>(comment);
    title->setOrigin(PLPoint(10, 80));

    const QImage image = renderCells({title.get(), floating.get()}, 220, 120, QStringLiteral("IXTextCellTests.Spelling"));
    const PLRect t = title->frame();
    ASSERT_EQ(title->misspelledRanges().size(), 1u);
    const PLRect lowBand(t.minX(), t.minY(), t.width(), 5);
    // The marks lie under the misspelled word (the last quarter of the title), not elsewhere.
    const float split = t.minX() + t.width() * 0.7f;
    EXPECT_GT(countPixels(image, PLRect(split, lowBand.minY(), t.maxX() - split, 5), isReddish), 3);
    EXPECT_EQ(countPixels(image, PLRect(t.minX(), lowBand.minY(), split - t.minX() - 10, 5), isReddish), 0);
    EXPECT_GT(countPixels(image, t, isDark), 30);
    // The floating text: filled, framed, its text inside.
    const PLRect c = floating->frame();
    EXPECT_EQ(c.origin, PLPoint(10, 10));
    EXPECT_GE(c.width(), 120);
    EXPECT_TRUE(colorNear(pixelAt(image, int(c.midX()), int(c.maxY()) - 1), QColor(51, 102, 204), 40));
    EXPECT_GT(countPixels(image, c.insetBy(2, 2), isDark), 20);
    EXPECT_EQ(countPixels(image, c, isReddish), 0);
}

TEST(IXTextCellTests, ASelectedTitleIsFilledWithTheSelectionColourAndHiddenTextDrawsNothing)
{
    CellFixture f;
    auto branch = f.map.addRoot(QStringLiteral("Selected"));
    auto cell = f.make<IXTextCell>(branch);
    cell->setOrigin(PLPoint(5, 5));
    f.context()->setSelection(IXSelection::selectionWithNode(branch));
    QImage image = renderCells({cell.get()}, 120, 40, QStringLiteral("IXTextCellTests.Selected"), false);
    const QColor expected = PLColor::system(PLColor::System::SecondarySelectedControl).toQColor();
    EXPECT_TRUE(colorNear(pixelAt(image, 5, 6), expected, 3));
    cell->setDrawsText(false);
    image = renderCells({cell.get()}, 120, 40, QStringLiteral("IXTextCellTests.Hidden"), false);
    EXPECT_EQ(countPixels(image, PLRect(0, 0, 120, 40), [](const QColor& c) { return c.alpha() > 0; }), 0);
}

}  // namespace
