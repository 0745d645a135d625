#include "DocumentModel/IXPictureNode.h"
#include "IXMapCellTestSupport.h"
#include "MapLayout/IXIconsCell.h"
#include "MapLayout/IXPictureCell.h"
#include "MapLayout/IXQuickViewControlling.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QPainter>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

QByteArray pngOf(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// A picture of the size whose left half is opaque red and right half transparent.
QImage halfRed(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.fillRect(0, 0, width / 2, height, QColor(220, 30, 30));
    return image;
}

struct PictureFixture : CellFixture {
    std::shared_ptr<IXPictureNode> picture = std::make_shared<IXPictureNode>();

    explicit PictureFixture(const QImage& image = halfRed(400, 100))
    {
        picture->setTitle(QStringLiteral("P"));
        map.document->addPicture(picture);
        if (!image.isNull()) picture->addPictureData(pngOf(image), QStringLiteral("picture.png"));
    }
    std::shared_ptr<IXStyleNode> style() const { return styleOf(picture); }
};

struct FitCase {
    const char* name;
    PLSize dragged;
    bool tracksX, tracksY;
    PLSize expected;
};

TEST(IXPictureCellTests, DraggedSizesAreFittedToThePicture)
{
    const FitCase cases[] = {
        {"right knob scales by the width", {200, 999}, true, false, {200, 50}},
        {"bottom knob scales by the height", {999, 50}, false, true, {200, 50}},
        {"corner knob takes the mean ratio", {300, 60}, true, true, {270, 68}},
        {"neither axis takes the mean ratio", {300, 60}, false, false, {270, 68}},
        {"too low: widened to 16 high's width, height kept", {40, 999}, true, false, {64, 10}},
        {"limits before fitting", {5000, 999}, true, false, {1000, 250}},
    };
    PictureFixture f;
    auto cell = f.make<IXPictureCell>(f.picture);
    for (const FitCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(cell->adjustSize(c.dragged, c.tracksX, c.tracksY), c.expected);
    }
    PictureFixture empty{QImage()};
    auto noImage = empty.make<IXPictureCell>(empty.picture);
    EXPECT_EQ(noImage->adjustSize(PLSize(5, 2000), true, true), PLSize(16, 1000));
}

TEST(IXPictureCellTests, SizeFromTheStyleAndItsPlace)
{
    PictureFixture f;
    f.style()->setPictureKeepAspect(false);
    f.style()->setPictureSize(PLSize(120.4f, 80));
    f.style()->setFloatingTargetOffset(PLPoint(-30, 40));
    auto cell = f.make<IXPictureCell>(f.picture);
    EXPECT_EQ(cell->frame(), PLRect(-30, 40, 121, 80));
    EXPECT_TRUE(cell->hitTest(PLPoint(1, 1)));
    f.style()->setPictureKeepAspect(true);
    cell->invalidateLayout();
    const PLSize fitted = f.picture->adjustSize(PLSize(120.4f, 80));
    EXPECT_EQ(cell->frame().size, PLSize(std::ceil(fitted.width), std::ceil(fitted.height)));
    EXPECT_NEAR(cell->frame().width() / cell->frame().height(), 4, 0.1);
}

void waitFor(const std::function<bool()>& done)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 2000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
}

TEST(IXPictureCellTests, TheScaledCopyIsReusedWithinHalfItsSizeAndReplacedAfterAPause)
{
    PictureFixture f(halfRed(400, 200));
    auto cell = f.make<IXPictureCell>(f.picture);
    EXPECT_TRUE(cell->imageForSize(PLSize(3, 100)).isNull());
    EXPECT_TRUE(cell->imageForSize(PLSize(100, 3.5f)).isNull());

    EXPECT_EQ(cell->imageForSize(PLSize(200, 100)).size(), QSize(200, 100));
    EXPECT_EQ(cell->imageForSize(PLSize(150, 75)).size(), QSize(200, 100));
    EXPECT_EQ(cell->imageForSize(PLSize(101, 51)).size(), QSize(200, 100));
    EXPECT_FALSE(cell->isCacheRefreshPending());

    // Larger: the old copy until the new one is made a moment later.
    EXPECT_EQ(cell->imageForSize(PLSize(300, 150)).size(), QSize(200, 100));
    EXPECT_TRUE(cell->isCacheRefreshPending());
    EXPECT_EQ(cell->imageForSize(PLSize(300, 150)).size(), QSize(200, 100));
    waitFor([&] { return !cell->isCacheRefreshPending(); });
    EXPECT_EQ(cell->cachedImage().size(), QSize(300, 150));

    // Smaller than half: made again at the smaller size.
    cell->imageForSize(PLSize(100, 50));
    waitFor([&] { return !cell->isCacheRefreshPending(); });
    EXPECT_EQ(cell->cachedImage().size(), QSize(100, 50));
}

