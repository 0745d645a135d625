#pragma once

#include "DocumentModel/IXBranchNodeObserver.h"
#include "DocumentModel/IXNodeObserver.h"
#include "DocumentViews/IXBranchTitleView.h"
#include "DocumentViews/IXTextEditingTool.h"

#include <QPointer>
#include <QString>
#include <QTextEdit>

#include <memory>

class IXBranchNode;

// Edits a branch's title in place: a floating editor (IXBranchTitleView) over the branch's
// title on the map view, whose text becomes the title (one undoable change, named by the
// model) when the edit ends.
//
// Started by name ("IXBranchTitleTool") with the branch: by the branch cell, by typing on a
// selected branch (the key typed replaces the title; Space and F2 only open the editor with the
// title selected) and by brainstorm mode for each new branch.
//
// Ending: Return or Enter commits; Alt+Return types a line break; Escape drops the edit; Tab
// does nothing. Every other way the editor closes keeps what was typed: another tool starting,
// a click outside the map view, the window losing the focus, the window closing, saving. The
// window controller hears the key that ended the edit (currentToolDiscardedWithKeyCode): 36
// for Return and Enter, 53 for Escape and for an edit ended outside the map (a click elsewhere,
// the window losing the focus), 0 otherwise. A title changed from elsewhere, the branch leaving
// the document or the context ending closes the editor.
//
// While open, the editor has its own undo: undo: and redo: of the window reach the text, and
// nothing of the typing is left in the window's undo afterwards. Main thread only.
class IXBranchTitleTool : public IXTextEditingTool, public IXBranchNodeObserver, public IXNodeObserver {
    Q_OBJECT
public:
    explicit IXBranchTitleTool(IXToolManager* manager);
    ~IXBranchTitleTool() override;

    std::shared_ptr<IXNode> editedObject() const override;
    // The branch to edit: needs one, a branch, and none set yet.
    void setEditedObject(const std::shared_ptr<IXNode>& object) override;
    // A refused activation gives the branch back at once.
    void releaseEditedObject() override;
    const std::shared_ptr<IXBranchNode>& branchNode() const { return m_node; }
    QTextEdit* textView() const override;
    IXBranchTitleView* titleView() const { return m_frameView; }
    // The key that ended the edit so far (0 while editing).
    int keyCode() const { return m_keyCode; }

    bool activateTool() override;
    // Writes the text as the branch's title when it was changed.
    bool commitTool() override;
    void discardTool() override;
    void startWithEvent(const IXToolEvent& event) override;
    bool onSendEvent(QWindow* window, QEvent* event) override;

    // Puts the branch's title into the editor, all selected.
    void reloadText();
    // Places the editor over the title as the map shows it now.
    void adjustToDocumentView() override;

    bool respondsToSelector(std::string_view selector) const override;
    void notifiedOfNodeDetach(IXNode* node) override;
    void notifiedOfBranchNode(IXNode* branch, const QString& property) override;
    void notifiedOfLayoutContextDidLayout(IXLayoutContext* context) override;
    // The context is going away with its window: what was typed is kept first.
    void notifiedOfLayoutContextWillInvalidate(IXLayoutContext* context) override;

private:
    // The text view ended editing: commits what was typed, then ends the tool.
    void textDidEndEditing();
    void textDidBeginEditing();
    // Shows or hides the title as the map draws it.
    void showTitleOnMap(bool flag);

    std::shared_ptr<IXBranchNode> m_node;
    QPointer<IXBranchTitleView> m_frameView;
    QString m_loadedText;
    int m_keyCode = 0;
};
