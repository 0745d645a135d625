#include "DocumentWindow/IXWindowController.h"

#include "DocumentModel/IXApplicationServices.h"
#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXLayoutNode.h"
#include "DocumentModel/IXOpenDocument.h"
#include "DocumentModel/IXPropertyNames.h"
#include "DocumentModel/IXReferenceNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentModel/IXWarning.h"
#include "DocumentViews/IXActionItem.h"
#include "DocumentViews/IXCommandNames.h"
#include "DocumentViews/IXMapView.h"
#include "DocumentViews/IXOutlineMapView.h"
#include "DocumentViews/IXPrintLayoutView.h"
#include "DocumentViews/IXPrintingView.h"
#include "DocumentViews/IXScalingScrollView.h"
#include "DocumentViews/IXTool.h"
#include "DocumentViews/IXToolEvent.h"
#include "DocumentViews/IXToolManager.h"
#include "DocumentWindow/IXAppController.h"
#include "DocumentWindow/IXClipboardCommands.h"
#include "DocumentWindow/IXContextMenus.h"
#include "DocumentWindow/IXDialogs.h"
#include "DocumentWindow/IXDocument.h"
#include "DocumentWindow/IXDocumentController.h"
#include "DocumentWindow/IXDocumentWindow.h"
#include "DocumentWindow/IXFindAndSpellingCommands.h"
#include "DocumentWindow/IXFontPanel.h"
#include "DocumentWindow/IXMainMenu.h"
#include "DocumentWindow/IXMapPreview.h"
#include "DocumentWindow/IXNodeCommands.h"
#include "DocumentWindow/IXPreferences.h"
#include "DocumentWindow/IXPrintOperation.h"
#include "DocumentWindow/IXViewCommands.h"
#include "DocumentWindow/IXWindowInspectors.h"
#include "DocumentWindow/IXWindowNoteEditor.h"
#include "DocumentWindow/IXWindowOverview.h"
#include "DocumentWindow/IXWindowToolbar.h"
#include "Inspectors/IXAdditionalFoldersController.h"
#include "Inspectors/IXBranchInspector.h"
#include "Inspectors/IXCommentInspector.h"
#include "Inspectors/IXConnectionInspector.h"
#include "Inspectors/IXDocumentWarningsInspector.h"
#include "Inspectors/IXIconsInspector.h"
#include "Inspectors/IXInspectorController.h"
#include "Inspectors/IXInspectorManager.h"
#include "Inspectors/IXMindMapInspector.h"
#include "Inspectors/IXObjectListInspector.h"
#include "Inspectors/IXPictureInspector.h"
#include "Inspectors/IXSpellCheckingController.h"
#include "MapLayout/IXLayoutContext.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/Core/PLNotificationCenter.h"
#include "Platform/Core/PLRunLoop.h"
#include "Platform/Core/PLUndoManager.h"
#include "Platform/System/PLKeyboard.h"
#include "Platform/System/PLLocalizedStrings.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QCloseEvent>
#include <QDockWidget>
#include <QFileInfo>
#include <QMenuBar>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>

const QString IXSelectionChangedNotification = QStringLiteral("IXSelectionChanged");
const QString IXDocumentWillChangeNotification = QStringLiteral("IXDocumentWillChange");
const QString IXDocumentDidChangeNotification = QStringLiteral("IXDocumentDidChange");

namespace {

// By view mode; mode 3 is the outline view, not a map view.
const std::array<QString, 5>& mapLayoutNames()
{
    static const std::array<QString, 5> names {IXLayoutMindMapName, IXLayoutTopDownName, IXLayoutLeftRightName,
                                               IXLayoutOutlineName, IXLayoutTimelineName};
    return names;
}

bool isOfferedLayout(int layout)
{
    return layout >= 0 && layout <= 4;
}

constexpr int OutlineLayout = 3;
constexpr int TimelineLayout = 4;
constexpr int PrintLayout = 9;
// The outline's height under the timeline.
constexpr int TimelineOutlineHeight = 200;

// Followed links show their target: every collapsed branch above it opens.
void expandBranchesAbove(const IXNode& node)
{
    for (IXNode* parent = node.parentNode(); parent && parent->isBranch(); parent = parent->parentNode()) {
        if (const std::shared_ptr<IXStyleNode> style = parent->style()) style->setBranchCollapsed(false);
    }
}

void selectTarget(IXWindowControlling* controller, const std::shared_ptr<IXNode>& target, bool expand)
{
    if (expand && target && target->isBranch()) expandBranchesAbove(*target);
    if (controller) controller->setSelection(IXSelection::selectionWithNode(target));
}

class ShellControllerLookup : public IXWindowControllerLookup, public IXToolEnvironment {
public:
    IXWindowControlling* windowControllerForWindow(const QWidget* window) override
    {
        return IXWindowController::controllerForWindow(window);
    }
    // No inspector exists yet that could lend its context.
    IXLayoutContext* activeInspectorContext() override { return nullptr; }
    void focusDocumentView(IXLayoutContext* context) override
    {
        if (!context) return;
        auto* controller = dynamic_cast<IXWindowController*>(context->controller());
        if (QWidget* view = controller ? controller->documentView() : nullptr) view->setFocus(Qt::OtherFocusReason);
    }
    void copyAttachments(const QList<std::shared_ptr<IXNode>>& attachments) override
    {
        IXClipboardCommands::copyAttachments(attachments);
    }
    bool canEditReferences() const override
    {
        return IXInspectorManager::isInspectorClassRegistered(QStringLiteral("IXObjectListInspector"));
    }
    void editReference(IXLayoutContext* context, const std::shared_ptr<IXNode>& reference) override
    {
        auto* controller = context ? dynamic_cast<IXWindowController*>(context->controller()) : nullptr;
        if (controller) controller->editReferenceInObjectList(std::dynamic_pointer_cast<IXReferenceNode>(reference));
    }
};

}  // namespace

