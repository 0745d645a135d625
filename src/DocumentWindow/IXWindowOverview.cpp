#include "DocumentWindow/IXWindowOverview.h"

#include "DocumentViews/IXActionItem.h"
#include "DocumentViews/IXCommandNames.h"
#include "DocumentWindow/IXAppController.h"
#include "DocumentWindow/IXPreferences.h"
#include "DocumentWindow/IXWindowController.h"
#include "Inspectors/IXOverviewInspector.h"
#include "UtilityWidgets/UTBeep.h"

#include <QAction>

namespace {

bool isMapLayout(int layout)
{
    return layout >= 0 && layout != 3 && layout != 9;
}

}  // namespace

IXWindowOverview::IXWindowOverview(IXWindowController& controller)
    : m_controller(controller)
{
}

IXWindowOverview::~IXWindowOverview() = default;

void IXWindowOverview::installServices()
{
    IXOverviewInspector::Services services;
    services.preference = [](const QString& key) { return IXPreferences::value(key); };
    services.setPreference = [](const QString& key, const QVariant& value) { IXPreferences::setValue(key, value); };
    IXOverviewInspector::installServices(std::move(services));
}

IXOverviewInspector* IXWindowOverview::overview()
{
    if (!IXAppController::allInOneUI()) return IXAppController::sharedController().overviewInspector();
    if (!m_overview) m_overview = std::make_unique<IXOverviewInspector>(&m_controller);
    return m_overview.get();
}

IXOverviewInspector* IXWindowOverview::existingOverview() const
{
    if (m_overview) return m_overview.get();
    IXOverviewInspector* shared = IXAppController::sharedController().existingOverviewInspector();
    return shared && shared->controller() == &m_controller ? shared : nullptr;
}

bool IXWindowOverview::isShowable() const
{
    return isMapLayout(m_controller.documentLayout());
}

void IXWindowOverview::toggleOverview()
{
    IXOverviewInspector* inspector = overview();
    if (inspector->isVisible()) {
        inspector->hide();
        return;
    }
    if (!isShowable()) {
        UTBeep::beep();
        return;
    }
    if (inspector->controller() != &m_controller) inspector->setController(&m_controller);
    inspector->show();
}

bool IXWindowOverview::isOverviewVisible() const
{
    const IXOverviewInspector* inspector = existingOverview();
    return inspector && inspector->isVisible();
}

std::optional<bool> IXWindowOverview::validate(QAction* item) const
{
    if (!(IXActionItem::actionOf(item) == IXCommands::ToggleOverview)) return std::nullopt;
    item->setCheckable(true);
    item->setChecked(isOverviewVisible());
    return isShowable();
}

void IXWindowOverview::documentLayoutDidChange(int previous, int layout)
{
    const bool wasMap = isMapLayout(previous);
    const bool isMap = isMapLayout(layout);
    if (wasMap && !isMap) {
        // Between the outline and the print layout the memory stays as it is.
        m_remembered = isOverviewVisible();
        if (m_remembered) existingOverview()->hide();
        return;
    }
    if (IXOverviewInspector* inspector = existingOverview()) inspector->documentViewDidChange();
    if (!wasMap && isMap && m_remembered) {
        m_remembered = false;
        toggleOverview();
    }
}
