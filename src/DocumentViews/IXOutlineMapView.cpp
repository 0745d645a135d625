#include "DocumentViews/IXOutlineMapView.h"

#include "DocumentModel/IXApplicationServices.h"
#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXLayoutNode.h"
#include "DocumentModel/IXOpenDocument.h"
#include "DocumentModel/IXPictureNode.h"
#include "DocumentModel/IXPropertyNames.h"
#include "DocumentModel/IXSelection.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentModel/IXToolNames.h"
#include "DocumentModel/IXWindowControlling.h"
#include "DocumentViews/IXOutlineHoverTags.h"
#include "DocumentViews/IXOutlineModel.h"
#include "DocumentViews/IXToolEvent.h"
#include "DocumentViews/IXToolManager.h"
#include "DocumentViews/IXWindowControllerLookup.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXQuickViewControlling.h"
#include "Platform/Core/PLAssert.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/Core/PLLog.h"
#include "Platform/Core/PLRunLoop.h"
#include "Platform/System/PLKeyboard.h"
#include "Platform/System/PLLocalizedStrings.h"
#include "UtilityWidgets/UTDateTimeCell.h"
#include "UtilityWidgets/UTDateTimePicker.h"
#include "UtilityWidgets/UTImageSetCell.h"
#include "UtilityWidgets/UTTableHeaderView.h"

#include <QAction>
#include <QFontMetrics>
#include <QHash>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMetaMethod>
#include <QPainter>
#include <QPointer>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

const QString DisabledColumnsKey = QStringLiteral("IXOutlineDisabledColumns");
const QString AutohideColumnsKey = QStringLiteral("IXOutlineAutohideColumns");
constexpr int IndicatorWidth = 12;
constexpr int DateWidth = 100;
constexpr int AutoHideTag = -2;

QString localized(const char* key)
{
    return PLLocalizedStrings::string(QString::fromUtf8(key));
}

struct SyncScope {
    explicit SyncScope(int& counter)
        : count(counter)
    {
        ++count;
    }
    ~SyncScope() { --count; }
    int& count;
};

// The sibling list a branch lives in: its parent's sub-branches or the document's roots.
struct Siblings {
    IXBranchNode* parentBranch = nullptr;
    IXDocumentNode* document = nullptr;
    int index = -1;
    int count = 0;

    static Siblings of(const std::shared_ptr<IXBranchNode>& branch)
    {
        Siblings result;
        IXNode* parent = branch ? branch->parentNode() : nullptr;
        if (!parent) return result;
        if (parent->isDocument()) {
            result.document = static_cast<IXDocumentNode*>(parent);
            result.index = int(result.document->rootBranches().indexOf(branch));
            result.count = int(result.document->rootBranches().size());
        } else if (parent->isBranch()) {
            result.parentBranch = static_cast<IXBranchNode*>(parent);
            result.index = int(result.parentBranch->branches().indexOf(branch));
            result.count = int(result.parentBranch->branches().size());
        }
        return result;
    }
    bool valid() const { return index >= 0 && (parentBranch || document); }
    std::shared_ptr<IXBranchNode> at(int i) const
    {
        if (parentBranch) return parentBranch->branches().value(i);
        return std::dynamic_pointer_cast<IXBranchNode>(document->rootBranches().value(i));
    }
    void remove(const std::shared_ptr<IXBranchNode>& branch) const
    {
        if (parentBranch)
            parentBranch->removeBranch(branch);
        else
            document->removeRootBranch(branch);
    }
    void insert(const std::shared_ptr<IXBranchNode>& branch, int at) const
    {
        if (parentBranch)
            parentBranch->insertBranch(branch, at);
        else
            document->insertRootBranch(branch, at);
    }
};

bool branchIsCollapsed(const IXBranchNode& branch)
{
    const auto style = branch.existingStyle();
    return style && style->branchCollapsed();
}

}  // namespace

