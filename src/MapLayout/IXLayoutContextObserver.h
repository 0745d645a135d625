#pragma once

#include "Utilities/UTObserver.h"

#include <memory>

class IXBranchNode;
class IXLayoutContext;
class IXSelection;

// Notices of a layout context to the views, tools and window controller that show or edit
// it. Observers override the ones they need and name them in respondsToSelector.
class IXLayoutContextObserver : public virtual UTObserver {
public:
    // "notifiedOfLayoutContextDidInit:": the context was made (its view and controller hear it).
    virtual void notifiedOfLayoutContextDidInit(IXLayoutContext* context) {}
    // "notifiedOfLayoutContextWillInvalidate:": the context is ending; its cells still exist.
    virtual void notifiedOfLayoutContextWillInvalidate(IXLayoutContext* context) {}
    // "notifiedOfLayoutContextDidLayout:": a layout of the context finished.
    virtual void notifiedOfLayoutContextDidLayout(IXLayoutContext* context) {}
    // "notifiedOfLayoutContext:willChangeSelection:" with the current selection, and
    // "notifiedOfLayoutContext:didChangeSelection:" with the new one.
    virtual void notifiedOfLayoutContextWillChangeSelection(IXLayoutContext* context, const IXSelection& selection) {}
    virtual void notifiedOfLayoutContextDidChangeSelection(IXLayoutContext* context, const IXSelection& selection) {}
    // "notifiedOfLayoutContext:willChangeHighlights:" / "...didChangeHighlights:".
    virtual void notifiedOfLayoutContextWillChangeHighlights(IXLayoutContext* context, const IXSelection& highlights) {}
    virtual void notifiedOfLayoutContextDidChangeHighlights(IXLayoutContext* context, const IXSelection& highlights) {}
    // "notifiedOfLayoutContext:willChangeFilter:" with the old filter (may be null) and
    // "notifiedOfLayoutContext:didChangeFilter:" with the new one.
    virtual void notifiedOfLayoutContextWillChangeFilter(IXLayoutContext* context, const std::shared_ptr<IXBranchNode>& filter) {}
    virtual void notifiedOfLayoutContextDidChangeFilter(IXLayoutContext* context, const std::shared_ptr<IXBranchNode>& filter) {}
};
