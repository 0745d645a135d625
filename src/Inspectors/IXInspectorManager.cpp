#include "Inspectors/IXInspectorManager.h"

#include "Inspectors/IXInspectedController.h"
#include "Inspectors/IXInspectorPanel.h"
#include "Inspectors/IXInspectorPanelView.h"
#include "Inspectors/IXInspectorView.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/System/PLLocalizedStrings.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QSettings>

#include <algorithm>
#include <map>

namespace {

const QString CountKey = QStringLiteral("IXInspectorPanelCount");
// The pane that starts expanded after a reset; no standard inspector has this name.
const QString ExpandedPaneName = QStringLiteral("IXAttributesInspector");

QString panelKey(int index, const char* key)
{
    return QStringLiteral("IXInspectorPanel[%1].%2").arg(index).arg(QLatin1String(key));
}

QString collapsedKey(const QString& name)
{
    return QStringLiteral("IXInspectorPanelView[%1].collapsed").arg(name);
}

std::map<QString, IXInspectorManager::Factory>& factories()
{
    static std::map<QString, IXInspectorManager::Factory> table;
    return table;
}

IXInspectorManager::SettingsFactory& settingsFactory()
{
    static IXInspectorManager::SettingsFactory factory;
    return factory;
}

std::unique_ptr<QSettings> settings()
{
    return settingsFactory() ? settingsFactory()() : std::make_unique<QSettings>();
}

QRect visibleScreenFrame()
{
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
}

}  // namespace

IXInspectorManager::IXInspectorManager()
{
    notifyMeOnInspectorViewUpdates();
}

IXInspectorManager::IXInspectorManager(IXInspectedController* controller)
    : IXInspectorController(controller)
{
    notifyMeOnInspectorViewUpdates();
    selectionDidChange();
}

IXInspectorManager::~IXInspectorManager()
{
    // The inspectors own their views: panes, panels and the side pane give them back first.
    detachSideViews();
    for (IXInspectorPanelView* pane : m_panelViews) {
        QWidget* view = pane->currentView();
        if (view && view->parentWidget() == pane) view->setParent(nullptr);
        pane->setParent(nullptr);
    }
    qDeleteAll(m_panels);
    qDeleteAll(m_panelViews);
}

namespace {

IXInspectorManager* sharedManager = nullptr;

}  // namespace

IXInspectorManager& IXInspectorManager::shared()
{
    if (!sharedManager) {
        sharedManager = new IXInspectorManager;
        sharedManager->setTracksActiveController(true);
    }
    return *sharedManager;
}

void IXInspectorManager::storeSharedPanels()
{
    if (sharedManager) sharedManager->close();
}

QStringList IXInspectorManager::inspectorClassNames()
{
    return {QStringLiteral("IXMindMapInspector"),    QStringLiteral("IXBranchInspector"),
            QStringLiteral("IXPictureInspector"),    QStringLiteral("IXCommentInspector"),
            QStringLiteral("IXConnectionInspector"), QStringLiteral("IXObjectListInspector"),
            QStringLiteral("IXIconsInspector")};
}

void IXInspectorManager::registerInspectorClass(const QString& className, Factory factory)
{
    factories()[className] = std::move(factory);
}

bool IXInspectorManager::hasInspectorClasses()
{
    const QStringList names = inspectorClassNames();
    return std::any_of(names.begin(), names.end(), [](const QString& name) { return factories().contains(name); });
}

bool IXInspectorManager::isInspectorClassRegistered(const QString& className)
{
    return factories().contains(className);
}

void IXInspectorManager::installSettings(SettingsFactory settings)
{
    settingsFactory() = std::move(settings);
}

// --- Inspectors and panes ---

const std::vector<std::unique_ptr<IXInspectorController>>& IXInspectorManager::subcontrollers()
{
    if (m_controllersMade) return m_controllers;
    m_controllersMade = true;
    for (const QString& name : inspectorClassNames()) {
        const auto found = factories().find(name);
        if (found == factories().end() || !found->second) continue;
        if (auto inspector = found->second()) {
            m_controllers.push_back(std::move(inspector));
            m_controllerNames << name;
        }
    }
    return m_controllers;
}