IXOutlineMapView::IXOutlineMapView(QWidget* parent)
    : QTreeView(parent)
{
    m_model = new IXOutlineModel(this);
    m_model->setRowWillChange([this](const QModelIndex& index, int oldFlags, int oldWidth, int newFlags, int newWidth) {
        rowWillChange(index, oldFlags, oldWidth, newFlags, newWidth);
    });
    // Connected before the view's own, so the counts see removed rows while they still exist.
    PLExceptionBoundary::connect(m_model, &QAbstractItemModel::rowsAboutToBeRemoved, this,
                                 [this](const QModelIndex& parent, int first, int last) {
                                     if (!isShown(parent) || (parent.isValid() && !isExpanded(parent))) return;
                                     for (int row = first; row <= last; ++row)
                                         countRows(m_model->index(row, 0, parent), -1, true);
                                 });
    setModel(m_model);
    PLExceptionBoundary::connect(m_model, &QAbstractItemModel::rowsInserted, this,
                                 [this](const QModelIndex& parent, int first, int last) {
                                     const bool shown = isShown(parent) && (!parent.isValid() || isExpanded(parent));
                                     if (shown) {
                                         for (int row = first; row <= last; ++row)
                                             countRows(m_model->index(row, 0, parent), 1, true);
                                     }
                                     // A parent given its first rows opens unless collapsed (its
                                     // opening counts them).
                                     if (parent.isValid() && m_model->rowCount(parent) == last - first + 1)
                                         syncExpansion(parent);
                                     for (int row = first; row <= last; ++row)
                                         syncExpansionBelow(m_model->index(row, 0, parent));
                                     applyColumns();
                                     updateSelection();
                                 });
    PLExceptionBoundary::connect(m_model, &QAbstractItemModel::rowsRemoved, this, [this] {
        applyColumns();
        updateSelection();
    });
    PLExceptionBoundary::connect(m_model, &QAbstractItemModel::rowsMoved, this, [this] { updateSelection(); });
    PLExceptionBoundary::connect(m_model, &QAbstractItemModel::modelReset, this, [this] {
        m_counts = ShownCounts();
        m_iconWidths.clear();
        for (int row = 0, rows = m_model->rowCount(); row < rows; ++row) countRows(m_model->index(row, 0), 1, true);
        applyColumns();
    });
    PLExceptionBoundary::connect(m_model, &IXOutlineModel::endDateRefused, this, [this] { endDateRefused(); });
    PLExceptionBoundary::connect(m_model, &IXOutlineModel::documentPropertyChanged, this, [this] {
        discardEditing();
        setupTimeFormat();
    });
    PLExceptionBoundary::connect(this, &QTreeView::expanded, this,
                                 [this](const QModelIndex& index) { rowExpansionChanged(index, true); });
    PLExceptionBoundary::connect(this, &QTreeView::collapsed, this,
                                 [this](const QModelIndex& index) { rowExpansionChanged(index, false); });

    auto* header = new UTTableHeaderView(this);
    setHeader(header);
    header->setSectionsMovable(false);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    PLExceptionBoundary::connect(header, &QWidget::customContextMenuRequested, this,
                                 [this, header](const QPoint& point) { showColumnMenu(header->mapToGlobal(point)); });
    setTreePosition(IXOutlineModel::Title);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    // Edits start only from the view's own keys and double clicks (edit() refuses the rest).
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed
                    | QAbstractItemView::DoubleClicked);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::InternalMove);
    setDefaultDropAction(Qt::MoveAction);
    setExpandsOnDoubleClick(false);
    setAllColumnsShowFocus(true);

    m_dateCell = new UTDateTimeCell(this);
    m_iconsCell = new UTImageSetCell(this);
    m_iconsCell->setDataRole(IXOutlineModel::IconsRole);
    setItemDelegateForColumn(IXOutlineModel::Start, m_dateCell);
    setItemDelegateForColumn(IXOutlineModel::End, m_dateCell);
    setItemDelegateForColumn(IXOutlineModel::Icons, m_iconsCell);
    for (int column = IXOutlineModel::Picture; column <= IXOutlineModel::Icons; ++column) {
        header->setSectionResizeMode(column, QHeaderView::Fixed);
        setColumnWidth(column, IndicatorWidth + 4);
    }
    setColumnWidth(IXOutlineModel::Title, 400);
    setColumnWidth(IXOutlineModel::Start, DateWidth);
    setColumnWidth(IXOutlineModel::End, DateWidth);
    header->setMinimumSectionSize(16);
    buildColumnMenu();
    m_hoverTags = new IXOutlineHoverTags(this);
}

IXOutlineMapView::~IXOutlineMapView()
{
    PLRunLoop::cancel(this);
    if (m_context) {
        PLLog::write(QStringLiteral("Invalid parameter not satisfying: !_context"));
        detachFromController();
    }
}

// --- Document viewing ---

namespace {

QHash<const IXLayoutContext*, QPointer<IXOutlineMapView>>& outlinesByContext()
{
    static QHash<const IXLayoutContext*, QPointer<IXOutlineMapView>> outlines;
    return outlines;
}

}  // namespace

IXOutlineMapView* IXOutlineMapView::outlineForContext(const IXLayoutContext* context)
{
    return context ? outlinesByContext().value(context).data() : nullptr;
}

