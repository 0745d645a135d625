#include "Inspectors/IXAdditionalFoldersController.h"

#include "DocumentModel/IXAdditionalFolders.h"
#include "DocumentModel/IXApplicationServices.h"
#include "DocumentModel/IXDocumentNode.h"
#include "Inspectors/IXInspectedController.h"
#include "Inspectors/IXInspectorForms.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/Core/PLUndoManager.h"
#include "UtilityWidgets/UTBeep.h"

#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const QString PathKey = QStringLiteral("path");
const QString SelectedKey = QStringLiteral("selected");
const QString FilesKey = QStringLiteral("files");
const QString LastFolderPathKey = QStringLiteral("@LastFolderPathKey");

// Gives the document the dictionary, recording the old one for undo (whose run records the
// redo in turn).
void setFoldersInfo(const std::shared_ptr<IXDocumentNode>& document, const QVariantMap& info)
{
    const QVariantMap old = document->additionalFolders().info();
    if (old == info) return;
    if (PLUndoManager* undo = document->undoManager(); undo && undo->isUndoRegistrationEnabled()) {
        undo->registerUndo(document.get(), [weak = std::weak_ptr<IXDocumentNode>(document), old] {
            if (const std::shared_ptr<IXDocumentNode> node = weak.lock()) setFoldersInfo(node, old);
        });
        undo->setActionName(IXInspectorForms::localized("Additional Folders"));
    }
    document->additionalFolders().setInfo(info);
}

}  // namespace

IXAdditionalFoldersController::IXAdditionalFoldersController(IXInspectedController* controller)
    : m_controller(controller)
{
    if (!controller) return;
    const std::shared_ptr<IXDocumentNode> document = controller->documentNode();
    m_document = document;
    if (!document) return;
    // The list exists from now on; an empty one changes nothing the user sees.
    QVariantMap& info = document->additionalFolders().info();
    if (!info.contains(IXAdditionalFolders::FoldersKey)) info.insert(IXAdditionalFolders::FoldersKey, QStringList());
}

IXAdditionalFoldersController::~IXAdditionalFoldersController()
{
    delete m_window.data();
}

QVariantMap IXAdditionalFoldersController::folders() const
{
    const std::shared_ptr<IXDocumentNode> document = m_document.lock();
    return document ? document->additionalFolders().info() : QVariantMap();
}

QStringList IXAdditionalFoldersController::folderKeys() const
{
    return folders().value(IXAdditionalFolders::FoldersKey).toStringList();
}

void IXAdditionalFoldersController::commit(const QVariantMap& info)
{
    if (const std::shared_ptr<IXDocumentNode> document = m_document.lock()) setFoldersInfo(document, info);
}

// --- Window ---

void IXAdditionalFoldersController::makeWindow()
{
    m_window = new QDialog(m_controller ? m_controller->window() : nullptr);
    m_window->setWindowTitle(IXInspectorForms::localized("Additional Folders"));
    m_window->setWindowModality(Qt::WindowModal);
    auto* windowLayout = new QVBoxLayout(m_window);
    windowLayout->setContentsMargins(0, 0, 0, 0);
    m_contentView = new QWidget;
    m_contentView->setObjectName(QStringLiteral("IXAdditionalFoldersContent"));
    windowLayout->addWidget(m_contentView);
    auto* layout = new QVBoxLayout(m_contentView);
    layout->setContentsMargins(12, 12, 12, 12);
    m_tableView = new QTableWidget(0, 2);
    m_tableView->setHorizontalHeaderLabels({QString(), IXInspectorForms::localized("Folder")});
    m_tableView->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_tableView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tableView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tableView->verticalHeader()->hide();
    m_tableView->horizontalHeader()->setSectionResizeMode(CheckColumn, QHeaderView::ResizeToContents);
    // The last column takes the rest of the width.
    m_tableView->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_tableView);
    auto* buttons = new QHBoxLayout;
    m_addButton = new QPushButton(IXInspectorForms::localized("Add..."));
    m_removeButton = new QPushButton(IXInspectorForms::localized("Remove"));
    m_doneButton = new QPushButton(IXInspectorForms::localized("Done"));
    for (QPushButton* button : {m_addButton, m_removeButton, m_doneButton}) button->setAutoDefault(false);
    buttons->addWidget(m_addButton);
    buttons->addWidget(m_removeButton);
    buttons->addStretch();
    buttons->addWidget(m_doneButton);
    layout->addLayout(buttons);
    m_window->resize(480, 280);

    PLExceptionBoundary::connect(m_addButton, &QPushButton::clicked, this, [this] { addAction(); });
    PLExceptionBoundary::connect(m_removeButton, &QPushButton::clicked, this, [this] { removeAction(); });
    PLExceptionBoundary::connect(m_doneButton, &QPushButton::clicked, this, [this] { doneAction(); });
    PLExceptionBoundary::connect(m_tableView, &QTableWidget::itemSelectionChanged, this,
                                 [this] { tableViewSelectionDidChange(); });
    PLExceptionBoundary::connect(m_tableView, &QTableWidget::cellDoubleClicked, this,
                                 [this](int row, int) { doubleAction(row); });
    PLExceptionBoundary::connect(m_tableView, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (!m_reloading && item->column() == CheckColumn) setSelected(item->row(), item->checkState() == Qt::Checked);
    });
    reloadData();
}

