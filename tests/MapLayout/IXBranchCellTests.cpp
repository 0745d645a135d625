#include "DocumentModel/IXIconsStorage.h"
#include "DocumentModel/IXPictureNode.h"
#include "IXMapCellTestSupport.h"
#include "MapLayout/IXBranchCell.h"
#include "MapLayout/IXIconsCell.h"
#include "MapLayout/IXPictureCell.h"
#include "MapLayout/IXShapeDrawer.h"
#include "MapLayout/IXTextCell.h"
#include "Platform/Drawing/PLGraphicsContext.h"
#include "TestSupport/ExpectAssertion.h"

#include <QBuffer>
#include <QHash>
#include <QPainter>
#include <QPdfWriter>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace {

QByteArray photo(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    QPainter painter(&image);
    painter.fillRect(image.rect(), QColor(70, 130, 180));
    painter.setBrush(QColor(250, 200, 60));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPointF(width * 0.7, height * 0.35), height * 0.2, height * 0.2);
    painter.setBrush(QColor(40, 120, 60));
    painter.drawPolygon(QPolygonF{QPointF(0, height), QPointF(width * 0.4, height * 0.4), QPointF(width * 0.8, height)});
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

std::shared_ptr<IXPictureNode> givePicture(const std::shared_ptr<IXBranchNode>& branch, int width = 120, int height = 80)
{
    auto picture = std::make_shared<IXPictureNode>();
    branch->setPicture(picture);
    picture->addPictureData(photo(width, height), QStringLiteral("photo.png"));
    return picture;
}

// A branch in a borderless frame with a 60 x 40 picture (unless none is asked for).
struct BranchFixture : CellFixture {
    std::shared_ptr<IXBranchNode> root = map.addRoot(QStringLiteral("Root"));
    std::shared_ptr<IXBranchNode> child = MapFixture::addChild(root, QStringLiteral("Child"));

    explicit BranchFixture(const QString& layout = QStringLiteral("mindmap")) : CellFixture(layout) {}

    std::shared_ptr<IXPictureNode> picture(const std::shared_ptr<IXBranchNode>& branch, PLSize size = {60, 40})
    {
        auto node = givePicture(branch);
        auto style = styleOf(node);
        style->setPictureKeepAspect(false);
        style->setPictureSize(size);
        return node;
    }
    std::shared_ptr<IXBranchCell> cellOf(const std::shared_ptr<IXBranchNode>& branch, int frameType = 0)
    {
        styleOf(branch)->setBranchFrameType(frameType);
        return make<IXBranchCell>(branch);
    }
};

PLRect grown(const PLRect& r, float by)
{
    return r.insetBy(-by, -by);
}

TEST(IXBranchCellTests, IndicatorsAreTenHighOneApartAndCentredOnTheTitle)
{
    BranchFixture f;
    f.child->setComment(std::make_shared<IXCommentNode>());
    f.child->addAttachment();
    auto cell = f.cellOf(f.child);
    cell->frame();
    ASSERT_TRUE(cell->commentCell() && cell->attachmentsCell());
    EXPECT_FALSE(cell->outlineCell());
    EXPECT_EQ(IXBranchCell::noteIndicator().deviceIndependentSize(), QSizeF(20, 16));
    const PLRect title = cell->titleCell()->frame();
    const float y = std::floor((title.height() - 10) * 0.5f);
    EXPECT_EQ(cell->commentCell()->frame(), PLRect(title.maxX() + 1, y, 12, 10));
    EXPECT_EQ(cell->attachmentsCell()->frame(), PLRect(title.maxX() + 14, y, 12, 10));
    EXPECT_EQ(cell->boxFrame(), grown(PLRect(0, 0, title.width() + 26, title.height()), 2));

    // Indicators follow the draw mask.
    f.context()->setDrawMask(IXDrawMaskDefault & ~IXDrawMaskObjectIndicators & ~IXDrawMaskCommentIndicators);
    cell->invalidateLayout();
    cell->frame();
    EXPECT_FALSE(cell->commentCell() || cell->attachmentsCell());
}

