#include "Inspectors/IXIconsInspector.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXIconsStorage.h"
#include "DocumentModel/IXPropertyNames.h"
#include "Inspectors/IXBindings.h"
#include "Inspectors/IXInspectedController.h"
#include "Inspectors/IXInspectorForms.h"
#include "Inspectors/IXInspectorView.h"
#include "Platform/Core/PLExceptionBoundary.h"

#include <QEvent>
#include <QHash>
#include <QIcon>
#include <QPalette>
#include <QPixmap>
#include <QToolButton>

#include <algorithm>

IXIconsInspector::IXIconsInspector() = default;

IXIconsInspector::~IXIconsInspector()
{
    stopObserving();
    delete m_inspectorView.data();
}

QString IXIconsInspector::inspectorTitle() const
{
    return IXInspectorForms::localized("Icons");
}

bool IXIconsInspector::isApplicable() const
{
    if (controller() && controller()->documentLayout() == PrintLayout) return false;
    return !m_branchSet.empty();
}

int IXIconsInspector::columnsForWidth(int width)
{
    int columns = std::max(1, (width - 2) / (CellSize + CellSpacing));
    if (columns > 9) columns -= columns % 3;
    return columns;
}

QWidget* IXIconsInspector::inspectorView()
{
    if (!m_inspectorView) {
        m_inspectorView = new IXInspectorView;
        m_inspectorView->resize(210, 100);
        m_containerView = new QWidget(m_inspectorView);
        m_containerView->setObjectName(QStringLiteral("IXIconsContainer"));
        m_containerView->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        m_containerView->resize(210, 100);
        m_containerView->installEventFilter(this);
        reconstruct();
        updateControls();
    }
    return m_inspectorView;
}

bool IXIconsInspector::eventFilter(QObject* watched, QEvent* event)
try {
    // The grid follows the pane's width.
    if (watched == m_containerView && event->type() == QEvent::Resize && m_containerView->width() != m_builtWidth)
        reconstruct();
    return IXInspectorController::eventFilter(watched, event);
} catch (...) {
    PLExceptionBoundary::caught();
    return false;
}

void IXIconsInspector::reconstruct()
{
    IXIconsStorage* storage = IXIconsStorage::sharedStorage();
    const QStringList names = storage ? storage->names() : QStringList();
    m_builtWidth = m_containerView->width();
    m_columns = columnsForWidth(m_builtWidth);
    m_rows = int((names.size() + m_columns - 1) / m_columns);
    delete m_iconsMatrix;
    m_cells.clear();
    m_iconsMatrix = new QWidget(m_containerView);
    m_iconsMatrix->setObjectName(QStringLiteral("IXIconsMatrix"));
    const int width = m_columns * CellSize + (m_columns - 1) * CellSpacing;
    const int height = m_rows > 0 ? m_rows * CellSize + (m_rows - 1) * CellSpacing : 0;
    m_iconsMatrix->setFixedSize(width, height);
    for (int index = 0; index < names.size(); ++index) {
        auto* cell = new QToolButton(m_iconsMatrix);
        cell->setAutoRaise(true);
        cell->setAutoFillBackground(true);
        cell->setCheckable(true);
        cell->setEnabled(false);
        cell->setToolTip(names[index]);
        cell->setIconSize(QSize(16, 16));
        cell->setIcon(QIcon(QPixmap::fromImage(storage->iconForName(names[index]))));
        cell->setGeometry((index % m_columns) * (CellSize + CellSpacing),
                          (index / m_columns) * (CellSize + CellSpacing), CellSize, CellSize);
        PLExceptionBoundary::connect(cell, &QToolButton::clicked, this, [this, index] { toggleIcon(index); });
        m_cells.append(cell);
    }
    m_states.assign(size_t(names.size()), State::Off);
    const bool heightChanges = m_containerView->height() != height + 12;
    m_containerView->setFixedHeight(height + 12);
    m_iconsMatrix->move((m_containerView->width() - width) / 2, 4);
    m_iconsMatrix->show();
    m_inspectorView->tile();
    updateControls();
    // Only a new height moves what stands below the pane.
    if (heightChanges) notifyInspectorViewUpdate();
}

std::vector<std::shared_ptr<IXBranchNode>> IXIconsInspector::qualifyingBranches() const
{
    std::vector<std::shared_ptr<IXBranchNode>> branches;
    for (const auto& branch : selection().allBranches())
        if (branch->level() != 0) branches.push_back(branch);
    return branches;
}

