#pragma once

#include "DocumentModel/IXCommentNodeObserver.h"
#include "DocumentModel/IXNodeObserver.h"
#include "DocumentViews/IXCommentTitleView.h"
#include "DocumentViews/IXTextEditingTool.h"

#include <QPointer>
#include <QString>

#include <memory>

class IXCommentNode;

// Edits a floating text in place: a floating editor (IXCommentTitleView) over the text on the
// map view, whose text becomes the floating comment's title (one undoable change, named by the
// model) when the edit ends. The twin of the branch title tool (IXBranchTitleTool).
//
// Started by name ("IXCommentTitleTool") with the comment: by a double click on the floating
// text and by typing while a floating text is selected (the key typed goes on after the text;
// Space and F2 only open the editor).
//
// Ending: Escape drops what was typed; every other way the editor closes keeps it: Return,
// Enter or Tab, a click on the map outside the editor, scrolling the map, another tool
// starting, the editor losing the keyboard focus, the window closing, saving. Alt+Return types
// a line break. A click outside the map (a panel, the menu bar) leaves the editor open. A
// title changed from elsewhere, the comment leaving the document or the context ending
// closes the editor; a new layout places it again and, until something was typed, reloads the
// text from the model. While open the editor has its own undo. Main thread only.
class IXCommentTitleTool : public IXTextEditingTool, public IXCommentNodeObserver, public IXNodeObserver {
    Q_OBJECT
public:
    explicit IXCommentTitleTool(IXToolManager* manager);
    ~IXCommentTitleTool() override;

    std::shared_ptr<IXNode> editedObject() const override;
    // The floating text to edit: needs one, a comment, and none set yet.
    void setEditedObject(const std::shared_ptr<IXNode>& object) override;
    void releaseEditedObject() override;
    const std::shared_ptr<IXCommentNode>& commentNode() const { return m_node; }
    QTextEdit* textView() const override;
    IXCommentTitleView* titleView() const { return m_frameView; }

    bool activateTool() override;
    // Writes the text as the comment's title when it was changed.
    bool commitTool() override;
    void discardTool() override;
    void startWithEvent(const IXToolEvent& event) override;
    bool onSendEvent(QWindow* window, QEvent* event) override;

    // Puts the comment's title into the editor, the caret at its end.
    void reloadText();
    // Places the editor over the floating text as the map shows it now.
    void adjustToDocumentView() override;

    bool respondsToSelector(std::string_view selector) const override;
    void notifiedOfNodeDetach(IXNode* node) override;
    void notifiedOfCommentNode(IXCommentNode* comment, const QString& property) override;
    void notifiedOfLayoutContextDidLayout(IXLayoutContext* context) override;
    // The context is going away with its window: what was typed is kept first.
    void notifiedOfLayoutContextWillInvalidate(IXLayoutContext* context) override;

private:
    // Commits what was typed (when the edit began), then ends the tool.
    void closeEditor();
    // Shows or hides the text as the map draws it.
    void showTextOnMap(bool flag);

    std::shared_ptr<IXCommentNode> m_node;
    QPointer<IXCommentTitleView> m_frameView;
    QString m_loadedText;
};
