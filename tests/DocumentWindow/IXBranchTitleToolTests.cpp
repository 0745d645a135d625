// Editing a branch title in place, end to end through the application object, offscreen:
// typing on a selected branch, the keys that end the edit, every other way the editor closes,
// the editor's own undo, brainstorm mode, and where the editor sits over the title.
#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentViews/IXActionItem.h"
#include "DocumentViews/IXBranchTitleTool.h"
#include "DocumentViews/IXBranchTitleView.h"
#include "DocumentViews/IXContinuousSpellChecking.h"
#include "DocumentViews/IXMapView.h"
#include "DocumentViews/IXScalingScrollView.h"
#include "DocumentViews/IXToolEnvironment.h"
#include "DocumentViews/IXToolEvent.h"
#include "DocumentViews/IXToolManager.h"
#include "DocumentViews/IXWindowControllerLookup.h"
#include "DocumentWindow/IXActionBridge.h"
#include "DocumentWindow/IXApplication.h"
#include "DocumentWindow/IXDocument.h"
#include "DocumentWindow/IXDocumentController.h"
#include "DocumentWindow/IXWindowController.h"
#include "IXShellTestSupport.h"
#include "MapLayout/IXBranchCell.h"
#include "MapLayout/IXLayoutCellFactory.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXMapCellFactory.h"
#include "MapLayout/IXTextCell.h"
#include "Platform/Core/PLUndoManager.h"
#include "Platform/Text/PLSpellChecker.h"

#include <QMainWindow>
#include <QMenuBar>
#include <QScrollBar>
#include <QStatusBar>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QTextLayout>
#include <QTimer>
#include <QWindow>

namespace {

class BranchTitleToolTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        IXLayoutCellFactory::install(&m_cells);
        IXWindowController::installAsShellControllers();
        PLError error;
        const QString path = copyFixture(QStringLiteral("tree.ixd"), QStringLiteral("titles.ixd"));
        document = IXDocumentController::shared().openDocument(path, true, &error);
        ASSERT_TRUE(document) << error.localizedDescription().toStdString();
        controller = dynamic_cast<IXWindowController*>(document->windowControllers().front());
        ASSERT_TRUE(controller);
        window = controller->documentWindow()->windowHandle();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        spin(IXWindowController::DocumentOpenDelayMilliseconds + 50);
        main = branch(0);
        second = branch(1);
        sub = std::static_pointer_cast<IXBranchNode>(main->branches().first());
    }
    void TearDown() override
    {
        IXToolManager::sharedManager()->discardCurrentTool();
        for (IXDocument* open : IXDocumentController::shared().documents())
            IXDocumentController::shared().removeDocument(open);
        IXDocument::setWindowControllerFactory({});
        IXWindowControllerLookup::install(nullptr);
        IXToolEnvironment::install(nullptr);
        IXLayoutCellFactory::install(nullptr);
        spin(10);
    }

    std::shared_ptr<IXBranchNode> branch(int index) const
    {
        return std::static_pointer_cast<IXBranchNode>(document->documentNode()->rootBranches()[index]);
    }
    IXMapView* mapView() const { return dynamic_cast<IXMapView*>(controller->documentView()); }
    static IXBranchTitleTool* titleTool()
    {
        return qobject_cast<IXBranchTitleTool*>(IXToolManager::sharedManager()->currentTool());
    }
    static QString editorText()
    {
        return titleTool() ? titleTool()->textView()->toPlainText() : QStringLiteral("<no editor>");
    }

    void select(const std::shared_ptr<IXBranchNode>& node)
    {
        controller->setSelection(IXSelection::selectionWithNode(node));
        mapView()->setFocus();
        spin();
    }
    void type(const QString& text)
    {
        for (const QChar c : text) QTest::keyClick(window, c.toLatin1());
    }
    // Selects the branch and types over its title, leaving the editor open.
    void typeOver(const std::shared_ptr<IXBranchNode>& node, const QString& text)
    {
        select(node);
        type(text);
        ASSERT_TRUE(titleTool()) << "typing on a selected branch opens its editor";
        ASSERT_EQ(titleTool()->branchNode(), node);
        ASSERT_EQ(editorText(), text);
    }
    bool canUndo() const { return document->undoManager()->canUndo(); }
    // A point of the map view, in the window.
    QPoint inWindow(QPointF mapPoint) const
    {
        return mapView()->mapTo(controller->documentWindow(), mapPoint.toPoint());
    }
    // A point of the map's visible corner, where this small map has nothing.
    QPoint emptyCanvas() const { return inWindow(mapView()->visibleRegion().boundingRect().topLeft() + QPointF(5, 5)); }
    // A click on the map: a press there starts a tracking loop that waits for the release,
    // so the release is queued before the press.
    void clickMap(QPoint at)
    {
        QTimer::singleShot(0, window, [this, at] { QTest::mouseRelease(window, Qt::LeftButton, {}, at); });
        QTest::mousePress(window, Qt::LeftButton, {}, at);
    }

    FakeDialogs dialogs;
    IXDocument* document = nullptr;
    IXWindowController* controller = nullptr;
    QWindow* window = nullptr;
    std::shared_ptr<IXBranchNode> main, second, sub;