IXWindowController::IXWindowController(IXDocument& document)
    : m_document(document)
    , m_nodeCommands(std::make_unique<IXNodeCommands>(*this))
    , m_clipboardCommands(std::make_unique<IXClipboardCommands>(*this))
    , m_viewCommands(std::make_unique<IXViewCommands>(*this))
    , m_noteEditor(std::make_unique<IXWindowNoteEditor>(*this))
    , m_overview(std::make_unique<IXWindowOverview>(*this))
{
    m_window = new IXDocumentWindow;
    m_window->setAttribute(Qt::WA_DeleteOnClose, false);
    m_window->setWindowController(this);
    m_window->installEventFilter(this);
    m_window->resize(1000, 700);
    // A new window is zoomed: its frame takes the screen's available area.
    m_window->setWindowState(m_window->windowState() | Qt::WindowMaximized);
    m_inspectors = std::make_unique<IXWindowInspectors>(*this, *m_window);
    buildMenus();
    m_toolbar = std::make_unique<IXWindowToolbar>(*this, *m_window);
    PLExceptionBoundary::connect(&m_document, &IXDocument::editedChanged, this, [this] { synchronizeWindowTitleWithDocumentName(); });
    PLExceptionBoundary::connect(&m_document, &IXDocument::fileNameChanged, this, [this] { synchronizeWindowTitleWithDocumentName(); });
    attachDocument();
}

IXWindowController::~IXWindowController()
{
    PLRunLoop::cancel(this);
    // A closing window leaves full-screen mode (the other windows come back with it).
    if (IXAppController::sharedController().isFullScreenMode()) IXAppController::sharedController().toggleFullScreenMode(nullptr);
    if (m_brainStorm) endBrainStormAndApplyLastChange(true);
    cleanup();
    if (const auto node = m_observedNode.lock()) node->removeFromObservers(this);
    // The window sends events to its filters while it is taken apart, when it is no longer a
    // document window: comparing them with m_window would cast it to one.
    if (m_window) m_window->removeEventFilter(this);
    IXInspectorController::windowWillClose(m_window);
    m_inspectors.reset();
    // The glued note editor lives in the window: it goes first, with its views.
    m_noteEditor.reset();
    m_overview.reset();
    delete m_window.data();
}

IXWindowController* IXWindowController::controllerForWindow(const QWidget* window)
{
    const auto* documentWindow = qobject_cast<const IXDocumentWindow*>(window);
    return documentWindow ? qobject_cast<IXWindowController*>(documentWindow->windowController()) : nullptr;
}

void IXWindowController::installAsShellControllers()
{
    static ShellControllerLookup lookup;
    IXWindowControllerLookup::install(&lookup);
    IXToolEnvironment::install(&lookup);
    IXInspectorManager::installSettings([] { return IXPreferences::settings(); });
    IXInspectorManager::registerInspectorClass(QStringLiteral("IXMindMapInspector"),
                                               [] { return std::make_unique<IXMindMapInspector>(); });
    IXInspectorManager::registerInspectorClass(QStringLiteral("IXBranchInspector"),
                                               [] { return std::make_unique<IXBranchInspector>(); });
    IXInspectorManager::registerInspectorClass(QStringLiteral("IXPictureInspector"),
                                               [] { return std::make_unique<IXPictureInspector>(); });
    IXInspectorManager::registerInspectorClass(QStringLiteral("IXCommentInspector"),
                                               [] { return std::make_unique<IXCommentInspector>(); });
    IXInspectorManager::registerInspectorClass(QStringLiteral("IXConnectionInspector"),
                                               [] { return std::make_unique<IXConnectionInspector>(); });
    IXInspectorManager::registerInspectorClass(QStringLiteral("IXObjectListInspector"),
                                               [] { return std::make_unique<IXObjectListInspector>(); });
    IXInspectorManager::registerInspectorClass(QStringLiteral("IXIconsInspector"),
                                               [] { return std::make_unique<IXIconsInspector>(); });
    IXFindAndSpellingCommands::install();
    IXWindowNoteEditor::installServices();
    IXWindowOverview::installServices();
    IXInspectorController::installControllerLookup(
        [](const QWidget* window) -> IXInspectedController* { return controllerForWindow(window); });
    IXDocument::setWindowControllerFactory(
        [](IXDocument& document) { return std::make_unique<IXWindowController>(document); });
}

// --- Document ---

void IXWindowController::attachDocument()
{
    PLNotificationCenter::defaultCenter().post(IXDocumentWillChangeNotification, this);
    PLNotificationCenter::defaultCenter().post(IXDocumentDidChangeNotification, this);
    if (PLUndoManager* undo = m_document.undoManager())
        PLExceptionBoundary::connect(undo, &PLUndoManager::didOpenUndoGroup, this, [this] { undoDidOpenGroup(); });
    restoreUIState();
    observeDocumentNode();
    synchronizeWindowTitleWithDocumentName();
    PLRunLoop::perform(this, "documentOpen", [this] { documentOpenDelayed(); },
                       std::chrono::milliseconds(DocumentOpenDelayMilliseconds));
}

void IXWindowController::cleanup()
{
    // The printing view lets the outline go before the outline view goes.
    if (m_printLayoutView) {
        m_printLayoutView->detachFromController();
        delete m_printLayoutView.data();
        m_printLayoutView = nullptr;
    }
    if (m_printingView) {
        m_printingView->setController(nullptr);
        m_printingView.reset();
    }
    for (QPointer<IXMapView>& view : m_mapViews) {
        if (!view) continue;
        view->detachFromController();
        delete view.data();
        view = nullptr;
    }
    if (m_outlineView) {
        m_outlineView->detachFromController();
        delete m_outlineView.data();
        m_outlineView = nullptr;
    }
}