QList<IXInspectorPanelView*> IXInspectorManager::panelViews()
{
    if (!m_panelViews.isEmpty() || m_targetView) return m_panelViews;
    const auto store = settings();
    subcontrollers();
    for (size_t i = 0; i < m_controllers.size(); ++i) {
        auto* pane = new IXInspectorPanelView(this);
        pane->setController(m_controllers[i].get());
        pane->setName(m_controllerNames[qsizetype(i)]);
        const QVariant collapsed = store->value(collapsedKey(pane->name()));
        if (collapsed.isValid()) pane->setCollapsed(collapsed.toBool());
        m_panelViews << pane;
    }
    return m_panelViews;
}

IXInspectorController* IXInspectorManager::inspectorForName(const QString& className)
{
    subcontrollers();
    const qsizetype index = m_controllerNames.indexOf(className);
    if (index >= 0) return m_controllers[size_t(index)].get();
    for (const auto& inspector : m_controllers)
        if (inspector->inherits(className.toLatin1().constData())) return inspector.get();
    return nullptr;
}

void IXInspectorManager::setController(IXInspectedController* controller)
{
    IXInspectorController::setController(controller);
    for (const auto& inspector : subcontrollers()) inspector->setController(controller);
}

void IXInspectorManager::controllerDidChange()
{
    // Floating panels stay above the window they inspect.
    if (!m_targetView) setPanelsTransientParent(controller() ? controller()->window() : nullptr);
}

void IXInspectorManager::selectionDidChange()
{
    for (const auto& inspector : subcontrollers()) {
        inspector->setController(controller());
        inspector->setSelection(selection());
    }
    reloadViews();
}

void IXInspectorManager::reloadSelectionOfInspectors()
{
    for (const auto& inspector : subcontrollers()) inspector->reloadSelection();
    reloadViews();
}

void IXInspectorManager::inspectorViewUpdateNotification(IXInspectorController*)
{
    reloadViews();
}

void IXInspectorManager::setTargetView(IXInspectorView* view)
{
    m_targetView = view;
}

IXInspectorView* IXInspectorManager::targetView() const
{
    return m_targetView;
}

void IXInspectorManager::detachSideViews()
{
    if (!m_targetView) return;
    for (QWidget* child : m_targetView->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        child->hide();
        child->setParent(nullptr);
    }
}

void IXInspectorManager::reloadViews()
{
    if (!m_panelViews.isEmpty()) {
        for (IXInspectorPanelView* pane : m_panelViews) pane->updateInspectorView();
        return;
    }
    if (!m_targetView) return;
    detachSideViews();
    for (const auto& inspector : subcontrollers()) {
        if (!inspector->isApplicable()) continue;
        QWidget* view = inspector->inspectorView();
        if (!view) continue;
        if (auto* section = qobject_cast<IXInspectorView*>(view)) {
            section->setTitle(inspector->inspectorTitle());
            section->tile();
        }
        view->setParent(m_targetView);
        view->show();
    }
    m_targetView->tile();
}

// --- Floating panels ---

QList<IXInspectorPanel*> IXInspectorManager::panels()
{
    if (!m_panelsMade && !m_targetView) {
        m_panelsMade = true;
        buildPanels();
    }
    return m_panels;
}

void IXInspectorManager::buildPanels()
{
    subcontrollers();
    const auto store = settings();
    const int count = store->value(CountKey).toInt();
    if (count < 1) {
        setDefaultsInspectorPanels();
        return;
    }
    const QList<IXInspectorPanelView*> panes = panelViews();
    QList<IXInspectorPanel*> unplaced;
    for (int i = 0; i < count; ++i) {
        IXInspectorPanel* panel = newPanel();
        const QVariant visible = store->value(panelKey(i, "visible"));
        if (visible.isValid()) panel->setInspectorVisible(visible.toBool());
        for (const QString& name : store->value(panelKey(i, "views")).toString().split(u';', Qt::SkipEmptyParts))
            for (IXInspectorPanelView* pane : panes)
                if (pane->name() == name) {
                    pane->setParent(panel);
                    pane->show();
                    break;
                }
        const QRect frame = store->value(panelKey(i, "frame")).toRect();
        for (IXInspectorPanelView* pane : panel->panes()) pane->updateInspectorView();
        if (frame.isValid())
            panel->setGeometry(frame);
        else
            unplaced << panel;
    }
    placePanels(unplaced);
}

