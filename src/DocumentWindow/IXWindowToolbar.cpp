#include "DocumentWindow/IXWindowToolbar.h"

#include "DocumentModel/IXToolNames.h"
#include "DocumentViews/IXActionItem.h"
#include "DocumentViews/IXCommandNames.h"
#include "DocumentViews/IXTool.h"
#include "DocumentViews/IXToolManager.h"
#include "DocumentWindow/IXActionBridge.h"
#include "DocumentWindow/IXPreferences.h"
#include "DocumentWindow/IXToolbarCustomizationDialog.h"
#include "DocumentWindow/IXWindowController.h"
#include "DocumentWindow/IXWindowExtensions.h"
#include "MapLayout/IXLayoutContext.h"
#include "Platform/Core/PLError.h"
#include "Platform/Drawing/PLNamedImages.h"
#include "Platform/System/PLLocalizedStrings.h"
#include "Platform/System/PLResources.h"
#include "Platform/XML/PLPropertyList.h"
#include "UtilityWidgets/UTToolbarItem.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QImage>
#include <QMainWindow>
#include <QMenu>
#include <QPixmap>
#include <QSizePolicy>
#include <QToolBar>
#include <QToolButton>
#include <QVariantMap>

const QString IXWindowToolbar::Identifier = QStringLiteral("IXToolbar");
const QString IXWindowToolbar::ItemsSettingKey = QStringLiteral("IXToolbar.items");
const QString IXWindowToolbar::ShownSettingKey = QStringLiteral("IXToolbar.visible");
const QString IXWindowToolbar::SeparatorItem = QStringLiteral("IXSeparator");
const QString IXWindowToolbar::SpaceItem = QStringLiteral("IXSpace");
const QString IXWindowToolbar::FlexibleSpaceItem = QStringLiteral("IXFlexibleSpace");
const QString IXWindowToolbar::PrintItem = QStringLiteral("IXPrint");
const QString IXWindowToolbar::ShowFontsItem = QStringLiteral("IXShowFonts");
const QString IXWindowToolbar::ShowColorsItem = QStringLiteral("IXShowColors");

namespace {

const QString ViewsItem = QStringLiteral("IXViews");
const QString RootShapesItem = QStringLiteral("IXRootShapes");
const QString StylesItem = QStringLiteral("IXStyles");
// Marks a pop-up item whose menu is set up.
const char* const PopUpTag = "ixPopUpTag";

constexpr int OutlineLayout = 3;
constexpr int TimelineLayout = 4;
constexpr int PrintLayout = 9;
// A pop-up's button in the toolbar; its label may make it wider.
constexpr QSize PopUpMinimumSize(40, 32);

struct ItemSpec {
    QString identifier;
    const IXCommand* command;
    // Sent to the window controller; otherwise to whatever the action search finds.
    bool toController;
    // The sender's tag (QAction data), when the command reads one.
    std::optional<int> tag;
};

const QList<ItemSpec>& itemSpecs()
{
    using namespace IXCommands;
    static const QList<ItemSpec> specs = {
        {ViewsItem, &SwitchToView, true, std::nullopt},
        {RootShapesItem, &SwitchRootShape, true, -1},
        {StylesItem, &SwitchDocumentStyle, true, -1},
        {QStringLiteral("IXBranchCnct"), &MakeBranchConnection, true, std::nullopt},
        {QStringLiteral("IXBrainStorm"), &ToggleBrainStorm, true, std::nullopt},
        {QStringLiteral("IXFitToScreen"), &FitToScreen, true, std::nullopt},
        {QStringLiteral("IXPrintPreview"), &TogglePrintView, true, PrintLayout},
        {QStringLiteral("IXFullScreen"), &ToggleFullScreenMode, false, std::nullopt},
        {QStringLiteral("IXFilter"), &ToggleFilter, true, std::nullopt},
        {QStringLiteral("IXLevel1"), &ChangeLevel, true, 1},
        {QStringLiteral("IXLevel2"), &ChangeLevel, true, 2},
        {QStringLiteral("IXLevel3"), &ChangeLevel, true, 3},
        {QStringLiteral("IXLevel4"), &ChangeLevel, true, 4},
        {QStringLiteral("IXAllLevels"), &ChangeLevel, true, 0},
        {QStringLiteral("IXTextEditor"), &ToggleTextEditor, true, std::nullopt},
        {QStringLiteral("IXInspector"), &ToggleInspector, true, std::nullopt},
        {QStringLiteral("IXMedia"), &ToggleMedia, false, std::nullopt},
        {QStringLiteral("IXOverview"), &ToggleOverview, true, std::nullopt},
        {IXWindowToolbar::PrintItem, &PrintDocument, true, std::nullopt},
        {IXWindowToolbar::ShowFontsItem, &OrderFrontFontPanel, true, std::nullopt},
        {IXWindowToolbar::ShowColorsItem, &OrderFrontColorPanel, false, std::nullopt},
    };
    return specs;
}

const ItemSpec* specFor(const QString& identifier)
{
    for (const ItemSpec& spec : itemSpecs())
        if (spec.identifier == identifier) return &spec;
    return nullptr;
}

bool isSpacer(const QString& identifier)
{
    return identifier == IXWindowToolbar::SeparatorItem || identifier == IXWindowToolbar::SpaceItem
        || identifier == IXWindowToolbar::FlexibleSpaceItem;
}

bool isMapLayout(int layout)
{
    return layout >= 0 && layout <= 2;
}

QVariantList readList(const QString& name)
{
    QFile file(PLResources::pathFor(name + QStringLiteral(".plist")));
    if (!file.open(QIODevice::ReadOnly)) return {};
    PLError error;
    return PLPropertyList::read(file.readAll(), &error).toList();
}

QAction* addPopUpEntry(QMenu* menu, const QString& title, IXCommand command, int tag, const QIcon& icon,
                       IXWindowController& controller)
{
    QAction* entry = IXActionBridge::makeAction(title, command, menu);
    IXActionItem::setTarget(entry, &controller);
    entry->setData(tag);
    if (!icon.isNull()) entry->setIcon(icon);
    menu->addAction(entry);
    return entry;
}

// The picture of a map style: Styles/<File without extension>.jpg.
QIcon styleIcon(const QVariantMap& style)
{
    const QString file = style.value(QStringLiteral("File")).toString();
    if (file.isEmpty()) return {};
    const QString path
        = PLResources::pathFor(QFileInfo(file).completeBaseName() + QStringLiteral(".jpg"), QStringLiteral("Styles"));
    return path.isEmpty() ? QIcon() : QIcon(path);
}

}  // namespace