TEST(IXPictureCellTests, TheScaledCopyNeverHoldsMorePixelsThanThePicture)
{
    PictureFixture f(halfRed(400, 200));
    auto cell = f.make<IXPictureCell>(f.picture);
    EXPECT_EQ(cell->imageForSize(PLSize(800, 400)).size(), QSize(400, 200));
    // Zooming in further draws the same copy stretched, with no new copy on the way.
    EXPECT_EQ(cell->imageForSize(PLSize(4000, 2000)).size(), QSize(400, 200));
    EXPECT_FALSE(cell->isCacheRefreshPending());
    EXPECT_EQ(cell->imageForSize(PLSize(1000, 250)).size(), QSize(400, 200));  // other proportions, capped
    waitFor([&] { return !cell->isCacheRefreshPending(); });
    EXPECT_EQ(cell->cachedImage().size(), QSize(400, 100));

    // Off screen (printing, export): the full picture, no copy kept.
    cell->purgeCache();
    QImage target(10, 10, QImage::Format_ARGB32_Premultiplied);
    PLGraphicsContext printing(target, false);
    EXPECT_EQ(cell->imageForSize(PLSize(2, 2)).size(), QSize(400, 200));
    EXPECT_TRUE(cell->cachedImage().isNull());
}

TEST(IXPictureCellTests, ANewPictureReplacesTheScaledCopyAtOnce)
{
    PictureFixture f(halfRed(400, 200));
    auto cell = f.make<IXPictureCell>(f.picture);
    EXPECT_EQ(cell->imageForSize(PLSize(200, 100)).pixelColor(20, 50), QColor(220, 30, 30));
    QImage blue(400, 200, QImage::Format_ARGB32);
    blue.fill(QColor(30, 30, 220));
    f.picture->addPictureData(pngOf(blue), QStringLiteral("blue.png"));
    const QImage copy = cell->imageForSize(PLSize(200, 100));
    EXPECT_EQ(copy.size(), QSize(200, 100));
    EXPECT_EQ(copy.pixelColor(20, 50), QColor(30, 30, 220));
    EXPECT_FALSE(cell->isCacheRefreshPending());
}

TEST(IXPictureCellTests, APictureWithoutImageDrawsNothing)
{
    PictureFixture f{QImage()};
    f.style()->setPictureSize(PLSize(40, 40));
    auto cell = f.make<IXPictureCell>(f.picture);
    const QImage image = renderCells({cell.get()}, 60, 60, QStringLiteral("IXPictureCellTests.NoImage"), false);
    EXPECT_EQ(countPixels(image, PLRect(0, 0, 60, 60), [](const QColor& c) { return c.alpha() > 0; }), 0);
}

struct TintCase {
    const char* name;
    float opacity;
    bool selected;
    QColor opaqueHalf;  // over white
};

