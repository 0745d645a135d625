#pragma once

#include "DocumentModel/IXWarning.h"

#include <QString>

#include <memory>

class IXNode;

// The repair that a branch offers for a warning whose info names one of the branch's
// references: locate the missing file in the attachments balloon. A branch answers with
// its own references (text notes, connections, attachments), so a reference that has since
// left the branch offers nothing.
class IXWarningsSolving {
public:
    // "Locate" when the warning's reference node is one of the references, else empty.
    template <typename References>
    static QString warningSolveTitle(const IXWarning& warning, const References& references)
    {
        return repairableReference(warning, references) ? locateTitle() : QString();
    }

    // Starts the attachments tool on that reference. Answers false in every case: the
    // warning stays until the user has fixed the reference.
    template <typename References>
    static bool warningSolve(const IXWarning& warning, const References& references)
    {
        if (std::shared_ptr<IXNode> reference = repairableReference(warning, references)) activateAttachmentsTool(reference);
        return false;
    }

private:
    template <typename References>
    static std::shared_ptr<IXNode> repairableReference(const IXWarning& warning, const References& references)
    {
        const std::shared_ptr<IXNode> reference = warning.referenceNode();
        if (!reference) return nullptr;
        for (const auto& candidate : references) {
            if (static_cast<const IXNode*>(candidate.get()) == reference.get()) return reference;
        }
        return nullptr;
    }

    static QString locateTitle();
    static void activateAttachmentsTool(const std::shared_ptr<IXNode>& reference);
};
