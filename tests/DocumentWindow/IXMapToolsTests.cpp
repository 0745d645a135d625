// The selection and context-menu tools end to end through the application object, offscreen,
// on the small fixture map: clicks, the rubber band and the ways a drag is abandoned, and the
// context menu chosen by the kind of node under a right-click.
#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXConnectionNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXSpellCheckingNotices.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentViews/IXActionItem.h"
#include "DocumentViews/IXContextMenuTool.h"
#include "DocumentViews/IXContinuousSpellChecking.h"
#include "DocumentViews/IXMapView.h"
#include "DocumentViews/IXSelectionTool.h"
#include "DocumentViews/IXToolEnvironment.h"
#include "DocumentViews/IXToolManager.h"
#include "DocumentViews/IXWindowControllerLookup.h"
#include "DocumentWindow/IXActionBridge.h"
#include "DocumentWindow/IXAppController.h"
#include "DocumentWindow/IXApplication.h"
#include "DocumentWindow/IXDocument.h"
#include "DocumentWindow/IXDocumentController.h"
#include "DocumentWindow/IXWindowController.h"
#include "IXMapToolsTestSupport.h"
#include "IXShellTestSupport.h"
#include "MapLayout/IXBranchCell.h"
#include "MapLayout/IXLayoutCellFactory.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXMapCellFactory.h"
#include "Platform/Core/PLNotificationCenter.h"
#include "Platform/Text/PLSpellChecker.h"
#include "UtilityWidgets/UTBeep.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QTest>

#include <functional>