// The picture's opaque half over white: the picture at its opacity, and while selected a tint
// of alpha (1 - opacity) / 3 in the picture's shape only.
TEST(IXPictureCellTests, DrawsAtItsOpacityAndTintsOnlyThePictureWhenSelected)
{
    const QColor red(220, 30, 30);
    const QColor tint = PLColor::system(PLColor::System::AlternateSelectedControl).toQColor();
    const auto over = [](const QColor& top, float alpha, const QColor& bottom) {
        return QColor(int(std::lround(top.red() * alpha + bottom.red() * (1 - alpha))),
                      int(std::lround(top.green() * alpha + bottom.green() * (1 - alpha))),
                      int(std::lround(top.blue() * alpha + bottom.blue() * (1 - alpha))));
    };
    // Inside the layer: tint a = 0.2 over the picture at 0.4 (alpha 0.52 together), then on white.
    const float a = 0.2f, p = 0.4f;
    const float layerAlpha = a + p * (1 - a);
    const QColor layer((tint.red() * a + red.red() * p * (1 - a)) / layerAlpha,
                       (tint.green() * a + red.green() * p * (1 - a)) / layerAlpha,
                       (tint.blue() * a + red.blue() * p * (1 - a)) / layerAlpha);
    const TintCase cases[] = {
        {"opaque", 1, false, red},
        {"opaque and selected: no tint", 1, true, red},
        {"at 0.4", 0.4f, false, over(red, 0.4f, Qt::white)},
        {"at 0.4 and selected: tint of 0.2", 0.4f, true, over(layer, layerAlpha, Qt::white)},
    };
    for (const TintCase& c : cases) {
        SCOPED_TRACE(c.name);
        PictureFixture f;
        f.style()->setPictureSize(PLSize(80, 20));
        f.style()->setPictureOpacity(c.opacity);
        f.style()->setFloatingTargetOffset(PLPoint(10, 10));
        auto cell = f.make<IXPictureCell>(f.picture);
        if (c.selected) f.context()->setSelection(IXSelection::selectionWithNode(f.picture));
        const QImage image = renderCells({cell.get()}, 100, 40,
                                         QStringLiteral("IXPictureCellTests.Tint%1%2").arg(c.opacity).arg(c.selected));
        EXPECT_TRUE(colorNear(pixelAt(image, 30, 20), c.opaqueHalf, 3));
        EXPECT_TRUE(colorNear(pixelAt(image, 70, 20), Qt::white, 1));  // the transparent half stays untinted
        EXPECT_TRUE(colorNear(pixelAt(image, 5, 20), Qt::white, 0));
    }
}

class FakeQuickView : public IXQuickViewControlling {
public:
    QStringList shown;
    FakeQuickView() { install(this); }
    ~FakeQuickView() override { install(nullptr); }
    void showWithImage(const QImage& image) override { shown << QStringLiteral("image %1").arg(image.width()); }
    void showWithPath(const QString& path) override { shown << QStringLiteral("path ") + path; }
};

TEST(IXPictureCellTests, DoubleClickOpensTheQuickViewAndOtherwiseSelectsOrDrags)
{
    const PLMouseEvent doubleClick(PLMouseEvent::LeftMouseDown, PLPoint(5, 5), 2);
    {
        PictureFixture f;
        FakeQuickView viewer;
        auto cell = f.make<IXPictureCell>(f.picture);
        EXPECT_TRUE(cell->trackMouse(doubleClick));
        EXPECT_EQ(viewer.shown, QStringList{QStringLiteral("image 400")});
        EXPECT_TRUE(f.tools.activations.isEmpty());
    }
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("photo.png"));
        ASSERT_TRUE(halfRed(40, 20).save(path));
        PictureFixture f{QImage()};
        f.picture->setTargetRef(QStringLiteral("file:") + path);
        ASSERT_EQ(f.picture->targetLocation(), 1);
        FakeQuickView viewer;
        auto cell = f.make<IXPictureCell>(f.picture);
        EXPECT_TRUE(cell->trackMouse(doubleClick));
        EXPECT_EQ(viewer.shown, QStringList{QStringLiteral("path ") + path});
    }
    {
        // Without a picture a double click is a click: held, it drags.
        PictureFixture f{QImage()};
        FakeQuickView viewer;
        auto cell = f.make<IXPictureCell>(f.picture);
        EXPECT_TRUE(cell->trackMouse(doubleClick));
        EXPECT_TRUE(viewer.shown.isEmpty());
        ASSERT_EQ(f.tools.activations.size(), 1);
        EXPECT_EQ(f.tools.activations[0].toolClassName, QStringLiteral("IXDragFloatingTool"));
        EXPECT_EQ(f.context()->selection().nodes().value(0), f.picture);
    }
}

struct PictureResizeCase {
    const char* name;
    bool keep;
    PLRect frame;
    int tracksX, tracksY;
    PLSize expectedSize;
    PLPoint expectedOffset;
};

