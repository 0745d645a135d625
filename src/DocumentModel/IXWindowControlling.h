#pragma once

#include <memory>

class IXReferenceNode;
class IXSelection;

// What the document model needs of a document window's controller, which lives in the
// application shell. The window controller implements this interface; tests use a fake that
// records what it was asked.
class IXWindowControlling {
public:
    virtual ~IXWindowControlling();

    // Makes the selection the window's selection (the controller normalises it: an empty
    // selection selects the document, a multiple one drops the document node).
    virtual void setSelection(const IXSelection& selection) = 0;
    // Shows the window's text-note editor with the note chosen for editing; does nothing
    // unless the reference is a text note or comment.
    virtual void openTextNoteEditorWithReference(const std::shared_ptr<IXReferenceNode>& reference) = 0;
};
