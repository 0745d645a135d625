#include "IXTimelineTestSupport.h"

#include "MapLayout/IXInfoTagPresenting.h"
#include "Platform/Text/PLAttributedString.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QImage>

namespace {
UTDateTime dayAt(int d)
{
    return UTDateTime::fromDays(d);
}

// Records what the bars ask of the info tag.
class RecordingTag : public IXInfoTagPresenting {
public:
    QStringList calls;
    QString text;
    RecordingTag() { install(this); }
    ~RecordingTag() override { install(nullptr); }
    void setTitle(const QString& title) override { text = title; }
    void setAttributedTitle(const PLAttributedString& title) override { text = title.string(); }
    QString title() const override { return text; }
    PLAttributedString attributedTitle() const override { return PLAttributedString(text); }
    PLSize size() const override { return PLSize(100, 20); }
    void sizeToFit() override {}
    void sizeToMaxWidth(float) override {}
    void sizeToWidth(float) override {}
    bool isVisible() const override { return false; }
    void showWithTopLeft(QPoint) override { calls << QStringLiteral("show ") + text; }
    void showWithTopLeftInView(PLPoint, QObject*) override {}
    void showTaggedToRightSideOfRect(const PLRect&, QObject*) override {}
    void showTaggedToBelowOfRect(const PLRect&, QObject*) override {}
    void showWithAlignRelativeToRect(const PLRect&, QObject*) override {}
    void hide() override {}
    void hideWithFadeOutEffect() override { calls << QStringLiteral("fade"); }
    PLColor backgroundColor() const override { return PLColor::white(); }
    void setBackgroundColor(const PLColor&) override {}
    PLColor borderColor() const override { return PLColor::black(); }
    void setBorderColor(const PLColor&) override {}
};

void runFor(int milliseconds)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// The bar drawn alone in its own space.
QImage drawBar(IXTimelineBarCell& bar)
{
    const PLRect bounds = bar.bounds();
    QImage image(std::max(1, int(bounds.width())), std::max(1, int(bounds.height())), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    PLGraphicsContext graphics(image);
    bar.draw(graphics);
    return image;
}

IXTimelineBarCell* barOf(IXTimelineCell& timeline, const std::shared_ptr<IXBranchNode>& branch)
{
    for (const auto& bar : timeline.barCells()) {
        if (bar->node() == branch.get()) return bar.get();
    }
    return nullptr;
}
}

TEST(IXTimelineBarTests, BarsTakeTheShadingOfTheirBranchUnlessItSetsAFill)
{
    TimelineFixture f(1);
    auto a = f.add(QStringLiteral("a"), dayAt(1), dayAt(5));
    auto b = f.add(QStringLiteral("b"), dayAt(2), dayAt(6));
    auto c = f.add(QStringLiteral("c"), dayAt(3), dayAt(7));
    auto d = f.add(QStringLiteral("d"), dayAt(4), dayAt(8));
    d->style()->setBranchFrameFillColor(PLColor::rgb(1, 0, 0));
    IXTimelineCell& timeline = f.timeline();
    const std::pair<std::shared_ptr<IXBranchNode>, QColor> cases[] = {
        {a, QColor(255, 255, 255)}, {b, QColor::fromRgbF(0.85f, 0.85f, 0.85f)}, {c, QColor::fromRgbF(0.7f, 0.7f, 0.7f)}, {d, QColor(255, 0, 0)},
    };
    for (const auto& [branch, colour] : cases) {
        IXTimelineBarCell* bar = barOf(timeline, branch);
        ASSERT_TRUE(bar);
        const QImage image = drawBar(*bar);
        // Inside the outline, right of the texts.
        const QColor pixel = image.pixelColor(image.width() - 4, image.height() - 4);
        EXPECT_NEAR(pixel.red(), colour.red(), 1) << qPrintable(branch->title());
        EXPECT_NEAR(pixel.green(), colour.green(), 1) << qPrintable(branch->title());
        // The texts were taken at the draw: the title and the dates "begin - end".
        EXPECT_EQ(bar->titleText(), branch->title());
        ASSERT_TRUE(bar->datesText());
        EXPECT_TRUE(bar->datesText()->contains(QStringLiteral(" - "))) << qPrintable(*bar->datesText());
    }
    // A new title reaches the bar's texts at its next draw.
    a->setTitle(QStringLiteral("renamed"));
    f.timeline();
    IXTimelineBarCell* bar = barOf(timeline, a);
    EXPECT_FALSE(bar->titleText());
    drawBar(*bar);
    EXPECT_EQ(bar->titleText(), QStringLiteral("renamed"));
}

TEST(IXTimelineBarTests, ClicksSelectTheBranchAndShiftTogglesIt)
{
    TimelineFixture f(1);
    auto a = f.add(QStringLiteral("a"), dayAt(1), dayAt(5));
    auto b = f.add(QStringLiteral("b"), dayAt(2), dayAt(6));
    IXTimelineCell& timeline = f.timeline();
    IXTimelineBarCell* barA = barOf(timeline, a);
    IXTimelineBarCell* barB = barOf(timeline, b);
    auto selected = [&] {
        QStringList titles;
        for (const auto& node : f.context->selection().nodes()) titles << node->title();
        return titles.join(QLatin1Char(','));
    };
    const PLPoint inside(10, 10);
    struct Step {
        IXTimelineBarCell* bar;
        PLMouseEvent::Type type;
        std::uint32_t modifiers;
        bool taken;
        const char* selection;
    };
    const Step steps[] = {
        {barA, PLMouseEvent::LeftMouseDown, 0, true, "a"},
        {barB, PLMouseEvent::LeftMouseDown, PLMouseEvent::Shift, true, "a,b"},
        {barA, PLMouseEvent::LeftMouseDown, PLMouseEvent::Shift, true, "b"},
        {barA, PLMouseEvent::LeftMouseDown, PLMouseEvent::Command, false, "b"},
        {barA, PLMouseEvent::LeftMouseDown, PLMouseEvent::Option, false, "b"},
        {barA, PLMouseEvent::RightMouseDown, 0, false, "b"},
        {barA, PLMouseEvent::LeftMouseDown, 0, true, "a"},
    };
    for (const Step& step : steps) {
        EXPECT_EQ(step.bar->trackMouse(PLMouseEvent(step.type, inside, 1, step.modifiers)), step.taken);
        EXPECT_EQ(selected(), QString::fromLatin1(step.selection));
    }
}

TEST(IXTimelineBarTests, ABarNarrowerThanAUnitDrawsNothingAndTakesNoClicks)
{
    TimelineFixture f(1);
    auto a = f.add(QStringLiteral("a"), dayAt(1), dayAt(5));
    IXTimelineBarCell* bar = barOf(f.timeline(), a);
    bar->setFrame(PLRect(bar->frame().origin, PLSize(0.5f, 24)));
    const QImage image = drawBar(*bar);
    EXPECT_EQ(image.pixelColor(0, 12).alpha(), 0);
    EXPECT_FALSE(bar->titleText());
    EXPECT_FALSE(bar->trackMouse(PLMouseEvent(PLMouseEvent::LeftMouseDown, PLPoint(0.2f, 10))));
    EXPECT_FALSE(bar->hitTest(PLPoint(0.2f, 10)));
}

TEST(IXTimelineBarTests, RestingOnABarShowsItsTitleAndDates)
{
    RecordingTag tag;
    TimelineFixture f(1);
    f.withView = true;
    f.view.visible = PLRect(-2000, -2000, 6000, 6000);
    auto a = f.add(QStringLiteral("a"), dayAt(1), dayAt(5));
    IXTimelineBarCell* bar = barOf(f.timeline(), a);
    const PLMouseEvent event(PLMouseEvent::MouseEntered, PLPoint());

    // Before the bar was drawn it has nothing to say.
    bar->mouseEntered(event);
    runFor(IXTimelineBarCell::TooltipDelayMilliseconds + 150);
    EXPECT_TRUE(tag.calls.isEmpty());
    bar->mouseExited(event);

    drawBar(*bar);
    tag.calls.clear();
    // Leaving early shows nothing.
    bar->mouseEntered(event);
    runFor(IXTimelineBarCell::TooltipDelayMilliseconds / 2);
    bar->mouseExited(event);
    runFor(IXTimelineBarCell::TooltipDelayMilliseconds);
    EXPECT_EQ(tag.calls, QStringList{QStringLiteral("fade")});

    tag.calls.clear();
    bar->mouseEntered(event);
    runFor(IXTimelineBarCell::TooltipDelayMilliseconds + 150);
    EXPECT_EQ(tag.calls, QStringList{QStringLiteral("show a (%1)").arg(*bar->datesText())});
    EXPECT_TRUE(bar->isTooltipPosted());
    bar->mouseExited(event);
    EXPECT_FALSE(bar->isTooltipPosted());
    EXPECT_EQ(tag.calls.last(), QStringLiteral("fade"));

    // Off the view's visible part nothing is shown.
    f.view.visible = PLRect(5000, 5000, 10, 10);
    tag.calls.clear();
    bar->mouseEntered(event);
    runFor(IXTimelineBarCell::TooltipDelayMilliseconds + 150);
    EXPECT_TRUE(tag.calls.isEmpty());
    bar->mouseExited(event);
}

TEST(IXTimelineBarTests, TimelineBranchCellsHoldOneBoxAndNoBoundary)
{
    TimelineFixture f(1);
    auto a = f.add(QStringLiteral("a"), dayAt(1));
    f.add(a, QStringLiteral("a1"), dayAt(2));
    f.timeline();
    auto* cell = dynamic_cast<IXTimelineBranchCell*>(f.context->cells().cellForNode(a.get()));
    ASSERT_TRUE(cell);
    ASSERT_EQ(cell->cells().size(), 1u);
    EXPECT_EQ(cell->cells()[0].get(), cell->branchCell());
    EXPECT_EQ(f.context->cells().branchCellForNode(a.get()), cell->branchCell());
    EXPECT_FALSE(cell->hasBoundary());
    EXPECT_EQ(cell->bounds(), PLRect(0, 0, 100, 20));
    EXPECT_EQ(cell->frame().size, PLSize(100, 20));
}

TEST(IXTimelineBarTests, BoxesOfBranchesWithBarsTakeTheBarShading)
{
    TimelineFixture f(1);
    f.factory.realBoxes = true;
    auto a = f.add(QStringLiteral("a"), dayAt(1), dayAt(5));
    auto b = f.add(QStringLiteral("b"), dayAt(30), dayAt(35));
    auto c = f.add(QStringLiteral("c"), dayAt(60));
    auto d = f.add(QStringLiteral("d"), dayAt(90), dayAt(95));
    d->style()->setBranchFrameFillColor(PLColor::rgb(1, 0, 0));
    const QImage image = f.render();
    QDir().mkpath(QStringLiteral("renders"));
    image.save(QStringLiteral("renders/Timeline.real-boxes.png"));
    const PLRect canvas = f.context->cellsBounds().integral();
    auto fillOf = [&](const std::shared_ptr<IXBranchNode>& branch) {
        IXBranchCell* box = f.context->cells().branchCellForNode(branch.get());
        const PLRect rect = box->convertRectToCell(box->bounds(), nullptr);
        // Inside the frame, right of the title.
        return image.pixelColor(int(rect.maxX() - 5 - canvas.minX()), int(canvas.maxY() - rect.midY()));
    };
    // Shaded boxes are filled flat; the others keep their style's fill (a blended one).
    const std::pair<std::shared_ptr<IXBranchNode>, QColor> shaded[] = {{a, QColor(255, 255, 255)}, {b, QColor::fromRgbF(0.85f, 0.85f, 0.85f)}};
    for (const auto& [branch, colour] : shaded) {
        const QColor pixel = fillOf(branch);
        EXPECT_NEAR(pixel.red(), colour.red(), 3) << qPrintable(branch->title());
        EXPECT_NEAR(pixel.green(), colour.green(), 3) << qPrintable(branch->title());
        EXPECT_NEAR(pixel.blue(), colour.blue(), 3) << qPrintable(branch->title());
    }
    const QColor plain = fillOf(c), own = fillOf(d);
    EXPECT_GT(plain.blue() - plain.red(), 10);
    EXPECT_GT(own.red() - own.green(), 80);
}