void IXInspectorManager::placePanels(const QList<IXInspectorPanel*>& unplaced)
{
    const QRect visible = visibleScreenFrame();
    const int startTop = visible.top() + ScreenInset;
    int top = startTop;
    int right = visible.right() + 1 - ScreenInset;
    IXInspectorPanel* previous = nullptr;
    for (IXInspectorPanel* panel : unplaced) {
        for (IXInspectorPanelView* pane : panel->panes()) pane->updateInspectorView();
        if (previous && top + panel->height() > visible.bottom() + 1) {
            right -= previous->width() + ScreenInset;
            top = startTop;
        }
        panel->move(right - panel->width(), top);
        top += panel->height() + PanelSpacing;
        previous = panel;
    }
}

IXInspectorPanel* IXInspectorManager::newPanel()
{
    auto* panel = new IXInspectorPanel;
    m_panels << panel;
    if (controller()) panel->setTransientParentWindow(controller()->window());
    return panel;
}

IXInspectorPanel* IXInspectorManager::makeWindowForPanelView(IXInspectorPanelView* pane)
{
    panels();
    IXInspectorPanel* panel = newPanel();
    pane->setParent(panel);
    pane->show();
    return panel;
}

void IXInspectorManager::closeWindow(IXInspectorPanel* panel)
{
    m_panels.removeAll(panel);
    panel->hide();
    // Panes still inside stay the manager's.
    for (IXInspectorPanelView* pane : panel->panes()) pane->setParent(nullptr);
    // Docking closes the panel from inside its own mouse event.
    panel->deleteLater();
}

void IXInspectorManager::closeInspectorPanel(IXInspectorPanel* panel)
{
    panel->setInspectorVisible(false);
    panel->hidePanel();
}

void IXInspectorManager::setDefaultsInspectorPanels()
{
    for (IXInspectorPanel* panel : QList<IXInspectorPanel*>(m_panels)) closeWindow(panel);
    m_panelsMade = true;
    const QList<IXInspectorPanelView*> panes = panelViews();
    IXInspectorPanel* panel = newPanel();
    QStringList names;
    for (IXInspectorPanelView* pane : panes) {
        names << pane->name();
        pane->setCollapsed(pane->name() != ExpandedPaneName);
        pane->setParent(panel);
        pane->show();
    }
    const auto store = settings();
    store->setValue(CountKey, 1);
    store->setValue(panelKey(0, "views"), names.join(u';'));
    store->remove(panelKey(0, "frame"));
    placePanels({panel});
}

bool IXInspectorManager::areInspectorsVisible() const
{
    for (IXInspectorPanel* panel : m_panels)
        if (panel->isVisible()) return true;
    return false;
}

void IXInspectorManager::show()
{
    for (IXInspectorPanel* panel : panels()) panel->showPanel();
}

void IXInspectorManager::hide()
{
    for (IXInspectorPanel* panel : m_panels) panel->hidePanel();
}

void IXInspectorManager::toggleInspectorPanels()
{
    if (panels().isEmpty()) {
        resetInspectors();
        return;
    }
    if (areInspectorsVisible()) {
        for (IXInspectorPanel* panel : m_panels) panel->setInspectorVisible(panel->isVisible());
        hide();
        return;
    }
    bool anyChosen = false;
    for (IXInspectorPanel* panel : m_panels) anyChosen = anyChosen || panel->isInspectorVisible();
    if (!anyChosen)
        for (IXInspectorPanel* panel : m_panels) panel->setInspectorVisible(true);
    show();
}

void IXInspectorManager::resetInspectors()
{
    setDefaultsInspectorPanels();
    show();
}