void IXOutlineMapView::attachToController(IXWindowControlling* controller)
{
    PL_ASSERT_PARAM(controller, "controller");
    if (!m_context || m_context->controller() != controller) {
        PL_ASSERT_PARAM(!m_context, "Cannot switch layout contexts");
        const std::shared_ptr<IXDocumentNode> document = controller->documentNode();
        PL_ASSERT_PARAM(document, "document");
        const std::shared_ptr<IXLayoutNode> layout = document->layoutForName(IXLayoutOutlineName);
        PL_ASSERT_PARAM(layout, "layout");
        m_controller = controller;
        m_documentNode = document;
        m_context = std::make_unique<IXLayoutContext>(controller, layout.get(), nullptr);
        outlinesByContext().insert(m_context.get(), this);
        m_context->addObserver(this);
        m_documentNode->addToObservers(this);
        m_context->setSelection(IXSelection::selectionWithNode(document));
        const QVariantMap& ui = document->userInterfaceOptions();
        m_autoHide = ui.value(AutohideColumnsKey).toBool();
        m_model->setLayoutContext(m_context.get());
        {
            SyncScope scope(m_syncing);
            m_model->setDocumentNode(document.get());
        }
        setupTimeFormat();
    }
    {
        SyncScope scope(m_syncing);
        updateCollapse();
    }
    loadColumns();
    updateSelection();
}

void IXOutlineMapView::detachFromController()
{
    discardEditing();
    if (m_documentNode) m_documentNode->removeFromObservers(this);
    {
        SyncScope scope(m_syncing);
        m_model->setLayoutContext(nullptr);
        m_model->setDocumentNode(nullptr);
    }
    if (m_context) {
        std::unique_ptr<IXLayoutContext> context = std::move(m_context);
        context->removeObserver(this);
        context->invalidate();
    }
    m_documentNode.reset();
    m_controller = nullptr;
}

PLAffineTransform IXOutlineMapView::documentViewTransform() const
{
    return PLAffineTransform();
}

void IXOutlineMapView::showEvent(QShowEvent* event)
try {
    QTreeView::showEvent(event);
    if (m_context) return;
    if (IXWindowControllerLookup* lookup = IXWindowControllerLookup::shared()) {
        if (IXWindowControlling* controller = lookup->windowControllerForWindow(window()))
            attachToController(controller);
    }
} catch (...) {
    PLExceptionBoundary::caught();
}

// --- Columns ---

QVariantMap* IXOutlineMapView::options() const
{
    return m_documentNode ? &m_documentNode->userInterfaceOptions() : nullptr;
}

QStringList IXOutlineMapView::disabledColumns() const
{
    const QVariantMap* ui = options();
    return ui ? ui->value(DisabledColumnsKey).toStringList() : QStringList();
}

void IXOutlineMapView::setAutoHideEmptyColumns(bool flag)
{
    if (flag == m_autoHide) return;
    m_autoHide = flag;
    if (QVariantMap* ui = options()) ui->insert(AutohideColumnsKey, flag);
    loadColumns();
}

void IXOutlineMapView::toggleColumn(int column)
{
    if (column < 0 || column >= IXOutlineModel::ColumnCount || column == IXOutlineModel::Title) return;
    QVariantMap* ui = options();
    if (!ui) return;
    QStringList disabled = disabledColumns();
    const QString& identifier = IXOutlineModel::columnIdentifiers()[column];
    if (disabled.contains(identifier))
        disabled.removeAll(identifier);
    else
        disabled.append(identifier);
    ui->insert(DisabledColumnsKey, disabled);
    loadColumns();
}

void IXOutlineMapView::loadColumns()
{
    applyColumns();
}

void IXOutlineMapView::applyColumns()
{
    const QStringList disabled = disabledColumns();
    for (int column = 0; column < IXOutlineModel::ColumnCount; ++column) {
        bool hidden = false;
        if (column != IXOutlineModel::Title) {
            hidden = disabled.contains(IXOutlineModel::columnIdentifiers()[column]);
            if (!hidden && m_autoHide && column <= IXOutlineModel::Icons) hidden = m_counts.rows[size_t(column)] == 0;
        }
        if (isColumnHidden(column) != hidden) setColumnHidden(column, hidden);
    }
    const int iconsWidth = std::max(IndicatorWidth, m_counts.iconsWidth) + 4;
    if (columnWidth(IXOutlineModel::Icons) != iconsWidth) setColumnWidth(IXOutlineModel::Icons, iconsWidth);
}

void IXOutlineMapView::setupTimeFormat()
{
    const int scale = m_documentNode ? m_documentNode->timeScaleType() : 0;
    m_dateCell->dateFormatter().setFormatType(UTDateTimeFormatter::formatTypeForTimeScale(scale));
    viewport()->update();
}