private:
    IXMapCellFactory m_cells;
};

TEST_F(BranchTitleToolTest, TypingOnABranchEditsItsTitleAndReturnCommitsOneUndoStep)
{
    typeOver(second, QStringLiteral("Th"));
    type(QStringLiteral("ird"));
    EXPECT_EQ(second->title(), QStringLiteral("Second")) << "nothing is written while typing";
    EXPECT_FALSE(canUndo());
    QTest::keyClick(window, Qt::Key_Return);
    spin();
    EXPECT_EQ(second->title(), QStringLiteral("Third"));
    EXPECT_EQ(titleTool(), nullptr);
    EXPECT_EQ(document->undoManager()->undoActionName(), QStringLiteral("Branch Title"));
    EXPECT_TRUE(mapView()->hasFocus()) << "the map takes the keys again";

    select(main);
    QTest::keySequence(window, QKeySequence::Undo);
    spin();
    EXPECT_EQ(second->title(), QStringLiteral("Second"));
    EXPECT_FALSE(canUndo()) << "one step";
    EXPECT_EQ(controller->selectedBranch(), second) << "undo brings back the selection of the edit";
    QTest::keySequence(window, QKeySequence::Redo);
    spin();
    EXPECT_EQ(second->title(), QStringLiteral("Third"));
}