IXWindowToolbar::IXWindowToolbar(IXWindowController& controller, QMainWindow& window)
    : m_controller(controller)
{
    m_toolBar = new QToolBar(PLLocalizedStrings::string(QStringLiteral("Toolbar")), &window);
    m_toolBar->setObjectName(Identifier);
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolBar->setIconSize(QSize(UTToolbarItem::RegularImageSize, UTToolbarItem::RegularImageSize));
    // The View menu shows and hides it; the window's own toolbar menu would bypass the setting.
    m_toolBar->toggleViewAction()->setVisible(false);
    m_toolBar->setContextMenuPolicy(Qt::PreventContextMenu);
    window.addToolBar(Qt::TopToolBarArea, m_toolBar);

    const QVariant stored = IXPreferences::value(ItemsSettingKey);
    const QStringList chosen = stored.isValid() ? stored.toStringList() : defaultItemIdentifiers();
    for (const QString& identifier : chosen) insertItem(identifier, -1);
    const QVariant shown = IXPreferences::value(ShownSettingKey);
    m_toolBar->setVisible(!shown.isValid() || shown.toBool());
    IXActionBridge::attachToolBar(m_toolBar);
}

IXWindowToolbar::~IXWindowToolbar() = default;

QStringList IXWindowToolbar::defaultItemIdentifiers(const QString& toolbarIdentifier)
{
    if (toolbarIdentifier != Identifier) return {};
    return {ViewsItem,
            RootShapesItem,
            StylesItem,
            SeparatorItem,
            QStringLiteral("IXBranchCnct"),
            QStringLiteral("IXBrainStorm"),
            QStringLiteral("IXFitToScreen"),
            SeparatorItem,
            QStringLiteral("IXPrintPreview"),
            SeparatorItem,
            QStringLiteral("IXFullScreen"),
            FlexibleSpaceItem,
            QStringLiteral("IXFilter"),
            SeparatorItem,
            QStringLiteral("IXLevel1"),
            QStringLiteral("IXLevel2"),
            QStringLiteral("IXLevel3"),
            QStringLiteral("IXLevel4"),
            QStringLiteral("IXAllLevels"),
            SeparatorItem,
            QStringLiteral("IXTextEditor"),
            QStringLiteral("IXInspector"),
            QStringLiteral("IXMedia"),
            QStringLiteral("IXOverview")};
}

