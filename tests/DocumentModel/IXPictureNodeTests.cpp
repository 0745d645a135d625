#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXConnectionNode.h"
#include "DocumentModel/IXPictureNode.h"
#include "IXReferenceTestSupport.h"
#include "Platform/Drawing/PLNamedImages.h"
#include "Platform/Core/PLUndoManager.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;

// A clock the test moves by hand.
struct ManualClock {
    std::chrono::steady_clock::time_point now{};
    ManualClock()
    {
        IXPictureNode::setClock([this] { return now; });
    }
    ~ManualClock() { IXPictureNode::setClock({}); }
};

bool isNotFound(const QImage& image)
{
    return !image.isNull() && image == PLNamedImages::imageNamed(QStringLiteral("notfound"));
}

struct PictureFixture : DocumentWithBranch {
    std::shared_ptr<IXPictureNode> picture = add(std::make_shared<IXPictureNode>());
};

}  // namespace

TEST(IXPictureNode, AdjustSizeKeepsLimitsAndProportions)
{
    const struct {
        int imageWidth;  // 0: no picture
        int imageHeight;
        PLSize proposed;
        PLSize expected;
    } cases[] = {
        {0, 0, {2000, 5}, {1000, 16}},
        {0, 0, {5, 5}, {16, 16}},
        {0, 0, {300, 200}, {300, 200}},
        {200, 100, {100, 100}, {150, 75}},
        {200, 100, {400, 200}, {400, 200}},
        {200, 100, {5000, 5000}, {1500, 750}},  // clamped to 1000 x 1000 first
        // A side that falls below the minimum is raised to it, the other following.
        {1000, 10, {16, 16}, {1600, 16}},
        {10, 1000, {16, 16}, {16, 1600}},
        {0, 0, {std::numeric_limits<float>::quiet_NaN(), 20}, {1000, 20}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.imageWidth << "x" << c.imageHeight << " at " << c.proposed.width << "x"
                                        << c.proposed.height);
        PictureFixture fixture;
        if (c.imageWidth > 0) fixture.picture->addPictureData(pngBytes(c.imageWidth, c.imageHeight), QStringLiteral("pic"));
        EXPECT_EQ(fixture.picture->adjustSize(c.proposed), c.expected);
    }
}

TEST(IXPictureNode, ImageComesFromTheTargetOrIsNotFound)
{
    PictureFixture fixture;
    auto& picture = fixture.picture;
    EXPECT_TRUE(picture->image().isNull());  // no target, no picture

    picture->setTargetRef(QStringLiteral("local:missing"));
    EXPECT_TRUE(isNotFound(picture->image()));
    EXPECT_EQ(picture->imageSize(), PLSize(64, 64));

    fixture.document->packageParts().setData("no picture at all", QStringLiteral("garbage"));
    picture->setTargetRef(QStringLiteral("local:garbage"));
    EXPECT_TRUE(isNotFound(picture->image()));

    // A readable target is decoded at once and kept.
    fixture.document->packageParts().setData(pngBytes(40, 30), QStringLiteral("real"));
    picture->setTargetRef(QStringLiteral("local:real"));
    const QImage image = picture->image();
    EXPECT_EQ(image.size(), QSize(40, 30));
    fixture.document->packageParts().setData(pngBytes(8, 8), QStringLiteral("real"));
    EXPECT_EQ(picture->image().size(), QSize(40, 30));

    // New data under the same name replaces the picture.
    picture->addPictureData(pngBytes(20, 10), QStringLiteral("real"));
    EXPECT_EQ(picture->targetRef(), QStringLiteral("local:real"));
    EXPECT_EQ(picture->image().size(), QSize(20, 10));
}

