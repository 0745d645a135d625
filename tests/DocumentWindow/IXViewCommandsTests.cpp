// The window's view, panel and style commands and its menu validation, offscreen, through the
// real menus of a window on a small map: the enabled state, check mark and title of the items
// in each situation, and what each command does to the map or the view, with its undo.
#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXLayoutNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentModel/IXStyleSheetNode.h"
#include "DocumentModel/IXStyleValue.h"
#include "DocumentViews/IXActionItem.h"
#include "DocumentViews/IXCommandNames.h"
#include "DocumentViews/IXMapView.h"
#include "DocumentViews/IXOutlineMapView.h"
#include "DocumentViews/IXScalingScrollView.h"
#include "DocumentViews/IXToolManager.h"
#include "DocumentWindow/IXActionBridge.h"
#include "DocumentWindow/IXAppController.h"
#include "DocumentWindow/IXApplication.h"
#include "DocumentWindow/IXDocumentStyles.h"
#include "DocumentWindow/IXViewCommands.h"
#include "DocumentWindow/IXWindowNoteEditor.h"
#include "IXWindowShellTestSupport.h"
#include "IXWindowTestHelpers.h"
#include "MapLayout/IXBranchGroupCell.h"
#include "MapLayout/IXLayoutContext.h"
#include "Platform/Core/PLUndoManager.h"
#include "Utilities/UTZipArchive.h"

#include <QAction>
#include <QScrollBar>

#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QTest>
#include <QToolBar>
#include <QWindow>
#include <functional>