QStringList IXWindowToolbar::allowedItemIdentifiers(const QString& toolbarIdentifier)
{
    if (toolbarIdentifier != Identifier) return {};
    return {PrintItem,
            SeparatorItem,
            FlexibleSpaceItem,
            SpaceItem,
            ShowFontsItem,
            ShowColorsItem,
            QStringLiteral("IXBrainStorm"),
            QStringLiteral("IXBranchCnct"),
            QStringLiteral("IXMedia"),
            RootShapesItem,
            StylesItem,
            QStringLiteral("IXPrintPreview"),
            ViewsItem,
            QStringLiteral("IXOverview"),
            QStringLiteral("IXFitToScreen"),
            QStringLiteral("IXInspector"),
            QStringLiteral("IXTextEditor"),
            QStringLiteral("IXFilter"),
            QStringLiteral("IXFullScreen"),
            QStringLiteral("IXLevel1"),
            QStringLiteral("IXLevel2"),
            QStringLiteral("IXLevel3"),
            QStringLiteral("IXLevel4"),
            QStringLiteral("IXAllLevels")};
}

QStringList IXWindowToolbar::selectableItemIdentifiers(const QString& toolbarIdentifier)
{
    if (toolbarIdentifier != Identifier) return {};
    return {QStringLiteral("IXPrintPreview"), QStringLiteral("IXBranchCnct"), QStringLiteral("IXBrainStorm")};
}

bool IXWindowToolbar::isRepeatable(const QString& identifier)
{
    return isSpacer(identifier);
}

const QStringList& IXWindowToolbar::viewsTypes()
{
    static const QStringList types
        = {QStringLiteral("mapview_mindmap"), QStringLiteral("mapview_topdown"), QStringLiteral("mapview_leftright"),
           QStringLiteral("mapview_outline"), QStringLiteral("mapview_timeline")};
    return types;
}

QString IXWindowToolbar::viewNameForType(const QString& type)
{
    return PLLocalizedStrings::string(type + QStringLiteral("_title"));
}

QIcon IXWindowToolbar::iconForViewType(const QString& type)
{
    return namedIcon(type + QStringLiteral("_icon"));
}

QIcon IXWindowToolbar::toolbarMenuIconForType(const QString& type)
{
    return namedIcon(QStringLiteral("toolbar_") + type);
}

const QVariantList& IXWindowToolbar::rootShapesList()
{
    static const QVariantList list = readList(QStringLiteral("rootshapes"));
    return list;
}

const QVariantList& IXWindowToolbar::stylesList()
{
    static const QVariantList list = readList(QStringLiteral("docstyles"));
    return list;
}

QIcon IXWindowToolbar::namedIcon(const QString& name)
{
    // Items are validated at every selection change and focus move: their pictures are read from
    // disk once (kept as images, which may outlive the application object).
    static QHash<QString, QList<QImage>> pictures;
    auto found = pictures.find(name);
    if (found == pictures.end()) {
        QList<QImage> images;
        for (int scale : {1, 2})
            if (QImage image = PLNamedImages::imageNamedAtScale(name, scale); !image.isNull()) images.append(image);
        found = pictures.insert(name, images);
    }
    QIcon icon;
    for (const QImage& image : std::as_const(*found)) icon.addPixmap(QPixmap::fromImage(image));
    return icon;
}

UTToolbarItem* IXWindowToolbar::makeItem(const QString& identifier)
{
    if (!allowedItemIdentifiers().contains(identifier) || isSpacer(identifier)) return nullptr;
    const ItemSpec* spec = specFor(identifier);
    if (!spec) return nullptr;
    auto* item = UTToolbarItem::ixToolbarItemWithIdentifier(identifier, m_toolBar);
    // Both pictures of the item, so that it is sharp at 1x and 2x.
    const QString imageKey = identifier + QStringLiteral("Image");
    const QString imageName = PLLocalizedStrings::string(imageKey, QStringLiteral("toolbar"));
    if (imageName != imageKey) item->setIcon(namedIcon(imageName));
    IXActionBridge::bind(item, spec->command->toByteArray());
    if (spec->toController) {
        IXActionItem::setTarget(item, &m_controller);
        item->setTarget(&m_controller);
    }
    if (spec->tag) item->setData(*spec->tag);
    item->setCheckable(selectableItemIdentifiers().contains(identifier));
    return item;
}

QStringList IXWindowToolbar::itemIdentifiers() const
{
    QStringList identifiers;
    if (!m_toolBar) return identifiers;
    for (QAction* action : m_toolBar->actions()) identifiers += action->objectName();
    return identifiers;
}

