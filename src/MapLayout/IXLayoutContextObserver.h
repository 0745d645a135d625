#pragma once

#include "Utilities/UTNotification.h"
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

// The notices, each tied to its method (several share the first keyword, so their selector
// texts are spelled out).
inline constexpr UTNotification IXLayoutContextDidInit{"notifiedOfLayoutContextDidInit:",
                                                       &IXLayoutContextObserver::notifiedOfLayoutContextDidInit};
inline constexpr UTNotification IXLayoutContextWillInvalidate{"notifiedOfLayoutContextWillInvalidate:",
                                                              &IXLayoutContextObserver::notifiedOfLayoutContextWillInvalidate};
inline constexpr UTNotification IXLayoutContextDidLayout{"notifiedOfLayoutContextDidLayout:",
                                                         &IXLayoutContextObserver::notifiedOfLayoutContextDidLayout};
inline constexpr UTNotification IXLayoutContextWillChangeSelection{
    "notifiedOfLayoutContext:willChangeSelection:", &IXLayoutContextObserver::notifiedOfLayoutContextWillChangeSelection};
inline constexpr UTNotification IXLayoutContextDidChangeSelection{
    "notifiedOfLayoutContext:didChangeSelection:", &IXLayoutContextObserver::notifiedOfLayoutContextDidChangeSelection};
inline constexpr UTNotification IXLayoutContextWillChangeHighlights{
    "notifiedOfLayoutContext:willChangeHighlights:", &IXLayoutContextObserver::notifiedOfLayoutContextWillChangeHighlights};
inline constexpr UTNotification IXLayoutContextDidChangeHighlights{
    "notifiedOfLayoutContext:didChangeHighlights:", &IXLayoutContextObserver::notifiedOfLayoutContextDidChangeHighlights};
inline constexpr UTNotification IXLayoutContextWillChangeFilter{
    "notifiedOfLayoutContext:willChangeFilter:", &IXLayoutContextObserver::notifiedOfLayoutContextWillChangeFilter};
inline constexpr UTNotification IXLayoutContextDidChangeFilter{
    "notifiedOfLayoutContext:didChangeFilter:", &IXLayoutContextObserver::notifiedOfLayoutContextDidChangeFilter};