namespace {

QByteArray zipOf(const QList<QPair<QString, QByteArray>>& parts)
{
    UTZipArchive archive;
    for (const auto& [name, bytes] : parts) EXPECT_TRUE(archive.setDataForFileName(bytes, name));
    return archive.getZipData();
}

QByteArray shippedArchive(int index)
{
    QFile file(IXDocumentStyles::pathForEntry(IXDocumentStyles::stylesList().value(index)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class ViewCommandsTest : public WindowShellTest {
protected:
    void SetUp() override
    {
        WindowShellTest::SetUp();
        IXApplication::instance()->setDelegate(&IXAppController::sharedController());
        document = open(copyFixture(QStringLiteral("tree.ixd"), QStringLiteral("map.ixd")));
        ASSERT_TRUE(document);
        controller = controllerOf(document);
        node = document->documentNode();
        // Main(Sub(One Two Three)) and Second with a picture and a comment.
        node->disableUndo();
        for (const char* title : {"One", "Two", "Three"}) {
            auto leaf = std::make_shared<IXBranchNode>();
            leaf->setTitle(QString::fromLatin1(title));
            branch("Sub")->insertBranch(leaf, -1);
        }
        branch("Sub")->setIcons({QStringLiteral("smile")});
        branch("Second")->addPicture();
        branch("Second")->addComment()->setTitle(QStringLiteral("Remark"));
        node->enableUndo();
        controller->setDocumentLayout(0);
        QWindow* window = controller->documentWindow()->windowHandle();
        ASSERT_TRUE(window && QTest::qWaitForWindowActive(window));
        controller->layoutContext()->performLayoutIfNeeded();
    }
    void TearDown() override
    {
        IXToolManager::sharedManager()->discardCurrentTool();
        WindowShellTest::TearDown();
        IXApplication::instance()->setDelegate(nullptr);
    }

    std::shared_ptr<IXBranchNode> branch(const QString& title) const { return branchTitled(*node, title); }

    void select(const QString& names)
    {
        IXSelection::NodeList nodes;
        for (const QString& name : names.split(QLatin1Char(','), Qt::SkipEmptyParts))
            nodes << (name == QLatin1String("doc") ? std::static_pointer_cast<IXNode>(node) : branch(name));
        controller->setSelection(IXSelection::selectionWithArray(nodes));
        spin();
    }

    // The window's menu item of the command and tag (items without a tag have tag 0).
    QAction* menuItem(IXCommand command, int tag) const
    {
        QList<QAction*> items = controller->documentWindow()->menuBar()->actions();
        for (qsizetype i = 0; i < items.size(); ++i) {
            if (QMenu* menu = items[i]->menu()) items << menu->actions();
            if (IXActionItem::actionOf(items[i]) == command && items[i]->data().toInt() == tag) return items[i];
        }
        return nullptr;
    }

    // A command sent as its menu item sends it.
    void send(IXCommand command, int tag = 0)
    {
        QAction* item = menuItem(command, tag);
        ASSERT_TRUE(item) << command.selector() << tag;
        ASSERT_TRUE(IXActionBridge::validate(item)) << command.selector() << tag;
        item->trigger();
        spin();
    }

    void undo()
    {
        spin();
        document->undoManager()->undo();
        spin();
    }

    IXStyleSheetNode& layoutSheet(const QString& name) const { return *node->layoutForName(name)->styleSheet(); }
    static QString masterValue(IXStyleSheetNode& sheet, int type, const char* key)
    {
        const auto master = sheet.masters().value(type);
        return master ? master->ownAttribute(QString::fromLatin1(key)).description() : QString();
    }

    IXDocument* document = nullptr;
    IXWindowController* controller = nullptr;
    std::shared_ptr<IXDocumentNode> node;
    FakeDialogs dialogs;
};

constexpr int No = 0, Yes = 1, Any = -1;

struct Expected {
    IXCommand command;
    int tag;
    bool enabled;
    int checked = Any;
    const char* title = nullptr;
};

TEST_F(ViewCommandsTest, MenuItemsFollowSelectionLayoutAndTool)
{
    using namespace IXCommands;
    const struct {
        const char* selection;
        int layout;
        // "filter": the selection is the branch filter; "collapsed": Sub is collapsed;
        // "brainstorm": brainstorm runs (its title tool current); "copied": Sub was copied;
        // "styles": Sub's style was copied.
        const char* state;
        std::vector<Expected> items;
    } situations[] = {
        {"Sub",
         0,
         "",
         {{FitToScreen, 0, true},
          {AddPrebranch, 0, true},
          {RemoveBranchSection, 0, true},
          {DetachBranch, 0, true},
          {ToggleCollapser, 0, true, Any, "Collapse"},
          {RemoveIcon, -1, true},
          {RemovePicture, 0, false},
          {RemoveComment, 0, false},
          {ToggleFilter, 0, true, No},
          {ClearStyles, 0, true},
          {SwitchRootShape, 2, true},
          {AddFloatingComment, 0, true},
          {AddPicture, 1, true},
          {AddPicture, 0, true},
          {ToggleBrainStorm, 0, true, No},
          {TogglePrintView, 0, true, Any, "Show Print View"},
          {SwitchToView, 0, true, Yes},
          {SwitchToView, 3, true, No},
          {ChangeLevel, 1, true},
          {SwitchDocumentStyle, 0, true},
          {ToggleTextEditor, 0, true, No},
          {PasteStyles, 0, false},
          {Export, 0, false},
          {QuickExport, 0, false},
          {PackAndGo, 0, false},
          {ToggleMedia, 0, false}}},
        {"Second",
         0,
         "",
         {{RemovePicture, 0, true},
          {DetachPicture, 0, true},
          {RemoveComment, 0, true},
          {RemoveBranchSection, 0, false},
          {AddPrebranch, 0, false},
          {DetachBranch, 0, false},
          {ToggleCollapser, 0, false},
          {RemoveIcon, -1, false}}},
        {"doc",
         0,
         "",
         {{ToggleFilter, 0, false, No},
          {ClearStyles, 0, false},
          {AddPrebranch, 0, false},
          {AddPicture, 1, false},
          {AddPicture, 0, true},
          {SwitchRootShape, 1, true},
          {ClearAllStyles, 0, true},
          {EditTextNote, 0, false}}},
        {"Sub", 0, "collapsed", {{ToggleCollapser, 0, true, Any, "Expand"}}},
        {"Sub", 0, "filter", {{ToggleFilter, 0, true, Yes}}},
        {"Sub", 0, "brainstorm", {{ToggleBrainStorm, 0, true, Yes}}},
        {"Sub", 0, "copied", {{Paste, 0, true}, {PasteWithoutStyles, 0, true}}},
        {"One,Two", 0, "copied", {{Paste, 0, false}, {ClearStyles, 0, true}}},
        {"One,Two", 0, "styles", {{PasteStyles, 0, true}, {Paste, 0, false}}},
        {"Sub",
         3,
         "",
         {{FitToScreen, 0, false},
          {AddFloatingComment, 0, false},
          {MakeBranchConnection, 0, false},
          {AddPicture, 0, false},
          {AddPicture, 1, true},
          {AddPrebranch, 0, true},
          {SwitchToView, 3, true, Yes},
          {ToggleFilter, 0, true, No}}},
        {"Sub", 9, "styles", {{PasteStyles, 0, false}}},
        {"Sub",
         9,
         "copied",
         {{AddPrebranch, 0, false},
          {RemoveBranchSection, 0, false},
          {DetachBranch, 0, false},
          {ToggleFilter, 0, false},
          {ToggleBrainStorm, 0, false},
          {ToggleTextEditor, 0, false},
          {ClearStyles, 0, false},
          {SwitchRootShape, 1, false},
          {FitToScreen, 0, false},
          {AddFloatingComment, 0, false},
          {Paste, 0, true},
          {TogglePrintView, 0, true, Any, "Hide Print View"},
          {SwitchToView, 0, true, No}}},
    };
    for (const auto& s : situations) {
        const QString state = QString::fromLatin1(s.state);
        SCOPED_TRACE(std::string(s.selection) + " in " + std::to_string(s.layout) + " " + s.state);
        if (state == QLatin1String("copied") || state == QLatin1String("styles")) {
            select(QStringLiteral("Sub"));
            if (state == QLatin1String("copied"))
                controller->copy(nullptr);
            else
                controller->copyStyles(nullptr);
        }
        if (s.layout == 9)
            controller->togglePrintView(nullptr);
        else
            controller->setDocumentLayout(s.layout);
        spin();
        select(QString::fromLatin1(s.selection));
        if (state == QLatin1String("collapsed")) branch("Sub")->style()->setBranchCollapsed(true);
        if (state == QLatin1String("filter")) controller->layoutContext()->setBranchFilter(branch("Sub"));
        if (state == QLatin1String("brainstorm")) controller->beginBrainStorm();
        spin();
        for (const Expected& e : s.items) {
            SCOPED_TRACE(std::string(e.command.selector()) + " " + std::to_string(e.tag));
            QAction* item = menuItem(e.command, e.tag);
            ASSERT_TRUE(item);
            EXPECT_EQ(IXActionBridge::validate(item), e.enabled);
            if (e.checked != Any) EXPECT_EQ(item->isChecked(), e.checked == Yes);
            if (e.title) EXPECT_EQ(item->text(), QString::fromUtf8(e.title));
        }
        if (state == QLatin1String("brainstorm")) controller->endBrainStormAndApplyLastChange(false);
        if (state == QLatin1String("filter")) controller->layoutContext()->setBranchFilter(nullptr);
        if (state == QLatin1String("collapsed")) branch("Sub")->style()->setBranchCollapsed(false);
        if (s.layout == 9) controller->togglePrintView(nullptr);
        spin();
    }
}

TEST_F(ViewCommandsTest, MenusLookRight)
{
    select(QStringLiteral("Sub"));
    for (QAction* top : controller->documentWindow()->menuBar()->actions()) {
        QMenu* menu = top->menu();
        if (!menu) continue;
        // Shown as the user would open it, so that its items are validated.
        menu->popup(QPoint(0, 0));
        spin(20);
        writeRenders(menu, QStringLiteral("wincmds-menu-") + top->text().remove(QLatin1Char('&')));
        for (QAction* item : menu->actions())
            if (QMenu* sub = item->menu()) {
                sub->popup(QPoint(0, 0));
                spin(20);
                writeRenders(sub, QStringLiteral("wincmds-submenu-") + item->text().remove(QLatin1Char(' ')));
                sub->hide();
            }
        menu->hide();
    }
    // Not offered while not built.
    for (IXCommand command :
         {IXCommands::Export, IXCommands::QuickExport, IXCommands::PackAndGo, IXCommands::ToggleMedia})
        EXPECT_FALSE(menuItem(command, 0)->isEnabled()) << command.selector();
}

TEST_F(ViewCommandsTest, FilterFitsTheBranchThenScrollsItsParentBackIntoView)
{
    controller->documentWindow()->resize(500, 400);
    spin(20);
    IXMapView* view = controller->mapViewForLayout(0);
    IXScalingScrollView* scroller = IXScalingScrollView::scalingScrollView(view);
    ASSERT_TRUE(scroller);
    scroller->setScaleFactor(4.0);
    select(QStringLiteral("Two"));
    send(IXCommands::ToggleFilter);
    IXLayoutContext* context = controller->layoutContext();
    EXPECT_EQ(context->branchFilter(), branch("Two"));
    EXPECT_NE(scroller->scaleFactor(), 4.0);
    // Far away, then back: the parent's group comes into view.
    scroller->setScaleFactor(4.0);
    scroller->horizontalScrollBar()->setValue(0);
    scroller->verticalScrollBar()->setValue(0);
    spin();
    send(IXCommands::ToggleFilter);
    EXPECT_EQ(context->branchFilter(), nullptr);
    IXBranchGroupCell* group = context->cells().branchGroupCellForNode(branch("Sub").get());
    ASSERT_TRUE(group);
    const QRectF shown = view->rectToQt(view->visibleRect());
    const QRectF parent = view->rectToQt(context->coordinates().convertRectFromCell(group->bounds(), group));
    EXPECT_TRUE(shown.intersects(parent)) << "parent group not scrolled into view";
    EXPECT_FALSE(document->undoManager()->canUndo());
}

TEST_F(ViewCommandsTest, FilterInTheTimelineAlsoFiltersTheOutlineBesideIt)
{
    controller->setDocumentLayout(4);
    spin(20);
    select(QStringLiteral("Sub"));
    send(IXCommands::ToggleFilter);
    EXPECT_EQ(controller->layoutContext()->branchFilter(), branch("Sub"));
    EXPECT_EQ(controller->outlineMapView()->layoutContext()->branchFilter(), branch("Sub"));
    send(IXCommands::ToggleFilter);
    EXPECT_EQ(controller->outlineMapView()->layoutContext()->branchFilter(), nullptr);
}

TEST_F(ViewCommandsTest, EditingCommandsChangeTheMapAndUndoInOneStep)
{
    IXLayoutContext* context = controller->layoutContext();
    auto frameTypes = [&] {
        QList<int> types;
        for (const auto& root : node->rootBranches()) types << context->styleForReading(root.get())->branchFrameType();
        return types;
    };
    auto collapsed = [&](const char* title) {
        const auto style = branch(QString::fromLatin1(title))->existingStyle();
        return style && style->branchCollapsed();
    };
    const QString fontSize = QStringLiteral("branch.text.font.size");
    const QString background = QStringLiteral("document.bgcolor");
    branch("Sub")->style()->setValue(IXStyleValue::fromText(u"", QStringLiteral("30")), fontSize);
    node->style()->setValue(IXStyleValue::fromText(u"c", QStringLiteral("0.1,0.2,0.3")), background);
    spin();
    document->undoManager()->removeAllActions();
    const auto subFont = [&] { return branch("Sub")->style()->ownAttribute(fontSize).description(); };
    const auto documentBackground = [&] { return node->style()->ownAttribute(background).description(); };
    const QString setSize = subFont();
    const QString setBackground = documentBackground();
    const struct {
        IXCommand command;
        int tag;
        const char* selection;
        std::function<bool()> changed;
    } cases[] = {
        {IXCommands::SwitchRootShape, 5, "Sub", [&] { return frameTypes() == QList<int>(frameTypes().size(), 5); }},
        {IXCommands::ChangeLevel, 1, "Sub", [&] { return collapsed("Sub") && !collapsed("Main"); }},
        {IXCommands::ClearStyles, 0, "Sub",
         [&] { return subFont() != setSize && documentBackground() == setBackground; }},
        {IXCommands::ClearAllStyles, 0, "Sub",
         [&] { return subFont() != setSize && documentBackground() != setBackground; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.command.selector());
        select(QString::fromLatin1(c.selection));
        const QList<int> shapes = frameTypes();
        send(c.command, c.tag);
        EXPECT_TRUE(c.changed());
        undo();
        EXPECT_FALSE(c.changed());
        EXPECT_EQ(frameTypes(), shapes);
        EXPECT_FALSE(collapsed("Sub"));
        EXPECT_EQ(subFont(), setSize);
        EXPECT_EQ(documentBackground(), setBackground);
        EXPECT_FALSE(document->undoManager()->canUndo());
    }
}

TEST_F(ViewCommandsTest, EachShippedStyleRestylesTheMapAsOneUndoStep)
{
    const QList<IXDocumentStyles::Entry>& styles = IXDocumentStyles::stylesList();
    ASSERT_GE(styles.size(), 3);
    IXStyleSheetNode& sheet = *node->styleSheet();
    const QString originalRoot = masterValue(sheet, 2, "branch.frame.fill.bgcolor1");
    const QString originalMindMap = masterValue(layoutSheet(IXLayoutMindMapName), 2, "branch.frame.type");
    controller->documentWindow()->resize(900, 560);
    for (int index = 0; index < styles.size(); ++index) {
        SCOPED_TRACE(styles[index].name.toStdString());
        const std::optional<UTZipArchive> archive = UTZipArchive::fromData(shippedArchive(index));
        ASSERT_TRUE(archive);
        const auto shipped
            = IXStyleSheetNode::styleSheetFromData(*archive->dataByName(QStringLiteral("document.styles.xml")));
        ASSERT_TRUE(shipped);
        send(IXCommands::SwitchDocumentStyle, index);
        EXPECT_TRUE(dialogs.presentedErrors.isEmpty());
        for (const char* key : {"branch.frame.fill.bgcolor1", "branch.text.fgcolor", "branch.line.color"})
            EXPECT_EQ(masterValue(sheet, 2, key), masterValue(*shipped, 2, key)) << key;
        EXPECT_EQ(masterValue(sheet, 1, "document.bgcolor"), masterValue(*shipped, 1, "document.bgcolor"));
        spin(50);
        controller->layoutContext()->performLayoutIfNeeded();
        IXScalingScrollView::scalingScrollView(controller->documentView())->scaleToFit(nullptr);
        spin(50);
        writeRenders(controller->documentWindow(), QStringLiteral("wincmds-style-") + styles[index].name);
        undo();
        EXPECT_EQ(masterValue(sheet, 2, "branch.frame.fill.bgcolor1"), originalRoot);
        EXPECT_EQ(masterValue(layoutSheet(IXLayoutMindMapName), 2, "branch.frame.type"), originalMindMap);
        EXPECT_FALSE(document->undoManager()->canUndo());
    }
}

TEST_F(ViewCommandsTest, AnArchiveChangesOnlyTheSheetsItHas)
{
    const QByteArray mindmap = R"(<?xml version="1.0" encoding="UTF-8"?>
<styles xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xsi:noNamespaceSchemaLocation="styles.xsd" version="1" revision="1"><rootbranch><a n="branch.frame.type" v="9"/></rootbranch></styles>)";
    const QString document = masterValue(*node->styleSheet(), 2, "branch.frame.type");
    const QString topdown = masterValue(layoutSheet(IXLayoutTopDownName), 2, "branch.frame.type");
    PLError error;
    ASSERT_TRUE(IXDocumentStyles::applyArchive(*node, zipOf({{QStringLiteral("mindmap.styles.xml"), mindmap}}), &error))
        << error.localizedDescription().toStdString();
    EXPECT_EQ(masterValue(layoutSheet(IXLayoutMindMapName), 2, "branch.frame.type"), QStringLiteral("9"));
    EXPECT_EQ(masterValue(*node->styleSheet(), 2, "branch.frame.type"), document);
    EXPECT_EQ(masterValue(layoutSheet(IXLayoutTopDownName), 2, "branch.frame.type"), topdown);
}

TEST_F(ViewCommandsTest, ADamagedArchiveLeavesTheWholeMapUnchanged)
{
    const QByteArray archive = shippedArchive(0);
    const std::optional<UTZipArchive> zip = UTZipArchive::fromData(archive);
    ASSERT_TRUE(zip);
    const QByteArray sheet = *zip->dataByName(QStringLiteral("document.styles.xml"));
    // The damage sits in a part applied after the document's, so applying part by part would
    // leave the document restyled.
    QByteArray badChecksum = zipOf({{QStringLiteral("document.styles.xml"), sheet},
                                    {QStringLiteral("topdown.styles.xml"), QByteArray(4000, 'x')}});
    badChecksum[badChecksum.indexOf(QByteArray(40, 'x')) + 10] = 'y';
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        {"not a zip", QByteArray("plain text")},
        {"no sheet", zipOf({{QStringLiteral("readme.txt"), "hello"}})},
        {"bad checksum", badChecksum},
        {"not XML",
         zipOf({{QStringLiteral("document.styles.xml"), sheet},
                {QStringLiteral("timeline.styles.xml"), "<styles><canvas>"}})},
        {"not a sheet",
         zipOf({{QStringLiteral("document.styles.xml"), sheet},
                {QStringLiteral("mindmap.styles.xml"), "<?xml version=\"1.0\"?><shapes/>"}})},
    };
    const QString before = masterValue(*node->styleSheet(), 2, "branch.frame.fill.bgcolor1");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PLError error;
        EXPECT_FALSE(IXDocumentStyles::applyArchive(*node, c.bytes, &error));
        EXPECT_FALSE(error.localizedDescription().isEmpty());
        EXPECT_EQ(masterValue(*node->styleSheet(), 2, "branch.frame.fill.bgcolor1"), before);
        spin();
        EXPECT_FALSE(document->undoManager()->canUndo());
    }
}

TEST_F(ViewCommandsTest, FullScreenHidesAndRestoresToolbarInspectorsAndZoom)
{
    auto* toolbar = controller->documentWindow()->addToolBar(QStringLiteral("Tools"));
    auto* hidden = controller->documentWindow()->addToolBar(QStringLiteral("Hidden"));
    toolbar->show();
    hidden->hide();
    IXScalingScrollView* scroller = IXScalingScrollView::scalingScrollView(controller->documentView());
    ASSERT_TRUE(scroller);
    scroller->setScaleFactor(1.5);
    IXViewCommands& commands = controller->viewCommands();
    // Nothing saved: nothing changes.
    commands.restoreAfterFullScreenMode();
    EXPECT_EQ(scroller->scaleFactor(), 1.5);
    EXPECT_TRUE(toolbar->isVisible());

    controller->adaptToFullScreenMode();
    spin(20);
    for (const QString& key :
         {IXViewCommands::ScaleStateKey, IXViewCommands::WinFrameStateKey, IXViewCommands::InspectorStateKey})
        EXPECT_TRUE(commands.windowState().contains(key)) << key.toStdString();
    EXPECT_EQ(commands.windowState().value(IXViewCommands::ScaleStateKey).toDouble(), 1.5);
    EXPECT_TRUE(controller->documentWindow()->isFullScreen());
    EXPECT_FALSE(toolbar->isVisible());

    controller->restoreAfterFullScreenMode();
    spin(20);
    EXPECT_FALSE(controller->documentWindow()->isFullScreen());
    EXPECT_TRUE(toolbar->isVisible());
    EXPECT_FALSE(hidden->isVisible());
    EXPECT_EQ(scroller->scaleFactor(), 1.5);
    EXPECT_TRUE(commands.windowState().isEmpty());
}

TEST_F(ViewCommandsTest, PrintViewHidesTheNoteEditorAndShowsItOnlyIfItWasShown)
{
    IXWindowNoteEditor& notes = controller->noteEditor();
    for (const bool shown : {true, false}) {
        SCOPED_TRACE(shown);
        if (notes.isEditorVisible() != shown) notes.toggleTextEditor();
        spin();
        send(IXCommands::TogglePrintView);
        EXPECT_EQ(controller->documentLayout(), 9);
        EXPECT_FALSE(notes.isEditorVisible());
        send(IXCommands::TogglePrintView);
        EXPECT_EQ(controller->documentLayout(), 0);
        EXPECT_EQ(notes.isEditorVisible(), shown);
    }
}

}  // namespace