QDialog* IXAdditionalFoldersController::window()
{
    if (!m_window) makeWindow();
    return m_window;
}

QWidget* IXAdditionalFoldersController::contentView()
{
    window();
    return m_contentView;
}

QPushButton* IXAdditionalFoldersController::doneButton()
{
    window();
    return m_doneButton;
}

QTableWidget* IXAdditionalFoldersController::tableView()
{
    window();
    return m_tableView;
}

QPushButton* IXAdditionalFoldersController::removeButton()
{
    window();
    return m_removeButton;
}

void IXAdditionalFoldersController::runModalSheet()
{
    m_modalSheet = true;
    reloadData();
    window()->open();
}

void IXAdditionalFoldersController::reloadData()
{
    if (!m_tableView) return;
    m_reloading = true;
    const QVariantMap info = folders();
    const QStringList keys = info.value(IXAdditionalFolders::FoldersKey).toStringList();
    m_tableView->setRowCount(int(keys.size()));
    for (int row = 0; row < keys.size(); ++row) {
        const QVariantMap record = info.value(keys[row]).toMap();
        const QString path = record.value(PathKey).toString();
        auto* check = new QTableWidgetItem;
        check->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        check->setCheckState(record.value(SelectedKey).toBool() ? Qt::Checked : Qt::Unchecked);
        check->setToolTip(path);
        auto* pathItem = new QTableWidgetItem(path);
        pathItem->setToolTip(path);
        m_tableView->setItem(row, CheckColumn, check);
        m_tableView->setItem(row, PathColumn, pathItem);
    }
    m_reloading = false;
    tableViewSelectionDidChange();
}

int IXAdditionalFoldersController::selectedRow() const
{
    if (!m_tableView) return -1;
    const QList<QTableWidgetSelectionRange> ranges = m_tableView->selectedRanges();
    const int row = ranges.isEmpty() ? -1 : ranges.first().topRow();
    return row < folderKeys().size() ? row : -1;
}

void IXAdditionalFoldersController::tableViewSelectionDidChange()
{
    if (!m_removeButton) return;
    const int row = selectedRow();
    // A folder that linked files live in stays.
    const bool hasFiles = row >= 0 && !folders().value(folderKeys()[row]).toMap().value(FilesKey).toList().isEmpty();
    m_removeButton->setEnabled(row >= 0 && !hasFiles);
}

void IXAdditionalFoldersController::setSelected(int row, bool selected)
{
    const QStringList keys = folderKeys();
    if (row < 0 || row >= keys.size()) return;
    QVariantMap info = folders();
    QVariantMap record = info.value(keys[row]).toMap();
    record.insert(SelectedKey, selected);
    info.insert(keys[row], record);
    commit(info);
}

// --- Actions ---

void IXAdditionalFoldersController::addAction()
{
    IXApplicationServices* services = IXApplicationServices::shared();
    if (!services || m_document.expired()) return;
    IXApplicationServices::OpenPanelOptions options;
    options.title = IXInspectorForms::localized("Choose Folder");
    options.canChooseDirectories = true;
    const QString last = folders().value(LastFolderPathKey).toString();
    if (!last.isEmpty() && QFileInfo(last).isDir()) options.directory = last;
    const std::optional<IXApplicationServices::OpenPanelResult> result = services->runOpenPanel(options);
    if (!result || result->paths.isEmpty() || result->paths.first().isEmpty()) return;
    QVariantMap info = folders();
    // The record of a folder already listed is reused.
    const QString key = IXAdditionalFolders::addFolder(QDir::cleanPath(result->paths.first()), &info);
    if (key.isEmpty()) return;
    QVariantMap record = info.value(key).toMap();
    record.insert(SelectedKey, true);
    info.insert(key, record);
    commit(info);
    reloadData();
    if (m_tableView) m_tableView->selectRow(int(folderKeys().indexOf(key)));
}

void IXAdditionalFoldersController::removeAction()
{
    const int row = selectedRow();
    if (row < 0) {
        UTBeep::beep();
        return;
    }
    QVariantMap info = folders();
    const QString key = folderKeys()[row];
    if (!info.value(key).toMap().value(FilesKey).toList().isEmpty()) {
        UTBeep::beep();
        return;
    }
    IXAdditionalFolders::removeFolder(key, &info);
    commit(info);
    reloadData();
}

void IXAdditionalFoldersController::doubleAction(int row)
{
    if (row < 0) row = selectedRow();
    const QStringList keys = folderKeys();
    if (row < 0 || row >= keys.size()) return;
    QString path = folders().value(keys[row]).toMap().value(PathKey).toString();
    if (path.isEmpty()) return;
    if (!QFileInfo::exists(path)) {
        // A path that moved with the document is taken beside it.
        const std::shared_ptr<IXDocumentNode> document = m_document.lock();
        const QString documentPath = document ? document->workingPath() : QString();
        if (!documentPath.isEmpty())
            path = QDir::cleanPath(QFileInfo(documentPath).absolutePath() + QLatin1Char('/') + path);
    }
    if (IXApplicationServices* services = IXApplicationServices::shared()) services->openFile(path);
}

void IXAdditionalFoldersController::doneAction()
{
    if (!m_window) return;
    if (m_modalSheet) {
        m_modalSheet = false;
        m_window->done(1);
        m_window->hide();
    } else {
        m_window->close();
    }
}
