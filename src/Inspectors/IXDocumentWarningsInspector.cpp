#include "Inspectors/IXDocumentWarningsInspector.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXWarning.h"
#include "Inspectors/IXInspectedController.h"
#include "Inspectors/IXInspectorForms.h"
#include "Platform/Core/PLExceptionBoundary.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

IXDocumentWarningsInspector::IXDocumentWarningsInspector() = default;

IXDocumentWarningsInspector::~IXDocumentWarningsInspector()
{
    if (const std::shared_ptr<IXDocumentNode> node = m_observedDocument.lock())
        if (UTBroadcaster* broadcaster = node->observers()) broadcaster->removeObserver(this);
    delete m_window.data();
    delete m_view.data();
}

IXDocumentWarningsInspector& IXDocumentWarningsInspector::shared()
{
    static IXDocumentWarningsInspector* inspector = [] {
        auto* made = new IXDocumentWarningsInspector;
        made->setTracksActiveController(true);
        return made;
    }();
    return *inspector;
}

QString IXDocumentWarningsInspector::inspectorTitle() const
{
    return IXInspectorForms::localized("Document Warnings");
}

void IXDocumentWarningsInspector::makeView()
{
    m_view = new QWidget;
    m_view->setObjectName(QStringLiteral("IXDocumentWarningsView"));
    auto* layout = new QVBoxLayout(m_view);
    layout->setContentsMargins(8, 8, 8, 8);
    m_tableView = new QTableWidget(0, 2);
    m_tableView->setHorizontalHeaderLabels(
        {IXInspectorForms::localized("Type"), IXInspectorForms::localized("Description")});
    m_tableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tableView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tableView->setWordWrap(true);
    m_tableView->verticalHeader()->hide();
    // Rows as tall as their text in its column's width.
    m_tableView->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_tableView->horizontalHeader()->setStretchLastSection(true);
    m_tableView->setColumnWidth(TypeColumn, 140);
    m_tableView->setToolTip(QString());
    layout->addWidget(m_tableView);
    auto* buttons = new QHBoxLayout;
    m_solveButton = new QPushButton;
    m_clearButton = new QPushButton(IXInspectorForms::localized("Clear All"));
    for (QPushButton* button : {m_solveButton, m_clearButton}) button->setAutoDefault(false);
    buttons->addStretch();
    buttons->addWidget(m_solveButton);
    buttons->addWidget(m_clearButton);
    layout->addLayout(buttons);
    PLExceptionBoundary::connect(m_clearButton, &QPushButton::clicked, this, [this] { clearAction(); });
    PLExceptionBoundary::connect(m_solveButton, &QPushButton::clicked, this, [this] { solveAction(); });
    PLExceptionBoundary::connect(m_tableView, &QTableWidget::itemSelectionChanged, this,
                                 [this] { postUpdateControls(); });
    reloadTable();
    updateControls();
}

QWidget* IXDocumentWarningsInspector::inspectorView()
{
    if (!m_view) makeView();
    return m_view;
}

