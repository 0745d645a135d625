// Copy, cut and paste through the application's clipboard, offscreen, on a small map: copies
// that paste back as independent subtrees in the same and in another document, indented text
// for other programs and from them, pictures, styles, the menu items' states, and pastes
// that fail leaving nothing behind.
#include "DocumentModel/IXLayoutNode.h"
#include "DocumentModel/IXSelection.h"
#include "DocumentModel/IXTabularText.h"
#include "DocumentViews/IXActionItem.h"
#include "DocumentViews/IXCommandNames.h"
#include "DocumentViews/IXPasteboard.h"
#include "DocumentWindow/IXActionBridge.h"
#include "DocumentWindow/IXClipboardCommands.h"
#include "DocumentWindow/IXNodeCommands.h"
#include "IXClipboardTestSupport.h"
#include "Platform/Core/PLUndoManager.h"
#include "Platform/Text/PLAttributedString.h"
#include "Platform/Text/PLRTFWriter.h"
#include "Platform/Text/PLTextAttachment.h"

#include <QAction>
#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>

namespace {

QByteArray pngBytes(int width, int height, QColor colour = Qt::red)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

class ClipboardCommandsTest : public ClipboardWindowTest {
protected:
    void send(IXCommand command)
    {
        ASSERT_TRUE(IXApplication::instance()->sendAction(command.toByteArray(), nullptr, nullptr));
        spin();
    }
    static QClipboard* clipboard() { return QGuiApplication::clipboard(); }
    // Puts data on the clipboard as another program would.
    static void offer(QMimeData* data)
    {
        clipboard()->setMimeData(data);
        spin();
    }
    static void offerText(const QString& text)
    {
        auto* data = new QMimeData;
        data->setText(text);
        offer(data);
    }
    PLUndoManager& undo() const { return *document->undoManager(); }
    bool isEnabled(IXCommand command) const
    {
        QAction item;
        IXActionItem::setAction(&item, command.toByteArray());
        return IXActionBridge::validate(&item);
    }
    IXWindowController* newWindow() const
    {
        PLError error;
        IXDocument* other = IXDocumentController::shared().openUntitledDocument(true, &error);
        EXPECT_TRUE(other);
        auto* window = dynamic_cast<IXWindowController*>(other->windowControllers().front());
        window->setDocumentLayout(0);
        spin(IXWindowController::DocumentOpenDelayMilliseconds + 50);
        return window;
    }
    void activate(IXWindowController* window)
    {
        window->documentWindow()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window->documentWindow()->windowHandle()));
        spin();
    }
};

// Everything of a subtree that a copy must keep: titles, icons, pictures with their bytes,
// notes with their text, the styles of the map layout; and every node's id.
struct Subtree {
    QString outline;
    QStringList notes;
    QList<QByteArray> pictures;
    QList<float> lineWidths;
    QStringList ids;
};

Subtree subtreeOf(const std::shared_ptr<IXBranchNode>& top, IXLayoutContext* context)
{
    Subtree result;
    result.outline = ClipboardWindowTest::outline(*top);
    QList<std::shared_ptr<IXBranchNode>> branches {top};
    for (qsizetype i = 0; i < branches.size(); ++i) {
        const auto& each = branches[i];
        result.ids << each->uniqueId();
        for (const auto& note : each->textnotes()) result.notes << note->text().string();
        if (each->picture()) result.pictures << each->picture()->targetData().value_or(QByteArray());
        result.lineWidths << context->styleForReading(each.get())->branchLineWidth();
        branches << each->branches();
    }
    return result;
}

