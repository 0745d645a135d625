// The shared info tag: fitting its text, showing it next to views and on screen, fading and
// hiding it, and how it looks.
#include "UtilityWidgets/UTInfoTag.h"

#include "Platform/Text/PLFont.h"
#include "TestSupport/ExpectAssertion.h"
#include "TestSupport/QStringPrinter.h"
#include "UtilityWidgets/UTInfoTagBgView.h"
#include "UtilityWidgets/UTInfoTagWindow.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr int Inset = 2 * UTInfoTagBgView::TextInset;

void processEventsUntil(const std::function<bool()>& done, int timeoutMs = 3000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!done() && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// One tick of the window's fade timer, as the timer itself would deliver it.
void fadeTick(UTInfoTagWindow* window)
{
    QTimer* timer = window->findChild<QTimer*>();
    ASSERT_NE(timer, nullptr);
    QMetaObject::invokeMethod(timer, "timeout", Qt::DirectConnection);
}

// A word of "i"s whose advance lies in (from, to]; none when the font's steps are too coarse.
QString wordWithAdvanceIn(const QFont& font, double from, double to)
{
    const QFontMetricsF metrics(font);
    QString word;
    while (metrics.horizontalAdvance(word) <= from) word += QLatin1Char('i');
    return metrics.horizontalAdvance(word) <= to ? word : QString();
}

class UTInfoTagTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        tag = UTInfoTag::sharedInstance();
        UTInfoTag::setDefaultFont(font);
        UTInfoTag::setDefaultColor(PLColor());
        tag->setTitle(QString());
    }
    void TearDown() override
    {
        tag->hide();
        UTInfoTag::setDefaultFont(font);
    }

    // A shown top-level window at a known place on the screen.
    std::unique_ptr<QWidget> makeHost(QRect geometry = QRect(100, 120, 300, 200))
    {
        auto host = std::make_unique<QWidget>();
        host->setGeometry(geometry);
        host->show();
        return host;
    }

    QFont font = PLFont(QStringLiteral("Helvetica"), 10).toQFont();
    UTInfoTag* tag = nullptr;
};

TEST_F(UTInfoTagTest, IsOneTagReachableThroughTheLayoutInterface)
{
    EXPECT_EQ(UTInfoTag::sharedInstance(), tag);
    IXInfoTagPresenting::install(tag);
    EXPECT_EQ(IXInfoTagPresenting::sharedInstance(), tag);
    IXInfoTagPresenting::install(nullptr);
    EXPECT_EQ(IXInfoTagPresenting::sharedInstance(), nullptr);
}