void IXOutlineMapView::buildColumnMenu()
{
    m_columnMenu = new QMenu(this);
    const char* titles[] = {"Picture", "Comment", "Attachment", "Icons", "Name", "Start time", "End time"};
    for (int column = 0; column < IXOutlineModel::ColumnCount; ++column) {
        QAction* item = m_columnMenu->addAction(localized(titles[column]));
        item->setData(column);
        item->setCheckable(true);
        PLExceptionBoundary::connect(item, &QAction::triggered, this, [this, column] { toggleColumn(column); });
    }
    m_columnMenu->addSeparator();
    QAction* autoHide = m_columnMenu->addAction(localized("Autohide Empty Columns"));
    autoHide->setData(AutoHideTag);
    autoHide->setCheckable(true);
    PLExceptionBoundary::connect(autoHide, &QAction::triggered, this, [this] { setAutoHideEmptyColumns(!m_autoHide); });
    PLExceptionBoundary::connect(m_columnMenu, &QMenu::aboutToShow, this, [this] {
        for (QAction* item : m_columnMenu->actions()) {
            if (!item->isSeparator()) validateMenuItem(item);
        }
    });
}

void IXOutlineMapView::showColumnMenu(const QPoint& globalPosition)
{
    m_columnMenu->popup(globalPosition);
}

bool IXOutlineMapView::validateMenuItem(QAction* item)
try {
    if (!item) return false;
    if (item->menu() == nullptr && m_columnMenu->actions().contains(item)) {
        const int tag = item->data().toInt();
        if (tag == AutoHideTag) {
            item->setChecked(m_autoHide);
            return true;
        }
        if (tag == IXOutlineModel::Title) {
            item->setChecked(true);
            item->setEnabled(false);
            return false;
        }
        if (tag >= 0 && tag < IXOutlineModel::ColumnCount) {
            item->setChecked(!disabledColumns().contains(IXOutlineModel::columnIdentifiers()[tag]));
            return true;
        }
        return true;
    }
    return true;
} catch (...) {
    PLExceptionBoundary::caught();
    return false;
}

// --- Shown rows and their counts ---

bool IXOutlineMapView::isShown(const QModelIndex& index) const
{
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent()) {
        if (!isExpanded(parent)) return false;
    }
    return true;
}

void IXOutlineMapView::countRow(int flags, int iconsWidth, int sign)
{
    for (int column = 0; column < 4; ++column) {
        if (flags & IXOutlineModel::flagForColumn(column)) m_counts.rows[size_t(column)] += sign;
    }
    if (iconsWidth > 0) {
        int& count = m_iconWidths[iconsWidth];
        count += sign;
        if (count <= 0) m_iconWidths.erase(iconsWidth);
        m_counts.iconsWidth = m_iconWidths.empty() ? 0 : m_iconWidths.rbegin()->first;
    }
}

void IXOutlineMapView::countRows(const QModelIndex& index, int sign, bool includeSelf)
{
    std::vector<QModelIndex> pending;
    if (includeSelf) {
        pending.push_back(index);
    } else {
        for (int row = 0, rows = m_model->rowCount(index); row < rows; ++row)
            pending.push_back(m_model->index(row, 0, index));
    }
    while (!pending.empty()) {
        const QModelIndex current = pending.back();
        pending.pop_back();
        const IXOutlineModel::Row* row = m_model->rowForIndex(current);
        countRow(row->flags, row->iconsWidth, sign);
        if (!row->children.empty() && isExpanded(current)) {
            for (int child = 0, rows = int(row->children.size()); child < rows; ++child)
                pending.push_back(m_model->index(child, 0, current));
        }
    }
}

IXOutlineMapView::ShownCounts IXOutlineMapView::shownColumnCounts() const
{
    ShownCounts counts;
    std::vector<QModelIndex> pending;
    for (int row = 0, rows = m_model->rowCount(); row < rows; ++row) pending.push_back(m_model->index(row, 0));
    while (!pending.empty()) {
        const QModelIndex current = pending.back();
        pending.pop_back();
        const IXOutlineModel::Row* row = m_model->rowForIndex(current);
        for (int column = 0; column < 4; ++column) {
            if (row->flags & IXOutlineModel::flagForColumn(column)) ++counts.rows[size_t(column)];
        }
        counts.iconsWidth = std::max(counts.iconsWidth, row->iconsWidth);
        if (isExpanded(current)) {
            for (int child = 0, rows = m_model->rowCount(current); child < rows; ++child)
                pending.push_back(m_model->index(child, 0, current));
        }
    }
    return counts;
}

void IXOutlineMapView::rowWillChange(const QModelIndex& index, int oldFlags, int oldWidth, int newFlags, int newWidth)
{
    if (!isShown(index)) return;
    countRow(oldFlags, oldWidth, -1);
    countRow(newFlags, newWidth, 1);
    applyColumns();
}

void IXOutlineMapView::rowExpansionChanged(const QModelIndex& index, bool expanded)
{
    if (isShown(index)) {
        // The rows below it come into view or leave it.
        countRows(index, expanded ? 1 : -1, false);
        applyColumns();
    }
    if (m_syncing) return;
    // The user opened or closed the row: the branch follows, in every view of the map.
    IXBranchNode* branch = m_model->branchForIndex(index);
    if (!branch || branchIsCollapsed(*branch) == !expanded) return;
    if (const auto style = branch->style()) style->setBranchCollapsed(!expanded);
}

