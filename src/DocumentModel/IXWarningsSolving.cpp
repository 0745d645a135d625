#include "DocumentModel/IXWarningsSolving.h"

#include "DocumentModel/IXToolManaging.h"
#include "Platform/System/PLLocalizedStrings.h"

QString IXWarningsSolving::locateTitle()
{
    return PLLocalizedStrings::string(QStringLiteral("Locate"));
}

void IXWarningsSolving::activateAttachmentsTool(const std::shared_ptr<IXNode>& reference)
{
    if (IXToolManaging* manager = IXToolManaging::sharedManager())
        manager->activateToolNamed(IXToolNames::Attachments, reference, nullptr, nullptr);
}
