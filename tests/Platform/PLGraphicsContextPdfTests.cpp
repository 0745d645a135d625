// Drawing into a PDF: what a page shows, read back by Qt's PDF renderer, is what the same
// drawing puts into an image, and painting that changes nothing is not written at all.
#include "Platform/Drawing/PLBezierPath.h"
#include "Platform/Drawing/PLGraphicsContext.h"
#include "RenderTestSupport.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfDocument>
#include <QPdfWriter>

#include <functional>

namespace {

using Draw = std::function<void(PLGraphicsContext&)>;
using Op = PLGraphicsContext::CompositingOperation;
constexpr int Side = 100;

QByteArray pdfOf(const Draw& draw)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setPageSize(QPageSize(QSizeF(Side, Side), QPageSize::Point));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setResolution(72);
        QPainter painter(&writer);
        PLGraphicsContext context(painter, Side, false);
        draw(context);
    }
    return bytes;
}

// The page at one pixel per point, over white.
QImage renderedPDF(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QPdfDocument document;
    document.load(&buffer);
    EXPECT_EQ(document.status(), QPdfDocument::Status::Ready);
    QImage page(Side, Side, QImage::Format_ARGB32_Premultiplied);
    page.fill(Qt::white);
    QPainter painter(&page);
    painter.drawImage(0, 0, document.render(0, QSize(Side, Side)));
    return page;
}

QImage rendered(const Draw& draw)
{
    QImage image(Side, Side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    {
        PLGraphicsContext context(image);
        draw(context);
    }
    return image;
}

// Pixels that differ clearly on some channel, and those painted (not white) in either.
std::pair<int, int> differingAndPainted(const QImage& a, const QImage& b)
{
    int differing = 0;
    int painted = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QColor p = a.pixelColor(x, y), q = b.pixelColor(x, y);
            painted += p != Qt::white || q != Qt::white;
            differing += std::max({std::abs(p.red() - q.red()), std::abs(p.green() - q.green()),
                                   std::abs(p.blue() - q.blue())})
                > 24;
        }
    return {differing, painted};
}

struct GradientCase {
    const char* name;
    float angle;
};

}  // namespace

class PLGraphicsContextPdfTest : public RenderTest { };

TEST_F(PLGraphicsContextPdfTest, GradientFillsShowWhatTheyShowInAnImage)
{
    const PLColor from = PLColor::rgb(0.9f, 0.2f, 0.1f), to = PLColor::rgb(0.1f, 0.3f, 0.9f);
    const PLBezierPath rounded = PLBezierPath::bezierPathWithRoundedRect(PLRect(15, 25, 70, 50), 12);
    for (const GradientCase& c : {GradientCase {"across", 0}, GradientCase {"upwards", 90},
                                  GradientCase {"backwards", 180}, GradientCase {"turned", 30}}) {
        SCOPED_TRACE(c.name);
        const Draw draw = [&](PLGraphicsContext& context) { rounded.fillGradientFrom(from, to, c.angle); };
        const QImage pdf = renderedPDF(pdfOf(draw));
        canvas = rendered(draw);
        const auto [differing, painted] = differingAndPainted(pdf, canvas);
        EXPECT_GT(painted, 3000);
        EXPECT_LT(differing, painted / 50);
    }
    // An axis shorter than the path paints nothing past its ends, in a PDF as in an image.
    const Draw partial = [&](PLGraphicsContext&) { rounded.fillGradientFromPoint({40, 0}, {60, 0}, from, to); };
    const QImage pdf = renderedPDF(pdfOf(partial));
    canvas = rendered(partial);
    EXPECT_EQ(pdf.pixelColor(20, 50), QColor(Qt::white));
    EXPECT_EQ(pdf.pixelColor(80, 50), QColor(Qt::white));
    EXPECT_NE(pdf.pixelColor(50, 50), QColor(Qt::white));
    const auto [differing, painted] = differingAndPainted(pdf, canvas);
    EXPECT_LT(differing, painted / 50);
}

TEST_F(PLGraphicsContextPdfTest, ClearPaintingIsNotWrittenButClearingStillClears)
{
    const PLBezierPath box = PLBezierPath::bezierPathWithRoundedRect(PLRect(10, 10, 60, 40), 6);
    const Draw clear = [&](PLGraphicsContext& context) {
        for (int i = 0; i < 200; ++i) {
            context.setColor(PLColor::rgb(0, 0, 0, 0));
            context.fillPath(box);
            context.strokePath(box);
            box.fillGradientFrom(PLColor(), PLColor(), 90);
            context.saveGraphicsState();
            context.setColor(PLColor::red());
            context.setAlpha(0);
            context.fillPath(box);
            context.restoreGraphicsState();
        }
    };
    const QByteArray empty = pdfOf([](PLGraphicsContext&) {});
    const QByteArray painted = pdfOf(clear);
    EXPECT_LT(painted.size(), empty.size() + 1000) << "clear shapes were written";
    EXPECT_EQ(differingAndPainted(renderedPDF(painted), rendered([](PLGraphicsContext&) {})).second, 0);

    // Copying a clear colour is no "nothing": it clears what lies under it.
    canvas.fill(Qt::red);
    {
        PLGraphicsContext context(canvas);
        context.setColor(PLColor::rgb(0, 0, 0, 0));
        context.setCompositingOperation(Op::Copy);
        context.fillRect(PLRect(0, 0, 50, 100));
    }
    EXPECT_EQ(at(25, 50).alpha(), 0);
    EXPECT_TRUE(colorNear(at(75, 50), QColor(Qt::red)));
}
