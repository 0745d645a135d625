#include "Inspectors/IXObjectListInspector.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXPropertyNames.h"
#include "DocumentModel/IXReferenceNode.h"
#include "DocumentModel/IXReferenceOpening.h"
#include "Inspectors/IXCellListView.h"
#include "Inspectors/IXInspectedController.h"
#include "Inspectors/IXInspectorForms.h"
#include "Inspectors/IXInspectorView.h"
#include "Inspectors/IXReferenceInfoCell.h"
#include "Platform/Core/PLAssert.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/Core/PLRunLoop.h"
#include "Platform/Core/PLUndoTransaction.h"

#include <QAction>
#include <QCheckBox>
#include <QHBoxLayout>

namespace {

constexpr int MinimumWidth = 230;

}  // namespace

IXObjectListInspector::IXObjectListInspector() = default;

IXObjectListInspector::~IXObjectListInspector()
{
    PLRunLoop::cancel(this);
    stopObserving();
    // The rows observe their nodes and point back at this inspector: they go first.
    if (m_listView) m_listView->removeAllCells();
    delete m_containerView.data();
}

QString IXObjectListInspector::inspectorTitle() const
{
    return IXInspectorForms::localized("Object List");
}

QWidget* IXObjectListInspector::inspectorView()
{
    if (m_containerView) return m_containerView;
    m_containerView = new IXInspectorView;
    m_containerView->setMinimumWidth(MinimumWidth);
    auto* buttonRow = new QWidget(m_containerView);
    auto* rowLayout = new QHBoxLayout(buttonRow);
    rowLayout->setContentsMargins(6, 2, 4, 0);
    m_includeAllButton = new QCheckBox(IXInspectorForms::localized("Include All in Export"), buttonRow);
    m_includeAllButton->setObjectName(QStringLiteral("IXIncludeAllButton"));
    m_includeAllButton->setTristate(true);
    rowLayout->addWidget(m_includeAllButton);
    rowLayout->addStretch();
    buttonRow->adjustSize();
    PLExceptionBoundary::connect(m_includeAllButton, &QCheckBox::clicked, this, [this] { includeAllInExportAction(); });
    m_listView = new IXCellListView(m_containerView);
    m_listView->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_listView->setSpacing(ListSpacing);
    m_listView->resize(MinimumWidth, 1);
    PLExceptionBoundary::connect(m_listView, &IXCellListView::frameChanged, this, [this] { adjustSize(); });
    updateIncludeInExport();
    m_containerView->tile();
    postUpdateControls();
    return m_containerView;
}

IXReferenceInfoCell* IXObjectListInspector::cellForReference(const IXReferenceNode* reference) const
{
    const auto found = m_cells.find(reference);
    return found == m_cells.end() ? nullptr : found->second;
}

// --- Selection ---

void IXObjectListInspector::selectionWillChange()
{
    stopObserving();
    m_branches.clear();
    m_branchSet.clear();
}

void IXObjectListInspector::selectionDidChange()
{
    PL_ASSERT(m_branches.empty());
    postUpdateControls();
    IXInspectedController* bound = controller();
    if (!bound || bound->documentLayout() == PrintLayout || !bound->layoutNode()) return;
    for (std::shared_ptr<IXBranchNode>& branch : selection().allBranches()) {
        m_branchSet.insert(branch.get());
        m_branches.push_back(std::move(branch));
    }
    if (m_branches.empty()) return;
    if (const std::shared_ptr<IXDocumentNode> document = bound->documentNode()) {
        m_observedDocument = document;
        if (UTBroadcaster* observers = broadcaster())
            for (const auto& branch : m_branches) observers->addObserverTarget(this, branch.get());
    }
}

UTBroadcaster* IXObjectListInspector::broadcaster() const
{
    const std::shared_ptr<IXDocumentNode> document = m_observedDocument.lock();
    return document ? document->observers() : nullptr;
}

void IXObjectListInspector::stopObserving()
{
    if (UTBroadcaster* observers = broadcaster()) observers->removeObserver(this);
    m_observedDocument.reset();
}

void IXObjectListInspector::updateControls()
{
    if (!m_listView) return;
    UTBroadcaster* observers = broadcaster();
    // The references listed before stop being watched; the branches stay.
    for (const auto& reference : m_references)
        if (observers) observers->removeObserverTarget(this, reference.get());
    m_references.clear();
    m_cells.clear();
    m_listView->removeAllCells();
    for (const auto& branch : m_branches) {
        for (const std::shared_ptr<IXReferenceNode>& reference : branch->allReferences()) {
            m_references.push_back(reference);
            auto cell = std::make_unique<IXReferenceInfoCell>(this);
            cell->setControlView(m_listView);
            cell->setNode(reference);
            m_cells.emplace(reference.get(), cell.get());
            m_listView->addCell(std::move(cell));
        }
        m_listView->setNeedsTile();
    }
    m_listView->resize(std::max(MinimumWidth, m_containerView->width()), 1);
    m_listView->setNeedsTile();
    m_listView->tile();
    if (observers)
        for (const auto& reference : m_references) observers->addObserverTarget(this, reference.get());
    updateIncludeInExport();
    showPendingReference();
}