// A picture part is drawn from its own bytes only: an SVG naming a file on the disk shows
// what it draws itself, never that file.
TEST(IXPictureNode, SvgPicturesReadNothingOutsideTheirPart)
{
    QTemporaryDir folder;
    const QString outside = folder.filePath(QStringLiteral("outside.png"));
    QFile file(outside);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(pngBytes(16, 16));  // opaque red
    file.close();
    PictureFixture fixture;
    fixture.picture->addPictureData("<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink'"
                                    " width='16' height='16'><rect width='8' height='16' fill='#00ff00'/>"
                                    "<image x='8' width='8' height='16' xlink:href='" + outside.toUtf8() + "'/></svg>",
                                    QStringLiteral("drawing.svg"));
    const QImage image = fixture.picture->image().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(image.size(), QSize(16, 16));
    EXPECT_EQ(image.pixel(2, 8), qRgb(0, 255, 0));
    EXPECT_EQ(qAlpha(image.pixel(12, 8)), 0);
}

TEST(IXPictureNode, MissingPicturesAreRetriedAtABoundedRate)
{
    ManualClock clock;
    FakeCatalog catalog;
    QTemporaryDir folder;
    const QString path = folder.filePath("photo.png");
    catalog.addItem(QStringLiteral("PHOTO"), path);
    PictureFixture fixture;
    auto& picture = fixture.picture;
    picture->setTargetRef(QStringLiteral("mmc:PHOTO"));

    for (int draw = 0; draw < 50; ++draw) EXPECT_TRUE(isNotFound(picture->image()));
    EXPECT_EQ(catalog.lookUps, 1) << "layout and drawing must not read the target again and again";

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(pngBytes(12, 34));
    file.close();
    clock.now += IXPictureNode::RetryInterval / 2;
    EXPECT_TRUE(isNotFound(picture->image()));
    EXPECT_EQ(catalog.lookUps, 1);
    clock.now += IXPictureNode::RetryInterval;
    EXPECT_EQ(picture->image().size(), QSize(12, 34));
    EXPECT_EQ(catalog.lookUps, 2);
    picture->image();
    EXPECT_EQ(catalog.lookUps, 2);  // kept once decoded

    // A new target is tried at once, and so is a repaired one after a failure.
    picture->setTargetRef(QStringLiteral("local:later"));
    EXPECT_TRUE(isNotFound(picture->image()));
    picture->addPictureData(pngBytes(5, 6), QStringLiteral("later"));
    EXPECT_EQ(picture->image().size(), QSize(5, 6));
}

TEST(IXPictureNode, FloatingPicturesArePlacedByTheirConnection)
{
    DocumentWithBranch fixture;
    PLUndoManager undo;
    fixture.document->setUndoManager(&undo);
    ReferenceRecorder recorder;
    fixture.document->addToObservers(&recorder);
    auto picture = std::make_shared<IXPictureNode>();
    EXPECT_FALSE(picture->isFloating());
    fixture.document->addPicture(picture);
    EXPECT_TRUE(picture->isFloating());
    EXPECT_EQ(picture->floatingTargetNode(), nullptr);

    picture->setFloatingTargetNode(fixture.branch);
    ASSERT_TRUE(picture->connection());
    EXPECT_EQ(picture->connection()->parentNode(), picture.get());
    EXPECT_EQ(picture->floatingTargetNode(), fixture.branch);
    EXPECT_EQ(fixture.document->picturesLinkedTo(fixture.branch.get()), IXDocumentNode::NodeList{picture});
    EXPECT_TRUE(recorder.take().contains(QStringLiteral("picture connection")));

    // A copy has a connection of its own, pointing at the same node.
    auto copy = std::static_pointer_cast<IXPictureNode>(picture->copy());
    ASSERT_TRUE(copy->connection());
    EXPECT_NE(copy->connection(), picture->connection());
    EXPECT_EQ(copy->connection()->parentNode(), copy.get());
    EXPECT_EQ(copy->connection()->targetRef(), picture->connection()->targetRef());

    QCoreApplication::processEvents();
    undo.undo();  // the connection goes again
    EXPECT_EQ(picture->connection(), nullptr);
    EXPECT_EQ(picture->floatingTargetNode(), nullptr);
    undo.redo();
    EXPECT_EQ(picture->floatingTargetNode(), fixture.branch);

    auto branchPicture = fixture.add(std::make_shared<IXPictureNode>());
    EXPECT_FALSE(branchPicture->isFloating());
    undo.removeAllActions();
}