TEST_F(ClipboardCommandsTest, CopiedBranchesPasteAsIndependentEqualSubtreesHereAndInAnotherDocument)
{
    // Sub gets a note, a picture stored in the package and a style of the map layout.
    const auto sub = branch(QStringLiteral("Sub"));
    sub->addTextnote()->setTextString(QStringLiteral("A note on Sub"));
    const auto picture = sub->addPicture();
    picture->addPictureData(pngBytes(20, 20), IXDocumentNode::newUniqueId());
    controller->layoutContext()->styleForNode(branch(QStringLiteral("Two")).get())->setBranchLineWidth(5);
    spin();
    const Subtree original = subtreeOf(sub, controller->layoutContext());
    ASSERT_EQ(original.notes, QStringList {QStringLiteral("A note on Sub")});

    // Selecting a branch with one of its sub-branches copies the outer one once.
    select(QStringLiteral("Sub,Two"));
    send(IXCommands::Copy);
    EXPECT_EQ(clipboard()->text(), QStringLiteral("Sub\n\tOne\n\tTwo\n\tThree\n"));
    EXPECT_TRUE(clipboard()->mimeData()->hasFormat(IXPasteboard::SelectionType));
    EXPECT_EQ(clipboard()->mimeData()->data(IXPasteboard::StylesType), QByteArray("Local pasteboard"));

    select(QStringLiteral("Second"));
    send(IXCommands::Paste);
    send(IXCommands::Paste);
    const auto second = branch(QStringLiteral("Second"));
    ASSERT_EQ(second->branches().size(), 2);
    EXPECT_EQ(selected(), QStringLiteral("Second")) << "the selection is left as it was";
    QSet<QString> ids(original.ids.begin(), original.ids.end());
    for (const auto& pasted : second->branches()) {
        const Subtree copy = subtreeOf(pasted, controller->layoutContext());
        EXPECT_EQ(copy.outline, original.outline);
        EXPECT_EQ(copy.notes, original.notes);
        EXPECT_EQ(copy.pictures, original.pictures);
        EXPECT_EQ(copy.lineWidths, original.lineWidths);
        for (const QString& id : copy.ids) EXPECT_FALSE(ids.contains(id)) << "ids are new in every paste";
        ids.unite(QSet<QString>(copy.ids.begin(), copy.ids.end()));
    }
    // The two pastes are independent: changing one leaves the other.
    second->branches().first()->setTitle(QStringLiteral("Changed"));
    EXPECT_EQ(second->branches().last()->storedTitle(), QStringLiteral("Sub"));
    spin();
    for (qsizetype left : {2, 1, 0}) {
        undo().undo();
        spin();
        EXPECT_EQ(second->branches().size(), left) << "each paste is one undo step";
    }

    // Into another document, with nothing selected: a root branch without icons at the
    // click point (the centre of the visible area).
    IXWindowController* other = newWindow();
    activate(other);
    // Where the click point lies on the canvas before the new root grows it.
    const PLPoint place
        = other->layoutContext()->coordinates().convertPointToCell(other->nodeCommands().clickPoint(), nullptr);
    send(IXCommands::Paste);
    const auto otherNode = other->documentNode();
    ASSERT_EQ(otherNode->rootBranches().size(), 1);
    const auto root = std::static_pointer_cast<IXBranchNode>(otherNode->rootBranches().first());
    const Subtree copy = subtreeOf(root, other->layoutContext());
    EXPECT_EQ(copy.outline, QStringLiteral("Sub+pic(One Two Three)"));
    EXPECT_EQ(copy.notes, original.notes);
    EXPECT_EQ(copy.pictures, original.pictures);
    // Its own width came along; the others follow the depths of the new place.
    EXPECT_EQ(copy.lineWidths.value(2), 5);
    EXPECT_EQ(other->layoutContext()->styleForReading(root.get())->branchParentOffset(), place);
}

TEST_F(ClipboardCommandsTest, CutIsOneStepThatUndoRestoresAndFloatingNodesPasteAnchoredToTheTarget)
{
    const QString initial = outline();
    select(QStringLiteral("pic,Note,Sub"));
    send(IXCommands::Cut);
    EXPECT_EQ(outline(), QStringLiteral("Main{flag,star} Second+pic+Remark | "));
    EXPECT_EQ(selected(), QStringLiteral("doc"));
    undo().undo();
    spin();
    EXPECT_EQ(outline(), initial);
    EXPECT_FALSE(undo().canUndo());

    // Only floating nodes: no text for other programs; pasted on a branch they are anchored
    // to it, 0.7 of its cell out.
    select(QStringLiteral("Note"));
    send(IXCommands::Copy);
    EXPECT_FALSE(clipboard()->mimeData()->hasText());
    select(QStringLiteral("Second"));
    send(IXCommands::Paste);
    EXPECT_EQ(
        outline(),
        QStringLiteral("Main{flag,star}(Sub{smile}(One Two Three)) Second+pic+Remark | pic>Sub Note Note>Second"));
    const auto pasted = node->comments().last();
    EXPECT_EQ(controller->layoutContext()->styleForReading(pasted.get())->floatingTargetOffset(),
              IXNodeCommands::floatingAnchorOffset(controller->layoutContext(), branch(QStringLiteral("Second")).get(),
                                                   PLSize(0, 0), 200));
}

TEST_F(ClipboardCommandsTest, TextFromOtherProgramsPastesAsBranchesInOneStep)
{
    const QString initial = outline();
    // Gamma, two spaces in, goes under Beta (one tab in), the nearest line less indented.
    offerText(QStringLiteral("Alpha\r\n\tBeta\r\n\t\t\tDeep\r\n\r\n  Gamma\r\nDelta"));
    select(QStringLiteral("Two"));
    send(IXCommands::Paste);
    EXPECT_EQ(outline(),
              QStringLiteral("Main{flag,star}(Sub{smile}(One Two(Alpha(Beta(Deep Gamma)) Delta) Three)) "
                             "Second+pic+Remark | pic>Sub Note"));
    undo().undo();
    spin();
    EXPECT_EQ(outline(), initial);

    // With nothing selected they are roots; a copy in this program reaches others as text.
    select(QStringLiteral("doc"));
    send(IXCommands::Paste);
    EXPECT_EQ(outline(),
              QStringLiteral("Main{flag,star}(Sub{smile}(One Two Three)) Second+pic+Remark Alpha(Beta(Deep "
                             "Gamma)) Delta | pic>Sub Note"));
}

