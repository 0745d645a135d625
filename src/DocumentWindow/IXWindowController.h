#pragma once

#include "DocumentModel/IXBranchNodeObserver.h"
#include "DocumentModel/IXReferenceOpening.h"
#include "DocumentModel/IXSelection.h"
#include "DocumentModel/IXWindowControlling.h"
#include "DocumentViews/IXContextMenuProviding.h"
#include "DocumentViews/IXToolEnvironment.h"
#include "DocumentViews/IXWindowControllerLookup.h"
#include "DocumentWindow/IXDocumentViewOwning.h"
#include "DocumentWindow/IXDocumentWindow.h"
#include "DocumentWindow/IXDocumentWindowControlling.h"
#include "Inspectors/IXInspectedController.h"
#include "MapLayout/IXLayoutContextObserver.h"
#include "UtilityWidgets/UTToolbarItem.h"

#include <QObject>
#include <QPointer>

#include <array>
#include <memory>
#include <optional>

class IXBranchNode;
class IXAdditionalFoldersController;
class IXClipboardCommands;
class IXContextMenus;
class IXDocument;
class IXDocumentWindow;
class IXLayoutContext;
class IXLayoutNode;
class IXMapView;
class IXOutlineMapView;
class IXPrintLayoutView;
class IXPrintOperation;
class IXPrintingView;
class IXNodeCommands;
class IXViewCommands;
class IXWindowInspectors;
class IXWindowNoteEditor;
class IXWindowOverview;
class IXWindowToolbar;
class QAction;
class QWidget;

extern const QString IXSelectionChangedNotification;      // "IXSelectionChanged"
extern const QString IXDocumentWillChangeNotification;    // "IXDocumentWillChange"
extern const QString IXDocumentDidChangeNotification;     // "IXDocumentDidChange"

