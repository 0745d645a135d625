// Pictures of a map without a window: sizes within the maximum (never enlarged), the draw
// mask of the options, and files in each format that other programs open.
#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXFakeServices.h"
#include "DocumentModel/IXLayoutNode.h"
#include "DocumentWindow/IXMapPreview.h"
#include "IXShellTestSupport.h"
#include "MapLayout/IXLayoutCellFactory.h"
#include "MapLayout/IXLayoutContext.h"
#include "DocumentViews/IXMapViewTestSupport.h"

#include <QBuffer>
#include <QImageReader>
#include <QProcess>
#include <QStandardPaths>

namespace {

class MapPreviewTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        IXLayoutCellFactory::install(&m_cells);
        PLError error;
        controller.node = IXDocumentNode::fromZipData(readFile(fixturePath(QStringLiteral("tree.ixd"))), &error);
        ASSERT_TRUE(controller.node) << error.localizedDescription().toStdString();
    }
    void TearDown() override { IXLayoutCellFactory::install(nullptr); }

    // The map's natural size in a layout, as the pictures measure it.
    PLSize naturalSize(const QString& layout)
    {
        IXLayoutContext context(&controller, controller.node->layoutForName(layout).get());
        context.performLayout();
        const PLSize size = context.cellsBounds().size;
        context.invalidate();
        return size;
    }

    // What a command line tool says about the bytes written to a file.
    QString describe(const QString& program, const QByteArray& bytes, const QString& name)
    {
        const QString path = filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        QProcess process;
        process.start(program, {path});
        EXPECT_TRUE(process.waitForFinished(20000)) << program.toStdString();
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    static QSize readSize(const QByteArray& bytes, QByteArray* format = nullptr)
    {
        QBuffer buffer;
        buffer.setData(bytes);
        QImageReader reader(&buffer);
        if (format) *format = reader.format();
        const QImage image = reader.read();
        return image.size();
    }

    FakeWindowController controller;

private:
    MapTestCellFactory m_cells;
};

TEST(IXMapPreviewSizes, AMapIsScaledDownToFitButNeverEnlarged)
{
    struct Case {
        PLSize map, maximum, expected;
    } cases[] = {
        {{2000, 500}, {1024, 1024}, {1024, 256}},
        {{500, 2000}, {1024, 1024}, {256, 1024}},
        {{3000, 1500}, {1024, 256}, {512, 256}},
        {{300, 200}, {1024, 1024}, {300, 200}},
        {{0, 0}, {128, 128}, {128, 128}},
        {{4000, 100}, {0, 0}, {4000, 100}},
    };
    for (const Case& c : cases) {
        const PLSize size = IXMapPreview::fittedSize(c.map, c.maximum);
        EXPECT_FLOAT_EQ(size.width, c.expected.width) << c.map.width << " x " << c.map.height;
        EXPECT_FLOAT_EQ(size.height, c.expected.height) << c.map.width << " x " << c.map.height;
    }
}

TEST(IXMapPreviewOptions, TheDrawMaskFollowsTheIncludedElements)
{
    struct Case {
        bool connections, pictures, comments, objects, commentIndicators;
        std::int32_t mask;
    } cases[] = {
        {false, false, false, false, false, IXDrawMaskBackground},
        {true, true, true, true, true, 1 | 2 | 4 | 8 | 16},
        {false, true, false, false, false, 1 | 2},
        {false, false, true, false, false, 1 | 2},
        {true, false, false, false, false, 1 | 4},
        {false, false, false, true, false, 1 | 8},
        {false, false, false, false, true, 1 | 16},
    };
    for (const Case& c : cases) {
        IXPictureExportOptions options;
        options.includeBranchConnections = c.connections;
        options.includeFloatingPictures = c.pictures;
        options.includeFloatingComments = c.comments;
        options.includeObjectIndicator = c.objects;
        options.includeCommentIndicator = c.commentIndicators;
        EXPECT_EQ(options.drawMask(), c.mask);
    }
}