void IXWindowToolbar::insertItem(const QString& identifier, int index)
{
    if (!m_toolBar || !allowedItemIdentifiers().contains(identifier)) return;
    if (!isRepeatable(identifier) && item(identifier)) return;
    const QList<QAction*> actions = m_toolBar->actions();
    QAction* before = index >= 0 && index < actions.size() ? actions.at(index) : nullptr;
    QAction* inserted = nullptr;
    if (identifier == SeparatorItem) {
        inserted = m_toolBar->insertSeparator(before);
    } else if (identifier == SpaceItem || identifier == FlexibleSpaceItem) {
        auto* space = new QWidget(m_toolBar);
        if (identifier == SpaceItem)
            space->setFixedWidth(UTToolbarItem::RegularImageSize);
        else
            space->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        inserted = m_toolBar->insertWidget(before, space);
    } else {
        UTToolbarItem* made = makeItem(identifier);
        if (!made) return;
        m_toolBar->insertAction(before, made);
        setUpPopUp(made);
        inserted = made;
    }
    inserted->setObjectName(identifier);
    if (m_toolBar->isVisible()) IXActionBridge::validate(inserted);
}

void IXWindowToolbar::setUpPopUp(UTToolbarItem* item)
{
    const QString identifier = item->itemIdentifier();
    if (identifier != ViewsItem && identifier != RootShapesItem && identifier != StylesItem) return;
    // Once per item: inserting it again keeps its menu as it is.
    if (!item->property(PopUpTag).isValid()) {
        auto* menu = new QMenu(m_toolBar);
        menu->setObjectName(identifier == ViewsItem        ? QStringLiteral("ViewsMenu")
                                : identifier == StylesItem ? QStringLiteral("StylesMenu")
                                                           : QStringLiteral("ShapesMenu"));
        if (identifier == ViewsItem) {
            for (int layout = 0; layout < viewsTypes().size(); ++layout) {
                const QString& type = viewsTypes().at(layout);
                addPopUpEntry(menu, viewNameForType(type), IXCommands::SwitchToView, layout,
                              toolbarMenuIconForType(type), m_controller);
            }
        } else if (identifier == RootShapesItem) {
            const QVariantList& shapes = rootShapesList();
            for (int index = 0; index < shapes.size(); ++index) {
                const QVariantMap shape = shapes.at(index).toMap();
                addPopUpEntry(menu, PLLocalizedStrings::string(shape.value(QStringLiteral("Title")).toString()),
                              IXCommands::SwitchRootShape, index + 1,
                              namedIcon(shape.value(QStringLiteral("ToolbarImage")).toString()), m_controller);
            }
        } else {
            const QVariantList& styles = stylesList();
            for (int index = 0; index < styles.size(); ++index) {
                const QVariantMap style = styles.at(index).toMap();
                // The styles index names its entries as the Format menu reads them.
                const QString title
                    = style.value(QStringLiteral("Name"), style.value(QStringLiteral("Title"))).toString();
                addPopUpEntry(menu, PLLocalizedStrings::string(title), IXCommands::SwitchDocumentStyle, index,
                              styleIcon(style), m_controller);
            }
        }
        IXActionBridge::attachMenu(menu);
        item->setMenu(menu);
        item->setProperty(PopUpTag, -1);
    }
    if (auto* button = qobject_cast<QToolButton*>(m_toolBar->widgetForAction(item))) {
        button->setPopupMode(QToolButton::InstantPopup);
        // Room for the label beside the menu's arrow, which the button does not count itself.
        const int labelWidth = button->fontMetrics().horizontalAdvance(item->text()) + 16;
        button->setMinimumSize(qMax(PopUpMinimumSize.width(), labelWidth), PopUpMinimumSize.height());
    }
}

void IXWindowToolbar::setItemIdentifiers(const QStringList& identifiers)
{
    if (!m_toolBar) return;
    for (QAction* action : m_toolBar->actions()) {
        m_toolBar->removeAction(action);
        // Separators and spaces belong to the toolbar, items too: they go with their buttons.
        action->deleteLater();
    }
    for (const QString& identifier : identifiers) insertItem(identifier, -1);
    storeItems();
}

void IXWindowToolbar::storeItems() const
{
    IXPreferences::setValue(ItemsSettingKey, itemIdentifiers());
}

UTToolbarItem* IXWindowToolbar::item(const QString& identifier) const
{
    if (!m_toolBar) return nullptr;
    for (QAction* action : m_toolBar->actions())
        if (action->objectName() == identifier) return qobject_cast<UTToolbarItem*>(action);
    return nullptr;
}

QMenu* IXWindowToolbar::popUpMenu(const QString& identifier) const
{
    UTToolbarItem* found = item(identifier);
    return found ? found->menu() : nullptr;
}