TEST_F(ClipboardCommandsTest, AMarkerThisProcessDidNotWriteIsNotItsBuffer)
{
    select(QStringLiteral("Sub"));
    send(IXCommands::Copy);
    // Another running copy of the program copied since: its marker and its text.
    auto* data = IXPasteboard::makeLocalData({IXPasteboard::SelectionType});
    data->setText(QStringLiteral("Elsewhere"));
    offer(data);
    select(QStringLiteral("Second"));
    send(IXCommands::Paste);
    EXPECT_EQ(outline(*branch(QStringLiteral("Second"))), QStringLiteral("Second+pic+Remark(Elsewhere)"));
}

TEST_F(ClipboardCommandsTest, PicturesPasteOntoTheSelectedBranchOrFloatAtTheCentre)
{
    auto* data = new QMimeData;
    data->setData(IXPasteboard::PNGType, pngBytes(400, 200));
    offer(data);
    select(QStringLiteral("Two"));
    send(IXCommands::Paste);
    const auto picture = branch(QStringLiteral("Two"))->picture();
    ASSERT_TRUE(picture);
    // Stored in the package under a fresh id that is also its title.
    const QString id = picture->title();
    EXPECT_EQ(picture->targetRef(), QStringLiteral("local:") + id);
    EXPECT_EQ(node->packageParts().dataNamed(id), pngBytes(400, 200));
    EXPECT_EQ(picture->style()->pictureSize(), picture->adjustSize(PLSize(100, 100)));
    EXPECT_EQ(selected(), QStringLiteral("Two"));

    // Without a branch: floating at the centre of the visible area, selected.
    const qsizetype before = node->pictures().size();
    select(QStringLiteral("doc"));
    const PLRect visible = mapView()->visibleRect();
    const PLPoint centre = controller->layoutContext()->coordinates().convertPointToCell(
        PLPoint(visible.midX(), visible.midY()), nullptr);
    send(IXCommands::Paste);
    ASSERT_EQ(node->pictures().size(), before + 1);
    const auto floating = node->pictures().last();
    EXPECT_EQ(selected(), QStringLiteral("pic"));
    EXPECT_EQ(controller->selection().firstNode(), floating);
    EXPECT_EQ(controller->layoutContext()->styleForReading(floating.get())->floatingTargetOffset(), centre);

    // Rich text with a picture beside a blank text stands for the picture.
    auto* rich = new QMimeData;
    rich->setText(QStringLiteral(" "));
    PLAttributedString text(QStringLiteral("see "));
    text.append(PLAttributedString::fromAttachment(
        PLTextAttachment::make(QStringLiteral("p.png"), pngBytes(30, 40, Qt::blue))));
    rich->setData(IXPasteboard::RTFType, PLRTFWriter::write(text));
    offer(rich);
    select(QStringLiteral("Three"));
    send(IXCommands::Paste);
    ASSERT_TRUE(branch(QStringLiteral("Three"))->picture());
    EXPECT_EQ(branch(QStringLiteral("Three"))->picture()->imageSize(), PLSize(30, 40));
}