TEST_F(UTInfoTagTest, FitsTheTextWithItsInsets)
{
    const QFontMetricsF metrics(font);
    const QString overWrapWidth = wordWithAdvanceIn(font, 392.5, 399);
    const QString shortForTwenty = wordWithAdvanceIn(font, 21, 38);
    ASSERT_FALSE(overWrapWidth.isEmpty());
    ASSERT_FALSE(shortForTwenty.isEmpty());
    struct Case {
        const char* name;
        QString text;
        float maxWidth;
        double width; // 0: not checked
        double lines;
    } cases[] = {
        {"one short word", QStringLiteral("Tag"), 400, std::ceil(metrics.horizontalAdvance(QStringLiteral("Tag"))) + Inset, 1},
        {"no text", QString(), 400, Inset, 0},
        {"a word wider than 400 less the insets wraps", overWrapWidth, 400, 0, 2},
        {"the same word fits at its width plus the insets", overWrapWidth, 408, std::ceil(metrics.horizontalAdvance(overWrapWidth)) + Inset, 1},
        {"a narrow width wraps at 20, not less", shortForTwenty, 10, 0, 2},
        {"line breaks make lines", QStringLiteral("one\ntwo\nthree"), 400, 0, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tag->setTitle(c.text);
        const PLSize size = tag->contentSizeForMaxWidth(c.maxWidth);
        if (c.width > 0) {
            EXPECT_NEAR(size.width, c.width, 1);
        }
        EXPECT_LE(size.width, std::max(c.maxWidth, 28.0f));
        // Lines may sit on whole units.
        EXPECT_NEAR(size.height, c.lines * metrics.height() + Inset, 1 + c.lines * 0.5);
    }
}

TEST_F(UTInfoTagTest, SizingKeepsTheTopEdgeAndFollowsTheText)
{
    tag->setTitle(QStringLiteral("A short tag"));
    tag->sizeToWidth(150);
    UTInfoTagWindow* window = tag->window();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(tag->size(), PLSize(150, tag->contentSizeForMaxWidth(150).height));
    window->setFrame(QRect(QPoint(40, 60), window->frame().size()));

    tag->sizeToMaxWidth(10);
    EXPECT_EQ(tag->size(), tag->contentSizeForMaxWidth(28));
    EXPECT_EQ(window->frame().topLeft(), QPoint(40, 60));

    // New text refits at the standard width.
    tag->setTitle(QStringLiteral("A longer text than before, still on one line"));
    EXPECT_EQ(tag->size(), tag->contentSizeForMaxWidth(400));
    EXPECT_EQ(window->frame().topLeft(), QPoint(40, 60));
    tag->sizeToMaxWidth(60);
    tag->sizeToFit();
    EXPECT_EQ(tag->size(), tag->contentSizeForMaxWidth(400));
}

TEST_F(UTInfoTagTest, PlainTitlesTakeTheDefaultFontAndColour)
{
    tag->setTitle(QStringLiteral("Dates"));
    EXPECT_EQ(tag->title(), QStringLiteral("Dates"));
    EXPECT_FALSE(tag->attributedTitle().attributesAt(0).foregroundColor.has_value());
    const float narrow = tag->contentSizeForMaxWidth(400).width;

    UTInfoTag::setDefaultColor(PLColor::rgb(1, 0, 0));
    UTInfoTag::setDefaultFont(PLFont(QStringLiteral("Helvetica"), 20).toQFont());
    tag->setTitle(QStringLiteral("Dates"));
    EXPECT_EQ(tag->attributedTitle().attributesAt(4).foregroundColor, QColor(255, 0, 0));
    EXPECT_GT(tag->contentSizeForMaxWidth(400).width, narrow * 1.5);

    // Rich text keeps its own attributes.
    PLTextAttributes bold;
    bold.font = PLFont(QStringLiteral("Helvetica"), 10, true);
    tag->setAttributedTitle(PLAttributedString(QStringLiteral("Bold"), bold));
    EXPECT_EQ(tag->title(), QStringLiteral("Bold"));
    ASSERT_TRUE(tag->attributedTitle().attributesAt(0).font.has_value());
    EXPECT_TRUE(tag->attributedTitle().attributesAt(0).font->bold);
    EXPECT_FALSE(tag->attributedTitle().attributesAt(0).foregroundColor.has_value());
}

TEST_F(UTInfoTagTest, ShowsNextToARectangleOfAView)
{
    auto host = makeHost();
    tag->setTitle(QStringLiteral("12 March - 4 April"));
    tag->sizeToMaxWidth(UTInfoTag::StandardMaxWidth);
    const QSize size(int(tag->size().width), int(tag->size().height));
    // The rectangle (20, 150, 40, 10) in the view's y-up space is (20, 40, 40, 10) in the
    // widget's; the host's top-left is at (100, 120) on the screen.
    const PLRect rect(20, 150, 40, 10);
    const QRectF widgetRect(20, 40, 40, 10);
    struct Case {
        const char* name;
        std::function<void()> show;
        QPoint expected;
    } cases[] = {
        {"right side, y-up", [&] { tag->showTaggedToRightSideOfRect(rect, host.get()); }, {160, 160}},
        {"right side, widget space", [&] { tag->showTaggedToRightSideOfRect(widgetRect, host.get()); }, {160, 160}},
        {"below, y-up", [&] { tag->showTaggedToBelowOfRect(rect, host.get()); }, {140 - size.width() / 2, 172}},
        {"aligned, y-up", [&] { tag->showWithAlignRelativeToRect(rect, host.get()); }, {120, 170}},
        {"top-left in the view, y-up", [&] { tag->showWithTopLeftInView(PLPoint(5, 195), host.get()); }, {105, 125}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QList<UTInfoTag*> hidden;
        QObject::connect(tag, &UTInfoTag::willHide, host.get(), [&](UTInfoTag* t) { hidden.append(t); });
        c.show();
        ASSERT_TRUE(tag->isVisible());
        EXPECT_EQ(tag->window()->frame(), QRect(c.expected, size));
        EXPECT_EQ(tag->ownersWindow(), host.get());
        // The host is the tag's transient parent, so that the tag is placed relative to it.
        EXPECT_EQ(tag->window()->windowHandle()->transientParent(), host->windowHandle());
        tag->hide();
        EXPECT_FALSE(tag->isVisible());
        EXPECT_EQ(tag->ownersWindow(), nullptr);
        EXPECT_EQ(hidden, QList<UTInfoTag*>{tag});
        QObject::disconnect(tag, &UTInfoTag::willHide, host.get(), nullptr);
    }
}

TEST_F(UTInfoTagTest, StaysOnTheScreen)
{
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    tag->setTitle(QStringLiteral("Near the edge"));
    tag->sizeToMaxWidth(UTInfoTag::StandardMaxWidth);
    const int w = int(tag->size().width);
    struct Case {
        const char* name;
        QPoint at;
        QPoint expected;
    } cases[] = {
        {"past the right edge", {screen.right() - 10, screen.top() + 100}, {screen.x() + screen.width() - w - 5, screen.top() + 100}},
        {"past the left edge", {screen.left() - 30, screen.top() + 100}, {screen.left(), screen.top() + 100}},
        {"inside", {screen.left() + 50, screen.top() + 60}, {screen.left() + 50, screen.top() + 60}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        tag->showWithTopLeft(c.at);
        EXPECT_EQ(tag->window()->frame().topLeft(), c.expected);
    }
}

TEST_F(UTInfoTagTest, RefusesMissingViewsAndColours)
{
    QObject notAView;
    expectAssertion("[view window] != nil", [&] { tag->showWithTopLeftInView(PLPoint(1, 1), static_cast<QObject*>(nullptr)); });
    expectAssertion("[view window] != nil", [&] { tag->showTaggedToRightSideOfRect(PLRect(0, 0, 5, 5), &notAView); });
    expectAssertion("color != nil", [&] { tag->setBackgroundColor(PLColor()); });
    expectAssertion("color != nil", [&] { tag->setBorderColor(PLColor()); });
    EXPECT_FALSE(tag->isVisible());
}

TEST_F(UTInfoTagTest, FadesOutStepByStepAndComesBackWhole)
{
    auto host = makeHost();
    tag->setTitle(QStringLiteral("Fading"));
    tag->showTaggedToRightSideOfRect(QRectF(10, 10, 20, 20), host.get());
    UTInfoTagWindow* window = tag->window();
    int hides = 0;
    QObject::connect(tag, &UTInfoTag::willHide, host.get(), [&] { ++hides; });

    tag->hideWithFadeOutEffect();
    EXPECT_EQ(hides, 1);
    EXPECT_EQ(tag->ownersWindow(), nullptr);
    ASSERT_TRUE(window->isFadingOut());
    EXPECT_EQ(window->findChild<QTimer*>()->interval(), 10);
    // 0.03 per tick: still shown after 33 ticks, gone at the 34th.
    for (int tick = 1; tick <= 33; ++tick) {
        fadeTick(window);
        ASSERT_TRUE(window->isVisible()) << "tick " << tick;
        EXPECT_NEAR(window->alphaValue(), 1 - 0.03 * tick, 1e-4) << "tick " << tick;
    }
    fadeTick(window);
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->isFadingOut());
    EXPECT_EQ(window->alphaValue(), 1.0f);

    // Showing again in the middle of a fade stops it at full alpha.
    tag->showWithTopLeft(QPoint(50, 50));
    tag->hideWithFadeOutEffect();
    fadeTick(window);
    fadeTick(window);
    EXPECT_LT(window->alphaValue(), 1.0f);
    tag->showWithTopLeft(QPoint(50, 50));
    EXPECT_FALSE(window->isFadingOut());
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->alphaValue(), 1.0f);

    // On the real timer the fade ends by itself.
    tag->hideWithFadeOutEffect();
    processEventsUntil([&] { return !window->isVisible(); });
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->alphaValue(), 1.0f);
    EXPECT_EQ(hides, 3);
}