// --- Collapse sync ---

void IXOutlineMapView::syncExpansion(const QModelIndex& index)
{
    IXBranchNode* branch = m_model->branchForIndex(index);
    if (!branch) return;
    const bool expand = !branchIsCollapsed(*branch) && m_model->rowCount(index) > 0;
    if (isExpanded(index) == expand) return;
    SyncScope scope(m_syncing);
    setExpanded(index, expand);
}

void IXOutlineMapView::syncExpansionBelow(const QModelIndex& top)
{
    // Deepest rows first: a row opened under a closed one costs nothing to lay out, so the
    // top row opens once over everything below it.
    std::vector<QModelIndex> order;
    std::vector<QModelIndex> pending {top};
    while (!pending.empty()) {
        const QModelIndex current = pending.back();
        pending.pop_back();
        const int rows = m_model->rowCount(current);
        if (rows == 0) continue;
        order.push_back(current);
        for (int row = 0; row < rows; ++row) pending.push_back(m_model->index(row, 0, current));
    }
    for (auto it = order.rbegin(); it != order.rend(); ++it) syncExpansion(*it);
}

void IXOutlineMapView::updateCollapse()
{
    m_postedCollapse = false;
    for (int row = 0, rows = m_model->rowCount(); row < rows; ++row) syncExpansionBelow(m_model->index(row, 0));
}

void IXOutlineMapView::postUpdateCollapse()
{
    if (m_postedCollapse) return;
    m_postedCollapse = true;
    PLRunLoop::perform(this, "updateCollapse", [this] { updateCollapse(); });
}

// --- Selection sync ---

void IXOutlineMapView::updateSelection()
{
    if (!m_context || m_model->isChangingRows()) return;
    QItemSelection wanted;
    QModelIndex last;
    for (const auto& node : m_context->selection().nodes()) {
        const QModelIndex index = m_model->indexForBranch(node.get(), 0);
        if (!index.isValid()) continue;
        wanted.select(index, index.siblingAtColumn(IXOutlineModel::ColumnCount - 1));
        last = index;
    }
    QItemSelectionModel* selection = selectionModel();
    QModelIndexList current = selection->selectedRows(0);
    QModelIndexList target = wanted.indexes();
    target.erase(std::remove_if(target.begin(), target.end(), [](const QModelIndex& i) { return i.column() != 0; }),
                 target.end());
    std::sort(current.begin(), current.end());
    std::sort(target.begin(), target.end());
    if (current == target) return;
    SyncScope scope(m_syncing);
    selection->select(wanted, QItemSelectionModel::ClearAndSelect);
    if (last.isValid()) {
        selection->setCurrentIndex(last.siblingAtColumn(IXOutlineModel::Title), QItemSelectionModel::NoUpdate);
        scrollTo(last);
    }
}

void IXOutlineMapView::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
try {
    QTreeView::selectionChanged(selected, deselected);
    if (m_syncing || !m_context || !m_controller || m_model->isChangingRows()) return;
    QModelIndexList rows = selectionModel()->selectedRows(0);
    if (rows.isEmpty()) {
        m_controller->setSelection(IXSelection());
        return;
    }
    // In the order the rows are shown.
    std::sort(rows.begin(), rows.end(),
              [this](const QModelIndex& a, const QModelIndex& b) { return visualRect(a).top() < visualRect(b).top(); });
    IXSelection::NodeList nodes;
    for (const QModelIndex& index : rows) {
        if (IXBranchNode* branch = m_model->branchForIndex(index)) nodes.append(branch->shared_from_this());
    }
    m_controller->setSelection(IXSelection::selectionWithArray(nodes));
} catch (...) {
    PLExceptionBoundary::caught();
}

// --- Notices ---

bool IXOutlineMapView::respondsToSelector(std::string_view selector) const
{
    return isAnyOf(selector,
                   {IXLayoutContextWillInvalidate, IXLayoutContextDidChangeSelection, IXLayoutContextDidChangeFilter,
                    IXStyleNodeDidChangeProperty});
}

void IXOutlineMapView::notifiedOfLayoutContextWillInvalidate(IXLayoutContext* context)
{
    if (context != m_context.get()) return;
    outlinesByContext().remove(context);
    // The context ends under us (its layout left the document): let it go.
    if (m_documentNode) m_documentNode->removeFromObservers(this);
    SyncScope scope(m_syncing);
    m_model->setLayoutContext(nullptr);
    m_model->setDocumentNode(nullptr);
    PLRunLoop::perform(this, "releaseContext", [this] {
        m_context.reset();
        m_documentNode.reset();
        m_controller = nullptr;
    });
}

