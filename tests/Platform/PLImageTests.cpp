#include "Platform/Drawing/PLGraphicsContext.h"
#include "Platform/Drawing/PLImage.h"
#include "RenderTestSupport.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace {

// Four quadrants: red top-left, green top-right, blue bottom-left, transparent bottom-right.
QImage quadrants(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.fillRect(0, 0, width / 2, height / 2, Qt::red);
    p.fillRect(width / 2, 0, width - width / 2, height / 2, Qt::green);
    p.fillRect(0, height / 2, width / 2, height - height / 2, Qt::blue);
    return image;
}

// The image encoded in the format, stating dpi when above 0.
QByteArray encoded(const QImage& image, const char* format, int dpi)
{
    QImage copy = image.convertToFormat(QImage::Format_ARGB32);
    if (dpi > 0) {
        copy.setDotsPerMeterX(int(std::lround(dpi / 0.0254)));
        copy.setDotsPerMeterY(int(std::lround(dpi / 0.0254)));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, format).write(copy);
    return bytes;
}

QByteArray pngWithoutResolution(const QImage& image)
{
    // Qt always states a resolution; take the pHYs chunk out again.
    QByteArray bytes = encoded(image, "png", 72);
    const qsizetype at = bytes.indexOf("pHYs") - 4;
    if (at > 0) bytes.remove(at, 4 + 4 + 9 + 4);
    return bytes;
}

QByteArray pdfPage(QSizeF points)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(points, QPageSize::Point));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(72);
    QPainter p(&writer);
    p.fillRect(QRectF(0, 0, points.width() / 2, points.height()), Qt::red);
    p.end();
    return bytes;
}

const QByteArray svg(
    "<svg xmlns='http://www.w3.org/2000/svg' width='30' height='20'>"
    "<rect x='0' y='0' width='15' height='10' fill='#ff0000'/></svg>");

const QByteArray gif = QByteArray::fromHex(
    "47494638396101000100800000ffffff00000021f90401000000002c00000000010001000002024401003b");

}  // namespace