bool IXWindowToolbar::validateToolbarItem(QAction* item) const
{
    const QByteArray action = IXActionItem::actionOf(item);
    const int layout = m_controller.documentLayout();
    bool enabled = true;
    if (action == IXCommands::FitToScreen || action == IXCommands::ToggleOverview) {
        enabled = layout != OutlineLayout && layout != PrintLayout;
    } else if (action == IXCommands::SwitchRootShape || action == IXCommands::SwitchDocumentStyle) {
        enabled = isMapLayout(layout);
    } else if (action == IXCommands::ToggleTextEditor || action == IXCommands::SwitchToView) {
        enabled = layout != PrintLayout;
    } else if (action == IXCommands::ChangeLevel) {
        enabled = layout != TimelineLayout && layout != PrintLayout;
    } else if (action == IXCommands::ToggleFilter) {
        IXLayoutContext* context = m_controller.layoutContext();
        const bool filtered = context && context->branchFilter();
        item->setIcon(
            namedIcon(filtered ? QStringLiteral("toolbar_filter_clear") : QStringLiteral("toolbar_filter_set")));
        enabled = layout != PrintLayout && (filtered || m_controller.selectedBranch());
    } else if (action == IXCommands::ToggleBrainStorm) {
        const bool running = m_controller.isBrainStormMode();
        item->setIcon(
            namedIcon(running ? QStringLiteral("toolbar_brainstorm_on") : QStringLiteral("toolbar_brainstorm_off")));
        item->setChecked(running);
        enabled = isMapLayout(layout);
    } else if (action == IXCommands::TogglePrintView) {
        item->setChecked(layout == PrintLayout);
    } else if (action == IXCommands::MakeBranchConnection) {
        const IXTool* tool = IXToolManager::sharedManager()->currentTool();
        item->setChecked(tool && tool->inherits(IXToolNames::Connection.text()));
        enabled = isMapLayout(layout);
    }
    // An item whose command the controller does not carry does nothing yet.
    if (IXActionItem::targetOf(item) == &m_controller && !IXWindowExtensions::respondsToAction(&m_controller, action))
        return false;
    return enabled;
}

void IXWindowToolbar::validateVisibleItems() const
{
    if (!m_toolBar) return;
    for (QAction* action : m_toolBar->actions()) IXActionBridge::validate(action);
}

bool IXWindowToolbar::isShown() const
{
    return m_toolBar && !m_toolBar->isHidden();
}

void IXWindowToolbar::setShown(bool shown)
{
    if (!m_toolBar) return;
    // Inside full screen the choice is what comes back afterwards.
    if (m_shownBeforeFullScreen)
        m_shownBeforeFullScreen = shown;
    else
        m_toolBar->setVisible(shown);
    IXPreferences::setValue(ShownSettingKey, shown);
    if (shown) validateVisibleItems();
}

void IXWindowToolbar::toggleShown()
{
    setShown(m_shownBeforeFullScreen ? !*m_shownBeforeFullScreen : !isShown());
}

std::optional<bool> IXWindowToolbar::validateMenuItem(QAction* item) const
{
    const QByteArray action = IXActionItem::actionOf(item);
    if (action == IXCommands::ToggleToolbarShown) {
        const bool shown = m_shownBeforeFullScreen ? *m_shownBeforeFullScreen : isShown();
        item->setText(
            PLLocalizedStrings::string(shown ? QStringLiteral("Hide Toolbar") : QStringLiteral("Show Toolbar")));
        // Full screen has no toolbar to show.
        return !m_shownBeforeFullScreen;
    }
    if (action == IXCommands::RunToolbarCustomizationPalette) return isShown();
    return std::nullopt;
}

void IXWindowToolbar::runCustomizationPalette()
{
    if (!m_toolBar) return;
    IXToolbarCustomizationDialog dialog(itemIdentifiers(), m_toolBar->window());
    if (dialog.exec() == QDialog::Accepted) setItemIdentifiers(dialog.chosenIdentifiers());
}

void IXWindowToolbar::hideForFullScreen()
{
    if (!m_toolBar || m_shownBeforeFullScreen) return;
    m_shownBeforeFullScreen = isShown();
    m_toolBar->setVisible(false);
}

void IXWindowToolbar::restoreAfterFullScreen()
{
    if (!m_toolBar || !m_shownBeforeFullScreen) return;
    const bool shown = *m_shownBeforeFullScreen;
    m_shownBeforeFullScreen.reset();
    m_toolBar->setVisible(shown);
    if (shown) validateVisibleItems();
}