void IXOutlineMapView::notifiedOfLayoutContextDidChangeSelection(IXLayoutContext* context, const IXSelection&)
{
    if (context == m_context.get()) updateSelection();
}

void IXOutlineMapView::notifiedOfLayoutContextDidChangeFilter(IXLayoutContext* context,
                                                              const std::shared_ptr<IXBranchNode>& filter)
{
    if (context != m_context.get()) return;
    {
        SyncScope scope(m_syncing);
        m_model->setBranchFilter(filter);
        updateCollapse();
    }
    updateSelection();
}

void IXOutlineMapView::notifiedOfStyleNode(IXStyleNode* style, const QString&)
{
    if (!style || !m_documentNode) return;
    if (style->refId().isEmpty()) {
        // A master style may change many branches' look: one pass on the next turn.
        postUpdateCollapse();
        return;
    }
    const std::shared_ptr<IXNode> node = m_documentNode->nodeForId(style->refId());
    if (!node || !node->isBranch()) return;
    const QModelIndex index = m_model->indexForBranch(node.get(), 0);
    if (index.isValid()) syncExpansion(index);
}

// --- Rows ---

QModelIndex IXOutlineMapView::indexForBranch(const IXBranchNode* branch, int column) const
{
    return m_model->indexForBranch(branch, column);
}

IXBranchNode* IXOutlineMapView::branchForIndex(const QModelIndex& index) const
{
    return m_model->branchForIndex(index);
}

void IXOutlineMapView::incIdentationForRow(const QModelIndex& index)
{
    IXBranchNode* node = m_model->branchForIndex(index);
    if (!node) return;
    const auto branch = std::static_pointer_cast<IXBranchNode>(node->shared_from_this());
    const Siblings siblings = Siblings::of(branch);
    if (!siblings.valid() || siblings.index < 1) return;
    const std::shared_ptr<IXBranchNode> previous = siblings.at(siblings.index - 1);
    if (!previous) return;
    siblings.remove(branch);
    previous->insertBranch(branch, -1);
}

void IXOutlineMapView::decIdentationForRow(const QModelIndex& index)
{
    IXBranchNode* node = m_model->branchForIndex(index);
    if (!node) return;
    const auto branch = std::static_pointer_cast<IXBranchNode>(node->shared_from_this());
    IXBranchNode* parent = branch->parentBranch();
    if (!parent) return;
    const auto parentShared = std::static_pointer_cast<IXBranchNode>(parent->shared_from_this());
    const Siblings grand = Siblings::of(parentShared);
    const int index2 = int(parent->branches().indexOf(branch));
    if (!grand.valid() || index2 < 0) return;
    parent->removeBranch(branch);
    while (index2 < parent->branches().size()) {
        const std::shared_ptr<IXBranchNode> follower = parent->branches().at(index2);
        parent->removeBranch(follower);
        branch->insertBranch(follower, -1);
    }
    grand.insert(branch, grand.index + 1);
}

void IXOutlineMapView::moveSelectedBranch(bool up)
{
    const QModelIndex current = selectionModel()->selectedRows(0).value(0);
    IXBranchNode* node = m_model->branchForIndex(current);
    if (!node || !m_controller) return;
    const auto branch = std::static_pointer_cast<IXBranchNode>(node->shared_from_this());
    const Siblings siblings = Siblings::of(branch);
    if (!siblings.valid()) return;
    if (up ? siblings.index < 1 : siblings.index >= siblings.count - 1) return;
    siblings.remove(branch);
    siblings.insert(branch, siblings.index + (up ? -1 : 1));
    m_controller->setSelection(IXSelection::selectionWithNode(branch));
}

// --- Keys and mouse ---

void IXOutlineMapView::sendToController(IXCommand command)
{
    auto* controller = dynamic_cast<QObject*>(m_controller);
    if (!controller) return;
    const QByteArray name = command.toByteArray();
    const QByteArray signature = QMetaObject::normalizedSignature(name.chopped(1) + "(QObject*)");
    const int index = controller->metaObject()->indexOfMethod(signature.constData());
    if (index >= 0)
        controller->metaObject()->method(index).invoke(controller, Q_ARG(QObject*, this));
    else
        PLLog::writeOnce(QStringLiteral("The command %1 has no receiver").arg(QString::fromLatin1(name)));
}

void IXOutlineMapView::startTitleEditing(QKeyEvent* event)
{
    const QModelIndex row = selectionModel()->selectedRows(0).value(0);
    if (!row.isValid()) return;
    const QModelIndex title = row.siblingAtColumn(IXOutlineModel::Title);
    if (!(m_model->flags(title) & Qt::ItemIsEditable)) return;
    setCurrentIndex(title);
    // A typed character starts the new title; Space and F2 keep the old one, selected.
    const bool types = event && !event->text().isEmpty() && event->text().at(0).isLetterOrNumber();
    edit(title, types ? QAbstractItemView::AnyKeyPressed : QAbstractItemView::EditKeyPressed, types ? event : nullptr);
}