void IXObjectListInspector::adjustSize()
{
    if (m_adjusting || !m_containerView) return;
    m_adjusting = true;
    m_listView->tile();
    const QSize before = m_containerView->size();
    m_containerView->tile();
    if (m_containerView->size() != before) notifyInspectorViewUpdate();
    m_adjusting = false;
}

// --- Include in export ---

void IXObjectListInspector::updateIncludeInExport()
{
    if (m_dontUpdateIncludeInExport || !m_includeAllButton) return;
    qsizetype included = 0;
    for (const auto& reference : m_references) included += reference->includeInExport() ? 1 : 0;
    Qt::CheckState state = Qt::PartiallyChecked;
    if (included == 0) state = Qt::Unchecked;
    if (included == qsizetype(m_references.size()) && included > 0) state = Qt::Checked;
    m_includeAllButton->setCheckState(state);
    m_includeAllButton->setEnabled(!m_references.empty());
}

void IXObjectListInspector::includeAllInExportAction()
{
    if (!m_includeAllButton) return;
    // Qt's cycle goes from mixed to on, from on to off; the box shows no mixed state by a click.
    const bool include = m_includeAllButton->checkState() != Qt::Unchecked;
    m_dontUpdateIncludeInExport = true;
    PLUndoTransaction::run(undoManager(), [&] {
        for (const auto& reference : m_references) reference->setIncludeInExport(include);
        return true;
    });
    m_dontUpdateIncludeInExport = false;
    updateIncludeInExport();
}

// --- Rows ---

void IXObjectListInspector::activateViewForReference(const std::shared_ptr<IXReferenceNode>& reference,
                                                     bool startEditing)
{
    if (!reference) return;
    // The pane may not have been shown yet.
    if (!m_listView) inspectorView();
    // What asked for the row often changes the selection or the references on the same turn,
    // which rebuilds the list on a later turn: for a moment the row is opened again after each
    // rebuild. It is forgotten then, so that it never opens by surprise.
    m_pendingReference = reference;
    m_pendingEditing = startEditing;
    PLRunLoop::cancel(this, "forgetPendingReference");
    PLRunLoop::perform(
        this, "forgetPendingReference", [this] { m_pendingReference.reset(); }, std::chrono::milliseconds(1000));
    IXReferenceInfoCell* cell = cellForReference(reference.get());
    if (cell && !isUpdatePosted())
        openRow(cell, startEditing);
    else if (!isUpdatePosted())
        postUpdateControls();
}

void IXObjectListInspector::openRow(IXReferenceInfoCell* cell, bool startEditing)
{
    if (m_containerView->isCollapsed()) m_containerView->setCollapsed(false);
    cell->expand();
    m_listView->setNeedsTile();
    m_listView->tile();
    m_listView->scrollToCell(cell);
    if (startEditing) cell->startTitleEditing();
}

void IXObjectListInspector::showPendingReference()
{
    const std::shared_ptr<IXReferenceNode> reference = m_pendingReference.lock();
    if (IXReferenceInfoCell* cell = reference ? cellForReference(reference.get()) : nullptr)
        openRow(cell, m_pendingEditing);
}

void IXObjectListInspector::deleteReference(const std::shared_ptr<IXReferenceNode>& reference)
{
    auto* branch = reference ? dynamic_cast<IXBranchNode*>(reference->parentNode()) : nullptr;
    if (!branch) return;
    branch->removeReference(reference);
    m_listView->setNeedsTile();
}

void IXObjectListInspector::executeReference(const std::shared_ptr<IXReferenceNode>& reference)
{
    auto* target = dynamic_cast<QObject*>(controller());
    if (!reference || !target) return;
    const IXReferenceOpening opening = reference->referenceToOpen();
    // The window opens it on the next turn; cancelled should the window go first.
    PLRunLoop::perform(target, "executeObject", [target, opening] {
        QAction sender;
        sender.setData(QVariant::fromValue(opening));
        QMetaObject::invokeMethod(target, "openReference", Q_ARG(QObject*, &sender));
    });
}

// --- Notices ---

bool IXObjectListInspector::respondsToSelector(std::string_view selector) const
{
    return isAnyOf(selector, {IXNodeDetach, IXBranchNodeDidChangeProperty, IXReferenceNodeDidChangeProperty});
}

void IXObjectListInspector::notifiedOfNodeDetach(IXNode* node)
{
    if (m_branchSet.contains(node)) setSelection(IXSelection());
}

void IXObjectListInspector::notifiedOfBranchNode(IXNode* branch, const QString& property)
{
    if (property == IXProperties::References && m_branchSet.contains(branch)) postUpdateControls();
}

void IXObjectListInspector::notifiedOfReferenceNode(IXReferenceNode* node, const QString& property)
{
    if (property == IXProperties::IncludeInExport && m_cells.contains(node)) updateIncludeInExport();
}
