#pragma once

#include <memory>

class IXReferenceNode;

// What a reference row asks of its owner from its context menu and on a double click.
class IXReferenceCellTarget {
public:
    virtual ~IXReferenceCellTarget() = default;

    // Takes the reference out of its branch.
    virtual void deleteReference(const std::shared_ptr<IXReferenceNode>& reference) = 0;
    // Opens the reference for the user.
    virtual void executeReference(const std::shared_ptr<IXReferenceNode>& reference) = 0;
};
