#pragma once

#include "Platform/Core/PLRange.h"

#include <memory>

class IXDocumentNode;
class IXOpenDocument;
class IXReferenceNode;
class IXSelection;

// What the document model and the map layout need of a document window's controller, which
// lives in the application shell. The window controller implements this interface; tests use a
// fake that records what it was asked. A controller that wants the notices of the layout
// contexts it creates also derives from their observer protocol; the contexts register it.
class IXWindowControlling {
public:
    virtual ~IXWindowControlling();

    // Makes the selection the window's selection (the controller normalises it: an empty
    // selection selects the document, a multiple one drops the document node).
    virtual void setSelection(const IXSelection& selection) = 0;
    // Shows the window's text-note editor with the note chosen for editing; does nothing
    // unless the reference is a text note or comment.
    virtual void openTextNoteEditorWithReference(const std::shared_ptr<IXReferenceNode>& reference) = 0;
    // The same, then selects the range of the note's text and scrolls it into view (a found
    // text, a misspelled word).
    virtual void openTextNoteEditorSelectingRange(const std::shared_ptr<IXReferenceNode>& reference, PLRange range)
    {
        (void)range;
        openTextNoteEditorWithReference(reference);
    }

    // The document of the window and its node; a layout context keeps the node alive.
    virtual IXOpenDocument* document() const = 0;
    virtual std::shared_ptr<IXDocumentNode> documentNode() const = 0;
    // Appends a new empty branch (undoable) to the last selected branch, else to the last root
    // branch, expands that parent and selects the new branch on the next turn of the event
    // loop; beeps when there is no branch.
    virtual void addSubbranch() = 0;
    // The window's view mode: 0 mind map, 1 top-down, 2 left-right, 3 outline, 4 timeline,
    // 9 print.
    virtual int documentLayout() const = 0;

    // Told by the branch title tool when its edit ends, with the key that ended it (36 Return,
    // 53 Escape or an edit ended outside the map, 0 otherwise); brainstorm mode follows it.
    virtual void currentToolDiscardedWithKeyCode(int keyCode) { }
};
