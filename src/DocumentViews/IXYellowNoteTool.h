#pragma once

#include "DocumentModel/IXCommentNodeObserver.h"
#include "DocumentModel/IXNodeObserver.h"
#include "DocumentViews/IXEditorSpelling.h"
#include "DocumentViews/IXTool.h"
#include "DocumentViews/IXYellowNoteView.h"

#include <QList>
#include <QMenu>
#include <QPointer>
#include <QString>

#include <memory>
#include <optional>

class IXBranchNode;
class IXCommentNode;

// Shows a branch's comment as a yellow note (IXYellowNoteView) over the map, or over the
// outline's rows, and edits its text: the comment's title, one undoable change (named by the
// model) each time the text stops being edited. The note stays open while the text loses and
// takes the focus.
//
// Started by name ("IXYellowNoteTool") with the comment: by the branch's note indicator, the
// outline's comment column, the find and spelling panels and the window's addComment: command.
// Placed at the note indicator plus the comment's stored offset ("floating.targetOffset"),
// "comment.text.width" wide (160 below 100); in the outline beside the row's comment cell;
// elsewhere at (200, 200). Moving the header and dragging the grip (100 to 400) write the offset
// and the width on release, each an undoable style change; they are offered only at a note
// indicator. A right click or control-click in the header offers "Delete", which removes the
// comment.
//
// Closing: Escape closes without writing what was typed; every other way writes it first: the
// close box, a click on the map (or outline) outside the note, a selection without the note's
// branch, scrolling, the note leaving its window, another tool starting, the window closing.
// The comment leaving the document closes the note. A new layout places it again; a title
// changed from elsewhere is shown unless something was typed. Main thread only.
class IXYellowNoteTool : public IXTool, public IXCommentNodeObserver, public IXNodeObserver {
    Q_OBJECT
public:
    explicit IXYellowNoteTool(IXToolManager* manager);
    ~IXYellowNoteTool() override;

    std::shared_ptr<IXNode> editedObject() const override;
    // The comment to show: needs one, a comment, and none set yet.
    void setEditedObject(const std::shared_ptr<IXNode>& object) override;
    void releaseEditedObject() override;
    const std::shared_ptr<IXCommentNode>& commentNode() const { return m_node; }
    QTextEdit* textView() const override;
    IXYellowNoteView* noteView() const { return m_frameView; }
    // The header's menu while it is shown.
    QMenu* headerMenu() const { return m_headerMenu; }

    bool activateTool() override;
    // Writes the text as the comment's title when it was changed.
    bool commitTool() override;
    void discardTool() override;
    void startWithEvent(const IXToolEvent& event) override;
    bool onSendEvent(QWindow* window, QEvent* event) override;

    // Puts the comment's title into the note.
    void reloadText();
    // Places the note as the map (or outline) shows the branch now.
    void adjustToDocumentView();
    // The header menu's action: removes the comment from its branch.
    void removeComment();

    bool respondsToSelector(std::string_view selector) const override;
    void notifiedOfNodeDetach(IXNode* node) override;
    void notifiedOfCommentNode(IXCommentNode* comment, const QString& property) override;
    void notifiedOfLayoutContextDidLayout(IXLayoutContext* context) override;
    void notifiedOfLayoutContextDidChangeSelection(IXLayoutContext* context, const IXSelection& selection) override;
    // The context is going away with its window: what was typed is kept first.
    void notifiedOfLayoutContextWillInvalidate(IXLayoutContext* context) override;

private:
    // The view the note lies on: the map view, or the outline's rows.
    QWidget* host() const;
    IXBranchNode* branch() const;
    // Writes what was typed, then ends the tool.
    void closeNote();
    void gestureEnded(IXYellowNoteView::Gesture gesture);
    // The note indicator's corner in the host's y-up space, when the branch shows one.
    std::optional<PLPoint> commentCellOrigin() const;
    void showHeaderMenu(QPoint globalPosition);

    std::shared_ptr<IXCommentNode> m_node;
    QPointer<IXYellowNoteView> m_frameView;
    QPointer<QMenu> m_headerMenu;
    IXEditorSpelling m_spelling;
    QString m_loadedText;
    // The outline's scroll bars, which close the note.
    QList<QMetaObject::Connection> m_scrolling;
};
