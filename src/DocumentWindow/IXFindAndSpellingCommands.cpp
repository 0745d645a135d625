#include "DocumentWindow/IXFindAndSpellingCommands.h"

#include "DocumentViews/IXActionItem.h"
#include "DocumentViews/IXCommandNames.h"
#include "DocumentWindow/IXPreferences.h"
#include "Inspectors/IXSearchController.h"
#include "Inspectors/IXSpellCheckingController.h"

#include <QAction>
#include <QSettings>

namespace {

int tagOf(QObject* sender)
{
    auto* item = qobject_cast<QAction*>(sender);
    return item ? item->data().toInt() : 0;
}

}  // namespace

void IXFindAndSpellingCommands::install()
{
    static IXFindAndSpellingCommands state;
    IXSearchController::installSettings([] { return IXPreferences::settings(); });
    IXSpellCheckingController::installSettings([] { return IXPreferences::settings(); });
    IXContinuousSpellChecking::install(&state);
}

void IXFindAndSpellingCommands::ixFindPanelAction(QObject* sender)
{
    IXSearchController::sharedController().ixFindPanelAction(tagOf(sender));
}

void IXFindAndSpellingCommands::checkSpelling(QObject*)
{
    IXSpellCheckingController::sharedController().checkSpelling();
}

void IXFindAndSpellingCommands::showGuessPanel(QObject*)
{
    IXSpellCheckingController::sharedController().showGuessPanel();
}

void IXFindAndSpellingCommands::toggleContinuousSpellChecking(QObject*)
{
    IXSpellCheckingController::sharedController().toggleContinuousSpellChecking();
}

std::optional<bool> IXFindAndSpellingCommands::validateMenuItem(QAction* item)
{
    const QByteArray action = IXActionItem::actionOf(item);
    if (action == IXCommands::IxFindPanelAction)
        return IXSearchController::sharedController().validateFindPanelAction(item->data().toInt());
    if (action == IXCommands::ToggleContinuousSpellChecking) {
        item->setCheckable(true);
        item->setChecked(IXSpellCheckingController::sharedController().continuousSpellChecking());
        return true;
    }
    if (action == IXCommands::CheckSpelling || action == IXCommands::ShowGuessPanel) return true;
    return std::nullopt;
}

bool IXFindAndSpellingCommands::continuousSpellChecking() const
{
    return IXSpellCheckingController::sharedController().continuousSpellChecking();
}