TEST_F(ClipboardCommandsTest, PastesThatFindNothingUsableChangeNothingAndRecordNoStep)
{
    const QString initial = outline();
    const struct {
        const char* name;
        std::function<QMimeData*()> data;
    } cases[] = {
        {"bytes that are no picture",
         [] {
             auto* data = new QMimeData;
             data->setData(IXPasteboard::PNGType, QByteArray("not a picture"));
             return data;
         }},
        {"a blank text",
         [] {
             auto* data = new QMimeData;
             data->setText(QStringLiteral(" \t\r\n"));
             return data;
         }},
        {"rich text without pictures",
         [] {
             auto* data = new QMimeData;
             data->setData(IXPasteboard::RTFType, PLRTFWriter::write(PLAttributedString(QStringLiteral("x"))));
             return data;
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        offer(c.data());
        for (const char* selection : {"Two", "doc"}) {
            select(QString::fromLatin1(selection));
            send(IXCommands::Paste);
            EXPECT_EQ(outline(), initial);
            EXPECT_FALSE(undo().canUndo());
        }
    }
}

TEST_F(ClipboardCommandsTest, PasteStylesGivesTheCopiedLayoutStyleWithoutItsLayoutType)
{
    IXLayoutContext* context = controller->layoutContext();
    const auto style = context->styleForNode(branch(QStringLiteral("One")).get());
    style->setBranchLineWidth(7);
    style->setBranchLayoutType(3);
    context->styleForNode(branch(QStringLiteral("Three")).get())->setBranchFrameLineRoundness(4);
    spin();
    select(QStringLiteral("One"));
    send(IXCommands::CopyStyles);
    EXPECT_FALSE(isEnabled(IXCommands::Paste)) << "styles alone paste no nodes";
    select(QStringLiteral("Two,Three"));
    ASSERT_TRUE(isEnabled(IXCommands::PasteStyles));
    send(IXCommands::PasteStyles);
    for (const char* name : {"Two", "Three"}) {
        SCOPED_TRACE(name);
        const IXStyleAttributes attributes
            = context->styleForNode(branch(QString::fromLatin1(name)).get())->attributes();
        EXPECT_EQ(context->styleForReading(branch(QString::fromLatin1(name)).get())->branchLineWidth(), 7);
        EXPECT_FALSE(attributes.contains(QStringLiteral("branch.layout.type")));
        EXPECT_FALSE(attributes.contains(QStringLiteral("branch.frame.roundness")))
            << "the branch's own attributes are cleared first";
    }
    EXPECT_EQ(outline(), QStringLiteral("Main{flag,star}(Sub{smile}(One Two Three)) Second+pic+Remark | pic>Sub Note"));
}

TEST_F(ClipboardCommandsTest, MenuItemsAreEnabledOnlyWhereTheyDoSomething)
{
    select(QStringLiteral("doc"));
    EXPECT_FALSE(isEnabled(IXCommands::Copy));
    EXPECT_FALSE(isEnabled(IXCommands::Cut));
    select(QStringLiteral("Sub"));
    EXPECT_TRUE(isEnabled(IXCommands::Copy));
    send(IXCommands::Copy);
    EXPECT_TRUE(isEnabled(IXCommands::Paste));
    EXPECT_TRUE(isEnabled(IXCommands::PasteWithoutStyles));
    EXPECT_TRUE(isEnabled(IXCommands::PasteStyles));
    select(QStringLiteral("One,Two"));
    EXPECT_FALSE(isEnabled(IXCommands::Paste)) << "two targets";
    select(QStringLiteral("pic"));
    EXPECT_FALSE(isEnabled(IXCommands::Paste));
    select(QStringLiteral("doc"));
    EXPECT_TRUE(isEnabled(IXCommands::Paste));
    offer(new QMimeData);
    EXPECT_FALSE(isEnabled(IXCommands::Paste)) << "nothing usable";

    EXPECT_FALSE(isEnabled(IXCommands::DetachBranchAsDocument));
    select(QStringLiteral("Sub"));
    EXPECT_TRUE(isEnabled(IXCommands::DetachBranchAsDocument));
    select(QStringLiteral("Main"));
    EXPECT_TRUE(isEnabled(IXCommands::DetachBranchAsDocument)) << "another root stays";
    node->removeRootBranch(branch(QStringLiteral("Second")));
    spin();
    select(QStringLiteral("Main"));
    EXPECT_FALSE(isEnabled(IXCommands::DetachBranchAsDocument)) << "the only root";
}

TEST_F(ClipboardCommandsTest, PasteWithoutStylesDropsTheCopiedStyles)
{
    controller->layoutContext()->styleForNode(branch(QStringLiteral("One")).get())->setBranchLineWidth(9);
    spin();
    select(QStringLiteral("One"));
    send(IXCommands::Copy);
    select(QStringLiteral("Three"));
    send(IXCommands::PasteWithoutStyles);
    const auto pasted = branch(QStringLiteral("Three"))->branches().value(0);
    ASSERT_TRUE(pasted);
    EXPECT_NE(controller->layoutContext()->styleForReading(pasted.get())->branchLineWidth(), 9);
}

TEST_F(ClipboardCommandsTest, DetachingBranchesMovesThemIntoANewDocument)
{
    const qsizetype documents = IXDocumentController::shared().documents().size();
    select(QStringLiteral("Sub"));
    send(IXCommands::DetachBranchAsDocument);
    spin(IXWindowController::DocumentOpenDelayMilliseconds + 50);
    ASSERT_EQ(IXDocumentController::shared().documents().size(), documents + 1);
    EXPECT_EQ(outline(), QStringLiteral("Main{flag,star} Second+pic+Remark | Note"));
    IXDocument* created = IXDocumentController::shared().documents().last();
    EXPECT_EQ(outline(*created->documentNode()), QStringLiteral("Sub(One Two Three) | pic>Sub"));
}

}  // namespace
