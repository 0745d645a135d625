#include "DocumentWindow/IXViewCommands.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXSelection.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentViews/IXActionItem.h"
#include "DocumentViews/IXCommandNames.h"
#include "DocumentViews/IXMapView.h"
#include "DocumentViews/IXOutlineMapView.h"
#include "DocumentViews/IXScalingScrollView.h"
#include "DocumentWindow/IXClipboardCommands.h"
#include "DocumentWindow/IXDialogs.h"
#include "DocumentWindow/IXDocument.h"
#include "DocumentWindow/IXDocumentStyles.h"
#include "DocumentWindow/IXDocumentWindow.h"
#include "DocumentWindow/IXFindAndSpellingCommands.h"
#include "DocumentWindow/IXNodeCommands.h"
#include "DocumentWindow/IXWindowController.h"
#include "DocumentWindow/IXWindowInspectors.h"
#include "DocumentWindow/IXWindowNoteEditor.h"
#include "DocumentWindow/IXWindowToolbar.h"
#include "Inspectors/IXInspectorManager.h"
#include "MapLayout/IXBranchGroupCell.h"
#include "MapLayout/IXLayoutContext.h"
#include "Platform/Core/PLError.h"
#include "Platform/Drawing/PLNamedImages.h"
#include "Platform/System/PLLocalizedStrings.h"
#include "UtilityWidgets/UTBeep.h"

#include <QAction>
#include <QDockWidget>
#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <QRect>
#include <QScreen>
#include <QToolBar>

#include <array>

const QString IXViewCommands::ScaleStateKey = QStringLiteral("ScaleState");
const QString IXViewCommands::WinFrameStateKey = QStringLiteral("WinFrameState");
const QString IXViewCommands::InspectorStateKey = QStringLiteral("InspectorState");

namespace {

constexpr int OutlineLayout = 3;
constexpr int TimelineLayout = 4;
constexpr int PrintLayout = 9;
constexpr int RootShapeCount = 11;

int tagOf(const QObject* sender)
{
    const auto* item = qobject_cast<const QAction*>(sender);
    return item ? item->data().toInt() : 0;
}

// Item pictures of the root shapes, by tag; 0 has none.
const std::array<const char*, RootShapeCount>& rootShapeImages()
{
    static const std::array<const char*, RootShapeCount> names {nullptr,
                                                                "toolbar_shape_square",
                                                                "toolbar_shape_ellipse",
                                                                "toolbar_shape_round",
                                                                "toolbar_shape_standard",
                                                                "toolbar_shape_bubble",
                                                                "toolbar_shape_squarecut",
                                                                "toolbar_shape_notebook_h",
                                                                "toolbar_shape_notebook_v",
                                                                "toolbar_shape_clipboard",
                                                                "toolbar_shape_handdrawn"};
    return names;
}

const std::array<const char*, 5>& viewTypes()
{
    static const std::array<const char*, 5> names {"mapview_mindmap", "mapview_topdown", "mapview_leftright",
                                                   "mapview_outline", "mapview_timeline"};
    return names;
}

// Gives an item without a picture the named one, when the resources have it.
void setPictureWhenMissing(QAction* item, const QString& name, int side = 0)
{
    if (!item->icon().isNull() || name.isEmpty()) return;
    QImage image = PLNamedImages::imageNamed(name);
    if (image.isNull()) return;
    if (side > 0) image = image.scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    item->setIcon(QIcon(QPixmap::fromImage(image)));
}

QString frameText(const QRect& frame)
{
    return QStringLiteral("{{%1, %2}, {%3, %4}}").arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height());
}

std::optional<QRect> frameFromText(const QString& text)
{
    QString digits = text;
    digits.remove(QLatin1Char('{')).remove(QLatin1Char('}'));
    const QStringList parts = digits.split(QLatin1Char(','));
    if (parts.size() != 4) return std::nullopt;
    std::array<int, 4> values {};
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        values[size_t(i)] = parts[i].trimmed().toInt(&ok);
        if (!ok) return std::nullopt;
    }
    if (values[2] <= 0 || values[3] <= 0) return std::nullopt;
    return QRect(values[0], values[1], values[2], values[3]);
}

}  // namespace

IXViewCommands::IXViewCommands(IXWindowController& controller)
    : m_controller(controller)
{
}

// --- Filter, level, fit ---