void IXOutlineMapView::keyPressEvent(QKeyEvent* event)
try {
    if (state() == QAbstractItemView::EditingState) {
        QTreeView::keyPressEvent(event);
        return;
    }
    const PLKeyboard::KeyCode code = PLKeyboard::keyCode(event->key());
    const std::uint32_t modifiers = PLKeyboard::modifierFlags(event->modifiers());
    const bool option = (modifiers & PLMouseEvent::Option) != 0;
    const QModelIndex selected = selectionModel() ? selectionModel()->selectedRows(0).value(0) : QModelIndex();
    if (code == PLKeyboard::Escape) {
        clearSelection();
        return;
    }
    if (code == PLKeyboard::Return || code == PLKeyboard::Enter) {
        if (option) {
            if (m_controller) m_controller->addSubbranch();
        } else if (modifiers & PLMouseEvent::Shift) {
            sendToController(IXCommands::AddPrebranch);
        } else {
            sendToController(IXCommands::AddBranch);
        }
        return;
    }
    if (code == PLKeyboard::Delete || code == PLKeyboard::ForwardDelete) {
        sendToController(IXCommands::RemoveSelectedNodes);
        return;
    }
    const bool command = (modifiers & (PLMouseEvent::Command | PLMouseEvent::Control)) != 0;
    if (code == PLKeyboard::Space || code == PLKeyboard::F2
        || (!command && !option && !event->text().isEmpty() && event->text().at(0).isLetterOrNumber())) {
        startTitleEditing(event);
        return;
    }
    if (option && code == PLKeyboard::RightArrow) {
        incIdentationForRow(selected);
    } else if (option && code == PLKeyboard::LeftArrow) {
        decIdentationForRow(selected);
    } else if (option && (code == PLKeyboard::UpArrow || code == PLKeyboard::DownArrow)) {
        moveSelectedBranch(code == PLKeyboard::UpArrow);
        return;
    }
    QTreeView::keyPressEvent(event);
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXOutlineMapView::mousePressEvent(QMouseEvent* event)
try {
    const std::uint32_t modifiers = PLKeyboard::modifierFlags(event->modifiers())
        & (PLMouseEvent::Shift | PLMouseEvent::Control | PLMouseEvent::Option | PLMouseEvent::Command);
    const bool contextClick = event->button() == Qt::RightButton
        || (event->button() == Qt::LeftButton && modifiers == PLMouseEvent::Control);
    if (contextClick && m_context) {
        // The row under the click is the one the menu is for.
        const QModelIndex index = indexAt(event->position().toPoint());
        if (index.isValid() && !selectionModel()->isRowSelected(index.row(), index.parent()))
            selectionModel()->select(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        const PLMouseEvent down(PLMouseEvent::LeftMouseDown,
                                PLPoint(float(event->position().x()), float(event->position().y())), 1,
                                PLKeyboard::modifierFlags(event->modifiers()));
        IXToolManager::sharedManager()->activateToolNamed(IXToolNames::ContextMenu, m_context.get(), IXToolEvent(down));
        return;
    }
    QTreeView::mousePressEvent(event);
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXOutlineMapView::mouseDoubleClickEvent(QMouseEvent* event)
try {
    const QModelIndex index = indexAt(event->position().toPoint());
    IXBranchNode* branch = m_model->branchForIndex(index);
    if (!branch) {
        QTreeView::mouseDoubleClickEvent(event);
        return;
    }
    switch (index.column()) {
    case IXOutlineModel::Picture:
        if (const auto& picture = branch->picture()) {
            if (IXQuickViewControlling* quickView = IXQuickViewControlling::sharedController()) {
                if (picture->targetLocation() == 1)
                    quickView->showWithPath(picture->targetValue().text());
                else if (const QImage image = picture->image(); !image.isNull())
                    quickView->showWithImage(image);
            }
        }
        break;
    case IXOutlineModel::Title:
    case IXOutlineModel::Start:
    case IXOutlineModel::End:
        if (m_model->flags(index) & Qt::ItemIsEditable) edit(index, QAbstractItemView::DoubleClicked, event);
        break;
    default:
        break;
    }
} catch (...) {
    PLExceptionBoundary::caught();
}

// --- Editing ---

IXOpenDocument* IXOutlineMapView::openDocument() const
{
    return m_context ? m_context->document() : nullptr;
}

bool IXOutlineMapView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event)
{
    if (state() == QAbstractItemView::EditingState) return QTreeView::edit(index, trigger, event);
    // Only the view's own starts open editors: clicks select and drag.
    if (trigger == QAbstractItemView::SelectedClicked || trigger == QAbstractItemView::CurrentChanged) return false;
    m_model->setEditingIndex(index.column() == IXOutlineModel::Title ? index : QModelIndex());
    const bool editing = QTreeView::edit(index, trigger, event);
    if (!editing) {
        m_model->setEditingIndex(QModelIndex());
        return false;
    }
    m_editedIndex = index;
    if (!m_editingDocument) {
        m_editingDocument = openDocument();
        if (m_editingDocument) m_editingDocument->objectDidBeginEditing(this);
    }
    return true;
}

void IXOutlineMapView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    // Return and Tab end the edit on the row, never move it to another cell.
    QTreeView::closeEditor(editor,
                           hint == QAbstractItemDelegate::RevertModelCache ? hint : QAbstractItemDelegate::NoHint);
    m_model->setEditingIndex(QModelIndex());
    if (IXOpenDocument* document = std::exchange(m_editingDocument, nullptr)) document->objectDidEndEditing(this);
    if (m_controller && isVisible()) setFocus(Qt::OtherFocusReason);
}

bool IXOutlineMapView::commitEditing()
{
    if (state() == QAbstractItemView::EditingState) {
        if (QWidget* editor = indexWidget(m_editedIndex)) {
            commitData(editor);
            closeEditor(editor, QAbstractItemDelegate::NoHint);
        }
    }
    if (IXOpenDocument* document = std::exchange(m_editingDocument, nullptr)) document->objectDidEndEditing(this);
    return state() != QAbstractItemView::EditingState;
}

void IXOutlineMapView::discardEditing()
{
    if (state() == QAbstractItemView::EditingState) {
        if (QWidget* editor = indexWidget(m_editedIndex)) closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
    }
    if (IXOpenDocument* document = std::exchange(m_editingDocument, nullptr)) document->objectDidEndEditing(this);
}

void IXOutlineMapView::editStartDate(QObject*)
try {
    const QModelIndex row = selectionModel()->selectedRows(0).value(0);
    if (row.isValid()) edit(row.siblingAtColumn(IXOutlineModel::Start), QAbstractItemView::EditKeyPressed, nullptr);
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXOutlineMapView::editEndDate(QObject*)
try {
    const QModelIndex row = selectionModel()->selectedRows(0).value(0);
    if (row.isValid()) edit(row.siblingAtColumn(IXOutlineModel::End), QAbstractItemView::EditKeyPressed, nullptr);
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXOutlineMapView::endDateRefused()
{
    if (IXApplicationServices* services = IXApplicationServices::shared())
        services->runAlert(localized("The value can not be applied"), localized("The date is invalid or out of range."),
                           localized("OK"));
}

void IXOutlineMapView::dateTimePickerWillBeginEditingForCell(UTDateTimePicker* picker, UTDateTimeCell* cell)
{
    const QModelIndex index = cell->editedIndex();
    const bool end = index.column() == IXOutlineModel::End;
    picker->setShowsEndTimeOption(end);
    if (end && !cell->objectValue()) {
        if (IXBranchNode* branch = m_model->branchForIndex(index)) cell->setObjectValue(branch->beginDate());
    }
}

void IXOutlineMapView::dateTimePickerDidEndEditingForCell(UTDateTimePicker* picker, UTDateTimeCell*)
{
    if (!picker->showsEndTimeOption()) return;
    m_model->setEndDate2ForNextEndDate([picker](const UTDateTime& date) -> std::optional<UTDateTime> {
        return picker->applyEndTimeOptionToDate(date);
    });
}

// --- Drawing ---

void IXOutlineMapView::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    // The band of a root branch or its child spans the whole row, indentation included.
    const QVariant background = m_model->data(index, Qt::BackgroundRole);
    if (background.isValid())
        painter->fillRect(QRect(0, option.rect.top(), viewport()->width(), option.rect.height()),
                          background.value<QColor>());
    QTreeView::drawRow(painter, option, index);
    drawRowGrid(*painter, option.rect, header()->offset());
}

void IXOutlineMapView::drawRowGrid(QPainter& painter, const QRect& row, int scrolled) const
{
    // Grid lines between rows and columns.
    painter.save();
    painter.setPen(palette().color(QPalette::Midlight));
    painter.drawLine(row.left(), row.bottom(), row.right(), row.bottom());
    const QHeaderView* head = header();
    for (int section = 0; section < head->count(); ++section) {
        if (head->isSectionHidden(section)) continue;
        const int x = head->sectionPosition(section) - scrolled + head->sectionSize(section) - 1;
        painter.drawLine(x, row.top(), x, row.bottom());
    }
    painter.restore();
}

void IXOutlineMapView::paintEvent(QPaintEvent* event)
try {
    QTreeView::paintEvent(event);
} catch (...) {
    PLExceptionBoundary::caught();
}