TEST(IXBranchCellTests, TheTimelineShowsTheOutlineIndicatorAndNoRootPicture)
{
    BranchFixture f(QStringLiteral("timeline"));
    ASSERT_TRUE(f.context()->isTimelineLayout());
    f.picture(f.root);
    auto childPicture = f.picture(f.child);
    MapFixture::addChild(f.child, QStringLiteral("Grandchild"));
    f.styleOf(f.child)->setDocumentLayoutTimelineLevelDisplay(true);
    auto root = f.cellOf(f.root);
    auto child = f.cellOf(f.child);
    root->frame();
    child->frame();
    EXPECT_FALSE(root->pictureCell());
    ASSERT_TRUE(child->pictureCell());
    EXPECT_TRUE(child->isPictureInsideBounds());
    ASSERT_TRUE(child->outlineCell());
    EXPECT_EQ(child->outlineCell()->frame().size, PLSize(12, 10));
}

struct WidthCase {
    const char* name;
    QString title;
    float textWidth;  // 0: unset
    bool wordWrap;
    std::function<float(float natural, float minLength)> expected;
};

TEST(IXBranchCellTests, TitleWidthsNarrowToTheTextAndWidenToASetWidth)
{
    const QString longTitle = QStringLiteral("word ").repeated(60).trimmed();
    const WidthCase cases[] = {
        {"short title, width unset: its text + 2", QStringLiteral("Short"), 0, true,
         [](float natural, float minLength) { return std::max(minLength, natural + 2); }},
        {"long title wraps at 400", longTitle, 0, true, [](float, float) { return 400.0f; }},
        {"long title wraps at the set width", longTitle, 150, true, [](float, float) { return 150.0f; }},
        {"short title without wrapping, width set: widened to its text + 2", QStringLiteral("Short title"), 300, false,
         [](float natural, float minLength) { return std::max(minLength, std::ceil(natural + 2)); }},
        {"short title without wrapping, width unset", QStringLiteral("Short title"), 0, false,
         [](float natural, float minLength) { return std::max(minLength, natural); }},
    };
    for (const WidthCase& c : cases) {
        SCOPED_TRACE(c.name);
        BranchFixture f;
        f.child->setTitle(c.title);
        auto style = f.styleOf(f.child);
        style->setDocumentWordWrap(c.wordWrap);
        style->setDocumentBranchMinLength(40);
        if (c.textWidth > 0) style->setBranchTextWidth(c.textWidth);
        auto cell = f.cellOf(f.child);
        cell->frame();
        const float natural = cell->titleCell()->cellTextSize().width;
        EXPECT_EQ(cell->titleCell()->frame().width(), c.expected(natural, 40));
        EXPECT_EQ(cell->titleCell()->frame().origin, PLPoint());
    }
}

TEST(IXBranchCellTests, ARowNarrowerThanTheMinimumLengthIsCentredInIt)
{
    BranchFixture f;
    f.styleOf(f.root)->setDocumentBranchMinLength(1300);  // beyond the widest title (1,200)
    f.styleOf(f.child)->setDocumentBranchMinLength(1300);
    f.picture(f.root);
    auto root = f.cellOf(f.root);
    auto child = f.cellOf(f.child);
    root->frame();
    child->frame();
    ASSERT_TRUE(root->titleCell() && root->pictureCell() && child->titleCell());
    EXPECT_EQ(root->titleCell()->frame().minX(), 50);
    EXPECT_EQ(root->boxFrame().width(), 1300);
    EXPECT_EQ(root->pictureCell()->frame().minX(), 570);  // (1,200 - 60) / 2: not moved
    EXPECT_EQ(child->titleCell()->frame().minX(), 48);   // after growing by 2 on each side
    EXPECT_EQ(child->boxFrame(), PLRect(-2, -2, 1300, child->titleCell()->frame().height() + 4));
}

struct PictureCase {
    const char* name;
    bool root;
    int position;
    int frameType;
    bool inside;
};