void IXViewCommands::toggleFilter(QObject*)
{
    IXLayoutContext* context = m_controller.layoutContext();
    if (!context) return;
    const std::shared_ptr<IXBranchNode> former = context->branchFilter();
    std::shared_ptr<IXBranchNode> filter;
    if (!former) {
        filter = m_controller.selectedBranch();
        if (!filter) {
            UTBeep::beep();
            return;
        }
    }
    context->setBranchFilter(filter);
    if (m_controller.documentLayout() == TimelineLayout) {
        IXMapView* timeline = m_controller.mapViewForLayout(TimelineLayout);
        for (IXLayoutContext* other :
             {m_controller.outlineMapView()->layoutContext(), timeline ? timeline->layoutContext() : nullptr})
            if (other && other != context) other->setBranchFilter(filter);
    }
    QWidget* view = m_controller.documentView();
    if (filter) {
        if (IXScalingScrollView* scroller = IXScalingScrollView::scalingScrollView(view)) scroller->scaleToFit(nullptr);
        return;
    }
    // Back from a branch deep in the map: its parent's group comes into view.
    auto* mapView = qobject_cast<IXMapView*>(view);
    IXBranchNode* parent = former->level() > 0 ? former->parentBranch() : nullptr;
    IXBranchGroupCell* group = parent ? context->cells().branchGroupCellForNode(parent) : nullptr;
    if (!mapView || !group) return;
    mapView->scrollRectToVisible(context->coordinates().convertRectFromCell(group->bounds(), group));
}

void IXViewCommands::changeLevel(QObject* sender)
{
    if (IXLayoutContext* context = m_controller.layoutContext()) context->setDetailLevel(tagOf(sender));
}

void IXViewCommands::fitToScreen(QObject* sender)
{
    if (IXScalingScrollView* scroller = IXScalingScrollView::scalingScrollView(m_controller.documentView()))
        scroller->fitToScreen(sender);
}

void IXViewCommands::toggleBrainStorm(QObject* sender)
{
    m_controller.brainStorm(sender);
}

// --- Inspectors ---

void IXViewCommands::toggleInspector(QObject*)
{
    m_controller.inspectors()->toggleInspectorPanels();
}

void IXViewCommands::toggleInspectorPanels(QObject*)
{
    if (!IXWindowInspectors::isAllInOneLayout()) m_controller.inspectors()->toggleInspectorPanels();
}

void IXViewCommands::resetInspectors(QObject*)
{
    m_controller.inspectors()->resetInspectors();
}

bool IXViewCommands::inspectorsVisible() const
{
    if (!IXWindowInspectors::isAllInOneLayout())
        return IXInspectorManager::hasInspectorClasses() && IXInspectorManager::shared().areInspectorsVisible();
    const QDockWidget* pane = m_controller.inspectors()->sidePane();
    return pane && pane->isVisibleTo(m_controller.documentWindow());
}

void IXViewCommands::setInspectorsVisible(bool visible)
{
    if (!IXWindowInspectors::isAllInOneLayout()) {
        if (!IXInspectorManager::hasInspectorClasses()) return;
        if (visible)
            IXInspectorManager::shared().show();
        else
            IXInspectorManager::shared().hide();
        return;
    }
    if (QDockWidget* pane = m_controller.inspectors()->sidePane()) pane->setVisible(visible);
}

// --- Full screen ---

void IXViewCommands::adaptToFullScreenMode()
{
    IXDocumentWindow* window = m_controller.documentWindow();
    if (!window) return;
    m_windowState.clear();
    if (IXScalingScrollView* scroller = IXScalingScrollView::scalingScrollView(m_controller.documentView()))
        m_windowState.insert(ScaleStateKey, scroller->scaleFactor());
    m_windowState.insert(WinFrameStateKey,
                         frameText(window->normalGeometry().isValid() ? window->normalGeometry() : window->geometry()));
    m_windowState.insert(InspectorStateKey, inspectorsVisible());
    m_stateBeforeFullScreen = window->windowState() & ~Qt::WindowFullScreen;
    setInspectorsVisible(false);
    // The window's own toolbar keeps the user's choice itself; other toolbars shown now come
    // back with the window.
    m_controller.toolbar().hideForFullScreen();
    m_toolBarsHiddenForFullScreen.clear();
    for (QToolBar* bar : window->findChildren<QToolBar*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!bar->isVisibleTo(window)) continue;
        m_toolBarsHiddenForFullScreen.append(bar);
        bar->hide();
    }
    window->showFullScreen();
    if (IXScalingScrollView* scroller = IXScalingScrollView::scalingScrollView(m_controller.documentView()))
        scroller->scaleToFit(nullptr);
    if (m_controller.noteEditor().isEditorVisible()) m_controller.noteEditor().toggleTextEditor();
}