// The controller of one document window: it owns the window (an IXDocumentWindow, whose
// delegate it is) and the window's map views, one per map layout, made on first use and kept
// while the document lives. The view of the current layout sits in a zooming scroll view in the
// window; the window's selection lives in that view's layout context, and every change of it
// is announced once per turn of the event loop as "IXSelectionChanged" (object: the
// controller) on the default notification centre. Before each save it stores the layout shown
// ("view" in the document's "ui-state" options), the "preview" JPEG and "thumbnail" PNG and
// the ignored words. It runs brainstorm mode (a run of new branches, each title typed in
// place by the branch title tool) and is the target of the window's commands.
//
// Layouts: 0 mind map, 1 top-down, 2 left-right, 3 outline (the outline view alone), 4 timeline
// (the timeline map above an outline 200 high, both showing the window's selection), 9 the print
// layout (the printing view's spread, previewed by the print layout view); other values are
// ignored. A document stored in a mode the window cannot show opens as the mind map and keeps
// its stored mode when saved, until the user picks another. The printing view prints the
// layout of the last mode below 9; the branch filter goes to the print layout and back.
//
// Ownership: the document owns the controller; the controller owns the window and the views
// and detaches every view before they go. Main thread only.
class IXWindowController : public QObject,
                           public IXDocumentWindowControlling,
                           public IXWindowControlling,
                           public IXContextMenuProviding,
                           public IXDocumentViewOwning,
                           public IXLayoutContextObserver,
                           public IXBranchNodeObserver,
                           public IXInspectedController,
                           public UTToolbarItemValidating {
    Q_OBJECT
public:
    // How long after the document is attached the last root branch is selected and warnings
    // are reported.
    static constexpr int DocumentOpenDelayMilliseconds = 100;

    explicit IXWindowController(IXDocument& document);
    ~IXWindowController() override;

    // The window controller of a window, or null.
    static IXWindowController* controllerForWindow(const QWidget* window);
    // Makes every document's window controller an IXWindowController and lets views and tools
    // find them (the lookup and the tool environment); done once at start-up.
    static void installAsShellControllers();

    IXDocument& shellDocument() const { return m_document; }
    IXDocumentWindow* documentWindow() const { return m_window; }
    // The window's inspectors: its side pane and Inspectors menu.
    IXWindowInspectors* inspectors() const { return m_inspectors.get(); }
    // The window's toolbar "IXToolbar".
    IXWindowToolbar& toolbar() const { return *m_toolbar; }

    // --- Layout ---
    void setDocumentLayout(int layout);
    void restoreUIState();
    void saveUIState();
    // The map view of a layout name, made on first use.
    IXMapView* mapViewForLayout(int layout);
    // The outline view (layouts 3 and 4), made on first use.
    IXOutlineMapView* outlineMapView();
    // The view that prints, made on first use; while the mode is below 9 it prints that
    // mode's layout.
    IXPrintingView* printingView();
    IXLayoutContext* layoutContext() const;
    std::shared_ptr<IXLayoutNode> layoutNode() const override;

    // --- Selection ---
    IXSelection selection() const override;
    std::shared_ptr<IXBranchNode> selectedBranch() const;

    // --- Brainstorm ---
    void beginBrainStorm();
    void nextBrainStormAndApplyLastChange(bool apply);
    void endBrainStormAndApplyLastChange(bool apply);
    bool isBrainStormMode() const { return m_brainStorm; }
    const std::shared_ptr<IXBranchNode>& brainStormActiveBranch() const { return m_brainStormActiveBranch; }
    // Sent by the branch title tool when its edit ends: Return continues, Escape ends.
    void currentToolDiscardedWithKeyCode(int keyCode) override;

    // --- Pictures ---
    void savePreviewImages();

    // --- Full screen (the window's own part: the whole screen and back; IXViewCommands) ---
    void adaptToFullScreenMode();
    void restoreAfterFullScreenMode();

    // --- Commands ---
    Q_INVOKABLE void saveDocument(QObject* sender);
    Q_INVOKABLE void saveDocumentAs(QObject* sender);
    Q_INVOKABLE void saveDocumentAsTemplate(QObject* sender);
    Q_INVOKABLE void revertDocumentToSaved(QObject* sender);
    Q_INVOKABLE void performClose(QObject* sender);
    Q_INVOKABLE void undo(QObject* sender);
    Q_INVOKABLE void redo(QObject* sender);
    Q_INVOKABLE void switchToView(QObject* sender);
    // Opens the warnings panel on this window's document.
    Q_INVOKABLE void showDocumentWarnings(QObject* sender);
    // The additional folders sheet on this window.
    Q_INVOKABLE void showAdditionalFoldersPanel(QObject* sender);
    // Enters the print layout, or goes back to the layout printed.
    Q_INVOKABLE void togglePrintView(QObject* sender);
    // Prints through the print panel; failures are shown on the window.
    Q_INVOKABLE void printDocument(QObject* sender);
    // Writes the printed pages to a PDF file chosen in a save panel.
    Q_INVOKABLE void exportAsPDF(QObject* sender);
    // Ends a running brainstorm (dropping the branch being typed unless it was titled), else
    // begins one on the next turns of the event loop.
    Q_INVOKABLE void brainStorm(QObject* sender);
    // Opens what a reference points at; the sender is a QAction whose data is the
    // IXReferenceOpening the reference gave. Branches are selected in this window (a linked
    // document is opened first and the branch selected in its window); a missing file, a file
    // nothing can open and a document that cannot be opened are reported here, once.
    Q_INVOKABLE void openReference(QObject* sender);
    // Brings the object list to the front and opens it on the reference with its title being
    // edited. False where no object list is registered.
    bool editReferenceInObjectList(const std::shared_ptr<IXReferenceNode>& reference);
    Q_INVOKABLE bool validateMenuItem(QAction* item);
    // The toolbar's items, by the layout (IXWindowToolbar::validateToolbarItem).
    Q_INVOKABLE bool validateToolbarItem(QAction* item);
    bool validateToolbarItem(UTToolbarItem* item) override;
    // Shows or hides the toolbar; the customisation dialog of its items.
    Q_INVOKABLE void toggleToolbarShown(QObject* sender);
    Q_INVOKABLE void runToolbarCustomizationPalette(QObject* sender);
    // Find and spelling (IXFindAndSpellingCommands).
    Q_INVOKABLE void ixFindPanelAction(QObject* sender);
    Q_INVOKABLE void checkSpelling(QObject* sender);
    Q_INVOKABLE void showGuessPanel(QObject* sender);
    Q_INVOKABLE void toggleContinuousSpellChecking(QObject* sender);

    // --- Node commands (IXNodeCommands) ---
    IXNodeCommands& nodeCommands() const { return *m_nodeCommands; }
    Q_INVOKABLE void addBranch(QObject* sender);
    Q_INVOKABLE void addSubbranch(QObject* sender);
    Q_INVOKABLE void addPrebranch(QObject* sender);
    Q_INVOKABLE void removeBranch(QObject* sender);
    Q_INVOKABLE void removeBranchSection(QObject* sender);
    Q_INVOKABLE void removeFloating(QObject* sender);
    Q_INVOKABLE void removeSelectedNodes(QObject* sender);
    Q_INVOKABLE void removeComment(QObject* sender);
    Q_INVOKABLE void removePicture(QObject* sender);
    Q_INVOKABLE void removeIcon(QObject* sender);
    Q_INVOKABLE void detachBranch(QObject* sender);
    Q_INVOKABLE void detachPicture(QObject* sender);
    Q_INVOKABLE void detachFloatingNode(QObject* sender);
    Q_INVOKABLE void addComment(QObject* sender);
    Q_INVOKABLE void addFloatingComment(QObject* sender);
    Q_INVOKABLE void addPicture(QObject* sender);
    Q_INVOKABLE void toggleCollapser(QObject* sender);
    Q_INVOKABLE void editTitle(QObject* sender);
    Q_INVOKABLE void editTextNote(QObject* sender);
    // The text-note editor (IXWindowNoteEditor).
    IXWindowNoteEditor& noteEditor() const { return *m_noteEditor; }
    // Shows the editor when hidden, hides it otherwise.
    Q_INVOKABLE void toggleTextEditor(QObject* sender);
    // The overview (IXWindowOverview): shown when hidden, hidden otherwise.
    IXWindowOverview& overview() const { return *m_overview; }
    Q_INVOKABLE void toggleOverview(QObject* sender);
    // The font panel, showing the font of the note text being edited.
    Q_INVOKABLE void orderFrontFontPanel(QObject* sender);
    Q_INVOKABLE void makeBranchConnection(QObject* sender);
    Q_INVOKABLE void attachHyperlink(QObject* sender);
    Q_INVOKABLE void attachTextFile(QObject* sender);
    Q_INVOKABLE void attachPictureFile(QObject* sender);
    Q_INVOKABLE void attachVideoFile(QObject* sender);
    Q_INVOKABLE void attachSoundFile(QObject* sender);
    Q_INVOKABLE void attachFlashFile(QObject* sender);

    // --- View, panel and style commands (IXViewCommands) ---
    IXViewCommands& viewCommands() const { return *m_viewCommands; }
    Q_INVOKABLE void toggleFilter(QObject* sender);
    Q_INVOKABLE void changeLevel(QObject* sender);
    Q_INVOKABLE void fitToScreen(QObject* sender);
    Q_INVOKABLE void toggleBrainStorm(QObject* sender);
    Q_INVOKABLE void toggleInspector(QObject* sender);
    Q_INVOKABLE void toggleInspectorPanels(QObject* sender);
    Q_INVOKABLE void resetInspectors(QObject* sender);
    Q_INVOKABLE void switchRootShape(QObject* sender);
    Q_INVOKABLE void switchDocumentStyle(QObject* sender);
    Q_INVOKABLE void clearStyles(QObject* sender);
    Q_INVOKABLE void clearAllStyles(QObject* sender);
    Q_INVOKABLE void saveAsTemplate(QObject* sender);

    // --- Clipboard commands (IXClipboardCommands) ---
    IXClipboardCommands& clipboardCommands() const { return *m_clipboardCommands; }
    Q_INVOKABLE void copy(QObject* sender);
    Q_INVOKABLE void copyStyles(QObject* sender);
    Q_INVOKABLE void cut(QObject* sender);
    Q_INVOKABLE void paste(QObject* sender);
    Q_INVOKABLE void pasteWithoutStyles(QObject* sender);
    Q_INVOKABLE void pasteStyles(QObject* sender);
    Q_INVOKABLE void detachBranchAsDocument(QObject* sender);

    // --- Fonts (the shared IXFontPanel) ---
    // Shows the font panel; with the document view as the window's first responder, the
    // panel then shows the selection's font.
    Q_INVOKABLE void showFontPanel(QObject* sender);
    // The font of the selection's last node (a branch's text font, a floating comment's text
    // font) shown in the visible panel while the document view is the first responder.
    Q_INVOKABLE void updateFontPanel(QObject* sender);

    // --- IXDocumentWindowControlling ---
    QWidget* window() const override;
    void showWindow() override;
    void documentWillSave() override;
    void documentNodeDidChange() override;
    IXWindowControlling* modelController() override { return this; }
    // The notice is the window's status line, which exists only once a notice was shown.
    void showNotice(const QString& text) override;
    void hideNotice() override;
    // The notice shown, or an empty string.
    QString notice() const;

    // --- IXWindowControlling ---
    void setSelection(const IXSelection& selection) override;
    void openTextNoteEditorWithReference(const std::shared_ptr<IXReferenceNode>& reference) override;
    void openTextNoteEditorSelectingRange(const std::shared_ptr<IXReferenceNode>& reference, PLRange range) override;
    IXOpenDocument* document() const override;
    std::shared_ptr<IXDocumentNode> documentNode() const override;
    void addSubbranch() override;
    int documentLayout() const override { return m_documentLayout; }
    // Re-titles the window from the document's display name (which an untitled document takes
    // from its first root branch, so the controller hears that branch's title change).
    void synchronizeWindowTitleWithDocumentName();

    // --- IXContextMenuProviding (the menus of IXContextMenus, made with the window) ---
    QMenu* contextMenu(Menu menu) override;
    QAction* makeMenuItem(const QString& title, IXCommand command, QObject* target, QObject* parent) override;
    void validateBeforeShowing(QMenu* menu) override;

    // --- IXDocumentViewOwning ---
    QWidget* documentView() const override;

    IXDocumentPrinting* documentPrinting() override;

    // --- IXInspectedController (the rest is above) ---
    bool canShowFontPanel() const override;
    void showFontPanel() override;
    // The viewport of the document view's scroll view, or the document view.
    QWidget* workAreaWidget() const override;
    IXTimelineCell* timelineCell() const override;
    IXPrintingViewing* printingView() const override;
    IXPrintLayoutViewing* printLayoutView() const override;

    // --- Layout context and document notices ---
    bool respondsToSelector(std::string_view selector) const override;
    void notifiedOfLayoutContextDidChangeSelection(IXLayoutContext* context, const IXSelection& selection) override;
    void notifiedOfBranchNode(IXNode* branch, const QString& property) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void layoutDocumentViews();
    // The print layout view (mode 9), made on first use.
    IXPrintLayoutView* makePrintLayoutView();
    void attachDocument();
    void cleanup();
    void documentOpenDelayed();
    void notifySelectionChange();
    void undoDidOpenGroup();
    // Removes the branch being typed in brainstorm mode, unless it was titled.
    void dropBrainStormBranch();
    void buildMenus();
    // Moves this controller's registration to the document's current node.
    void observeDocumentNode();
    void openBranchInDocument(const IXReferenceOpening& opening);
    void alertAboutReference(const char* titleKey, const char* messageKey);

    IXDocument& m_document;
    std::unique_ptr<IXNodeCommands> m_nodeCommands;
    std::unique_ptr<IXClipboardCommands> m_clipboardCommands;
    std::unique_ptr<IXViewCommands> m_viewCommands;
    std::unique_ptr<IXWindowNoteEditor> m_noteEditor;
    std::unique_ptr<IXWindowOverview> m_overview;
    QPointer<IXDocumentWindow> m_window;
    std::unique_ptr<IXWindowInspectors> m_inspectors;
    std::unique_ptr<IXWindowToolbar> m_toolbar;
    std::unique_ptr<IXAdditionalFoldersController> m_additionalFolders;
    // By layout; the outline's place (3) stays empty.
    std::array<QPointer<IXMapView>, 5> m_mapViews;
    QPointer<IXOutlineMapView> m_outlineView;
    QPointer<IXPrintLayoutView> m_printLayoutView;
    std::unique_ptr<IXPrintingView> m_printingView;
    std::unique_ptr<IXPrintOperation> m_printOperation;
    // The stored view mode when this window cannot show it.
    std::optional<int> m_unshownStoredLayout;
    int m_documentLayout = -1;
    bool m_pendingSelectionChange = false;
    bool m_brainStorm = false;
    std::shared_ptr<IXBranchNode> m_brainStormActiveBranch;
    // The branch being typed got a title (its editor closed keeping the text): it stays when
    // brainstorm moves on or ends.
    bool m_brainStormBranchTitled = false;
    bool m_closing = false;
    std::weak_ptr<IXDocumentNode> m_observedNode;
    std::unique_ptr<IXContextMenus> m_contextMenus;
};