QWidget* IXDocumentWarningsInspector::window()
{
    if (!m_window) {
        m_window = new QWidget(nullptr, Qt::Tool);
        m_window->setWindowTitle(inspectorTitle());
        auto* layout = new QVBoxLayout(m_window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(inspectorView());
        m_window->resize(520, 300);
    }
    return m_window;
}

void IXDocumentWarningsInspector::showWindow()
{
    QWidget* panel = window();
    reloadTable();
    updateControls();
    panel->show();
    panel->raise();
}

std::shared_ptr<IXDocumentNode> IXDocumentWarningsInspector::documentNode() const
{
    return controller() ? controller()->documentNode() : nullptr;
}

QList<std::shared_ptr<IXWarning>> IXDocumentWarningsInspector::warnings() const
{
    const std::shared_ptr<IXDocumentNode> node = documentNode();
    return node ? node->warnings() : QList<std::shared_ptr<IXWarning>>();
}

std::shared_ptr<IXWarning> IXDocumentWarningsInspector::selectedWarning() const
{
    if (!m_tableView) return nullptr;
    const QList<QTableWidgetSelectionRange> ranges = m_tableView->selectedRanges();
    if (ranges.isEmpty()) return nullptr;
    const int row = ranges.first().topRow();
    return row >= 0 && row < m_shown.size() ? m_shown[row] : nullptr;
}

QString IXDocumentWarningsInspector::solveTitle(const IXWarning& warning)
{
    // Branches repair warnings about their references; no other owner offers a repair.
    const std::shared_ptr<IXNode> owner = warning.owner();
    if (!owner || !owner->isBranch()) return {};
    return static_cast<const IXBranchNode&>(*owner).warningSolveTitle(warning);
}

// --- Actions ---

void IXDocumentWarningsInspector::clearAction()
{
    const std::shared_ptr<IXDocumentNode> node = documentNode();
    if (!node) return;
    if (const std::shared_ptr<IXWarning> warning = selectedWarning())
        node->removeWarning(warning);
    else
        node->removeAllWarnings();
    reloadTable();
    postUpdateControls();
}

void IXDocumentWarningsInspector::solveAction()
{
    const std::shared_ptr<IXWarning> warning = selectedWarning();
    if (!warning) return;
    const std::shared_ptr<IXNode> owner = warning->owner();
    if (!owner || !owner->isBranch()) return;
    // A repair that answers NO leaves the warning in place.
    if (static_cast<const IXBranchNode&>(*owner).warningSolve(*warning)) clearAction();
}

// --- Binding and notices ---

void IXDocumentWarningsInspector::controllerWillChange()
{
    if (const std::shared_ptr<IXDocumentNode> node = m_observedDocument.lock())
        if (UTBroadcaster* broadcaster = node->observers()) broadcaster->removeObserver(this);
    m_observedDocument.reset();
}

void IXDocumentWarningsInspector::controllerDidChange()
{
    if (const std::shared_ptr<IXDocumentNode> node = documentNode()) {
        if (UTBroadcaster* broadcaster = node->observers()) {
            broadcaster->addObserver(this);
            m_observedDocument = node;
        }
    }
    reloadTable();
    postUpdateControls();
}

bool IXDocumentWarningsInspector::respondsToSelector(std::string_view selector) const
{
    return isAnyOf(selector, {IXNodeWarning});
}

void IXDocumentWarningsInspector::notifiedOfNode(IXNode*, const std::shared_ptr<IXWarning>& warning)
{
    reloadTable();
    postUpdateControls();
    if (warning && m_window && m_window->isVisible()) m_window->raise();
}

void IXDocumentWarningsInspector::reloadTable()
{
    if (!m_tableView) return;
    const std::shared_ptr<IXWarning> selected = selectedWarning();
    m_shown = warnings();
    // Clears the current row too, which would otherwise be selected again as rows go.
    m_tableView->selectionModel()->clear();
    m_tableView->setRowCount(int(m_shown.size()));
    for (int row = 0; row < m_shown.size(); ++row) {
        const IXWarning& warning = *m_shown[row];
        m_tableView->setItem(row, TypeColumn, new QTableWidgetItem(warning.title()));
        m_tableView->setItem(row, DescriptionColumn, new QTableWidgetItem(warning.message().trimmed()));
        if (m_shown[row] == selected) m_tableView->selectRow(row);
    }
}

void IXDocumentWarningsInspector::updateControls()
{
    if (!m_tableView) return;
    const std::shared_ptr<IXWarning> selected = selectedWarning();
    m_clearButton->setText(IXInspectorForms::localized(selected ? "Clear" : "Clear All"));
    m_clearButton->setEnabled(selected || !m_shown.isEmpty());
    const QString title = selected ? solveTitle(*selected) : QString();
    m_solveButton->setText(title);
    m_solveButton->setVisible(!title.isEmpty());
}