void IXWindowController::documentNodeDidChange()
{
    PLRunLoop::cancel(this);
    m_pendingSelectionChange = false;
    m_brainStorm = false;
    m_brainStormActiveBranch.reset();
    m_brainStormBranchTitled = false;
    PLNotificationCenter::defaultCenter().post(IXDocumentWillChangeNotification, this);
    if (QWidget* central = m_window ? m_window->takeCentralWidget() : nullptr) central->deleteLater();
    cleanup();
    m_documentLayout = -1;
    PLNotificationCenter::defaultCenter().post(IXDocumentDidChangeNotification, this);
    restoreUIState();
    observeDocumentNode();
    PLRunLoop::perform(this, "documentOpen", [this] { documentOpenDelayed(); },
                       std::chrono::milliseconds(DocumentOpenDelayMilliseconds));
}

void IXWindowController::observeDocumentNode()
{
    const std::shared_ptr<IXDocumentNode> node = documentNode();
    const std::shared_ptr<IXDocumentNode> observed = m_observedNode.lock();
    if (node == observed) return;
    if (observed) observed->removeFromObservers(this);
    m_observedNode = node;
    if (node) node->addToObservers(this);
}

void IXWindowController::documentOpenDelayed()
{
    const auto node = documentNode();
    if (!node) return;
    if (!node->rootBranches().isEmpty() && m_documentLayout != 9)
        setSelection(IXSelection::selectionWithNode(node->rootBranches().last()));
    m_noteEditor->restoreVisibility();
    if (node->warnings().isEmpty()) return;
    IXDialogs::Alert alert;
    alert.title = PLLocalizedStrings::string(QStringLiteral("Some warnings occured. Would you like to review them now?"));
    alert.message = PLLocalizedStrings::string(
        QStringLiteral("You can review warnings at any time by choosing\nView > Show Document Warnings."));
    alert.buttons = {PLLocalizedStrings::string(QStringLiteral("Review")),
                     PLLocalizedStrings::string(QStringLiteral("Don't Review"))};
    alert.cancelButton = 1;
    alert.style = IXDialogs::AlertStyle::Informational;
    if (IXDialogs::shared().runAlert(alert, m_window) == 0) showDocumentWarnings(nullptr);
}

IXOpenDocument* IXWindowController::document() const
{
    return &m_document;
}

std::shared_ptr<IXDocumentNode> IXWindowController::documentNode() const
{
    return m_document.documentNode();
}

// --- Window ---

QWidget* IXWindowController::window() const
{
    return m_window;
}

void IXWindowController::showWindow()
{
    if (!m_window) return;
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    m_inspectors->windowDidShow();
}

void IXWindowController::showNotice(const QString& text)
{
    if (!m_window) return;
    QStatusBar* bar = m_window->statusBar();
    bar->showMessage(text);
    bar->show();
}

void IXWindowController::hideNotice()
{
    if (!m_window) return;
    // A window that never showed a notice gets no status bar now.
    if (auto* bar = m_window->findChild<QStatusBar*>(QString(), Qt::FindDirectChildrenOnly)) {
        bar->clearMessage();
        bar->hide();
    }
}

QString IXWindowController::notice() const
{
    const auto* bar = m_window ? m_window->findChild<QStatusBar*>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    return bar && bar->isVisibleTo(m_window) ? bar->currentMessage() : QString();
}

void IXWindowController::synchronizeWindowTitleWithDocumentName()
{
    if (!m_window) return;
    m_window->setWindowTitle(m_document.displayName() + QStringLiteral("[*]"));
    m_window->setWindowModified(m_document.isDocumentEdited());
    m_window->setWindowFilePath(m_document.fileName());
}

bool IXWindowController::eventFilter(QObject* watched, QEvent* event)
try {
    if (event->type() == QEvent::Close && !m_closing && watched == m_window) {
        // The document decides (it may ask about changes); closing it deletes this controller
        // and its window, which must not happen inside the window's own close event.
        event->ignore();
        QTimer::singleShot(0, this, PLExceptionBoundary::guard([this] { performClose(nullptr); }));
        return true;
    }
    return QObject::eventFilter(watched, event);
} catch (...) {
    PLExceptionBoundary::caught();
    return false;
}

void IXWindowController::buildMenus()
{
    IXMainMenu::installWindowMenus(m_window);
    m_contextMenus = std::make_unique<IXContextMenus>();
    m_inspectors->addMenu(m_window->menuBar());
}

QMenu* IXWindowController::contextMenu(Menu menu)
{
    return m_contextMenus ? m_contextMenus->menu(menu) : nullptr;
}

QAction* IXWindowController::makeMenuItem(const QString& title, IXCommand command, QObject* target, QObject* parent)
{
    return IXContextMenus::makeItem(title, command, target, parent);
}

void IXWindowController::validateBeforeShowing(QMenu* menu)
{
    IXContextMenus::validateBeforeShowing(menu);
}

// --- Layout ---

IXMapView* IXWindowController::mapViewForLayout(int layout)
{
    if (!isOfferedLayout(layout) || layout == OutlineLayout) return nullptr;
    QPointer<IXMapView>& view = m_mapViews[size_t(layout)];
    if (!view) {
        view = new IXMapView;
        view->resize(100, 100);
        view->setLayoutName(mapLayoutNames()[size_t(layout)]);
    }
    return view;
}

IXOutlineMapView* IXWindowController::outlineMapView()
{
    if (!m_outlineView) {
        m_outlineView = new IXOutlineMapView;
        m_outlineView->resize(100, 100);
    }
    return m_outlineView;
}

IXPrintLayoutView* IXWindowController::makePrintLayoutView()
{
    if (!m_printLayoutView) {
        m_printLayoutView = new IXPrintLayoutView;
        m_printLayoutView->resize(100, 100);
    }
    return m_printLayoutView;
}

