#pragma once

#include "Platform/Core/PLRange.h"

#include <QObject>

#include <memory>
#include <optional>

class IXReferenceNode;
class IXTextNoteInspector;
class IXWindowController;
class QAction;

// The document window's side of the text-note editor: which editor serves the window (its own
// glued panel in the all-in-one layout, else the application's floating one), the commands
// that open, toggle and feed it, and the hooks around saving and opening. Owned by the window
// controller, which forwards the routed commands.
class IXWindowNoteEditor {
public:
    explicit IXWindowNoteEditor(IXWindowController& controller);
    ~IXWindowNoteEditor();

    // Gives the editors what the shell offers (actions, preferences, the default font and
    // colour of new notes, the picture file panel); done once at start-up.
    static void installServices();

    // The editor serving the window, made on first use.
    IXTextNoteInspector* editor();
    // The editor when it exists and serves this window, else null.
    IXTextNoteInspector* existingEditor() const;

    // Tag 1 or a branch without notes: the branch gets a new note; then the editor shows the
    // last (tag 1) or first note of the selection.
    void editTextNote(QObject* sender);
    void toggleTextEditor();
    bool isEditorVisible() const;
    // The editor on the note (when the selection holds it), the range selected in its text.
    void openNote(const std::shared_ptr<IXReferenceNode>& reference, std::optional<PLRange> range);
    // The font panel for the note text view that has the focus.
    bool orderFrontFontPanel();
    std::optional<bool> validate(QAction* item) const;

    // Commits the note being typed and stores the editor's state before a save.
    void documentWillSave();
    // Shows the editor again when the document was saved with it open (all-in-one layout).
    void restoreVisibility();
    void saveUIState();

private:
    IXWindowController& m_controller;
    std::unique_ptr<IXTextNoteInspector> m_editor;
};
