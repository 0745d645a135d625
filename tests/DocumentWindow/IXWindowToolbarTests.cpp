// The document window's toolbar: its items and pictures, their state in every layout, the
// pop-ups, the item set kept in the settings with its dialog, and full screen.
#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentViews/IXActionItem.h"
#include "DocumentWindow/IXActionBridge.h"
#include "DocumentWindow/IXAppController.h"
#include "DocumentWindow/IXToolbarCustomizationDialog.h"
#include "DocumentWindow/IXWindowExtensions.h"
#include "DocumentWindow/IXWindowToolbar.h"
#include "IXWindowShellTestSupport.h"
#include "MapLayout/IXLayoutContext.h"
#include "Platform/System/PLLocalizedStrings.h"
#include "UtilityWidgets/UTToolbarItem.h"

#include <QDir>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QToolBar>
#include <QToolButton>

#include <set>

namespace {

class WindowToolbarTest : public WindowShellTest {
protected:
    IXWindowController* openWindow(const QString& name)
    {
        IXDocument* document = open(copyFixture(QStringLiteral("tree.ixd"), name));
        if (!document) return nullptr;
        IXWindowController* controller = controllerOf(document);
        controller->showWindow();
        spin();
        return controller;
    }

    static QString caption(const QString& identifier)
    {
        return PLLocalizedStrings::string(identifier + QStringLiteral("Caption"), QStringLiteral("toolbar"));
    }

    static QImage pixels(const QIcon& icon, qreal ratio)
    {
        return icon.pixmap(QSize(32, 32), ratio).toImage().convertToFormat(QImage::Format_ARGB32);
    }