TEST(IXBranchCellTests, PicturesInsideOrOutsideTheFrame)
{
    const PictureCase cases[] = {
        {"root, default position: inside", true, 0, 0, true},
        {"sub-branch, default position: outside", false, 0, 0, false},
        {"sub-branch at position 6: inside", false, 6, 0, true},
        {"root at position 1: outside", true, 1, 0, false},
        {"root in a square frame", true, 0, 1, true},
        {"sub-branch in a rounded frame, outside", false, 0, 3, false},
        {"sub-branch in a bubble, inside", false, 6, 5, true},
    };
    for (const PictureCase& c : cases) {
        SCOPED_TRACE(c.name);
        BranchFixture f;
        const auto& branch = c.root ? f.root : f.child;
        f.styleOf(branch)->setBranchPicturePosition(c.position);
        f.picture(branch);
        auto cell = f.cellOf(branch, c.frameType);
        const PLRect bounds = cell->bounds();
        auto style = f.styleOf(branch);
        EXPECT_EQ(cell->isPictureInsideBounds(), c.inside);
        ASSERT_TRUE(cell->pictureCell());
        const PLRect title = cell->titleCell()->frame();
        const PLRect picture = cell->pictureCell()->frame();
        EXPECT_EQ(picture.size, PLSize(60, 40));
        EXPECT_EQ(picture.minX(), std::ceil((title.width() - 60) * 0.5f));
        const auto framed = [&](const PLRect& r) { return c.frameType ? IXShapeDrawer::frameRectForContentRect(r, *style) : r; };
        if (c.inside) {
            EXPECT_EQ(picture.minY(), title.height());
            EXPECT_EQ(cell->boxFrame(), title);
            EXPECT_EQ(bounds, grown(framed(title.united(picture)), c.root ? 10 : 2));
        } else {
            const PLRect box = framed(grown(title, 2));
            EXPECT_EQ(picture.minY(), box.maxY() + 2);
            EXPECT_EQ(bounds, box.united(picture));
            EXPECT_EQ(cell->boxFrame(), PLRect(bounds.minX(), box.minY(), bounds.width(), box.height()));
        }
        EXPECT_EQ(cell->frame().size, bounds.size);
    }
}

TEST(IXBranchCellTests, SubCellsFollowTheNode)
{
    BranchFixture f;
    auto cell = f.cellOf(f.child);
    cell->frame();
    EXPECT_TRUE(cell->titleCell());
    EXPECT_FALSE(cell->iconsCell() || cell->pictureCell() || cell->commentCell());
    IXTextCell* title = cell->titleCell();

    f.child->setIcons({QStringLiteral("a"), QStringLiteral("b")});
    auto first = f.picture(f.child);
    cell->invalidateLayout();
    cell->frame();
    ASSERT_TRUE(cell->iconsCell() && cell->pictureCell());
    EXPECT_EQ(cell->titleCell(), title);
    EXPECT_EQ(cell->iconsCell()->frame(), PLRect(0, 0, 34, 17));
    EXPECT_EQ(cell->titleCell()->frame().minX(), 34);
    EXPECT_EQ(f.context()->cells().cellForNode(first.get()), cell->pictureCell());

    IXPictureCell* firstCell = cell->pictureCell();
    auto second = f.picture(f.child);
    cell->invalidateLayout();
    cell->frame();
    ASSERT_TRUE(cell->pictureCell());
    EXPECT_NE(cell->pictureCell(), firstCell);
    EXPECT_EQ(f.context()->cells().cellForNode(second.get()), cell->pictureCell());
    EXPECT_EQ(f.context()->cells().cellForNode(first.get()), nullptr);

    f.child->setIcons({});
    f.child->setPicture(nullptr);
    cell->invalidateLayout();
    cell->frame();
    EXPECT_FALSE(cell->iconsCell() || cell->pictureCell());
    EXPECT_EQ(f.context()->cells().cellForNode(second.get()), nullptr);
}

TEST(IXBranchCellTests, WithoutANodeTheCellIsEmptyAndCannotReload)
{
    BranchFixture f;
    auto cell = std::make_shared<IXBranchCell>(f.context(), f.layer.get(), nullptr);
    f.layer->addCell(cell);
    f.cells.push_back(cell);
    EXPECT_EQ(cell->frame(), PLRect());
    EXPECT_EQ(cell->bounds(), PLRect());
    expectAssertion("bnode", [&] { cell->reload(); });
}

struct BranchResizeCase {
    const char* name;
    bool withPicture;
    PLRect frame;
    float expectedTextWidth;
    std::function<PLSize(float boxHeight)> expectedPicture;
};

