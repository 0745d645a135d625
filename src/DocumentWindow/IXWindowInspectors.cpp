#include "DocumentWindow/IXWindowInspectors.h"

#include "DocumentWindow/IXPreferences.h"
#include "Inspectors/IXInspectorManager.h"
#include "Inspectors/IXInspectorView.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/System/PLLocalizedStrings.h"

#include <QAction>
#include <QDockWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>
#include <QStyle>

namespace {

constexpr int SidePaneWidth = 220;

}  // namespace

IXWindowInspectors::IXWindowInspectors(IXInspectedController& controller, QMainWindow& window)
    : m_controller(controller)
    , m_window(window)
{
}

IXWindowInspectors::~IXWindowInspectors()
{
    // The manager gives the inspectors' views back before the pane goes with the window.
    m_manager.reset();
}

QDockWidget* IXWindowInspectors::sidePane() const
{
    return m_sidePane;
}

bool IXWindowInspectors::isAllInOneLayout()
{
    return IXPreferences::applicationLayoutMode() == 0;
}

void IXWindowInspectors::documentViewsDidChange()
{
    if (!isAllInOneLayout() || !IXInspectorManager::hasInspectorClasses()) return;
    if (!m_manager) {
        m_targetView = new IXInspectorView;
        m_targetView->setMinimumWidth(SidePaneWidth);
        m_targetView->resize(SidePaneWidth, 100);
        auto* scroller = new QScrollArea;
        scroller->setWidget(m_targetView);
        scroller->setFrameShape(QFrame::NoFrame);
        scroller->setBackgroundRole(QPalette::Button);
        scroller->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        scroller->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        scroller->setFixedWidth(SidePaneWidth + scroller->style()->pixelMetric(QStyle::PM_ScrollBarExtent));
        m_sidePane = new QDockWidget(&m_window);
        m_sidePane->setObjectName(QStringLiteral("IXInspectorSidePane"));
        m_sidePane->setFeatures(QDockWidget::NoDockWidgetFeatures);
        m_sidePane->setTitleBarWidget(new QWidget(m_sidePane));
        m_sidePane->setWidget(scroller);
        m_window.addDockWidget(Qt::LeftDockWidgetArea, m_sidePane);
        m_manager = std::make_unique<IXInspectorManager>(&m_controller);
        m_manager->setTargetView(m_targetView);
    }
    m_manager->reloadSelectionOfInspectors();
}

void IXWindowInspectors::windowDidShow()
{
    static bool shown = false;
    if (isAllInOneLayout() || shown || !IXInspectorManager::hasInspectorClasses()) return;
    shown = true;
    IXInspectorManager::shared().show();
}

void IXWindowInspectors::addMenu(QMenuBar* bar)
{
    // Until an inspector exists, the window offers none of this.
    if (!IXInspectorManager::hasInspectorClasses()) return;
    // Before the Help menu, which stays last.
    auto* menu = new QMenu(PLLocalizedStrings::string(QStringLiteral("&Inspectors")), bar);
    const QList<QAction*> menus = bar->actions();
    bar->insertMenu(menus.isEmpty() ? nullptr : menus.back(), menu);
    QAction* toggle = menu->addAction(PLLocalizedStrings::string(QStringLiteral("Show inspectors")));
    toggle->setProperty("tag", 0);
    QAction* reset = menu->addAction(PLLocalizedStrings::string(QStringLiteral("Reset inspectors")));
    reset->setProperty("tag", -1);
    PLExceptionBoundary::connect(toggle, &QAction::triggered, menu, [this] { toggleInspectorPanels(); });
    PLExceptionBoundary::connect(reset, &QAction::triggered, menu, [this] { resetInspectors(); });
    PLExceptionBoundary::connect(menu, &QMenu::aboutToShow, menu, [this, menu] { menuAboutToShow(menu); });
}

void IXWindowInspectors::menuAboutToShow(QMenu* menu)
{
    if (isAllInOneLayout()) {
        QAction* toggle = menu->actions().value(menu->actions().size() - 2);
        const bool shown = m_sidePane && m_sidePane->isVisible();
        if (toggle)
            toggle->setText(PLLocalizedStrings::string(shown ? QStringLiteral("Hide inspectors")
                                                             : QStringLiteral("Show inspectors")));
        return;
    }
    IXInspectorManager& manager = IXInspectorManager::shared();
    manager.menuNeedsUpdate(menu);
    for (QAction* item : menu->actions())
        if (!item->isSeparator()) item->setEnabled(manager.validateMenuItem(item));
}

void IXWindowInspectors::toggleInspectorPanels()
{
    if (!isAllInOneLayout()) {
        IXInspectorManager::shared().toggleInspectorPanels();
        return;
    }
    if (m_sidePane) m_sidePane->setVisible(!m_sidePane->isVisible());
}

void IXWindowInspectors::resetInspectors()
{
    if (!isAllInOneLayout()) IXInspectorManager::shared().resetInspectors();
}