IXPrintingView* IXWindowController::printingView()
{
    if (!m_printingView) {
        m_printingView = std::make_unique<IXPrintingView>();
        m_printingView->setController(this);
    }
    // Below the print layout it prints the mode shown; a new layout is laid out only when
    // the mode changed since.
    const int code = std::max(0, m_documentLayout);
    if (m_documentLayout < PrintLayout && (!m_printingView->layoutNode() || m_printingView->documentLayout() != code)) {
        IXOutlineMapView* outline = nullptr;
        if (code == OutlineLayout) {
            outline = outlineMapView();
            // The outline prints its rows: it needs its context even while not shown.
            if (!outline->layoutContext()) outline->attachToController(this);
        }
        m_printingView->setDocumentLayout(code, outline);
    }
    return m_printingView.get();
}

IXPrintingViewing* IXWindowController::printingView() const
{
    return const_cast<IXWindowController*>(this)->printingView();
}

IXPrintLayoutViewing* IXWindowController::printLayoutView() const
{
    return m_documentLayout == PrintLayout ? m_printLayoutView.data() : nullptr;
}

IXDocumentPrinting* IXWindowController::documentPrinting()
{
    if (!m_printOperation)
        m_printOperation = std::make_unique<IXPrintOperation>([this] { return printingView(); }, m_window);
    return m_printOperation.get();
}

QWidget* IXWindowController::documentView() const
{
    if (m_documentLayout == OutlineLayout) return m_outlineView.data();
    if (m_documentLayout == PrintLayout) return m_printLayoutView.data();
    return isOfferedLayout(m_documentLayout) ? m_mapViews[size_t(m_documentLayout)].data() : nullptr;
}

IXLayoutContext* IXWindowController::layoutContext() const
{
    auto* view = dynamic_cast<IXDocumentViewing*>(documentView());
    return view ? view->layoutContext() : nullptr;
}

std::shared_ptr<IXLayoutNode> IXWindowController::layoutNode() const
{
    if (IXLayoutContext* context = layoutContext(); context && context->layoutNode())
        return std::static_pointer_cast<IXLayoutNode>(context->layoutNode()->shared_from_this());
    const auto node = documentNode();
    if (!node || !isOfferedLayout(m_documentLayout)) return nullptr;
    return node->layoutForName(mapLayoutNames()[size_t(m_documentLayout)]);
}

void IXWindowController::setDocumentLayout(int layout)
{
    if (layout == m_documentLayout || !(isOfferedLayout(layout) || layout == PrintLayout)) return;
    if (layout == PrintLayout) {
        if (!documentNode()) return;
        printingView();
        IXLayoutContext* context = layoutContext();
        makePrintLayoutView()->setBranchFilter(context ? context->branchFilter() : nullptr);
    }
    const int previous = m_documentLayout;
    m_documentLayout = layout;
    // The user chose a mode: the stored one this window could not show is forgotten.
    m_unshownStoredLayout.reset();
    layoutDocumentViews();
    m_overview->documentLayoutDidChange(previous, layout);
    if (previous == PrintLayout && m_printLayoutView)
        if (IXLayoutContext* context = layoutContext()) context->setBranchFilter(m_printLayoutView->branchFilter());
    if (m_toolbar && m_toolbar->isShown()) m_toolbar->validateVisibleItems();
}

void IXWindowController::layoutDocumentViews()
{
    if (!m_window) return;
    // The old container gives its views back, so that they keep their contexts while hidden.
    if (QWidget* old = m_window->centralWidget()) {
        if (auto* scroller = qobject_cast<IXScalingScrollView*>(old)) {
            if (QWidget* previous = scroller->takeWidget()) {
                previous->hide();
                previous->setParent(nullptr);
            }
        }
        for (QPointer<IXMapView>& view : m_mapViews) {
            if (view && view->parent() && (view->parentWidget() == old || old->isAncestorOf(view))) {
                view->hide();
                view->setParent(nullptr);
            }
        }
        if (m_outlineView && (m_outlineView.data() == old || old->isAncestorOf(m_outlineView))) {
            if (m_outlineView.data() == old) m_window->takeCentralWidget();
            m_outlineView->hide();
            m_outlineView->setParent(nullptr);
        }
        if (m_printLayoutView && m_printLayoutView.data() == old) {
            m_window->takeCentralWidget();
            m_printLayoutView->detachFromController();
            m_printLayoutView->hide();
            m_printLayoutView->setParent(nullptr);
        }
    }
    QWidget* active = nullptr;
    if (m_documentLayout == PrintLayout) {
        // The preview fits itself to the window: it needs no scroll view.
        IXPrintLayoutView* preview = makePrintLayoutView();
        m_window->setCentralWidget(preview);
        preview->show();
        preview->attachToController(this, printingView());
        active = preview;
    } else if (m_documentLayout == OutlineLayout) {
        IXOutlineMapView* outline = outlineMapView();
        m_window->setCentralWidget(outline);
        outline->show();
        active = outline;
    } else {
        IXMapView* view = mapViewForLayout(m_documentLayout);
        auto* scroller = new IXScalingScrollView;
        scroller->setFrameShape(QFrame::NoFrame);
        scroller->setDocumentView(view);
        if (m_documentLayout == TimelineLayout) {
            // The timeline above, the outline of the same branches below it.
            auto* split = new QSplitter(Qt::Vertical);
            split->setChildrenCollapsible(false);
            split->addWidget(scroller);
            split->addWidget(outlineMapView());
            split->setStretchFactor(0, 1);
            split->setStretchFactor(1, 0);
            const int height = std::max(m_window->height(), TimelineOutlineHeight * 2);
            split->setSizes({height - TimelineOutlineHeight, TimelineOutlineHeight});
            m_window->setCentralWidget(split);
            m_outlineView->show();
        } else {
            m_window->setCentralWidget(scroller);
        }
        view->show();
        active = view;
    }
    // A window not shown yet is not laid out: its views attach themselves when the window
    // shows, so that the first zoom and centre are taken at the window's real size.
    if (m_window->isVisible()) {
        if (auto* view = qobject_cast<IXMapView*>(active)) view->attachToController(this);
        if (m_documentLayout == OutlineLayout || m_documentLayout == TimelineLayout)
            m_outlineView->attachToController(this);
    }
    active->setFocus(Qt::OtherFocusReason);
    m_inspectors->documentViewsDidChange();
}