IXIconsInspector::State IXIconsInspector::stateOfIcon(int index) const
{
    return index >= 0 && size_t(index) < m_states.size() ? m_states[size_t(index)] : State::Off;
}

void IXIconsInspector::adjustCell(QToolButton* cell, State state)
{
    cell->setChecked(state == State::On);
    QPalette palette = cell->palette();
    const QPalette standard;
    // On: the strong selection colour; mixed: the light one; off: none.
    QColor background = standard.color(QPalette::Button);
    if (state == State::On) background = standard.color(QPalette::Highlight);
    if (state == State::Mixed) background = standard.color(QPalette::Highlight).lighter(160);
    palette.setColor(QPalette::Button, background);
    palette.setColor(QPalette::Window, background);
    cell->setPalette(palette);
    cell->setBackgroundRole(state == State::Off ? QPalette::NoRole : QPalette::Button);
    cell->setAutoRaise(state == State::Off);
}

void IXIconsInspector::updateControls()
{
    if (!m_iconsMatrix) return;
    IXIconsStorage* storage = IXIconsStorage::sharedStorage();
    const QStringList names = storage ? storage->names() : QStringList();
    const std::vector<std::shared_ptr<IXBranchNode>> branches
        = isApplicable() ? qualifyingBranches() : std::vector<std::shared_ptr<IXBranchNode>>();
    // How many branches carry each icon, counting a name once per branch.
    QHash<QString, int> counts;
    for (const auto& branch : branches) {
        QStringList icons = branch->icons();
        icons.removeDuplicates();
        for (const QString& icon : icons) ++counts[icon];
    }
    const int total = int(branches.size());
    for (int index = 0; index < m_cells.size() && index < names.size(); ++index) {
        const int count = counts.value(names[index]);
        const State state = total == 0 || count == 0 ? State::Off : (count == total ? State::On : State::Mixed);
        m_states[size_t(index)] = state;
        m_cells[index]->setEnabled(total > 0);
        adjustCell(m_cells[index], state);
    }
}

void IXIconsInspector::toggleIcon(int index)
{
    IXIconsStorage* storage = IXIconsStorage::sharedStorage();
    const QStringList names = storage ? storage->names() : QStringList();
    if (index < 0 || index >= names.size() || !isApplicable()) return;
    // A mixed icon becomes on; an icon switched on moves to the end of every list.
    const bool on = stateOfIcon(index) != State::On;
    const QString& name = names[index];
    const std::vector<std::shared_ptr<IXBranchNode>> branches = qualifyingBranches();
    IXBindings([this] { return undoManager(); }).write([&] {
        for (const auto& branch : branches) {
            branch->removeIcon(name);
            if (on) branch->appendIcon(name);
        }
    });
    updateControls();
}

// --- Selection and notices ---

void IXIconsInspector::selectionWillChange()
{
    stopObserving();
    m_branchSet.clear();
}

void IXIconsInspector::selectionDidChange()
{
    for (const auto& branch : qualifyingBranches()) m_branchSet.insert(branch.get());
    if (!m_branchSet.empty() && controller()) {
        if (const std::shared_ptr<IXDocumentNode> node = controller()->documentNode()) {
            if (UTBroadcaster* broadcaster = node->observers()) {
                broadcaster->addObserver(this);
                m_observedDocument = node;
            }
        }
    }
    postUpdateControls();
}

void IXIconsInspector::stopObserving()
{
    if (const std::shared_ptr<IXDocumentNode> node = m_observedDocument.lock())
        if (UTBroadcaster* broadcaster = node->observers()) broadcaster->removeObserver(this);
    m_observedDocument.reset();
}

bool IXIconsInspector::respondsToSelector(std::string_view selector) const
{
    return isAnyOf(selector, {IXNodeDetach, IXBranchNodeDidChangeProperty});
}

void IXIconsInspector::notifiedOfNodeDetach(IXNode* node)
{
    if (m_branchSet.contains(node)) setSelection(IXSelection());
}

void IXIconsInspector::notifiedOfBranchNode(IXNode* branch, const QString& property)
{
    if (property == IXProperties::Icons && m_branchSet.contains(branch)) postUpdateControls();
}