TEST_F(UTInfoTagTest, HidesWhenAnotherWindowTakesTheFocus)
{
    auto host = makeHost();
    auto other = makeHost(QRect(450, 120, 200, 100));
    host->activateWindow();
    processEventsUntil([&] { return QGuiApplication::focusWindow() == host->windowHandle(); });
    ASSERT_EQ(QGuiApplication::focusWindow(), host->windowHandle());
    tag->setTitle(QStringLiteral("Hint"));
    tag->showTaggedToBelowOfRect(QRectF(10, 10, 20, 20), host.get());
    ASSERT_TRUE(tag->isVisible());

    other->activateWindow();
    processEventsUntil([&] { return QGuiApplication::focusWindow() == other->windowHandle(); });
    EXPECT_FALSE(tag->isVisible());
}

// Renders the tag over plain window backgrounds and saves the pictures next to the tests.
TEST_F(UTInfoTagTest, LooksLikeATag)
{
    struct Case {
        const char* file;
        QString text;
        QColor background;
    } cases[] = {
        {"UTInfoTag.png", QStringLiteral("Design review (12 March 2026 - 4 April 2026)"), QColor(236, 236, 236)},
        {"UTInfoTagWrapped.png",
         QStringLiteral("A longer hint wraps at the standard width of the tag, so that it never grows wider than "
                        "four hundred units, however long its text"),
         Qt::white},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        tag->setTitle(c.text);
        tag->showWithTopLeft(QPoint(40, 40));
        UTInfoTagWindow* window = tag->window();
        const QImage grabbed = window->grab().toImage().convertToFormat(QImage::Format_ARGB32);
        QImage picture(grabbed.size() + QSize(24, 24), QImage::Format_ARGB32);
        picture.fill(c.background);
        QPainter(&picture).drawImage(12, 12, grabbed);
        ASSERT_TRUE(picture.save(QDir::current().filePath(QString::fromLatin1(c.file))));

        const QRect panel = grabbed.rect().marginsRemoved(UTInfoTagWindow::ShadowMargins);
        EXPECT_LE(panel.width(), 400);
        // Light yellow inside, at the right end where no text is drawn.
        const QPoint plain(panel.right() - 2, panel.center().y());
        EXPECT_EQ(grabbed.pixel(plain), tag->backgroundColor().toQColor().rgba());
        EXPECT_EQ(tag->backgroundColor(), PLColor::rgb(1, 1, 0.7f));
        // Rounded: the panel's corner pixel is not the full fill.
        EXPECT_LT(qAlpha(grabbed.pixel(panel.topLeft())), 200);
        // A shadow under the panel, transparent beyond it.
        EXPECT_GT(qAlpha(grabbed.pixel(panel.center().x(), panel.bottom() + 2)), 0);
        EXPECT_EQ(qAlpha(grabbed.pixel(0, 0)), 0);
        // Dark text.
        int dark = 0;
        for (int y = panel.top(); y <= panel.bottom(); ++y)
            for (int x = panel.left(); x <= panel.right(); ++x) dark += qGray(grabbed.pixel(x, y)) < 80;
        EXPECT_GT(dark, 50);

        // A faded tag draws faded.
        window->setAlphaValue(0.5f);
        const QImage faded = window->grab().toImage().convertToFormat(QImage::Format_ARGB32);
        EXPECT_NEAR(qAlpha(faded.pixel(plain)), 128, 2);
        window->setAlphaValue(1);
    }
}

} // namespace