void IXWindowController::restoreUIState()
{
    m_unshownStoredLayout.reset();
    int layout = 0;
    if (const auto node = documentNode()) {
        const QVariantMap& options = node->userInterfaceOptions();
        if (options.contains(QStringLiteral("view")))
            layout = options.value(QStringLiteral("view")).toInt();
        else if (const auto style = node->style())
            layout = style->documentLayout();
    }
    // A mode this window cannot show opens as the mind map, and stays the stored one until
    // the user picks another.
    const bool shown = isOfferedLayout(layout) || layout == PrintLayout;
    setDocumentLayout(shown ? layout : 0);
    if (!shown) m_unshownStoredLayout = layout;
}

void IXWindowController::saveUIState()
{
    if (const auto node = documentNode())
        node->userInterfaceOptions().insert(QStringLiteral("view"), m_unshownStoredLayout.value_or(m_documentLayout));
}

void IXWindowController::switchToView(QObject* sender)
try {
    auto* item = qobject_cast<QAction*>(sender);
    setDocumentLayout(item ? item->data().toInt() : 0);
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXWindowController::showDocumentWarnings(QObject*)
try {
    IXDocumentWarningsInspector& warnings = IXDocumentWarningsInspector::shared();
    warnings.setController(this);
    warnings.showWindow();
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXWindowController::togglePrintView(QObject*)
try {
    if (m_documentLayout == PrintLayout) {
        setDocumentLayout(m_printingView ? m_printingView->documentLayout() : 0);
        m_viewCommands->didLeavePrintView();
        return;
    }
    m_viewCommands->willEnterPrintView();
    setSelection(IXSelection());
    setDocumentLayout(PrintLayout);
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXWindowController::showAdditionalFoldersPanel(QObject*)
try {
    m_additionalFolders = std::make_unique<IXAdditionalFoldersController>(this);
    m_additionalFolders->runModalSheet();
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXWindowController::printDocument(QObject*)
try {
    PLError error;
    if (!m_document.printDocument({}, true, &error) && error) IXDialogs::shared().presentError(error, m_window);
} catch (...) {
    PLExceptionBoundary::caught();
}

IXTimelineCell* IXWindowController::timelineCell() const
{
    const QPointer<IXMapView>& view = m_mapViews[size_t(TimelineLayout)];
    IXLayoutContext* context = view ? view->layoutContext() : nullptr;
    return context ? context->timelineCell() : nullptr;
}

void IXWindowController::exportAsPDF(QObject*)
try {
    IXDialogs::SavePanel panel;
    panel.title = PLLocalizedStrings::string(QStringLiteral("Export as PDF"));
    panel.fileName = m_document.displayName();
    panel.requiredExtension = QStringLiteral("pdf");
    const std::optional<QString> path = IXDialogs::shared().runSavePanel(panel, m_window);
    if (!path) return;
    PLError error;
    if (!printingView()->writePDF(*path, &error)) IXDialogs::shared().presentError(error, m_window);
} catch (...) {
    PLExceptionBoundary::caught();
}

// --- Selection ---

IXSelection IXWindowController::selection() const
{
    IXLayoutContext* context = layoutContext();
    return context ? context->selection() : IXSelection();
}

std::shared_ptr<IXBranchNode> IXWindowController::selectedBranch() const
{
    return selection().topmostBranchNode();
}

void IXWindowController::setSelection(const IXSelection& selection)
{
    IXLayoutContext* context = layoutContext();
    if (!context) return;
    const auto node = documentNode();
    if (selection.isEmpty()) {
        context->setSelection(node ? IXSelection::selectionWithNode(node) : IXSelection());
        return;
    }
    if (selection.count() >= 2 && node && selection.containsNode(node.get())) {
        IXSelection::NodeList nodes;
        for (const auto& each : selection.nodes())
            if (each != node) nodes.append(each);
        context->setSelection(IXSelection::selectionWithArray(nodes));
        return;
    }
    context->setSelection(selection);
}

bool IXWindowController::respondsToSelector(std::string_view selector) const
{
    return isAnyOf(selector, {IXLayoutContextDidChangeSelection, IXBranchNodeDidChangeProperty});
}

void IXWindowController::notifiedOfBranchNode(IXNode* branch, const QString& property)
{
    if (property != IXProperties::Title) return;
    if (m_brainStorm && branch == m_brainStormActiveBranch.get()) m_brainStormBranchTitled = true;
    const auto node = documentNode();
    if (node && !node->rootBranches().isEmpty() && node->rootBranches().first().get() == branch)
        synchronizeWindowTitleWithDocumentName();
}

void IXWindowController::notifiedOfLayoutContextDidChangeSelection(IXLayoutContext* context,
                                                                   const IXSelection& selection)
{
    if (m_documentLayout == TimelineLayout) {
        // The timeline and the outline below it show one selection.
        IXLayoutContext* active = layoutContext();
        for (IXLayoutContext* other :
             {m_outlineView ? m_outlineView->layoutContext() : nullptr,
              m_mapViews[size_t(TimelineLayout)] ? m_mapViews[size_t(TimelineLayout)]->layoutContext() : nullptr}) {
            if (other && other != context && other != active) other->setSelection(selection);
        }
    }
    if (m_pendingSelectionChange) return;
    m_pendingSelectionChange = true;
    PLRunLoop::perform(this, "notifySelection", [this] { notifySelectionChange(); }, {}, PLRunLoop::commonModes());
}

void IXWindowController::notifySelectionChange()
{
    m_pendingSelectionChange = false;
    // The open font panel follows the selection (nothing while it is hidden).
    updateFontPanel(nullptr);
    if (m_brainStorm) {
        const auto branch = selectedBranch();
        if (!branch || branch != m_brainStormActiveBranch) {
            IXToolManager* tools = IXToolManager::sharedManager();
            if (tools->currentTool() && tools->currentTool()->inherits(IXToolNames::BranchTitle.text())) tools->discardCurrentTool();
            if (branch)
                nextBrainStormAndApplyLastChange(false);
            else
                endBrainStormAndApplyLastChange(false);
        }
    }
    if (m_toolbar && m_toolbar->isShown()) m_toolbar->validateVisibleItems();
    PLNotificationCenter::defaultCenter().post(IXSelectionChangedNotification, this);
}

void IXWindowController::undoDidOpenGroup()
{
    PLUndoManager* undo = m_document.undoManager();
    IXLayoutContext* context = layoutContext();
    if (!undo || !context) return;
    // Undoing a change also brings back the selection it was made in.
    undo->registerUndo(this, [this, before = context->selection()] { setSelection(before); });
}

// --- Brainstorm ---

void IXWindowController::beginBrainStorm()
{
    if (m_brainStorm) endBrainStormAndApplyLastChange(true);
    IXToolManager::sharedManager()->discardCurrentTool();
    std::shared_ptr<IXBranchNode> start = selectedBranch();
    if (!start) {
        const auto node = documentNode();
        if (!node || node->rootBranches().isEmpty()) return;
        start = std::dynamic_pointer_cast<IXBranchNode>(node->rootBranches().first());
        if (!start) return;
        setSelection(IXSelection::selectionWithNode(start));
    }
    m_brainStorm = true;
    nextBrainStormAndApplyLastChange(false);
}

void IXWindowController::nextBrainStormAndApplyLastChange(bool apply)
{
    if (!m_brainStorm) return;
    const auto selected = selectedBranch();
    std::shared_ptr<IXBranchNode> parent;
    if (selected && selected != m_brainStormActiveBranch)
        parent = selected;
    else if (m_brainStormActiveBranch && m_brainStormActiveBranch->parentBranch())
        parent = std::static_pointer_cast<IXBranchNode>(m_brainStormActiveBranch->parentBranch()->shared_from_this());
    if (!parent) {
        endBrainStormAndApplyLastChange(true);
        return;
    }
    if (!apply) dropBrainStormBranch();
    m_brainStormActiveBranch = std::make_shared<IXBranchNode>();
    m_brainStormBranchTitled = false;
    if (const auto style = parent->style()) style->setBranchCollapsed(false);
    parent->insertBranch(m_brainStormActiveBranch, -1);
    setSelection(IXSelection::selectionWithNode(m_brainStormActiveBranch));
    if (IXLayoutContext* context = layoutContext())
        IXToolManager::sharedManager()->activateToolNamed(IXToolNames::BranchTitle, m_brainStormActiveBranch,
                                                          context, IXToolEvent());
}

void IXWindowController::endBrainStormAndApplyLastChange(bool apply)
{
    if (!m_brainStorm) return;
    if (!apply) dropBrainStormBranch();
    m_brainStormActiveBranch.reset();
    m_brainStorm = false;
    IXToolManager::sharedManager()->discardCurrentTool();
}

void IXWindowController::dropBrainStormBranch()
{
    if (!m_brainStormActiveBranch || m_brainStormBranchTitled) return;
    if (IXBranchNode* parent = m_brainStormActiveBranch->parentBranch()) parent->removeBranch(m_brainStormActiveBranch);
}

void IXWindowController::currentToolDiscardedWithKeyCode(int keyCode)
{
    if (!m_brainStorm) return;
    if (keyCode == PLKeyboard::Return)
        PLRunLoop::perform(this, "brainStormNext", [this] { nextBrainStormAndApplyLastChange(true); },
                           std::chrono::milliseconds(100));
    else if (keyCode == PLKeyboard::Escape)
        PLRunLoop::perform(this, "brainStormEnd", [this] { endBrainStormAndApplyLastChange(false); });
}

void IXWindowController::brainStorm(QObject*)
try {
    if (m_brainStorm)
        endBrainStormAndApplyLastChange(false);
    else
        PLRunLoop::perform(
            this, "brainStormBegin", [this] { beginBrainStorm(); }, std::chrono::milliseconds(100));
} catch (...) {
    PLExceptionBoundary::caught();
}

bool IXWindowController::editReferenceInObjectList(const std::shared_ptr<IXReferenceNode>& reference)
{
    const QString name = QStringLiteral("IXObjectListInspector");
    if (!reference || !IXInspectorManager::isInspectorClassRegistered(name)) return false;
    IXInspectorManager* manager = m_inspectors->manager();
    if (manager) {
        if (QDockWidget* pane = m_inspectors->sidePane()) pane->show();
    } else {
        manager = &IXInspectorManager::shared();
        manager->bringToFrontPaneForName(name);
    }
    auto* objectList = dynamic_cast<IXObjectListInspector*>(manager->inspectorForName(name));
    if (!objectList) return false;
    objectList->activateViewForReference(reference, true);
    return true;
}

void IXWindowController::openReference(QObject* sender)
try {
    auto* item = qobject_cast<QAction*>(sender);
    const auto opening = item ? item->data().value<IXReferenceOpening>() : IXReferenceOpening();
    IXApplicationServices* services = IXApplicationServices::shared();
    using Kind = IXReferenceOpening::Kind;
    switch (opening.kind) {
    case Kind::TextNote:
        openTextNoteEditorWithReference(opening.reference);
        break;
    case Kind::WebAddress:
        if (services) services->openURL(opening.url);
        break;
    case Kind::File:
        if (opening.path.isEmpty() || !QFileInfo::exists(opening.path))
            alertAboutReference("AttachedFileNotFoundTitle", "AttachedFileNotFoundMsg");
        else if (!services || !services->openFile(opening.path))
            alertAboutReference("ApplicationNotFoundTitle", "ApplicationNotFoundMsg");
        break;
    case Kind::Branch:
        selectTarget(this, opening.branch, opening.expandsBranchesAbove);
        break;
    case Kind::BranchInDocument:
        openBranchInDocument(opening);
        break;
    case Kind::Nothing:
        break;
    }
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXWindowController::openBranchInDocument(const IXReferenceOpening& opening)
{
    IXApplicationServices* services = IXApplicationServices::shared();
    if (!services || !opening.reference) return;
    PLError error;
    IXOpenDocument* opened = services->openDocumentWithContentsOfURL(QUrl::fromLocalFile(opening.path), true, &error);
    if (!opened) {
        if (error) IXDialogs::shared().presentError(error, m_window);
        return;
    }
    opened->showWindows();
    const std::shared_ptr<IXDocumentNode> node = opened->documentNode();
    selectTarget(opened->lastWindowController(), opening.reference->targetValueWithDocumentNode(node.get()).node(),
                 opening.expandsBranchesAbove);
}

void IXWindowController::alertAboutReference(const char* titleKey, const char* messageKey)
{
    IXDialogs::Alert alert;
    alert.title = PLLocalizedStrings::string(QString::fromLatin1(titleKey));
    alert.message = PLLocalizedStrings::string(QString::fromLatin1(messageKey));
    alert.buttons = {PLLocalizedStrings::string(QStringLiteral("OK"))};
    alert.cancelButton = 0;
    IXDialogs::shared().runAlert(alert, m_window);
}

// --- Saving ---

void IXWindowController::documentWillSave()
{
    m_noteEditor->documentWillSave();
    saveUIState();
    if (layoutNode()) savePreviewImages();
    if (const auto node = documentNode()) {
        IXSpellCheckingController::sharedController().flushIgnoredWords(*node);
        node->saveIgnoredWords();
    }
}

void IXWindowController::savePreviewImages()
{
    const auto node = documentNode();
    if (!node) return;
    const IXMapPreview preview(this, layoutNode());
    const QByteArray jpeg = preview.jpgPreview();
    if (!jpeg.isEmpty()) node->packageParts().setData(jpeg, QStringLiteral("preview"));
    const QByteArray png =
        preview.pngPreview(PLSize(IXMapPreview::ThumbnailMaximumSide, IXMapPreview::ThumbnailMaximumSide));
    if (!png.isEmpty()) node->packageParts().setData(png, QStringLiteral("thumbnail"));
}

// --- Model requests ---

void IXWindowController::openTextNoteEditorWithReference(const std::shared_ptr<IXReferenceNode>& reference)
{
    m_noteEditor->openNote(reference, std::nullopt);
}

void IXWindowController::openTextNoteEditorSelectingRange(const std::shared_ptr<IXReferenceNode>& reference,
                                                          PLRange range)
{
    m_noteEditor->openNote(reference, range);
}

QWidget* IXWindowController::workAreaWidget() const
{
    QWidget* view = documentView();
    if (!view) return nullptr;
    if (auto* scroller = qobject_cast<QAbstractScrollArea*>(view)) return scroller->viewport();
    if (IXScalingScrollView* scroller = IXScalingScrollView::scalingScrollView(view)) return scroller->viewport();
    return view;
}

void IXWindowController::toggleTextEditor(QObject*)
try {
    m_noteEditor->toggleTextEditor();
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXWindowController::toggleOverview(QObject*)
try {
    m_overview->toggleOverview();
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXWindowController::orderFrontFontPanel(QObject*)
try {
    m_noteEditor->orderFrontFontPanel();
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXWindowController::addSubbranch()
{
    m_nodeCommands->addSubbranch(nullptr);
}

// --- Full screen ---

void IXWindowController::adaptToFullScreenMode()
{
    m_viewCommands->adaptToFullScreenMode();
}

void IXWindowController::restoreAfterFullScreenMode()
{
    m_viewCommands->restoreAfterFullScreenMode();
}

// --- Commands ---

void IXWindowController::saveDocument(QObject*)
try {
    m_document.saveDocument();
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXWindowController::saveDocumentAs(QObject*)
try {
    m_document.saveDocumentAs();
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXWindowController::saveDocumentAsTemplate(QObject*)
try {
    m_document.saveDocumentAsTemplate();
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXWindowController::revertDocumentToSaved(QObject*)
try {
    m_document.revertDocumentToSaved();
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXWindowController::performClose(QObject*)
try {
    // Closing the document deletes this controller: nothing may touch it afterwards.
    IXDocumentController::shared().closeDocument(&m_document);
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXWindowController::undo(QObject*)
try {
    if (PLUndoManager* undo = m_document.undoManager(); undo && undo->canUndo()) undo->undo();
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXWindowController::redo(QObject*)
try {
    if (PLUndoManager* undo = m_document.undoManager(); undo && undo->canRedo()) undo->redo();
} catch (...) {
    PLExceptionBoundary::caught();
}

bool IXWindowController::validateMenuItem(QAction* item)
try {
    const QByteArray action = IXActionItem::actionOf(item);
    PLUndoManager* undo = m_document.undoManager();
    if (action == IXCommands::Undo) {
        item->setText(undo ? undo->undoMenuItemTitle() : PLLocalizedStrings::string(QStringLiteral("Undo")));
        return undo && undo->canUndo();
    }
    if (action == IXCommands::Redo) {
        item->setText(undo ? undo->redoMenuItemTitle() : PLLocalizedStrings::string(QStringLiteral("Redo")));
        return undo && undo->canRedo();
    }
    if (action == IXCommands::PrintDocument || action == IXCommands::ExportAsPDF) return bool(documentNode());
    if (action == IXCommands::ShowDocumentWarnings) return documentNode() != nullptr;
    if (action == IXCommands::ShowAdditionalFoldersPanel) return documentNode() != nullptr;
    if (action == IXCommands::RevertDocumentToSaved) return !m_document.fileName().isEmpty() && m_document.isDocumentEdited();
    if (const std::optional<bool> bar = m_toolbar->validateMenuItem(item)) return *bar;
    if (const std::optional<bool> overview = m_overview->validate(item)) return *overview;
    return m_viewCommands->validateMenuItem(item);
} catch (...) {
    PLExceptionBoundary::caught();
    return false;
}

bool IXWindowController::validateToolbarItem(QAction* item)
try {
    return m_toolbar->validateToolbarItem(item);
} catch (...) {
    PLExceptionBoundary::caught();
    return false;
}

bool IXWindowController::validateToolbarItem(UTToolbarItem* item)
{
    return validateToolbarItem(static_cast<QAction*>(item));
}

void IXWindowController::toggleToolbarShown(QObject*)
try {
    m_toolbar->toggleShown();
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXWindowController::runToolbarCustomizationPalette(QObject*)
try {
    m_toolbar->runCustomizationPalette();
} catch (...) {
    PLExceptionBoundary::caught();
}

// --- Find and spelling ---

#define IX_FIND_COMMAND(command) \
    void IXWindowController::command(QObject* sender) \
    try { \
        IXFindAndSpellingCommands::command(sender); \
    } catch (...) { \
        PLExceptionBoundary::caught(); \
    }

IX_FIND_COMMAND(ixFindPanelAction)
IX_FIND_COMMAND(checkSpelling)
IX_FIND_COMMAND(showGuessPanel)
IX_FIND_COMMAND(toggleContinuousSpellChecking)
#undef IX_FIND_COMMAND

// --- Node commands ---

#define IX_NODE_COMMAND(command) \
    void IXWindowController::command(QObject* sender) \
    try { \
        m_nodeCommands->command(sender); \
    } catch (...) { \
        PLExceptionBoundary::caught(); \
    }

IX_NODE_COMMAND(addBranch)
IX_NODE_COMMAND(addSubbranch)
IX_NODE_COMMAND(addPrebranch)
IX_NODE_COMMAND(removeBranch)
IX_NODE_COMMAND(removeBranchSection)
IX_NODE_COMMAND(removeFloating)
IX_NODE_COMMAND(removeSelectedNodes)
IX_NODE_COMMAND(removeComment)
IX_NODE_COMMAND(removePicture)
IX_NODE_COMMAND(removeIcon)
IX_NODE_COMMAND(detachBranch)
IX_NODE_COMMAND(detachPicture)
IX_NODE_COMMAND(detachFloatingNode)
IX_NODE_COMMAND(addComment)
IX_NODE_COMMAND(addFloatingComment)
IX_NODE_COMMAND(addPicture)
IX_NODE_COMMAND(toggleCollapser)
IX_NODE_COMMAND(editTitle)
IX_NODE_COMMAND(editTextNote)
IX_NODE_COMMAND(makeBranchConnection)
IX_NODE_COMMAND(attachHyperlink)
IX_NODE_COMMAND(attachTextFile)
IX_NODE_COMMAND(attachPictureFile)
IX_NODE_COMMAND(attachVideoFile)
IX_NODE_COMMAND(attachSoundFile)
IX_NODE_COMMAND(attachFlashFile)

#undef IX_NODE_COMMAND

// --- View, panel and style commands ---

#define IX_VIEW_COMMAND(command) \
    void IXWindowController::command(QObject* sender) \
    try { \
        m_viewCommands->command(sender); \
    } catch (...) { \
        PLExceptionBoundary::caught(); \
    }

IX_VIEW_COMMAND(toggleFilter)
IX_VIEW_COMMAND(changeLevel)
IX_VIEW_COMMAND(fitToScreen)
IX_VIEW_COMMAND(toggleBrainStorm)
IX_VIEW_COMMAND(toggleInspector)
IX_VIEW_COMMAND(toggleInspectorPanels)
IX_VIEW_COMMAND(resetInspectors)
IX_VIEW_COMMAND(switchRootShape)
IX_VIEW_COMMAND(switchDocumentStyle)
IX_VIEW_COMMAND(clearStyles)
IX_VIEW_COMMAND(clearAllStyles)
IX_VIEW_COMMAND(saveAsTemplate)

#undef IX_VIEW_COMMAND

// --- Clipboard commands ---

#define IX_CLIPBOARD_COMMAND(command) \
    void IXWindowController::command(QObject* sender) \
    try { \
        m_clipboardCommands->command(sender); \
    } catch (...) { \
        PLExceptionBoundary::caught(); \
    }

IX_CLIPBOARD_COMMAND(copy)
IX_CLIPBOARD_COMMAND(copyStyles)
IX_CLIPBOARD_COMMAND(cut)
IX_CLIPBOARD_COMMAND(paste)
IX_CLIPBOARD_COMMAND(pasteWithoutStyles)
IX_CLIPBOARD_COMMAND(pasteStyles)
IX_CLIPBOARD_COMMAND(detachBranchAsDocument)

#undef IX_CLIPBOARD_COMMAND

// --- Fonts ---

namespace {

bool isFirstResponder(const QWidget* view)
{
    return view && view->window() && view->window()->focusWidget() == view;
}

}  // namespace

void IXWindowController::showFontPanel(QObject* sender)
try {
    IXFontPanel::orderFront();
    if (isFirstResponder(documentView())) updateFontPanel(sender);
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXWindowController::updateFontPanel(QObject*)
try {
    IXLayoutContext* context = layoutContext();
    if (!context || context->selection().nodes().isEmpty() || !isFirstResponder(documentView())
        || !IXFontPanel::isVisible())
        return;
    IXNode* node = context->selection().nodes().back().get();
    const std::shared_ptr<const IXStyleNode> style = context->styleForReading(node);
    std::optional<QFont> font;
    if (dynamic_cast<IXBranchNode*>(node))
        font = style->branchTextFont();
    else if (dynamic_cast<IXCommentNode*>(node))
        font = style->floatingTextFont();
    if (font) IXFontPanel::setPanelFont(*font);
} catch (...) {
    PLExceptionBoundary::caught();
}

bool IXWindowController::canShowFontPanel() const
{
    return documentView() != nullptr;
}

void IXWindowController::showFontPanel()
{
    QWidget* view = documentView();
    if (!view) return;
    view->setFocus(Qt::OtherFocusReason);
    showFontPanel(nullptr);
}