TEST_F(BranchTitleToolTest, KeysOpenAndEndTheEditorByTheirRules)
{
    const struct {
        const char* name;
        Qt::Key opening;  // Qt::Key_unknown: the letter "x"
        Qt::Key ending;
        const char* textBeforeEnding;
        const char* title;  // afterwards
        bool open;  // afterwards
    } cases[] = {
        {"Return commits", Qt::Key_unknown, Qt::Key_Return, "x", "x", false},
        {"Enter commits", Qt::Key_unknown, Qt::Key_Enter, "x", "x", false},
        {"Escape drops the typing", Qt::Key_unknown, Qt::Key_Escape, "x", "Second", false},
        {"Tab does nothing", Qt::Key_unknown, Qt::Key_Tab, "x", "Second", true},
        {"Space opens the title selected", Qt::Key_Space, Qt::Key_Return, "Second", "Second", false},
        {"F2 opens the title selected", Qt::Key_F2, Qt::Key_Escape, "Second", "Second", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        select(second);
        if (c.opening == Qt::Key_unknown)
            type(QStringLiteral("x"));
        else
            QTest::keyClick(window, c.opening);
        ASSERT_TRUE(titleTool());
        EXPECT_EQ(editorText(), QString::fromLatin1(c.textBeforeEnding));
        if (c.opening != Qt::Key_unknown)
            EXPECT_EQ(titleTool()->textView()->textCursor().selectedText(), QStringLiteral("Second"));
        QTest::keyClick(window, c.ending);
        spin();
        EXPECT_EQ(second->title(), QString::fromLatin1(c.title));
        EXPECT_EQ(titleTool() != nullptr, c.open);
        IXToolManager::sharedManager()->discardCurrentTool();
        if (second->title() != QStringLiteral("Second")) document->undoManager()->undo();
        spin();
    }
    EXPECT_FALSE(canUndo()) << "an unchanged title records nothing";
}

// Every way of closing the editor but Escape keeps what was typed.
TEST_F(BranchTitleToolTest, TypedTextSurvivesEveryOtherWayTheEditorCloses)
{
    const struct {
        const char* name;
        std::function<void()> close;
    } cases[] = {
        {"a click on the map", [this] { clickMap(emptyCanvas()); }},
        {"a click outside the map",
         [this] {
             QStatusBar* bar = controller->documentWindow()->statusBar();
             bar->show();
             spin();
             QTest::mouseClick(window, Qt::LeftButton, {}, bar->mapTo(controller->documentWindow(), QPoint(5, 5)));
         }},
        {"the window losing the focus",
         [] {
             QWidget other;
             other.show();
             other.activateWindow();
             EXPECT_TRUE(QTest::qWaitForWindowActive(&other));
         }},
        {"another tool starting",
         [this] {
             IXToolManager::sharedManager()->activateToolNamed(IXToolNames::BranchTitle, main,
                                                               controller->layoutContext(), IXToolEvent());
         }},
        {"saving", [this] { QTest::keyClick(window, Qt::Key_S, Qt::ControlModifier); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        controller->documentWindow()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        typeOver(second, QStringLiteral("Kept"));
        c.close();
        spin();
        EXPECT_EQ(second->title(), QStringLiteral("Kept"));
        if (titleTool()) EXPECT_EQ(titleTool()->branchNode(), main) << "only the other tool is open";
        IXToolManager::sharedManager()->discardCurrentTool();
        document->undoManager()->undo();
        spin();
        ASSERT_EQ(second->title(), QStringLiteral("Second"));
    }
}

TEST_F(BranchTitleToolTest, ClosingTheWindowAsksToSaveWhatWasTyped)
{
    typeOver(second, QStringLiteral("Unsaved"));
    dialogs.alertAnswers.push_back(1);  // Cancel
    controller->performClose(nullptr);
    spin();
    ASSERT_EQ(dialogs.alerts.size(), 1) << "the typing counts as a change";
    EXPECT_EQ(second->title(), QStringLiteral("Unsaved"));
    EXPECT_EQ(IXDocumentController::shared().documents().size(), 1u);
}

// While the editor is open, Undo reaches its text; afterwards the window's undo holds one
// step for the title and nothing of the typing.
TEST_F(BranchTitleToolTest, TheEditorHasItsOwnUndo)
{
    typeOver(second, QStringLiteral("a"));
    type(QStringLiteral(" b"));
    QTest::keySequence(window, QKeySequence::Undo);
    EXPECT_NE(editorText(), QStringLiteral("a b"));
    EXPECT_EQ(second->title(), QStringLiteral("Second"));
    EXPECT_FALSE(canUndo());
    type(QStringLiteral("c"));
    const QString typed = editorText();
    QTest::keyClick(window, Qt::Key_Return);
    spin();
    ASSERT_EQ(second->title(), typed);
    document->undoManager()->undo();
    spin();
    EXPECT_EQ(second->title(), QStringLiteral("Second"));
    EXPECT_FALSE(document->undoManager()->canUndo());
}

// Where the dark pixels of a picture lie.
QRect inkBounds(const QImage& image)
{
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 110) ink |= QRect(x, y, 1, 1);
    return ink;
}

class SpellingOn : public IXContinuousSpellChecking {
public:
    SpellingOn() { install(this); }
    ~SpellingOn() override { install(nullptr); }
    bool continuousSpellChecking() const override { return true; }
};

TEST_F(BranchTitleToolTest, MisspelledWordsAreMarkedWhileTyping)
{
    if (!PLSpellChecker::sharedChecker().isAvailable()) GTEST_SKIP() << "no US English dictionary";
    const SpellingOn spelling;
    typeOver(second, QStringLiteral("good wrods"));
    QStringList marked;
    const QTextBlock block = titleTool()->textView()->document()->firstBlock();
    for (const QTextLayout::FormatRange& range : block.layout()->formats())
        if (range.format.underlineStyle() == QTextCharFormat::SpellCheckUnderline)
            marked << block.text().mid(range.start, range.length);
    EXPECT_EQ(marked, QStringList {QStringLiteral("wrods")});
}

TEST_F(BranchTitleToolTest, BrainstormTypesARunOfBranches)
{
    select(second);
    controller->beginBrainStorm();
    spin();
    ASSERT_TRUE(titleTool());
    type(QStringLiteral("One"));
    QTest::keyClick(window, Qt::Key_Return);
    spin(150);
    ASSERT_TRUE(titleTool()) << "Return goes on with a sibling";
    type(QStringLiteral("Two"));
    QTest::keyClick(window, Qt::Key_Return);
    spin(150);
    ASSERT_EQ(second->branches().size(), 3);
    QTest::keyClick(window, Qt::Key_Escape);
    spin(10);
    EXPECT_FALSE(controller->isBrainStormMode());
    QStringList titles;
    for (const auto& child : second->branches()) titles << child->title();
    EXPECT_EQ(titles, (QStringList {QStringLiteral("One"), QStringLiteral("Two")}))
        << "Escape drops the empty new branch";
}

TEST_F(BranchTitleToolTest, BrainstormKeepsABranchTypedBeforeAClickElsewhere)
{
    const struct {
        const char* name;
        bool typed;
    } cases[] = {
        {"typed, then a click on the canvas", true},
        {"untouched, then a click on the canvas", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        select(second);
        controller->beginBrainStorm();
        spin();
        ASSERT_TRUE(titleTool());
        if (c.typed) type(QStringLiteral("Idea one"));
        clickMap(emptyCanvas());
        spin(150);
        QStringList titles;
        for (const auto& child : second->branches()) titles << child->title();
        EXPECT_EQ(titles, c.typed ? QStringList {QStringLiteral("Idea one")} : QStringList {});
        EXPECT_FALSE(controller->isBrainStormMode());
        while (document->undoManager()->canUndo()) document->undoManager()->undo();
        spin();
        ASSERT_TRUE(second->branches().isEmpty());
        ASSERT_EQ(main->branches().size(), 1);
    }
}

TEST_F(BranchTitleToolTest, ARefusedActivationGivesTheBranchBack)
{
    // A branch under a collapsed one is not shown: there is no title to edit.
    main->style()->setBranchCollapsed(true);
    spin();
    IXToolManager* tools = IXToolManager::sharedManager();
    EXPECT_EQ(tools->activateToolNamed(IXToolNames::BranchTitle, sub, controller->layoutContext(), IXToolEvent()),
              nullptr);
    EXPECT_EQ(tools->currentTool(), nullptr);
    EXPECT_EQ(sub.use_count(), 2) << "held by its parent and the test only";

    IXTool* first
        = tools->activateToolNamed(IXToolNames::BranchTitle, second, controller->layoutContext(), IXToolEvent());
    ASSERT_TRUE(first);
    EXPECT_EQ(tools->activateToolNamed(IXToolNames::BranchTitle, second, controller->layoutContext(), IXToolEvent()),
              first)
        << "the running editor, not restarted";
}

// The editor's text lies where the map shows the title, in the size it is shown, in every
// layout and zoom: the first line of the title and of the editor cover the same pixels.
TEST_F(BranchTitleToolTest, TheEditorLiesOverTheTitleAtEveryZoom)
{
    // A short title and one that the map wraps.
    for (const QString& text :
         {QStringLiteral("Sub"),
          QStringLiteral("A longer title that the map breaks into lines at the width of its branch text")}) {
        sub->setTitle(text);
        for (int layout : {0, 1, 2}) {
            controller->setDocumentLayout(layout);
            spin();
            IXMapView* map = mapView();
            IXScalingScrollView* scroller = IXScalingScrollView::scalingScrollView(map);
            ASSERT_TRUE(scroller);
            // The editor follows the zoom while it is open.
            select(sub);
            QTest::keyClick(window, Qt::Key_F2);
            for (double zoom : {0.5, 1.0, 2.0}) {
                SCOPED_TRACE(QStringLiteral("layout %1 at %2, %3").arg(layout).arg(zoom).arg(text).toStdString());
                scroller->setScaleFactor(zoom);
                spin(20);
                IXBranchTitleTool* tool = titleTool();
                ASSERT_TRUE(tool);
                // The map draws only what is in view.
                scroller->ensureWidgetVisible(tool->titleView());
                spin(20);
                IXLayoutContext* context = controller->layoutContext();
                IXTextCell* title = context->cells().branchCellForNode(sub.get())->titleCell();
                const QRectF shown = map->rectToQt(context->coordinates().convertRectFromCell(title->bounds(), title));
                // The ink of the title as the map draws it and as the editor shows it, on screens
                // of one and two device pixels per pixel.
                tool->textView()->moveCursor(QTextCursor::End);
                tool->textView()->setCursorWidth(0);
                for (int ratio : {1, 2}) {
                    const QRect area = shown.toAlignedRect();
                    const auto picture = [&] {
                        QImage image(area.size() * ratio, QImage::Format_ARGB32_Premultiplied);
                        image.setDevicePixelRatio(ratio);
                        image.fill(Qt::white);
                        map->render(&image, QPoint(), QRegion(area));
                        return image;
                    };
                    const QImage typing = picture();
                    EXPECT_FALSE(title->drawsText()) << "the editor hides the title it covers";
                    tool->titleView()->hide();
                    title->setDrawsText(true);
                    const QImage drawn = picture();
                    title->setDrawsText(false);
                    tool->titleView()->show();
                    const QRect typed = inkBounds(typing), ink = inkBounds(drawn);
                    EXPECT_FALSE(ink.isEmpty());
                    for (const auto& [a, b] :
                         {std::pair(typed.left(), ink.left()), std::pair(typed.top(), ink.top()),
                          std::pair(typed.right(), ink.right()), std::pair(typed.bottom(), ink.bottom())})
                        EXPECT_LE(std::abs(a - b), ratio)
                            << ratio << "x: typed " << QDebug::toString(typed).toStdString() << ", drawn "
                            << QDebug::toString(ink).toStdString();
                }
            }
            QTest::keyClick(window, Qt::Key_Escape);
            spin();
        }
    }
}

TEST_F(BranchTitleToolTest, TheWindowsEditMenuActsOnTheTextWhileTheEditorIsOpen)
{
    QHash<QByteArray, QAction*> items;
    for (QAction* menu : controller->documentWindow()->menuBar()->actions())
        for (QAction* item : menu->menu()->actions()) items.insert(IXActionItem::actionOf(item), item);
    const auto run = [&](const char* action) {
        QAction* item = items.value(action);
        EXPECT_TRUE(item && IXActionBridge::validate(item)) << action;
        if (item) item->trigger();
    };
    typeOver(second, QStringLiteral("ab"));
    EXPECT_FALSE(IXActionBridge::validate(items.value("copy:"))) << "nothing selected";
    EXPECT_FALSE(IXActionBridge::validate(items.value("redo:")));
    run("selectAll:");
    EXPECT_EQ(titleTool()->textView()->textCursor().selectedText(), QStringLiteral("ab"));
    EXPECT_EQ(controller->selection().count(), 1) << "the map's nodes stay as they were";
    run("copy:");
    titleTool()->textView()->moveCursor(QTextCursor::End);
    run("paste:");
    EXPECT_EQ(editorText(), QStringLiteral("abab"));
    run("undo:");
    EXPECT_EQ(editorText(), QStringLiteral("ab"));
    run("redo:");
    EXPECT_EQ(editorText(), QStringLiteral("abab"));
    QTest::keyClick(window, Qt::Key_Escape);
    spin();
    EXPECT_EQ(second->title(), QStringLiteral("Second"));
    EXPECT_FALSE(IXActionBridge::validate(items.value("undo:"))) << "the window's undo never held the typing";
}

TEST_F(BranchTitleToolTest, TheEditorGrowsWithItsText)
{
    IXScalingScrollView::scalingScrollView(mapView())->setScaleFactor(1.0);
    typeOver(sub, QStringLiteral("x"));
    spin();
    IXBranchTitleView* view = titleTool()->titleView();
    const QRect start = view->geometry();
    type(QString(30, u'x'));
    spin();
    const QRect wider = view->geometry();
    EXPECT_GT(wider.width(), start.width());
    EXPECT_EQ(wider.height(), start.height());
    EXPECT_NEAR(wider.center().x(), start.center().x(), 1) << "a centred title grows to both sides";
    for (int i = 0; i < 30; ++i) QTest::keyClick(window, Qt::Key_Backspace);
    spin();
    EXPECT_EQ(view->geometry(), wider) << "it never narrows on its own";

    // Past the width at which the map wraps titles, the text wraps.
    type(QString(200, u'x'));
    spin();
    const QRectF text = view->textRect();
    EXPECT_NEAR(text.width(), IXBranchCell::DefaultTextWidth, 1);
    EXPECT_GT(text.height(), 2 * (start.height() - 2 * IXBranchTitleView::MarginY));

    // Past 200 pixels of height it scrolls, with the scroller beside the text.
    for (int i = 0; i < 20; ++i) QTest::keyClick(window, Qt::Key_Return, Qt::AltModifier);
    spin();
    EXPECT_EQ(editorText().count(u'\n'), 20) << "Alt+Return types line breaks";
    EXPECT_EQ(view->textRect().height(), IXBranchTitleView::MinimumScrollingHeight);
    EXPECT_TRUE(titleTool()->textView()->verticalScrollBar()->isVisible());
    EXPECT_GT(view->textRect().width(), text.width());
}

// Below half size the text stays at half size.
TEST_F(BranchTitleToolTest, TheEditorsTextIsNeverSmallerThanHalfSize)
{
    QList<qreal> heights;
    for (double zoom : {0.25, 0.5, 1.0}) {
        IXScalingScrollView::scalingScrollView(mapView())->setScaleFactor(zoom);
        select(sub);
        QTest::keyClick(window, Qt::Key_F2);
        spin();
        ASSERT_TRUE(titleTool());
        heights << titleTool()->textView()->document()->firstBlock().layout()->lineAt(0).height();
        QTest::keyClick(window, Qt::Key_Escape);
        spin();
    }
    EXPECT_EQ(heights[0], heights[1]);
    EXPECT_NEAR(heights[2], 2 * heights[1], 1);
}

}  // namespace
