#pragma once

#include "DocumentModel/IXBranchNodeObserver.h"
#include "DocumentModel/IXCommentNodeObserver.h"
#include "DocumentModel/IXNodeObserver.h"
#include "DocumentModel/IXReferenceNodeObserver.h"
#include "Inspectors/IXInspectorController.h"
#include "Platform/Core/PLEditor.h"

#include <QPointer>
#include <QRect>
#include <QTextCharFormat>
#include <QVariant>

#include <functional>
#include <memory>
#include <optional>

class IXBranchNode;
class IXColorWell;
class IXCommentNode;
class IXDocumentNode;
class IXNoteRulerView;
class IXNoteTextView;
class IXOpenDocument;
class IXSlavePanel;
class QLabel;
class QToolButton;
class QVariantAnimation;
class UTControlsFrameBox;

// The editor of the text notes of the selected branches: it shows one note at a time, steps
// through every note of every selected branch (branch by branch in selection order), adds a
// note, removes the shown one, and edits its rich text. The text is written into the model
// only when the user changed it (a note opened and closed unchanged keeps its stored bytes),
// when the editor commits: on a new selection, navigation, the focus leaving it, hiding and
// before the document is saved. A new note is made only for a non-empty text, and becomes the
// note shown, so that typing goes on in it and never in another note.
//
// Its window takes one of two forms: made for one document window (all-in-one layout) it is
// an IXSlavePanel glued over that window's map area, its frame and bars kept in the document's
// "ui-state" options; made without one it is a floating tool window that follows the active
// document window, its bars kept in the preferences.
class IXTextNoteInspector : public IXInspectorController,
                            public IXBranchNodeObserver,
                            public IXReferenceNodeObserver,
                            public IXCommentNodeObserver,
                            public IXNodeObserver,
                            public PLEditor {
    Q_OBJECT
public:
    enum ToolbarTag {
        BoldTag = 101,
        ItalicTag,
        UnderlineTag,
        SuperscriptTag,
        SubscriptTag,
        FontPanelTag,
        TextColorTag,
        BackgroundColorTag,
        RulerTag,
        TablePanelTag,
        InsertPictureTag,
        UnusedTag,
        HyperlinkTag,
        SpellingTag,
    };
    static constexpr int MinimumWidth = 300;
    static constexpr int MinimumHeight = 100;
    static constexpr int FadeMilliseconds = 200;
    static constexpr int HostInset = 2;
    static constexpr double MinimumTitleShare = 0.3;

    static const QString FrameKey;  // "IXTextEditorFrame"
    static const QString ToolbarVisibleKey;  // "IXTextEditorToolbarVisible"
    static const QString RulerVisibleKey;  // "IXTextEditorRulerVisible"
    static const QString VisibleKey;  // "IXTextEditorVisible"
    static const QString WindowFrameKey;  // "IXNoteEditorWindow"
    static const QString LastPictureFolderKey;  // "IXLastPictureFolder"

    // What the application gives the editor; each may be missing (tests).
    struct Services {
        // Sends an action along the responder chain from the sender; false when nothing took it.
        std::function<bool(const QByteArray& action, QObject* sender)> sendAction;
        // The preferences.
        std::function<QVariant(const QString& key)> preference;
        std::function<void(const QString& key, const QVariant& value)> setPreference;
        // The typing format of a new note (default font and colour).
        std::function<QTextCharFormat()> defaultNoteFormat;
        // Asks for one picture file, starting in the folder; the path or nothing.
        std::function<std::optional<QString>(const QString& folder, QWidget* window)> choosePicture;
    };
    static void installServices(Services services);
    static const Services& services();

    // The floating panel shared by all windows.
    IXTextNoteInspector();
    // The glued panel of one document window.
    explicit IXTextNoteInspector(IXInspectedController* controller);
    ~IXTextNoteInspector() override;

    bool isApplicable() const override { return !selection().isEmpty(); }
    QString inspectorTitle() const override;
    QWidget* inspectorView() override;
    void setController(IXInspectedController* controller) override;

    // --- Window ---
    bool isSlave() const { return m_slave; }
    // The panel: an IXSlavePanel over the map area, or a tool window.
    QWidget* window();
    IXSlavePanel* slavePanel() const;
    void show();
    void showImmediately();
    void hide();
    bool isVisible() const;
    // The map area in window coordinates, inset by 2 (a glued panel's host frame).
    QRect hostFrame() const;
    // The panel's frame with its origin at the host frame's bottom left, y upward.
    QRect frameInHost() const;
    void setFrameInHost(const QRect& frame);

    // --- Notes ---
    QList<std::shared_ptr<IXCommentNode>> notes() const { return m_references; }
    std::shared_ptr<IXCommentNode> currentNote() const;
    std::shared_ptr<IXBranchNode> currentBranch() const;
    // -1: no note shown (a new note is being written, or no branch).
    int referenceIndex() const { return m_referenceIndex; }
    int branchIndex() const { return m_branchIndex; }
    void editNoteAtIndex(int index);
    // Shows the note when it is among the notes; false when it is not.
    bool editNote(const std::shared_ptr<IXCommentNode>& note);
    // Selects a range of the shown text and scrolls it into view (ignored outside the text).
    void selectTextRange(int location, int length);

    // --- Actions ---
    void addNoteAction();
    void removeNoteAction();
    void nextNoteAction();
    void prevNoteAction();
    void firstNoteAction();
    void lastNoteAction();
    void toolbarAction(int tag);
    static QString tooltipForTag(int tag);
    // Asks for a picture file and inserts it.
    void insertPicture();
    void fontTrait(bool bold);

    // --- Committing ---
    // Writes a changed text into the shown note, or a non-empty new text into a new note.
    void save();
    void saveUIState();
    // The document is about to be saved.
    void documentWillSave();
    // While the text has changes the editor is one of its document's editors, so that saving
    // and closing the document commit them first.
    bool commitEditing() override;
    void discardEditing() override;

    // --- Controls, for the window controller and the tests ---
    IXNoteTextView* textView() const { return m_textView; }
    QWidget* containerView() const { return m_containerView; }
    QLabel* branchTitleField() const { return m_branchTitleField; }
    QLabel* noteNameField() const { return m_noteNameField; }
    QLabel* noteCountField() const { return m_noteCountField; }
    QToolButton* addNoteButton() const { return m_addNoteButton; }
    QToolButton* removeNoteButton() const { return m_removeNoteButton; }
    QToolButton* nextNoteButton() const { return m_nextNoteButton; }
    QToolButton* prevNoteButton() const { return m_prevNoteButton; }
    QToolButton* showToolbarButton() const { return m_showToolbarButton; }
    QToolButton* showRulerButton() const { return m_showRulerButton; }
    QToolButton* closeButton() const { return m_closeButton; }
    QWidget* toolbarView() const { return m_toolbarView; }
    UTControlsFrameBox* toolbarBox() const { return m_toolbarBox; }
    IXNoteRulerView* rulerView() const { return m_rulerView; }
    IXColorWell* textForeColorWell() const { return m_textForeColorWell; }
    IXColorWell* textBackColorWell() const { return m_textBackColorWell; }
    QToolButton* toolbarButton(int tag) const;

    // The caption's rule: the title keeps its natural width while the name fits beside it,
    // else gives way to the name but keeps 30 % of the available width.
    static int titleWidth(int available, int titleNatural, int nameNatural);

    // --- Model notices ---
    bool respondsToSelector(std::string_view selector) const override;
    void notifiedOfBranchNode(IXNode* branch, const QString& property) override;
    void notifiedOfReferenceNode(IXReferenceNode* node, const QString& property) override;
    void notifiedOfCommentNode(IXCommentNode* node, const QString& property) override;
    void notifiedOfNodeDetach(IXNode* node) override;

protected:
    void selectionWillChange() override;
    void selectionDidChange() override;
    void updateControls() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void loadWindow();
    void makeViews();
    void makeToolbar();
    void updateLayout();
    void layoutCaption();
    void updateSelection();
    void show(bool immediately);
    void fade(bool in);
    void fadeEnded();
    void observeDocument();
    void stopObserving();
    std::shared_ptr<IXDocumentNode> document() const;
    QVariantMap* interfaceOptions() const;
    void remove();
    void selectionAttributesChanged();
    void spellingSwitched();
    void attachToHost();
    void textModificationChanged(bool changed);
    void endEditing();

    bool m_slave = false;
    bool m_loaded = false;
    bool m_hideAnimation = false;
    // Asked to show before any window was active (at start-up): shown with the first one.
    bool m_showPending = false;
    QPointer<QWidget> m_window;
    QPointer<QWidget> m_containerView;
    IXNoteTextView* m_textView = nullptr;
    QWidget* m_captionView = nullptr;
    QWidget* m_captionLabels = nullptr;
    QWidget* m_toolbarView = nullptr;
    UTControlsFrameBox* m_toolbarBox = nullptr;
    IXNoteRulerView* m_rulerView = nullptr;
    QLabel* m_branchTitleField = nullptr;
    QLabel* m_noteNameField = nullptr;
    QLabel* m_noteCountField = nullptr;
    QToolButton* m_addNoteButton = nullptr;
    QToolButton* m_removeNoteButton = nullptr;
    QToolButton* m_nextNoteButton = nullptr;
    QToolButton* m_prevNoteButton = nullptr;
    QToolButton* m_showToolbarButton = nullptr;
    QToolButton* m_showRulerButton = nullptr;
    QToolButton* m_closeButton = nullptr;
    IXColorWell* m_textForeColorWell = nullptr;
    IXColorWell* m_textBackColorWell = nullptr;
    QVariantAnimation* m_animation = nullptr;

    QList<std::shared_ptr<IXBranchNode>> m_branches;
    int m_branchIndex = -1;
    QList<std::shared_ptr<IXCommentNode>> m_references;
    int m_referenceIndex = -1;
    std::weak_ptr<IXDocumentNode> m_observedDocument;
    QPointer<QWidget> m_attachedHost;
    // What the text view holds: the note (identity only), or a new note of the branch.
    const IXCommentNode* m_loadedNote = nullptr;
    const IXBranchNode* m_loadedBranch = nullptr;
    bool m_reloadText = false;
    // The document the editor registered with while its text has changes.
    IXOpenDocument* m_editingDocument = nullptr;
    bool m_saving = false;
};