    static QAction* viewMenuItem(IXWindowController* controller, const QByteArray& action)
    {
        for (QAction* menu : controller->documentWindow()->menuBar()->actions())
            for (QAction* item : menu->menu()->actions())
                if (IXActionItem::actionOf(item) == action) return item;
        return nullptr;
    }
};

TEST_F(WindowToolbarTest, TheWindowShowsTheDefaultSetWithTheTableTextsAndSharpPictures)
{
    IXWindowController* controller = openWindow(QStringLiteral("items.ixd"));
    ASSERT_TRUE(controller);
    IXWindowToolbar& toolbar = controller->toolbar();
    ASSERT_TRUE(toolbar.toolBar());
    EXPECT_EQ(toolbar.toolBar()->objectName(), QStringLiteral("IXToolbar"));
    EXPECT_TRUE(toolbar.toolBar()->isVisible());
    EXPECT_EQ(toolbar.itemIdentifiers(), IXWindowToolbar::defaultItemIdentifiers());
    // Another toolbar has no items at all.
    EXPECT_TRUE(IXWindowToolbar::defaultItemIdentifiers(QStringLiteral("Other")).isEmpty());
    EXPECT_TRUE(IXWindowToolbar::allowedItemIdentifiers(QStringLiteral("Other")).isEmpty());
    EXPECT_TRUE(IXWindowToolbar::selectableItemIdentifiers(QStringLiteral("Other")).isEmpty());

    const QStringList selectable = IXWindowToolbar::selectableItemIdentifiers();
    for (const QString& identifier : IXWindowToolbar::allowedItemIdentifiers()) {
        if (IXWindowToolbar::isRepeatable(identifier)) continue;
        SCOPED_TRACE(identifier.toStdString());
        std::unique_ptr<UTToolbarItem> item(toolbar.makeItem(identifier));
        ASSERT_TRUE(item);
        EXPECT_NE(caption(identifier), identifier + QStringLiteral("Caption"));
        EXPECT_EQ(item->text(), caption(identifier));
        EXPECT_FALSE(IXActionItem::actionOf(item.get()).isEmpty());
        EXPECT_EQ(item->isCheckable(), selectable.contains(identifier));
        // Drawn for both scales: the 2x picture is no blown-up 1x one.
        const QImage single = pixels(item->icon(), 1);
        const QImage twice = pixels(item->icon(), 2);
        ASSERT_EQ(single.size(), QSize(32, 32));
        ASSERT_EQ(twice.size(), QSize(64, 64));
        EXPECT_NE(twice, single.scaled(64, 64)) << "no picture of its own at 2x";
    }
    EXPECT_FALSE(toolbar.makeItem(QStringLiteral("IXNoSuchItem")));
    // The view types carry their names and pictures.
    ASSERT_EQ(IXWindowToolbar::viewsTypes().size(), 5);
    for (const QString& type : IXWindowToolbar::viewsTypes()) {
        EXPECT_NE(IXWindowToolbar::viewNameForType(type), type + QStringLiteral("_title"));
        EXPECT_FALSE(IXWindowToolbar::iconForViewType(type).isNull());
        EXPECT_FALSE(IXWindowToolbar::toolbarMenuIconForType(type).isNull());
    }
}

// Which layouts enable an item when its command exists: 0-2 maps, 3 outline, 4 timeline,
// 9 print layout.
struct LayoutCase {
    const char* identifier;
    std::set<int> enabledIn;
};

const LayoutCase LayoutCases[] = {
    {"IXViews", {0, 1, 2, 3, 4}},
    {"IXRootShapes", {0, 1, 2}},
    {"IXStyles", {0, 1, 2}},
    {"IXBranchCnct", {0, 1, 2}},
    {"IXBrainStorm", {0, 1, 2}},
    {"IXFitToScreen", {0, 1, 2, 4}},
    {"IXPrintPreview", {0, 1, 2, 3, 4, 9}},
    {"IXLevel1", {0, 1, 2, 3}},
    {"IXLevel4", {0, 1, 2, 3}},
    {"IXAllLevels", {0, 1, 2, 3}},
    {"IXTextEditor", {0, 1, 2, 3, 4}},
    {"IXInspector", {0, 1, 2, 3, 4, 9}},
    {"IXOverview", {0, 1, 2, 4}},
    {"IXPrint", {0, 1, 2, 3, 4, 9}},
};

TEST_F(WindowToolbarTest, EachLayoutEnablesItsItemsAndCommandsNotBuiltStayDisabled)
{
    IXWindowController* controller = openWindow(QStringLiteral("layouts.ixd"));
    ASSERT_TRUE(controller);
    IXWindowToolbar& toolbar = controller->toolbar();
    // An item aimed at another object shows what the layout alone allows.
    QObject elsewhere;
    for (int layout : {0, 1, 2, 3, 4, 9}) {
        controller->setDocumentLayout(layout);
        spin();
        ASSERT_EQ(controller->documentLayout(), layout);
        for (const LayoutCase& c : LayoutCases) {
            const QString identifier = QString::fromLatin1(c.identifier);
            SCOPED_TRACE(identifier.toStdString() + " in layout " + std::to_string(layout));
            const bool allowed = c.enabledIn.count(layout) > 0;
            // What the layout allows, asked of an item aimed elsewhere.
            std::unique_ptr<UTToolbarItem> probe(toolbar.makeItem(identifier));
            IXActionItem::setTarget(probe.get(), &elsewhere);
            EXPECT_EQ(toolbar.validateToolbarItem(probe.get()), allowed);
            // The toolbar's own item: allowed and carried out by the controller.
            UTToolbarItem* item = toolbar.item(identifier);
            if (!item) continue;
            const bool built = IXWindowExtensions::respondsToAction(controller, IXActionItem::actionOf(item));
            EXPECT_EQ(IXActionBridge::validate(item), allowed && built);
        }
        // Selected only in the print layout.
        IXActionBridge::validate(toolbar.item(QStringLiteral("IXPrintPreview")));
        EXPECT_EQ(toolbar.item(QStringLiteral("IXPrintPreview"))->isChecked(), layout == 9);
    }
    // Nothing in the window carries the media browser yet.
    EXPECT_FALSE(IXActionBridge::validate(toolbar.item(QStringLiteral("IXMedia"))));
    // The full-screen item answers to the application delegate: a document is open, and the
    // picture says that the item enters full screen.
    UTToolbarItem* fullScreen = toolbar.item(QStringLiteral("IXFullScreen"));
    EXPECT_TRUE(IXAppController::sharedController().validateToolbarItem(fullScreen));
    EXPECT_EQ(pixels(fullScreen->icon(), 1),
              pixels(IXWindowToolbar::namedIcon(QStringLiteral("toolbar_fullscreen_on")), 1));
}

TEST_F(WindowToolbarTest, TheFilterAndBrainstormItemsFollowTheSelectionAndTheMode)
{
    IXWindowController* controller = openWindow(QStringLiteral("filter.ixd"));
    ASSERT_TRUE(controller);
    IXWindowToolbar& toolbar = controller->toolbar();
    // An item aimed at another object shows what the layout alone allows.
    QObject elsewhere;
    std::unique_ptr<UTToolbarItem> filter(toolbar.makeItem(QStringLiteral("IXFilter")));
    std::unique_ptr<UTToolbarItem> brainstorm(toolbar.makeItem(QStringLiteral("IXBrainStorm")));
    IXActionItem::setTarget(filter.get(), &elsewhere);
    IXActionItem::setTarget(brainstorm.get(), &elsewhere);
    const QImage setPicture = pixels(IXWindowToolbar::namedIcon(QStringLiteral("toolbar_filter_set")), 1);
    const QImage clearPicture = pixels(IXWindowToolbar::namedIcon(QStringLiteral("toolbar_filter_clear")), 1);
    ASSERT_NE(setPicture, clearPicture);

    controller->setSelection(IXSelection());
    spin();
    EXPECT_FALSE(toolbar.validateToolbarItem(filter.get())) << "nothing to filter by";
    const auto root = std::static_pointer_cast<IXBranchNode>(controller->documentNode()->rootBranches().first());
    controller->setSelection(IXSelection::selectionWithNode(root));
    spin();
    EXPECT_TRUE(toolbar.validateToolbarItem(filter.get()));
    EXPECT_EQ(pixels(filter->icon(), 1), setPicture);
    controller->layoutContext()->setBranchFilter(root);
    controller->setSelection(IXSelection());
    spin();
    EXPECT_TRUE(toolbar.validateToolbarItem(filter.get())) << "a filter set can always be cleared";
    EXPECT_EQ(pixels(filter->icon(), 1), clearPicture);
    controller->setDocumentLayout(9);
    EXPECT_FALSE(toolbar.validateToolbarItem(filter.get()));
    controller->setDocumentLayout(0);

    controller->setSelection(IXSelection::selectionWithNode(root));
    EXPECT_TRUE(toolbar.validateToolbarItem(brainstorm.get()));
    EXPECT_FALSE(brainstorm->isChecked());
    controller->beginBrainStorm();
    ASSERT_TRUE(controller->isBrainStormMode());
    toolbar.validateToolbarItem(brainstorm.get());
    EXPECT_TRUE(brainstorm->isChecked());
    EXPECT_EQ(pixels(brainstorm->icon(), 1),
              pixels(IXWindowToolbar::namedIcon(QStringLiteral("toolbar_brainstorm_on")), 1));
    controller->endBrainStormAndApplyLastChange(false);
    toolbar.validateToolbarItem(brainstorm.get());
    EXPECT_FALSE(brainstorm->isChecked());
    EXPECT_EQ(pixels(brainstorm->icon(), 1),
              pixels(IXWindowToolbar::namedIcon(QStringLiteral("toolbar_brainstorm_off")), 1));
}

TEST_F(WindowToolbarTest, ThePopUpsListTheirEntriesOnceAndSwitchTheView)
{
    IXWindowController* controller = openWindow(QStringLiteral("popups.ixd"));
    ASSERT_TRUE(controller);
    IXWindowToolbar& toolbar = controller->toolbar();
    QMenu* views = toolbar.popUpMenu(QStringLiteral("IXViews"));
    QMenu* shapes = toolbar.popUpMenu(QStringLiteral("IXRootShapes"));
    QMenu* styles = toolbar.popUpMenu(QStringLiteral("IXStyles"));
    ASSERT_TRUE(views && shapes && styles);

    ASSERT_EQ(views->actions().size(), 5);
    for (int layout = 0; layout < 5; ++layout) {
        QAction* entry = views->actions().at(layout);
        EXPECT_EQ(entry->text(), IXWindowToolbar::viewNameForType(IXWindowToolbar::viewsTypes().at(layout)));
        EXPECT_EQ(entry->data().toInt(), layout);
        EXPECT_EQ(IXActionItem::targetOf(entry), controller);
        EXPECT_FALSE(entry->icon().isNull());
    }
    const QVariantList& shapeList = IXWindowToolbar::rootShapesList();
    ASSERT_EQ(shapeList.size(), 10);
    ASSERT_EQ(shapes->actions().size(), shapeList.size());
    for (int index = 0; index < shapeList.size(); ++index) {
        QAction* entry = shapes->actions().at(index);
        EXPECT_EQ(entry->data().toInt(), index + 1) << "shape tags count from 1";
        EXPECT_EQ(entry->text(), shapeList.at(index).toMap().value(QStringLiteral("Title")).toString());
        EXPECT_FALSE(entry->icon().isNull()) << entry->text().toStdString();
    }
    // The shipped map styles, by name and with their previews.
    ASSERT_GE(IXWindowToolbar::stylesList().size(), 1);
    EXPECT_EQ(styles->actions().size(), IXWindowToolbar::stylesList().size());
    for (int index = 0; index < styles->actions().size(); ++index) {
        QAction* entry = styles->actions().at(index);
        EXPECT_EQ(entry->data().toInt(), index) << "style tags count from 0";
        EXPECT_EQ(entry->text(),
                  IXWindowToolbar::stylesList().at(index).toMap().value(QStringLiteral("Name")).toString());
        EXPECT_FALSE(entry->icon().isNull()) << entry->text().toStdString();
    }

    // The buttons open their menus at once.
    auto* button
        = qobject_cast<QToolButton*>(toolbar.toolBar()->widgetForAction(toolbar.item(QStringLiteral("IXViews"))));
    ASSERT_TRUE(button);
    EXPECT_EQ(button->popupMode(), QToolButton::InstantPopup);
    EXPECT_GE(button->width(), 40);

    // Inserting a pop-up it already holds neither doubles the item nor its entries.
    toolbar.insertItem(QStringLiteral("IXViews"), 0);
    EXPECT_EQ(toolbar.itemIdentifiers().count(QStringLiteral("IXViews")), 1);
    EXPECT_EQ(views->actions().size(), 5);

    // An entry switches the view and is checked in it.
    QAction* outline = views->actions().at(3);
    outline->trigger();
    spin();
    EXPECT_EQ(controller->documentLayout(), 3);
    IXActionBridge::validate(outline);
    EXPECT_TRUE(outline->isChecked());
}

TEST_F(WindowToolbarTest, TheChosenItemsAndVisibilityAreKeptForTheNextWindow)
{
    IXWindowController* first = openWindow(QStringLiteral("first.ixd"));
    ASSERT_TRUE(first);
    const QStringList chosen
        = {QStringLiteral("IXPrintPreview"), QStringLiteral("IXSeparator"),     QStringLiteral("IXViews"),
           QStringLiteral("IXSeparator"),    QStringLiteral("IXFlexibleSpace"), QStringLiteral("IXFullScreen")};
    // Unknown items and second copies of an item are dropped; separators and spaces repeat.
    first->toolbar().setItemIdentifiers(QStringList(chosen)
                                        << QStringLiteral("IXNoSuchItem") << QStringLiteral("IXViews"));
    EXPECT_EQ(first->toolbar().itemIdentifiers(), chosen);
    first->toolbar().setShown(false);
    EXPECT_FALSE(first->toolbar().toolBar()->isVisible());
    ASSERT_TRUE(first->toolbar().popUpMenu(QStringLiteral("IXViews")));
    EXPECT_EQ(first->toolbar().popUpMenu(QStringLiteral("IXViews"))->actions().size(), 5);

    IXWindowController* second = openWindow(QStringLiteral("second.ixd"));
    ASSERT_TRUE(second);
    EXPECT_EQ(second->toolbar().itemIdentifiers(), chosen);
    EXPECT_FALSE(second->toolbar().isShown());

    // The View menu's item says what it will do and does it.
    QAction* toggle = viewMenuItem(second, "toggleToolbarShown:");
    ASSERT_TRUE(toggle);
    EXPECT_TRUE(IXActionBridge::validate(toggle));
    EXPECT_EQ(toggle->text(), QStringLiteral("Show Toolbar"));
    toggle->trigger();
    spin();
    EXPECT_TRUE(second->toolbar().toolBar()->isVisible());
    IXActionBridge::validate(toggle);
    EXPECT_EQ(toggle->text(), QStringLiteral("Hide Toolbar"));
    QAction* customize = viewMenuItem(second, "runToolbarCustomizationPalette:");
    ASSERT_TRUE(customize);
    EXPECT_TRUE(IXActionBridge::validate(customize));
}

TEST_F(WindowToolbarTest, TheDialogArrangesTheAllowedItems)
{
    const QStringList current = {QStringLiteral("IXViews"), QStringLiteral("IXSeparator"), QStringLiteral("IXFilter")};
    IXToolbarCustomizationDialog dialog(current);
    QListWidget* list = dialog.list();
    EXPECT_EQ(dialog.chosenIdentifiers(), current);
    // Every allowed item is offered; separators and spaces once more besides those in use.
    const QStringList allowed = IXWindowToolbar::allowedItemIdentifiers();
    EXPECT_EQ(list->count(), allowed.size() + 1);

    list->setCurrentRow(2);
    dialog.moveCurrentRow(-1);
    dialog.moveCurrentRow(-1);
    dialog.moveCurrentRow(-1);  // stays first
    EXPECT_EQ(dialog.chosenIdentifiers(),
              (QStringList {QStringLiteral("IXFilter"), QStringLiteral("IXViews"), QStringLiteral("IXSeparator")}));
    list->item(1)->setCheckState(Qt::Unchecked);
    list->item(list->count() - 1)->setCheckState(Qt::Checked);
    const QString last = list->item(list->count() - 1)->data(Qt::UserRole).toString();
    EXPECT_EQ(dialog.chosenIdentifiers(),
              (QStringList {QStringLiteral("IXFilter"), QStringLiteral("IXSeparator"), last}));

    dialog.showSet(IXWindowToolbar::defaultItemIdentifiers());
    EXPECT_EQ(dialog.chosenIdentifiers(), IXWindowToolbar::defaultItemIdentifiers());
}

TEST_F(WindowToolbarTest, LeavingFullScreenShowsTheToolbarOnlyIfItWasShown)
{
    IXWindowController* controller = openWindow(QStringLiteral("full.ixd"));
    ASSERT_TRUE(controller);
    IXWindowToolbar& toolbar = controller->toolbar();
    QAction* toggle = viewMenuItem(controller, "toggleToolbarShown:");
    ASSERT_TRUE(toggle);
    IXAppController& delegate = IXAppController::sharedController();
    struct Case {
        bool shownBefore;
        // Shown or hidden from the View menu while in full screen, or left alone.
        std::optional<bool> choiceInside;
        bool shownAfter;
    };
    const Case cases[]
        = {{true, std::nullopt, true}, {false, std::nullopt, false}, {true, false, false}, {false, true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("shown before: ") + (c.shownBefore ? "yes" : "no"));
        toolbar.setShown(c.shownBefore);
        delegate.toggleFullScreenMode(nullptr);
        spin();
        ASSERT_TRUE(delegate.isFullScreenMode());
        EXPECT_TRUE(controller->window()->isFullScreen());
        EXPECT_FALSE(toolbar.toolBar()->isVisible());
        EXPECT_FALSE(IXActionBridge::validate(toggle)) << "full screen has no toolbar to show";
        UTToolbarItem* fullScreen = toolbar.item(QStringLiteral("IXFullScreen"));
        delegate.validateToolbarItem(fullScreen);
        EXPECT_EQ(pixels(fullScreen->icon(), 1),
                  pixels(IXWindowToolbar::namedIcon(QStringLiteral("toolbar_fullscreen_off")), 1));
        if (c.choiceInside) toolbar.setShown(*c.choiceInside);
        EXPECT_FALSE(toolbar.toolBar()->isVisible());
        delegate.toggleFullScreenMode(nullptr);
        spin();
        ASSERT_FALSE(delegate.isFullScreenMode());
        EXPECT_EQ(toolbar.toolBar()->isVisible(), c.shownAfter);
    }
}

// Pictures of the window with its toolbar in every layout, at 1x and 2x, for a person to look
// at (IX_SAVE_RENDERS=1 writes them to renders/); the toolbar stands above the map in each.
TEST_F(WindowToolbarTest, TheToolbarStandsAboveTheViewInEveryLayout)
{
    IXWindowController* controller = openWindow(QStringLiteral("pictures.ixd"));
    ASSERT_TRUE(controller);
    QWidget* window = controller->window();
    window->showNormal();
    window->resize(1180, 640);
    spin(50);
    QToolBar* bar = controller->toolbar().toolBar();
    for (int layout : {0, 1, 2, 3, 4, 9}) {
        controller->setDocumentLayout(layout);
        spin(50);
        ASSERT_TRUE(controller->documentView());
        QWidget* area = controller->documentWindow()->centralWidget();
        ASSERT_TRUE(area && bar->isVisible());
        EXPECT_GT(area->geometry().top(), bar->geometry().bottom()) << "layout " << layout;
        for (int scale : {1, 2}) {
            QImage picture(window->size() * scale, QImage::Format_ARGB32_Premultiplied);
            picture.setDevicePixelRatio(scale);
            picture.fill(Qt::white);
            window->render(&picture);
            EXPECT_FALSE(picture.isNull());
            if (qEnvironmentVariableIsSet("IX_SAVE_RENDERS")) {
                QDir().mkpath(QStringLiteral("renders"));
                picture.save(QStringLiteral("renders/toolbar-layout%1@%2x.png").arg(layout).arg(scale));
            }
        }
    }
}

}  // namespace