// A sub-branch (margin 2, picture outside) whose minimum length is 40.
TEST(IXBranchCellTests, ResizingSetsTheTextWidthAndThePictureSize)
{
    const BranchResizeCase cases[] = {
        {"content height 15: picture height 20 less the box", true, {0, 0, 200, 19}, 196,
         [](float box) { return PLSize(196, 20 - box); }},
        {"wide: picture width clamped to 400", true, {0, 0, 1000, 300}, 996, [](float box) { return PLSize(400, 296 - box); }},
        {"narrow: text width kept at the minimum, picture at 20", true, {0, 0, 10, 300}, 40,
         [](float box) { return PLSize(40, 296 - box); }},
        {"without picture only the text width", false, {0, 0, 150, 60}, 146, nullptr},
    };
    for (const BranchResizeCase& c : cases) {
        SCOPED_TRACE(c.name);
        BranchFixture f;
        f.styleOf(f.child)->setDocumentBranchMinLength(40);
        std::shared_ptr<IXPictureNode> picture = c.withPicture ? f.picture(f.child) : nullptr;
        auto cell = f.cellOf(f.child);
        cell->frame();
        const QVariantMap initial = cell->resizing_state();
        const float boxHeight = cell->boxFrame().height();
        cell->resizing_setFrame(c.frame, 1, -1);
        EXPECT_EQ(f.styleOf(f.child)->branchTextWidth(), c.expectedTextWidth);
        if (picture) EXPECT_EQ(f.styleOf(picture)->pictureSize(), c.expectedPicture(boxHeight));
        cell->resizing_setState(initial);
        EXPECT_EQ(f.styleOf(f.child)->branchTextWidth(), 0);
        if (picture) EXPECT_EQ(f.styleOf(picture)->pictureSize(), PLSize(60, 40));
    }
}


TEST(IXBranchCellTests, RendersBranchesWithTitlesPicturesIconsAndIndicators)
{
    ColourIcons icons;
    BranchFixture f;
    f.root->setTitle(QStringLiteral("Central idea"));
    f.child->setTitle(QStringLiteral("Branch with things"));
    f.picture(f.root, PLSize(72, 48));
    f.picture(f.child, PLSize(60, 40));
    f.child->setIcons({QStringLiteral("e04040"), QStringLiteral("40a040")});
    f.child->setComment(std::make_shared<IXCommentNode>());
    f.child->addAttachment();
    auto root = f.cellOf(f.root, 3);
    auto child = f.cellOf(f.child, 1);
    root->setOrigin(PLPoint(20, 100));
    child->setOrigin(PLPoint(230, 40));
    const QImage image = renderCells({root.get(), child.get()}, 480, 220, QStringLiteral("IXBranchCellTests.Branches"));

    // The root's picture inside its frame, the child's above its box.
    const auto canvas = [](IXLayoutCell* cell, IXLayoutCell* sub) { return sub->convertRectToCell(sub->bounds(), nullptr); };
    const PLRect rootPicture = canvas(root.get(), root->pictureCell());
    EXPECT_TRUE(root->frame().insetBy(5, 5).containsRect(rootPicture));
    EXPECT_TRUE(colorNear(pixelAt(image, int(rootPicture.minX()) + 3, int(rootPicture.maxY()) - 3), QColor(70, 130, 180), 12));
    const PLRect childPicture = canvas(child.get(), child->pictureCell());
    const PLRect childBox = child->convertRectToCell(child->boxFrame(), nullptr);
    EXPECT_EQ(childPicture.minY(), childBox.maxY() + 2);
    EXPECT_TRUE(colorNear(pixelAt(image, int(childPicture.minX()) + 3, int(childPicture.maxY()) - 3), QColor(70, 130, 180), 12));
    // Icons and indicators where the layout put them.
    const PLRect icon = canvas(child.get(), child->iconsCell());
    EXPECT_TRUE(colorNear(pixelAt(image, int(icon.minX()) + 8, int(icon.minY()) + 8), QColor(0xe0, 0x40, 0x40), 12));
    for (IXLayoutCell* indicator : {child->commentCell(), child->attachmentsCell()}) {
        const PLRect r = canvas(child.get(), indicator);
        EXPECT_GT(countPixels(image, r, [](const QColor& c) { return c.red() + c.green() + c.blue() < 600; }), 10);
    }
    // The title text is drawn in the box.
    EXPECT_GT(countPixels(image, canvas(child.get(), child->titleCell()), isDark), 20);
}

}  // namespace