TEST(PLImage, NaturalSizeFollowsTheResolution)
{
    const QImage pixels = quadrants(40, 20);
    struct Case {
        const char* name;
        QByteArray data;
        PLSize size;
        bool vector;
    } cases[] = {
        {"png 144 dpi", encoded(pixels, "png", 144), {20, 10}, false},
        {"png 72 dpi", encoded(pixels, "png", 72), {40, 20}, false},
        {"png without resolution", pngWithoutResolution(pixels), {40, 20}, false},
        {"png 96 dpi", encoded(pixels, "png", 96), {30, 15}, false},
        {"jpeg 144 dpi", encoded(pixels, "jpeg", 144), {20, 10}, false},
        {"tiff 144 dpi", encoded(pixels, "tiff", 144), {20, 10}, false},
        {"bmp 144 dpi", encoded(pixels, "bmp", 144), {20, 10}, false},
        {"gif", gif, {1, 1}, false},
        {"svg", svg, {30, 20}, true},
        {"pdf", pdfPage({200, 100}), {200, 100}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PLError error;
        const PLImage image = PLImage::fromData(c.data, &error);
        ASSERT_FALSE(image.isNull()) << qPrintable(error.failureReason());
        EXPECT_TRUE(error.isNull());
        EXPECT_NEAR(image.size().width, c.size.width, 0.05);
        EXPECT_NEAR(image.size().height, c.size.height, 0.05);
        EXPECT_EQ(image.isVector(), c.vector);
        EXPECT_NEAR(image.bitmap().deviceIndependentSize().width(), c.size.width, 0.5);
    }
}

TEST(PLImage, RefusesWhatIsNoPicture)
{
    QByteArray truncated = encoded(quadrants(40, 20), "png", 72);
    truncated.truncate(60);
    struct Case {
        QByteArray data;
        int code;
    } cases[] = {
        {QByteArray(), PLImage::EmptyDataError},
        {"just some words", PLImage::UnknownFormatError},
        {truncated, PLImage::DamagedDataError},
        {"%PDF-1.4 nothing follows", PLImage::DamagedDataError},
        {"<svg xmlns='http://www.w3.org/2000/svg' width='0' height='0'></svg>", PLImage::DamagedDataError},
    };
    for (const Case& c : cases) {
        PLError error;
        EXPECT_TRUE(PLImage::fromData(c.data, &error).isNull()) << c.data.left(20).constData();
        EXPECT_EQ(error.domain(), PLImage::ErrorDomain);
        EXPECT_EQ(error.code(), c.code) << c.data.left(20).constData();
        EXPECT_FALSE(error.failureReason().isEmpty());
    }
    PLError error;
    EXPECT_TRUE(PLImage().PNGRepresentation(&error).isEmpty());
    EXPECT_EQ(error.code(), PLImage::EmptyDataError);
}

TEST(PLImage, PNGOutputKeepsTheSize)
{
    const PLImage images[] = {
        PLImage::fromData(encoded(quadrants(40, 20), "png", 144)),
        PLImage::fromData(svg),
        PLImage::fromQImage(quadrants(10, 10), 2),
    };
    for (const PLImage& image : images) {
        ASSERT_FALSE(image.isNull());
        const PLImage back = PLImage::fromData(image.PNGRepresentation());
        EXPECT_EQ(back.size(), image.size());
        EXPECT_FALSE(back.isVector());
    }
    EXPECT_EQ(PLImage::fromData(images[0].PNGRepresentation()).bitmap(), images[0].bitmap().convertToFormat(QImage::Format_ARGB32));
}

using PLImageDrawingTest = RenderTest;

TEST_F(PLImageDrawingTest, DrawsUprightWholeOrInPart)
{
    const PLImage image = PLImage::fromQImage(quadrants(2, 2));
    PLGraphicsContext context(canvas, true);
    EXPECT_TRUE(context.isDrawingToScreen());
    context.setImageInterpolation(PLGraphicsContext::ImageInterpolation::None);
    context.drawImage(image, {10, 10, 40, 40});
    EXPECT_TRUE(colorNear(at(15, 45), QColor(Qt::red)));  // the picture's top-left stays top-left
    EXPECT_TRUE(colorNear(at(45, 45), QColor(Qt::green)));
    EXPECT_TRUE(colorNear(at(15, 15), QColor(Qt::blue)));
    EXPECT_TRUE(colorNear(at(45, 15), QColor(0, 0, 0, 0)));
    // The top-right point of the picture (y-up source) fills the whole rectangle.
    context.drawImage(image, {60, 60, 30, 30}, {1, 1, 1, 1});
    EXPECT_TRUE(colorNear(at(62, 62), QColor(Qt::green)));
    EXPECT_TRUE(colorNear(at(88, 88), QColor(Qt::green)));
    // Opacity, and the state's alpha multiplying it.
    context.setAlpha(0.5f);
    context.drawImage(image, {60, 10, 20, 20}, {0, 0, 1, 1}, PLGraphicsContext::CompositingOperation::SourceOver, 0.5f);
    EXPECT_NEAR(at(70, 20).alpha(), 64, 2);
    EXPECT_EQ(context.alpha(), 0.5f);
}

// A tint kept only where the picture is opaque, the picture put under it: in one layer.
TEST_F(PLImageDrawingTest, SelectionTintOnlyWherePictureIsOpaque)
{
    canvas.fill(Qt::white);
    const PLImage image = PLImage::fromQImage(quadrants(2, 2));
    PLGraphicsContext context(canvas);
    context.setImageInterpolation(PLGraphicsContext::ImageInterpolation::None);
    const PLRect rect(20, 20, 60, 60);
    context.beginTransparencyLayer();
    context.setColor(PLColor::rgb(0, 0, 0, 0.5f));
    context.fillRect(rect);
    context.drawImage(image, rect, {}, PLGraphicsContext::CompositingOperation::DestinationIn, 1);
    context.drawImage(image, rect, {}, PLGraphicsContext::CompositingOperation::DestinationOver, 1);
    context.endTransparencyLayer();
    EXPECT_TRUE(colorNear(at(30, 70), QColor(128, 0, 0), 3));  // red under the half-black tint
    EXPECT_TRUE(colorNear(at(70, 30), QColor(Qt::white)));      // transparent corner: no tint
    EXPECT_TRUE(colorNear(at(10, 10), QColor(Qt::white)));
}

TEST_F(PLImageDrawingTest, VectorPicturesRenderForTheDevice)
{
    // Each drawn at half its size under a zoom of 4: 2 device pixels per point of the picture.
    struct Case {
        const char* name;
        PLImage picture;
        int redEnd;  // device x where the picture's red part ends
    } cases[] = {
        {"svg", PLImage::fromData(svg), 30},            // red 15 of 30 points wide
        {"pdf", PLImage::fromData(pdfPage({40, 40})), 40},  // red 20 of 40 points wide
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        canvas.fill(Qt::transparent);
        PLGraphicsContext context(canvas);
        PLAffineTransform zoom;
        zoom.scaleBy(4);
        context.concat(zoom);
        context.drawImage(c.picture, {0, 0, c.picture.size().width / 2, c.picture.size().height / 2});
        EXPECT_TRUE(colorNear(at(c.redEnd - 1, 38), QColor(Qt::red), 3));
        EXPECT_FALSE(colorNear(at(c.redEnd, 38), QColor(Qt::red), 3));
        EXPECT_NEAR(c.picture.bitmap(2).width(), c.picture.size().width * 2, 1);
    }
}

TEST(PLImage, DrawnPicturesAreYUp)
{
    const PLImage image = PLImage::imageWithSize({20, 10}, 2, [](PLGraphicsContext& context) {
        EXPECT_FALSE(context.isDrawingToScreen());
        context.setColor(PLColor::red());
        context.fillRect({0, 0, 20, 5});
    });
    EXPECT_EQ(image.size(), PLSize(20, 10));
    EXPECT_EQ(image.pixelSize(), QSize(40, 20));
    const QImage pixels = image.bitmap();
    EXPECT_EQ(pixels.pixelColor(0, 19), QColor(Qt::red));
    EXPECT_EQ(pixels.pixelColor(0, 0).alpha(), 0);
}
