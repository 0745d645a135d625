#include "Platform/Core/PLUndoTransaction.h"

#include "Platform/Core/PLUndoManager.h"

namespace {

// Undoes the step just closed without recording its redo.
void revertLastStep(PLUndoManager& undo)
{
    undo.disableUndoRegistration();
    undo.undo();
    undo.enableUndoRegistration();
}

}  // namespace

bool PLUndoTransaction::run(PLUndoManager* undoManager, const std::function<bool()>& edit)
{
    if (!undoManager || !undoManager->isUndoRegistrationEnabled() || undoManager->groupingLevel() > 0
        || undoManager->isUndoing() || undoManager->isRedoing())
        return edit();
    PLUndoManager& undo = *undoManager;
    // Whether the edit recorded anything: the open group announces its first action.
    bool recorded = false;
    const auto watch = QObject::connect(&undo, &PLUndoManager::stacksChanged, &undo, [&recorded] { recorded = true; });
    bool succeeded = false;
    undo.beginUndoGrouping();
    try {
        succeeded = edit();
    } catch (...) {
        QObject::disconnect(watch);
        undo.endUndoGrouping();
        if (recorded && undo.canUndo()) revertLastStep(undo);
        throw;
    }
    QObject::disconnect(watch);
    undo.endUndoGrouping();
    if (!succeeded && recorded && undo.canUndo()) revertLastStep(undo);
    return succeeded;
}
