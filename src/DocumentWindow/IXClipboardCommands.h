#pragma once

#include <QByteArray>
#include <QList>

#include <memory>
#include <optional>

class IXBranchNode;
class IXNode;
class IXWindowController;
class QAction;
class QMimeData;
class QObject;

// Copy, cut and paste of the document window, and the detaching of branches into a new
// document. Copied nodes never travel through the clipboard: it carries the program's own
// types with a marker (IXPasteboard), and for branches their tab-indented text for other
// programs, while deep copies of the nodes stay in the application's local buffer
// (IXAppController::saveNodes) with the name of the layout they were copied from. Each paste
// restores fresh copies, so two pastes of one copy are independent.
//
// Paste takes the first case that applies: styles alone (pasteStyles), the buffer's nodes,
// the buffer's attachments, a picture, then text (tab-indented text becomes branches; a blank
// or one-character text with rich text beside it takes the rich text's first picture). A
// paste is one undo step, and one that fails part way leaves nothing behind. A paste that
// finds nothing usable changes nothing and says nothing.
//
// The window controller owns one and routes its commands here. Main thread only.
class IXClipboardCommands {
public:
    explicit IXClipboardCommands(IXWindowController& controller);

    void copy(QObject* sender);
    void copyStyles(QObject* sender);
    // Copy, then delete.
    void cut(QObject* sender);
    // Removes the selected nodes and clears the selection.
    void deleteSelection(QObject* sender);
    void paste(QObject* sender);
    void pasteWithoutStyles(QObject* sender);
    void pasteStyles(QObject* sender);
    // Cuts the selected branches into a new untitled document's window.
    void detachBranchAsDocument(QObject* sender);

    // Puts the picture's bytes on the selected branch, else floating at the centre of the
    // visible area, stored in the package under a fresh id; nothing when they form no picture.
    bool pastePicture(const QByteArray& bytes);
    // Keeps copies of the attachments in the application's buffer and offers them on the
    // clipboard under the attachments type alone; pasting adds them to the selected branch.
    static void copyAttachments(const QList<std::shared_ptr<IXNode>>& attachments);

    // Whether the item of one of these commands is enabled; none for other commands.
    std::optional<bool> validateMenuItem(QAction* item) const;

private:
    void copyAs(bool selection, bool styles, bool string);
    void pasteNodesAndStyles(bool nodes, bool styles);
    bool pasteStylesFromBuffer();
    bool pasteNodesFromBuffer(bool styles);
    bool pasteAttachmentsFromBuffer();
    bool pasteText(const QMimeData* data);
    // The selected branch, none for the document node.
    std::shared_ptr<IXBranchNode> targetBranch() const;

    IXWindowController& m_controller;
};