// The picture is 400 x 100 at (100, 50), 200 x 50 on the map.
TEST(IXPictureCellTests, ResizingKeepsTheFittedPictureAtTheEdgeOppositeTheKnob)
{
    const PictureResizeCase cases[] = {
        {"right knob, free", false, {100, 50, 300, 70}, 1, 0, {300, 70}, {100, 50}},
        {"right knob, kept", true, {100, 50, 300, 70}, 1, 0, {300, 75}, {100, 50}},
        {"left knob, kept", true, {60, 50, 240, 50}, -1, 0, {240, 60}, {60, 50}},
        {"bottom knob, kept: anchored at the top", true, {100, 30, 240, 70}, 0, -1, {280, 70}, {100, 30}},
        {"bottom-left knob, free", false, {90, 40, 210, 60}, -1, -1, {210, 60}, {90, 40}},
    };
    for (const PictureResizeCase& c : cases) {
        SCOPED_TRACE(c.name);
        PictureFixture f;
        f.style()->setPictureKeepAspect(c.keep);
        f.style()->setPictureSize(PLSize(200, 50));
        f.style()->setFloatingTargetOffset(PLPoint(100, 50));
        auto cell = f.make<IXPictureCell>(f.picture);
        ASSERT_EQ(cell->frame(), PLRect(100, 50, 200, 50));
        const QVariantMap initial = cell->resizing_state();
        cell->resizing_setFrame(c.frame, c.tracksX, c.tracksY);
        EXPECT_EQ(f.style()->pictureSize(), c.expectedSize);
        EXPECT_EQ(f.style()->floatingTargetOffset(), c.expectedOffset);
        cell->resizing_setState(initial);
        EXPECT_EQ(f.style()->pictureSize(), PLSize(200, 50));
        EXPECT_EQ(f.style()->floatingTargetOffset(), PLPoint(100, 50));
    }
}


struct IconRowCase {
    const char* name;
    int icons;
    bool windows;
    PLSize expected;
};

TEST(IXIconsCellTests, RowsWrapAtTheirLimit)
{
    const IconRowCase cases[] = {
        {"none", 0, false, {0, 17}},
        {"one", 1, false, {17, 17}},
        {"four fill a row", 4, false, {68, 17}},
        {"five: four per row", 5, false, {68, 34}},
        {"nine: three rows", 9, false, {68, 51}},
        {"Windows: 58 in a row", 58, true, {986, 17}},
        {"Windows: 59 wrap", 59, true, {986, 34}},
    };
    for (const IconRowCase& c : cases) {
        SCOPED_TRACE(c.name);
        CellFixture f;
        f.context()->setWindowsCompatibleLayout(c.windows);
        auto branch = f.map.addRoot(QStringLiteral("B"));
        QStringList icons;
        for (int i = 0; i < c.icons; ++i) icons << QStringLiteral("icon%1").arg(i);
        branch->setIcons(icons);
        auto cell = f.make<IXIconsCell>(branch);
        EXPECT_EQ(cell->frame().size, c.expected);
        EXPECT_EQ(cell->bounds(), PLRect(PLPoint(), c.expected));
    }
}

TEST(IXIconsCellTests, DrawsRowsFromTheTopLeavingUnknownIconsEmpty)
{
    ColourIcons storage;
    CellFixture f;
    auto branch = f.map.addRoot(QStringLiteral("B"));
    branch->setIcons({QStringLiteral("ff0000"), QStringLiteral("nothing"), QStringLiteral("00ff00"),
                      QStringLiteral("0000ff"), QStringLiteral("ffaa00")});
    auto cell = f.make<IXIconsCell>(branch);
    cell->setOrigin(PLPoint(2, 2));
    const QImage image = renderCells({cell.get()}, 72, 38, QStringLiteral("IXIconsCellTests.Row"), false);
    ASSERT_EQ(cell->frame(), PLRect(2, 2, 68, 34));
    // Top row at y 2 + 34 - 16 = 20: red, empty, green, blue; the fifth starts the row below.
    EXPECT_TRUE(colorNear(pixelAt(image, 2 + 8, 20 + 8), Qt::red, 0));
    EXPECT_EQ(pixelAt(image, 2 + 17 + 8, 20 + 8).alpha(), 0);
    EXPECT_TRUE(colorNear(pixelAt(image, 2 + 34 + 8, 20 + 8), Qt::green, 0));
    EXPECT_TRUE(colorNear(pixelAt(image, 2 + 51 + 8, 20 + 8), Qt::blue, 0));
    EXPECT_TRUE(colorNear(pixelAt(image, 2 + 8, 3 + 8), QColor(255, 170, 0), 0));
    EXPECT_EQ(pixelAt(image, 2 + 16, 20 + 8).alpha(), 0);  // one unit between icons
    EXPECT_EQ(pixelAt(image, 2 + 8, 19).alpha(), 0);       // and between rows
}

}  // namespace