TEST_F(MapPreviewTest, PicturesOfTheMapOpenInEachFormatWithTheirSizes)
{
    const PLSize natural = naturalSize(IXLayoutMindMapName);
    ASSERT_GT(natural.width, 20);
    ASSERT_GT(natural.height, 20);
    const IXMapPreview preview(&controller, controller.node->layoutForName(IXLayoutMindMapName));
    const QSize full(int(std::lround(natural.width)), int(std::lround(natural.height)));
    const PLSize thumb = IXMapPreview::fittedSize(natural, PLSize(128, 128));
    const QSize thumbSize(int(std::lround(thumb.width)), int(std::lround(thumb.height)));
    EXPECT_TRUE(thumbSize.width() == 128 || thumbSize.height() == 128);

    struct Case {
        int format;
        PLSize maximum;
        QSize size;
        const char* qtFormat;
        const char* fileSays;
    } cases[] = {
        {IXPictureExportOptions::TIFF, {0, 0}, full, "tiff", "TIFF image data"},
        {IXPictureExportOptions::JPEG, {1024, 1024}, full, "jpeg", "JPEG image data"},
        {IXPictureExportOptions::PNG, {128, 128}, thumbSize, "png", "PNG image data"},
    };
    for (const Case& c : cases) {
        IXPictureExportOptions options = IXPictureExportOptions::everything(c.format);
        options.quality = 70;
        const auto bytes = preview.pictureData(options, c.maximum);
        ASSERT_TRUE(bytes) << c.qtFormat;
        QByteArray format;
        EXPECT_EQ(readSize(*bytes, &format), c.size) << c.qtFormat;
        EXPECT_EQ(format, QByteArray(c.qtFormat));
        const QString said = describe(QStringLiteral("file"), *bytes, QStringLiteral("picture.") + c.qtFormat);
        EXPECT_TRUE(said.contains(QLatin1String(c.fileSays))) << said.toStdString();
    }

    // The PDF is one page of the map at its natural size, whatever the maximum.
    const auto pdf = preview.pictureData(IXPictureExportOptions::everything(IXPictureExportOptions::PDF), {64, 64});
    ASSERT_TRUE(pdf);
    const QString info = describe(QStringLiteral("pdfinfo"), *pdf, QStringLiteral("map.pdf"));
    EXPECT_TRUE(info.contains(QStringLiteral("Pages:           1"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("Page size:       %1 x %2 pts").arg(full.width()).arg(full.height())))
        << info.toStdString();

    // The stored previews: a progressive JPEG within 1024 and a PNG thumbnail within 128.
    const QByteArray jpeg = preview.jpgPreview();
    if (qEnvironmentVariableIsSet("IX_SAVE_RENDERS")) {
        QDir().mkpath(QStringLiteral("renders"));
        QFile out(QStringLiteral("renders/map-preview.jpg"));
        if (out.open(QIODevice::WriteOnly)) out.write(jpeg);
        QFile pdfOut(QStringLiteral("renders/map.pdf"));
        if (pdfOut.open(QIODevice::WriteOnly)) pdfOut.write(*pdf);
        preview.mapImageForRootBranch(std::dynamic_pointer_cast<IXBranchNode>(controller.node->rootBranches().first()))
            .save(QStringLiteral("renders/map-root-branch.png"));
    }
    EXPECT_EQ(readSize(jpeg), full);
    EXPECT_TRUE(describe(QStringLiteral("file"), jpeg, QStringLiteral("preview.jpg")).contains(QStringLiteral("progressive")));
    EXPECT_EQ(readSize(preview.pngPreview(PLSize(128, 128))), thumbSize);

    // An unknown format gives nothing.
    EXPECT_FALSE(preview.pictureData(IXPictureExportOptions::everything(7), {0, 0}));
}

TEST_F(MapPreviewTest, JPEGQualityFollowsTheOptions)
{
    const IXMapPreview preview(&controller, controller.node->layoutForName(IXLayoutMindMapName));
    IXPictureExportOptions low = IXPictureExportOptions::everything(IXPictureExportOptions::JPEG);
    low.quality = 5;
    IXPictureExportOptions high = low;
    high.quality = 100;
    const auto lowBytes = preview.pictureData(low, {0, 0});
    const auto highBytes = preview.pictureData(high, {0, 0});
    ASSERT_TRUE(lowBytes && highBytes);
    EXPECT_LT(lowBytes->size(), highBytes->size());
}

TEST_F(MapPreviewTest, TheOutlineAndAMissingLayoutArePicturedAsTheMindMap)
{
    const auto mindMap = controller.node->layoutForName(IXLayoutMindMapName);
    EXPECT_EQ(IXMapPreview(&controller, controller.node->layoutForName(IXLayoutOutlineName)).layoutNode(), mindMap);
    EXPECT_EQ(IXMapPreview(&controller, nullptr).layoutNode(), mindMap);
    const auto topDown = controller.node->layoutForName(IXLayoutTopDownName);
    EXPECT_EQ(IXMapPreview(&controller, topDown).layoutNode(), topDown);
}

TEST_F(MapPreviewTest, AnEmptyMapGivesAPictureOfTheMaximumSize)
{
    controller.node = std::make_shared<IXDocumentNode>();
    const IXMapPreview preview(&controller, nullptr);
    EXPECT_EQ(preview.exportPicture(IXPictureExportOptions::everything(IXPictureExportOptions::PNG), {200, 100}).size(),
              QSize(200, 100));
    EXPECT_FALSE(preview.pdfPreview().isEmpty());
}

TEST_F(MapPreviewTest, TheRootBranchPictureShowsOnlyThatBranch)
{
    const IXMapPreview preview(&controller, controller.node->layoutForName(IXLayoutMindMapName));
    const auto roots = controller.node->rootBranches();
    ASSERT_EQ(roots.size(), 2);
    const PLSize whole = naturalSize(IXLayoutMindMapName);
    const QImage second = preview.mapImageForRootBranch(std::dynamic_pointer_cast<IXBranchNode>(roots[1]));
    const QImage first = preview.mapImageForRootBranch(std::dynamic_pointer_cast<IXBranchNode>(roots[0]));
    ASSERT_FALSE(second.isNull());
    // "Second" has no sub-branches: its picture is its box alone; "Main" is larger by its
    // sub-branch; both are smaller than the whole map.
    EXPECT_EQ(second.size(), QSize(int(MapTestGroupCell::BoxWidth), int(MapTestGroupCell::BoxHeight)));
    EXPECT_GT(first.width() * first.height(), second.width() * second.height());
    EXPECT_LT(first.width() * first.height(), int(whole.width * whole.height));
}

}  // namespace