namespace {

TEST_F(MapToolsTest, ClicksSelectTheObjectOrTheDocumentAndShiftClicksAddToTheSelection)
{
    open();
    click(pointOn(branch(QStringLiteral("Sub")).get()));
    EXPECT_EQ(selected(), QStringList({QStringLiteral("Sub")}));
    click(pointOn(branch(QStringLiteral("Second")).get()), Qt::ShiftModifier);
    EXPECT_EQ(selected(), QStringList({QStringLiteral("Second"), QStringLiteral("Sub")}));
    click(pointOn(comment().get()), Qt::ShiftModifier);
    EXPECT_EQ(selected(), QStringList({QStringLiteral("Note"), QStringLiteral("Second"), QStringLiteral("Sub")}));
    // Empty canvas, with or without Shift, selects the document: no object stays selected.
    for (const Qt::KeyboardModifiers modifiers : {Qt::KeyboardModifiers(Qt::ShiftModifier), Qt::KeyboardModifiers()}) {
        click(emptyPoint(), modifiers);
        EXPECT_EQ(selected(), QStringList({QStringLiteral("<document>")}));
        EXPECT_EQ(controller->selectedBranch(), nullptr);
        EXPECT_EQ(IXToolManager::sharedManager()->currentTool(), nullptr);
        click(pointOn(branch(QStringLiteral("Sub")).get()));
    }
}

TEST_F(MapToolsTest, TheRubberBandHighlightsWhatItTouchesAndSelectsItAtRelease)
{
    open();
    const QRect main = boxOf(branch(QStringLiteral("Main")).get());
    const QRect sub = boxOf(branch(QStringLiteral("Sub")).get());
    const QRect note = boxOf(comment().get());
    const QRect all = main.united(sub)
                          .united(note)
                          .united(boxOf(branch(QStringLiteral("Second")).get()))
                          .united(boxOf(picture().get()));
    const QPoint outside = emptyPoint();
    const struct {
        const char* name;
        QPoint start;
        QPoint end;
        QStringList expected;
    } cases[] = {
        {"from empty canvas over Sub's corner", outside, sub.bottomRight() - QPoint(2, 2), {}},
        {"everything",
         all.topLeft() - QPoint(10, 10),
         all.bottomRight() + QPoint(10, 10),
         {QStringLiteral("Main"), QStringLiteral("Note"), QStringLiteral("Second"), QStringLiteral("Sub"),
          picture()->title()}},
        {"nothing but canvas", outside, outside + QPoint(40, 40), {QStringLiteral("<document>")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QStringList expected = c.expected;
        if (expected.isEmpty()) {
            // The band from outside reaches Sub (and whatever lies between): work it out from the cells.
            const QRect band = QRect(c.start, c.end).normalized();
            for (const auto& n : {branch(QStringLiteral("Main")), branch(QStringLiteral("Sub")),
                                  branch(QStringLiteral("Second")), comment(), picture()})
                if (band.intersects(boxOf(n.get()))) expected << n->title();
            expected.sort();
            ASSERT_TRUE(expected.contains(QStringLiteral("Sub")));
        }
        expected.sort();
        QStringList whileDragging;
        QRect bandShown;
        drag(
            c.start, {c.start + (c.end - c.start) / 2, c.end},
            [&] {
                whileDragging = highlighted();
                auto* tool = qobject_cast<IXSelectionTool*>(IXToolManager::sharedManager()->currentTool());
                if (tool && tool->highlightView() && tool->highlightView()->isVisible())
                    bandShown = tool->highlightView()->geometry();
                // The press selected the document at once.
                EXPECT_EQ(selected(), QStringList({QStringLiteral("<document>")}));
            },
            [&](QPoint at) { release(at); });
        EXPECT_EQ(whileDragging, expected);
        // The band spans the press and the pointer.
        EXPECT_EQ(bandShown,
                  QRect(QPoint(std::min(c.start.x(), c.end.x()), std::min(c.start.y(), c.end.y())),
                        QSize(std::abs(c.end.x() - c.start.x()), std::abs(c.end.y() - c.start.y()))));
        EXPECT_EQ(selected(), expected);
        EXPECT_TRUE(context()->highlights().isEmpty());
        EXPECT_EQ(IXToolManager::sharedManager()->currentTool(), nullptr);
        EXPECT_TRUE(view->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).isEmpty());
    }
}

TEST_F(MapToolsTest, EscapeOrALostGrabEndsTheRubberBandWithTheDocumentSelected)
{
    open();
    const QRect all = boxOf(branch(QStringLiteral("Main")).get()).united(boxOf(branch(QStringLiteral("Second")).get()));
    const struct {
        const char* name;
        std::function<void()> abandon;
    } ways[] = {
        {"Escape", [&] { QTest::keyClick(view, Qt::Key_Escape); }},
        {"the window loses the focus",
         [&] {
             QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
             QApplication::sendEvent(view, &out);
         }},
        {"the window is hidden", [&] { controller->documentWindow()->hide(); }},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        if (!controller->documentWindow()->isVisible()) controller->documentWindow()->show();
        view->setFocus();
        click(pointOn(branch(QStringLiteral("Sub")).get()));
        ASSERT_EQ(selected(), QStringList({QStringLiteral("Sub")}));
        bool highlightedWhileDragging = false;
        drag(
            all.topLeft() - QPoint(10, 10), {all.bottomRight() + QPoint(10, 10)},
            [&] { highlightedWhileDragging = highlighted().contains(QStringLiteral("Main")); },
            [&](QPoint) { way.abandon(); });
        spin();
        EXPECT_TRUE(highlightedWhileDragging);
        EXPECT_EQ(selected(), QStringList({QStringLiteral("<document>")}));
        EXPECT_TRUE(context()->highlights().isEmpty());
        EXPECT_EQ(IXToolManager::sharedManager()->currentTool(), nullptr);
        EXPECT_TRUE(view->findChildren<QWidget*>(Qt::FindDirectChildrenOnly).isEmpty());
        // The release that comes later finds no gesture.
        release(all.bottomRight());
        EXPECT_EQ(selected(), QStringList({QStringLiteral("<document>")}));
    }
}

// The selectors of a menu's items, submenus' items indented, with the tags of tagged items.
QStringList itemsOf(const QMenu* menu, const QString& indent = {})
{
    QStringList items;
    for (QAction* item : menu->actions()) {
        if (item->isSeparator()) continue;
        QString line = indent + (item->menu() ? item->text() : QString::fromLatin1(IXActionItem::actionOf(item)));
        if (item->data().isValid() && item->data().typeId() == QMetaType::Int)
            line += QStringLiteral(" #%1").arg(item->data().toInt());
        items << line;
        if (item->menu()) items << itemsOf(item->menu(), indent + QStringLiteral("  "));
    }
    return items;
}

QAction* itemFor(const QMenu* menu, const QByteArray& action)
{
    for (QAction* item : menu->actions())
        if (IXActionItem::actionOf(item) == action) return item;
    return nullptr;
}

TEST_F(MapToolsTest, TheContextMenuFollowsTheKindOfNodeUnderTheClickAndSelectsIt)
{
    std::shared_ptr<IXConnectionNode> connection;
    open([&](IXDocumentNode& document) {
        auto main = std::static_pointer_cast<IXBranchNode>(document.rootBranches().front());
        // The fixture's two roots stand on the same spot: the second moves aside.
        document.rootBranches().back()->style()->setBranchParentOffset(PLPoint(300, -200));
        connection = main->addConnection();
        connection->setTargetNode(document.rootBranches().back());
        std::static_pointer_cast<IXBranchNode>(main->branches().front())
            ->setIcons({QStringLiteral("one"), QStringLiteral("two")});
    });
    spin(20);
    context()->performLayoutIfNeeded();
    using Menu = IXContextMenuProviding::Menu;
    const struct {
        const char* name;
        std::shared_ptr<IXNode> node;  // none: empty canvas
        Menu menu;
        const char* hasItem;
        const char* lacksItem;
    } cases[] = {
        {"canvas", nullptr, Menu::Document, "addFloatingComment:", "removeSelectedNodes:"},
        {"root", branch(QStringLiteral("Main")), Menu::Root, "addSubbranch:", "addPrebranch:"},
        {"branch", branch(QStringLiteral("Sub")), Menu::Branch, "addPrebranch:", "addFloatingComment:"},
        {"picture", picture(), Menu::Attachment, "detachFloatingNode:", "addSubbranch:"},
        {"comment", comment(), Menu::Attachment, "detachFloatingNode:", "addSubbranch:"},
        {"connection", connection, Menu::Attachment, "removeSelectedNodes:", "addBranch:"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QPoint at = c.node ? pointOn(c.node.get()) : emptyPoint();
        ASSERT_NE(at, QPoint(-1, -1));
        IXContextMenuTool* tool = rightClick(at);
        ASSERT_TRUE(tool);
        ASSERT_TRUE(tool->menu());
        EXPECT_TRUE(tool->menu()->isVisible());
        EXPECT_EQ(tool->clickPoint(), view->pointFromQt(at));
        // The window's menu of the kind; a branch's lists its icons for removal.
        QStringList expected = itemsOf(controller->contextMenu(c.menu));
        if (c.menu == Menu::Branch) {
            const qsizetype all = expected.indexOf(QStringLiteral("    removeIcon: #-1"));
            ASSERT_GE(all, 0);
            expected.insert(all + 1, QStringLiteral("    removeIcon: #1"));
            expected.insert(all + 1, QStringLiteral("    removeIcon: #0"));
        }
        const QStringList shown = itemsOf(tool->menu());
        EXPECT_EQ(shown, expected);
        EXPECT_TRUE(shown.contains(QString::fromLatin1(c.hasItem))
                    || shown.filter(QString::fromLatin1(c.hasItem)).size() > 0);
        EXPECT_TRUE(shown.filter(QString::fromLatin1(c.lacksItem)).isEmpty());
        EXPECT_EQ(context()->selection().nodes(),
                  IXSelection::NodeList({c.node ? c.node : std::shared_ptr<IXNode>(node())}));
        // Escape closes the menu and ends the tool.
        QTest::keyClick(view, Qt::Key_Escape);
        EXPECT_EQ(IXToolManager::sharedManager()->currentTool(), nullptr);
        spin();
    }

    // A right-click within a multiple selection keeps it; outside it selects the node alone.
    const auto sub = branch(QStringLiteral("Sub")), second = branch(QStringLiteral("Second"));
    controller->setSelection(IXSelection::selectionWithArray({sub, second}));
    ASSERT_TRUE(rightClick(pointOn(sub.get())));
    EXPECT_EQ(selected(), QStringList({QStringLiteral("Second"), QStringLiteral("Sub")}));
    QTest::keyClick(view, Qt::Key_Escape);
    ASSERT_TRUE(rightClick(pointOn(branch(QStringLiteral("Main")).get())));
    EXPECT_EQ(selected(), QStringList({QStringLiteral("Main")}));
    QTest::keyClick(view, Qt::Key_Escape);

    // An item sends its command after the menu closed; the tool ends on the next turn.
    IXContextMenuTool* tool = rightClick(emptyPoint());
    ASSERT_TRUE(tool);
    QAction* selectAll = itemFor(tool->menu(), "selectAll:");
    ASSERT_TRUE(selectAll);
    EXPECT_TRUE(IXActionBridge::validate(selectAll));
    tool->menu()->hide();
    selectAll->trigger();
    spin();
    EXPECT_EQ(selected().size(), 5);  // both roots, Sub, the picture and the comment
    EXPECT_EQ(IXToolManager::sharedManager()->currentTool(), nullptr);
}

TEST_F(MapToolsTest, AMisspeltTitleOffersUpToTwelveGuessesAndIgnoring)
{
    if (!PLSpellChecker::sharedChecker().isAvailable()) GTEST_SKIP() << "no dictionary";
    // A word with more guesses than the menu shows, when the dictionary knows one.
    QString word = QStringLiteral("hte");
    for (const char* candidate : {"ths", "tha", "hte", "wer"})
        if (PLSpellChecker::sharedChecker().guesses(QString::fromLatin1(candidate)).size()
            > IXContextMenuTool::MaximumGuesses)
            word = QString::fromLatin1(candidate);
    const QStringList guesses = PLSpellChecker::sharedChecker().guesses(word);
    ASSERT_FALSE(guesses.isEmpty());
    open([&](IXDocumentNode& document) {
        std::static_pointer_cast<IXBranchNode>(document.rootBranches().back())->setTitle(word);
    });
    spin(20);
    context()->performLayoutIfNeeded();
    const auto second = branch(word);
    ASSERT_TRUE(second);

    IXContextMenuTool* tool = rightClick(pointOn(second.get()));
    ASSERT_TRUE(tool);
    QList<QAction*> items = tool->menu()->actions();
    const qsizetype shown = std::min<qsizetype>(guesses.size(), IXContextMenuTool::MaximumGuesses);
    ASSERT_GT(items.size(), shown + 3);
    for (qsizetype i = 0; i < shown; ++i) {
        EXPECT_EQ(items[i]->text(), guesses[i]);
        EXPECT_EQ(IXActionItem::actionOf(items[i]), "correctSpelling:");
        EXPECT_TRUE(IXActionBridge::validate(items[i]));
    }
    EXPECT_TRUE(items[shown]->isSeparator());
    EXPECT_EQ(IXActionItem::actionOf(items[shown + 1]), "ignoreSpelling:");
    EXPECT_TRUE(items[shown + 2]->isSeparator());
    // Then the root menu.
    EXPECT_EQ(itemsOf(tool->menu()).mid(shown + 1),
              itemsOf(controller->contextMenu(IXContextMenuProviding::Menu::Root)));

    // Ignoring tells the spell document and the cells.
    QString ignored;
    int sentinel = 0;
    PLNotificationCenter::defaultCenter().addObserver(
        &sentinel, IXSpellCheckingNotices::IgnoreWord, nullptr, [&](const PLNotification& notice) {
            ignored = notice.userInfo.value(IXSpellCheckingNotices::WordKey).toString();
        });
    items[shown + 1]->trigger();
    PLNotificationCenter::defaultCenter().removeObserver(&sentinel);
    EXPECT_EQ(ignored, word);
    QTest::keyClick(view, Qt::Key_Escape);
    spin();

    // Choosing a guess replaces the word, as one undo step.
    PLSpellChecker::sharedChecker().setIgnoredWords({}, node()->spellDocumentTag());
    context()->reloadBranches();
    spin(20);
    context()->performLayoutIfNeeded();
    tool = rightClick(pointOn(second.get()));
    ASSERT_TRUE(tool);
    tool->menu()->actions().front()->trigger();
    spin();
    EXPECT_EQ(second->title(), guesses.front());
    document->undoManager()->undo();
    EXPECT_EQ(second->title(), word);
}

}  // namespace