TEST(IXPictureNode, NewTargetsAreAnnouncedAsPictureChanges)
{
    PictureFixture fixture;
    ReferenceRecorder recorder;
    fixture.document->addToObservers(&recorder);
    fixture.picture->setTargetRef(QStringLiteral("local:a"));
    EXPECT_EQ(recorder.take(), (QStringList{"reference targetRef", "picture targetRef"}));
    fixture.picture->addConnection()->setTargetNode(fixture.branch);
    EXPECT_EQ(recorder.take(), (QStringList{"reference connection", "picture connection", "reference targetRef",
                                            "connection targetRef", "reference connection.targetRef",
                                            "picture connection.targetRef"}));
}

TEST(IXPictureNode, CopiesTakeTheirPartIntoTheDocumentTheyJoin)
{
    PictureFixture fixture;
    const QByteArray bytes = pngBytes(40, 30);
    fixture.picture->addPictureData(bytes, QStringLiteral("pic.png"));
    const auto copied = std::static_pointer_cast<IXPictureNode>(fixture.picture->copy());
    EXPECT_EQ(copied->image().size(), QSize(40, 30));  // shown before it is pasted

    // Pasted into another document, which gains the part.
    auto other = std::make_shared<IXDocumentNode>();
    auto root = std::make_shared<IXBranchNode>();
    other->addRootBranch(root);
    root->setPicture(copied);
    EXPECT_EQ(copied->targetRef(), QStringLiteral("local:pic.png"));
    EXPECT_EQ(other->packageParts().dataNamed(QStringLiteral("pic.png")), bytes);
    EXPECT_EQ(copied->image().size(), QSize(40, 30));

    // Pasted into the same document: the part is shared, not duplicated.
    const auto again = std::static_pointer_cast<IXPictureNode>(fixture.picture->copy());
    fixture.branch->addChild(again);
    EXPECT_EQ(again->targetRef(), QStringLiteral("local:pic.png"));

    // Another picture under the same part name in the other document keeps its bytes; the
    // pasted one goes under a fresh name with the same extension.
    other->packageParts().setData(pngBytes(8, 8), QStringLiteral("pic.png"));
    const auto clash = std::static_pointer_cast<IXPictureNode>(fixture.picture->copy());
    other->addPicture(clash);
    EXPECT_NE(clash->targetRef(), QStringLiteral("local:pic.png"));
    EXPECT_TRUE(clash->targetRef().endsWith(QStringLiteral(".png")));
    EXPECT_EQ(clash->targetData(), bytes);
    EXPECT_EQ(other->packageParts().dataNamed(QStringLiteral("pic.png")), pngBytes(8, 8));

    // A copy whose target changed brings nothing; bytes given outside a document come in.
    const auto retargeted = std::static_pointer_cast<IXPictureNode>(fixture.picture->copy());
    retargeted->setTargetRef(QStringLiteral("local:elsewhere"));
    root->setPicture(retargeted);
    EXPECT_FALSE(other->packageParts().dataNamed(QStringLiteral("elsewhere")));
    auto fresh = std::make_shared<IXPictureNode>();
    fresh->addPictureData(bytes, QStringLiteral("fresh"));
    root->setPicture(fresh);
    EXPECT_EQ(other->packageParts().dataNamed(QStringLiteral("fresh")), bytes);

    // Attached files kept as parts travel the same way.
    fixture.document->packageParts().setData("attached bytes", QStringLiteral("file.bin"));
    const auto attachment = fixture.add(std::make_shared<IXReferenceNode>());
    attachment->setTargetRef(QStringLiteral("local:file.bin"));
    root->addReference(std::static_pointer_cast<IXReferenceNode>(attachment->copy()));
    EXPECT_EQ(other->packageParts().dataNamed(QStringLiteral("file.bin")), QByteArray("attached bytes"));
    other->removeRootBranch(root);
}
