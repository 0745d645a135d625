#pragma once

// An object with a change in progress that others may have applied or dropped: an editing
// tool while it edits, registered with its document for that time.
class PLEditor {
public:
    virtual ~PLEditor();

    // Applies the pending change; false when it cannot be applied (the edit then goes on).
    virtual bool commitEditing() = 0;
    // Drops the pending change and ends the edit.
    virtual void discardEditing() = 0;
};