void IXViewCommands::restoreAfterFullScreenMode()
{
    IXDocumentWindow* window = m_controller.documentWindow();
    if (!window || m_windowState.isEmpty()) return;
    if (m_windowState.contains(InspectorStateKey))
        setInspectorsVisible(m_windowState.value(InspectorStateKey).toBool());
    window->setWindowState(m_stateBeforeFullScreen);
    if (m_windowState.contains(WinFrameStateKey) && !(m_stateBeforeFullScreen & Qt::WindowMaximized))
        if (const std::optional<QRect> frame = frameFromText(m_windowState.value(WinFrameStateKey).toString()))
            window->setGeometry(*frame);
    window->show();
    if (m_windowState.contains(ScaleStateKey))
        if (IXScalingScrollView* scroller = IXScalingScrollView::scalingScrollView(m_controller.documentView()))
            scroller->setScaleFactor(m_windowState.value(ScaleStateKey).toDouble());
    for (const QPointer<QToolBar>& bar : m_toolBarsHiddenForFullScreen)
        if (bar) bar->show();
    m_toolBarsHiddenForFullScreen.clear();
    m_controller.toolbar().restoreAfterFullScreen();
    m_windowState.clear();
}

// --- Print view ---

void IXViewCommands::willEnterPrintView()
{
    IXWindowNoteEditor& notes = m_controller.noteEditor();
    m_textNoteVisible = notes.isEditorVisible();
    if (m_textNoteVisible) notes.toggleTextEditor();
}

void IXViewCommands::didLeavePrintView()
{
    IXWindowNoteEditor& notes = m_controller.noteEditor();
    if (m_textNoteVisible && !notes.isEditorVisible()) notes.toggleTextEditor();
    m_textNoteVisible = false;
}

// --- Styles ---

void IXViewCommands::switchRootShape(QObject* sender)
{
    const int tag = tagOf(sender);
    IXLayoutContext* context = m_controller.layoutContext();
    const std::shared_ptr<IXDocumentNode> document = m_controller.documentNode();
    if (tag < 0 || !context || !document) return;
    for (const std::shared_ptr<IXNode>& root : document->rootBranches())
        if (const std::shared_ptr<IXStyleNode> style = context->styleForNode(root.get()))
            style->setBranchFrameType(tag);
}

void IXViewCommands::switchDocumentStyle(QObject* sender)
{
    const int tag = tagOf(sender);
    const QList<IXDocumentStyles::Entry>& list = IXDocumentStyles::stylesList();
    const std::shared_ptr<IXDocumentNode> document = m_controller.documentNode();
    if (tag < 0 || tag >= list.size() || !document) return;
    QFile file(IXDocumentStyles::pathForEntry(list.at(tag)));
    if (!file.open(QIODevice::ReadOnly)) return;
    PLError error;
    if (!IXDocumentStyles::applyArchive(*document, file.readAll(), &error))
        IXDialogs::shared().presentError(error, m_controller.documentWindow());
}

void IXViewCommands::clearStyles(QObject*)
{
    const std::shared_ptr<IXDocumentNode> document = m_controller.documentNode();
    if (!document) return;
    for (const std::shared_ptr<IXNode>& node : m_controller.selection().nodes())
        document->clearStyleAttributesForNode(node.get());
}

void IXViewCommands::clearAllStyles(QObject* sender)
{
    const std::shared_ptr<IXDocumentNode> document = m_controller.documentNode();
    if (!document) return;
    document->clearStyleAttributesForNode(document.get());
    clearStyles(sender);
}

void IXViewCommands::saveAsTemplate(QObject*)
{
    m_controller.shellDocument().saveDocumentAsTemplate();
}

// --- Validation ---