namespace {

// Every frame type, each with a picture inside (a root) and one outside (a sub-branch), icons
// and a note indicator: the box and picture lie within the bounds, the picture outside stands
// 2 above the box, and the frame is drawn around the title.
TEST(IXBranchCellTests, RendersEveryFrameType)
{
    ColourIcons icons;
    BranchFixture f;
    std::vector<IXLayoutCell*> cells;
    std::vector<std::shared_ptr<IXBranchCell>> keep;
    for (int type = 0; type <= 10; ++type) {
        for (bool root : {true, false}) {
            SCOPED_TRACE(type);
            auto branch = root ? f.map.addRoot(QStringLiteral("Frame %1").arg(type))
                               : MapFixture::addChild(f.root, QStringLiteral("Type %1").arg(type));
            f.picture(branch, PLSize(36, 24));
            branch->setIcons({QStringLiteral("3070d0")});
            branch->setComment(std::make_shared<IXCommentNode>());
            auto cell = f.cellOf(branch, type);
            const PLRect bounds = cell->bounds();
            const PLRect picture = cell->pictureCell()->frame();
            EXPECT_TRUE(bounds.containsRect(picture));
            EXPECT_TRUE(bounds.containsRect(cell->boxFrame()));
            EXPECT_TRUE(cell->boxFrame().containsRect(cell->titleCell()->frame()));
            if (!root) EXPECT_EQ(picture.minY(), cell->boxFrame().maxY() + 2);
            const PLRect content = root ? cell->titleCell()->frame().united(picture)
                                        : grown(cell->titleCell()->frame().united(cell->iconsCell()->frame())
                                                    .united(cell->commentCell()->frame()), 2);
            if (type != 0) {
                EXPECT_EQ(IXShapeDrawer::contentRectForFrameRect(root ? grown(bounds, -10) : cell->boxFrame(), *f.styleOf(branch))
                              .size.width > 0, true);
                EXPECT_TRUE((root ? grown(bounds, -10) : bounds).containsRect(content.insetBy(1, 1)));
            }
            cell->setOrigin(PLPoint(10 + (type % 4) * 175 - bounds.minX(), 15 + (2 - type / 4) * 200 + (root ? 80 : 0) - bounds.minY()));
            cells.push_back(cell.get());
            keep.push_back(cell);
        }
    }
    const QImage image = renderCells(cells, 710, 620, QStringLiteral("IXBranchCellTests.FrameTypes"));
    EXPECT_GT(countPixels(image, PLRect(0, 0, 710, 620), isDark), 500);
}

}  // namespace

// A library that reads each icon once, at two pixels per point, and keeps it.
class KeptIcons : public IXIconsStorage {
public:
    KeptIcons() { install(this); }
    ~KeptIcons() override { install(nullptr); }
    QStringList names() const override { return {}; }
    QImage iconForName(const QString& name) override
    {
        if (!m_icons.contains(name)) {
            QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
            image.fill(QColor(QLatin1Char('#') + name));
            image.setDevicePixelRatio(2);
            m_icons.insert(name, image);
        }
        return m_icons.value(name);
    }

private:
    QHash<QString, QImage> m_icons;
};

TEST(IXIconsCellPrinting, AnIconDrawnManyTimesIsOnePictureInAPDF)
{
    KeptIcons icons;
    BranchFixture f;
    f.child->setIcons({QStringLiteral("e04040"), QStringLiteral("40a040"), QStringLiteral("e04040")});
    auto cell = f.cellOf(f.child, 1);
    cell->frame();
    ASSERT_TRUE(cell->iconsCell());
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(72);
        QPainter painter(&writer);
        PLGraphicsContext context(painter, 800, false);
        for (int copy = 0; copy < 5; ++copy) {
            context.saveGraphicsState();
            context.concat(PLAffineTransform(1, 0, 0, 1, 10, 40.0f * float(copy + 1)));
            cell->iconsCell()->draw(context);
            context.restoreGraphicsState();
        }
    }
    EXPECT_EQ(bytes.count("/Subtype /Image"), 2) << "one picture for each of the two icons";
}