void IXInspectorManager::showPane(IXInspectorPanelView* pane)
{
    pane->setCollapsed(false);
    IXInspectorPanel* panel = pane->panel();
    if (!panel) {
        panel = makeWindowForPanelView(pane);
        pane->updateInspectorView();
        panel->show();
    } else if (!panel->isVisible()) {
        panel->setInspectorVisible(true);
        panel->showPanel();
    }
}

void IXInspectorManager::bringToFrontPaneForName(const QString& className)
{
    if (m_targetView) return;
    IXInspectorController* inspector = inspectorForName(className);
    for (IXInspectorPanelView* pane : panelViews())
        if (inspector && pane->controller() == inspector) {
            panels();
            showPane(pane);
            return;
        }
}

IXInspectorPanelView* IXInspectorManager::paneForItem(QAction* item, int tagBase)
{
    if (auto* pane = static_cast<IXInspectorPanelView*>(item->data().value<void*>());
        pane && m_panelViews.contains(pane))
        return pane;
    const int index = item->property("tag").toInt() - tagBase;
    return index >= 0 && index < m_panelViews.size() ? m_panelViews[index] : nullptr;
}

void IXInspectorManager::toggleInspector(QAction* item)
{
    if (m_targetView || !item) return;
    panels();
    IXInspectorPanelView* pane = paneForItem(item, 1);
    if (!pane) return;
    if (pane->panel() && pane->panel()->isVisible())
        pane->setCollapsed(!pane->isCollapsed());
    else
        showPane(pane);
}

void IXInspectorManager::close()
{
    if (!m_targetView && m_panelsMade) {
        const auto store = settings();
        store->setValue(CountKey, int(m_panels.size()));
        for (int i = 0; i < m_panels.size(); ++i) {
            IXInspectorPanel* panel = m_panels[i];
            store->setValue(panelKey(i, "frame"), panel->geometry());
            QStringList names;
            for (IXInspectorPanelView* pane : panel->panes()) names << pane->name();
            store->setValue(panelKey(i, "views"), names.join(u';'));
            store->setValue(panelKey(i, "visible"), panel->isInspectorVisible());
        }
        for (IXInspectorPanelView* pane : m_panelViews)
            store->setValue(collapsedKey(pane->name()), pane->isCollapsed());
    }
    hide();
}

void IXInspectorManager::setPanelsTransientParent(QWidget* window)
{
    for (IXInspectorPanel* panel : m_panels) panel->setTransientParentWindow(window);
}

// --- The Inspectors menu ---

void IXInspectorManager::menuNeedsUpdate(QMenu* menu)
{
    if (m_fixedMenuItemsCount < 0) m_fixedMenuItemsCount = int(menu->actions().size());
    while (menu->actions().size() > m_fixedMenuItemsCount) {
        QAction* first = menu->actions().front();
        menu->removeAction(first);
        first->deleteLater();
    }
    QAction* before = menu->actions().isEmpty() ? nullptr : menu->actions().front();
    int k = 0;
    for (IXInspectorPanelView* pane : panelViews()) {
        const QString title = pane->controller() ? pane->controller()->inspectorTitle() : QString();
        if (title.isNull()) continue;
        auto* item = new QAction(title, menu);
        item->setData(QVariant::fromValue(static_cast<void*>(pane)));
        item->setProperty("tag", ++k);
        item->setCheckable(true);
        PLExceptionBoundary::connect(item, &QAction::triggered, this, [this, item] { toggleInspector(item); });
        menu->insertAction(before, item);
    }
    if (k > 0) {
        auto* separator = new QAction(menu);
        separator->setSeparator(true);
        menu->insertAction(before, separator);
    }
}

bool IXInspectorManager::validateMenuItem(QAction* item)
{
    const int tag = item->property("tag").toInt();
    if (tag == 0) {
        item->setText(PLLocalizedStrings::string(areInspectorsVisible() ? QStringLiteral("Hide inspectors")
                                                                        : QStringLiteral("Show inspectors")));
        return true;
    }
    IXInspectorPanelView* pane = paneForItem(item, 1);
    if (!pane) return true;
    const bool on = pane->panel() && pane->panel()->isVisible() && !pane->isCollapsed();
    item->setChecked(on);
    return pane->controller() && pane->controller()->isApplicable();
}