bool IXViewCommands::validateMenuItem(QAction* item)
{
    const QByteArray action = IXActionItem::actionOf(item);
    const int mode = m_controller.documentLayout();
    const bool print = mode == PrintLayout;
    const bool outline = mode == OutlineLayout;
    const int tag = tagOf(item);
    const bool allInOne = IXWindowInspectors::isAllInOneLayout();
    IXLayoutContext* context = m_controller.layoutContext();
    const std::shared_ptr<IXBranchNode> branch = m_controller.selectedBranch();
    const auto is = [&action](std::initializer_list<IXCommand> commands) {
        return std::any_of(commands.begin(), commands.end(), [&action](const IXCommand& c) { return action == c; });
    };

    // Not built yet: nothing may offer them.
    if (is({IXCommands::Export, IXCommands::QuickExport, IXCommands::PackAndGo, IXCommands::ToggleMedia})) return false;
    if (is({IXCommands::FitToScreen, IXCommands::AddFloatingComment}) && (print || outline)) return false;
    if (is({IXCommands::MakeBranchConnection}) && outline) return false;
    if (action == IXCommands::AddPicture && tag == 0 && outline) return false;
    // What edits the map's branches, or acts on a selection the print layout does not have.
    if (print
        && is({IXCommands::AddPrebranch, IXCommands::RemovePicture, IXCommands::DetachPicture,
               IXCommands::RemoveBranchSection, IXCommands::RemoveIcon, IXCommands::RemoveComment,
               IXCommands::DetachBranch, IXCommands::DetachFloatingNode, IXCommands::RemoveFloating,
               IXCommands::ToggleFilter, IXCommands::ToggleCollapser, IXCommands::PasteStyles,
               IXCommands::DetachBranchAsDocument, IXCommands::ToggleTextEditor, IXCommands::ClearStyles,
               IXCommands::SwitchRootShape, IXCommands::ToggleBrainStorm, IXCommands::BrainStorm})) {
        if (action == IXCommands::ToggleTextEditor) {
            item->setCheckable(true);
            item->setChecked(m_controller.noteEditor().isEditorVisible());
        }
        return false;
    }

    if (action == IXCommands::FitToScreen) return IXScalingScrollView::scalingScrollView(m_controller.documentView());
    if (action == IXCommands::ResetInspectors) return !allInOne && IXInspectorManager::hasInspectorClasses();
    if (is({IXCommands::ToggleInspectorPanels, IXCommands::ToggleInspector})) {
        if (!allInOne)
            return IXInspectorManager::hasInspectorClasses() && IXInspectorManager::shared().validateMenuItem(item);
        item->setText(PLLocalizedStrings::string(inspectorsVisible() ? QStringLiteral("Hide inspectors")
                                                                     : QStringLiteral("Show inspectors")));
        // The side pane is there only once an inspector is.
        return action == IXCommands::ToggleInspector && m_controller.inspectors()->sidePane();
    }
    if (is({IXCommands::ToggleBrainStorm, IXCommands::BrainStorm})) {
        item->setCheckable(true);
        item->setChecked(m_controller.isBrainStormMode());
        return mode >= 0 && mode <= TimelineLayout;
    }
    if (action == IXCommands::TogglePrintView) {
        item->setText(
            PLLocalizedStrings::string(print ? QStringLiteral("Hide Print View") : QStringLiteral("Show Print View")));
        return bool(m_controller.documentNode());
    }
    if (action == IXCommands::SwitchToView) {
        item->setCheckable(true);
        item->setChecked(tag == mode);
        if (tag < 0 || tag >= int(viewTypes().size())) return false;
        setPictureWhenMissing(item, QStringLiteral("toolbar_") + QString::fromLatin1(viewTypes()[size_t(tag)]), 32);
        return true;
    }
    if (action == IXCommands::SwitchRootShape) {
        if (tag < 0 || tag >= RootShapeCount) return false;
        if (const char* image = rootShapeImages()[size_t(tag)]) setPictureWhenMissing(item, QString::fromLatin1(image));
        return context && !m_controller.documentNode()->rootBranches().isEmpty();
    }
    if (action == IXCommands::SwitchDocumentStyle) {
        const QList<IXDocumentStyles::Entry>& list = IXDocumentStyles::stylesList();
        return tag >= 0 && tag < list.size() && !IXDocumentStyles::pathForEntry(list.at(tag)).isEmpty();
    }
    if (action == IXCommands::ToggleFilter) {
        const bool filtered = context && context->branchFilter();
        item->setCheckable(true);
        item->setChecked(filtered);
        return filtered || branch;
    }
    if (action == IXCommands::ChangeLevel) return context != nullptr;
    if (action == IXCommands::ClearStyles) {
        const IXSelection selection = m_controller.selection();
        return !selection.isEmpty() && !selection.isDocument();
    }
    if (action == IXCommands::ClearAllStyles || action == IXCommands::SaveAsTemplate)
        return bool(m_controller.documentNode());

    // The rules that need only the selection and the pasteboard live with their commands.
    if (const std::optional<bool> clipboard = m_controller.clipboardCommands().validateMenuItem(item))
        return *clipboard;
    if (const std::optional<bool> note = m_controller.noteEditor().validate(item)) return *note;
    if (const std::optional<bool> valid = IXFindAndSpellingCommands::validateMenuItem(item)) return *valid;
    return m_controller.nodeCommands().validateMenuItem(item).value_or(true);
}
