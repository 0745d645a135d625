#include "Inspectors/IXTimeScaleChange.h"

#include "DocumentModel/IXApplicationServices.h"
#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "Inspectors/IXInspectorForms.h"
#include "Platform/Core/PLUndoManager.h"

bool IXTimeScaleChange::confirmAndApply(IXDocumentNode& document, int type, PLUndoManager* undo)
{
    if (type == document.timeScaleType()) return false;
    IXApplicationServices* services = IXApplicationServices::shared();
    const bool confirmed = services
        && services->runConfirmation(IXInspectorForms::localized("TimeScaleTypeWillChangeTitle"),
                                     IXInspectorForms::localized("TimeScaleTypeWillChangeMessage"),
                                     IXInspectorForms::localized("OK"), IXInspectorForms::localized("Cancel"));
    if (!confirmed) return false;
    if (undo) undo->beginUndoGrouping();
    document.setTimeScaleType(type);
    for (const auto& root : document.rootBranches())
        if (root && root->isBranch()) static_cast<IXBranchNode&>(*root).resetDates();
    if (undo) undo->endUndoGrouping();
    return true;
}
