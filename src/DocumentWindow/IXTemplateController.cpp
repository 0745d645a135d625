#include "DocumentWindow/IXTemplateController.h"

#include "DocumentModel/IXStyleValue.h"
#include "DocumentWindow/IXAppController.h"
#include "DocumentWindow/IXDialogs.h"
#include "DocumentWindow/IXDocument.h"
#include "DocumentWindow/IXDocumentController.h"
#include "DocumentWindow/IXDocumentTypes.h"
#include "DocumentWindow/IXGridImageView.h"
#include "DocumentWindow/IXPreferences.h"
#include "DocumentWindow/IXShellErrors.h"
#include "DocumentWindow/IXTemplateFolder.h"
#include "DocumentWindow/IXTemplateItem.h"
#include "DocumentWindow/IXTemplateStorage.h"
#include "Platform/Core/PLError.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/Core/PLNotificationCenter.h"
#include "Platform/System/PLLocalizedStrings.h"

#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

const QString IXTemplateController::ThumbSizeKey = QStringLiteral("IXTemplateChooserThumbSize");

namespace {

IXTemplateController* s_shared = nullptr;

// A template larger than this is no map anyone meant to start from.
constexpr qint64 MaximumTemplateSize = qint64(512) << 20;

constexpr int SeparatorRole = Qt::UserRole + 1;

QSizeF thumbSizeSetting()
{
    const QString stored = IXPreferences::value(IXTemplateController::ThumbSizeKey).toString();
    const PLSize size = IXStyleValue::sizeFromText(stored);
    if (stored.isEmpty() || !(size.width >= 16 && size.height >= 16 && size.width <= 1024 && size.height <= 1024)) {
        IXPreferences::setValue(IXTemplateController::ThumbSizeKey, IXStyleValue::sizeText(PLSize(128, 164)));
        return QSizeF(128, 164);
    }
    return QSizeF(size.width, size.height);
}

}  // namespace

IXTemplateController::IXTemplateController(IXTemplateStorage& storage, QObject* parent)
    : QObject(parent)
    , m_storage(storage)
{
}

IXTemplateController::~IXTemplateController()
{
    PLNotificationCenter::defaultCenter().removeObserver(this);
    delete m_window.data();
    if (s_shared == this) s_shared = nullptr;
}

IXTemplateController& IXTemplateController::sharedController()
{
    if (!s_shared) s_shared = new IXTemplateController(IXTemplateStorage::sharedStorage(), qApp);
    return *s_shared;
}

QString IXTemplateController::templateUsersFolder()
{
    return m_storage.templateUsersFolder();
}

// --- New documents ---

IXDocument* IXTemplateController::openNewDocumentWithTemplate(const QString& path)
{
    QFile file(path);
    PLError error;
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaximumTemplateSize) {
        error
            = IXShellErrors::error(PLLocalizedStrings::string(QStringLiteral("The template “%1” could not be opened."))
                                       .arg(QFileInfo(path).fileName()),
                                   file.errorString());
        IXDialogs::shared().presentError(error, nullptr);
        return nullptr;
    }
    std::unique_ptr<IXDocument> document = IXDocument::fromData(file.readAll(), IXDocumentTypes::Native, &error);
    if (!document) return nullptr;
    IXDocument* opened = IXDocumentController::shared().addDocument(std::move(document), true);
    closeUntouchedDefaultDocuments(opened);
    return opened;
}

IXDocument* IXTemplateController::openNewDocumentWithDefaultTemplate()
{
    IXDocument* document = nullptr;
    if (IXTemplateItem* item = m_storage.defaultTemplateItem())
        document = openNewDocumentWithTemplate(item->filePath());
    // Without a readable default template the user still gets a map to work on.
    if (!document) document = IXAppController::sharedController().newEmptyDocument();
    if (document) document->setUsesDefaultTemplate(true);
    return document;
}

void IXTemplateController::closeUntouchedDefaultDocuments(const IXDocument* keep)
{
    IXDocumentController& controller = IXDocumentController::shared();
    for (IXDocument* document : controller.documents())
        if (document != keep && document->usesDefaultTemplate() && !document->isDocumentEdited())
            controller.removeDocument(document);
}

// --- The window ---

QDialog* IXTemplateController::window()
{
    if (!m_window) windowDidLoad();
    return m_window;
}

void IXTemplateController::windowDidLoad()
{
    auto* window = new QDialog(nullptr, Qt::Dialog);
    window->setObjectName(QStringLiteral("TemplateChooser"));
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    m_window = window;

    m_table = new QListWidget(window);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setFixedWidth(180);
    m_table->setFocusPolicy(Qt::StrongFocus);

    auto* scroll = new QScrollArea(window);
    scroll->setWidgetResizable(false);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    scroll->verticalScrollBar()->setSingleStep(20);
    m_grid = new IXGridImageView;
    m_grid->setThumbSize(thumbSizeSetting());
    m_grid->setStretch(true);
    m_grid->setDataSource(this);
    m_grid->setDelegate(this);
    m_grid->setDoubleAction([this](IXGridImageView*) { thumbAction(); });
    m_grid->setBackgroundColor(QColor(172, 178, 187));
    auto cell = std::make_unique<IXThumbnailCell>();
    cell->setAlignment(Qt::AlignHCenter);
    cell->setHiQuality(true);
    cell->setSelectionColor(QColor(255, 214, 10));
    cell->setTextColor(QColor(20, 24, 32));
    m_grid->setDataCell(std::move(cell));
    scroll->setWidget(m_grid);

    m_choose = new QPushButton(PLLocalizedStrings::string(QStringLiteral("Choose")), window);
    m_choose->setDefault(true);
    auto* open = new QPushButton(PLLocalizedStrings::string(QStringLiteral("Open...")), window);
    auto* cancel = new QPushButton(PLLocalizedStrings::string(QStringLiteral("Cancel")), window);
    const std::pair<QPushButton*, int> buttons[] = {{m_choose, ChooseTag}, {open, OpenTag}, {cancel, CancelTag}};
    for (const auto& [button, tag] : buttons)
        PLExceptionBoundary::connect(button, &QPushButton::clicked, this, [this, tag = tag] { buttonAction(tag); });
    // Escape closes the window as Cancel does.
    PLExceptionBoundary::connect(window, &QDialog::rejected, this, [this] { buttonAction(CancelTag); });

    auto* row = new QHBoxLayout;
    row->addWidget(open);
    row->addStretch();
    row->addWidget(cancel);
    row->addWidget(m_choose);
    auto* panes = new QHBoxLayout;
    panes->addWidget(m_table);
    panes->addWidget(scroll, 1);
    auto* layout = new QVBoxLayout(window);
    layout->addLayout(panes, 1);
    layout->addLayout(row);
    window->resize(760, 520);

    reloadCategories();
    PLExceptionBoundary::connect(m_table, &QListWidget::itemSelectionChanged, this,
                                 [this] { tableViewSelectionDidChange(); });
    // Row 2: the first category after "All" and the separator.
    if (m_table->count() > 2)
        m_table->setCurrentRow(2);
    else if (m_table->count() > 0)
        m_table->setCurrentRow(0);
    PLNotificationCenter::defaultCenter().addObserver(this, IXTemplateStorage::StateDidChangeNotification, &m_storage,
                                                      [this](const PLNotification&) { updateThumbnailView(); });
    updateThumbnailView();
}

void IXTemplateController::reloadCategories()
{
    m_table->clear();
    for (const auto& folder : m_storage.categories()) {
        auto* row = new QListWidgetItem(m_table);
        if (folder->isSeparator()) {
            row->setText(PLLocalizedStrings::string(QStringLiteral("-------")));
            row->setData(SeparatorRole, true);
            row->setFlags(Qt::NoItemFlags);
            row->setTextAlignment(Qt::AlignCenter);
            row->setForeground(QColor(Qt::lightGray));
            QFont font = m_table->font();
            font.setBold(true);
            font.setPointSize(6);
            row->setFont(font);
            row->setSizeHint(QSize(0, 10));
        } else {
            row->setText(folder->title());
            row->setForeground(QColor(Qt::black));
            row->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        }
    }
}

void IXTemplateController::tableViewSelectionDidChange()
{
    const auto categories = m_storage.categories();
    for (const QModelIndex& index : m_table->selectionModel()->selectedRows())
        if (index.row() < categories.size() && categories[index.row()]->isDynamic()) {
            // Rescanning announces the change, which refreshes the grid.
            m_storage.updateDynamicItems();
            return;
        }
    updateThumbnailView();
}

void IXTemplateController::refreshActiveItems()
{
    QList<int> rows;
    if (m_table)
        for (const QModelIndex& index : m_table->selectionModel()->selectedRows()) rows.append(index.row());
    m_activeItems = m_storage.itemsForCategoryIndexes(rows);
}

void IXTemplateController::updateThumbnailView()
{
    if (!m_grid) return;
    refreshActiveItems();
    m_grid->selectItemAtIndex(IXGridImageView::NotFound);
    m_grid->reloadData();
    m_grid->selectItemAtIndex(0);
    if (QScrollArea* scroll = m_grid->enclosingScrollArea()) scroll->verticalScrollBar()->setValue(0);
}

IXTemplateItem* IXTemplateController::selectedItem() const
{
    const int index = m_grid ? m_grid->selectedItem() : -1;
    return index >= 0 && index < m_activeItems.size() ? m_activeItems[index] : nullptr;
}

void IXTemplateController::buttonAction(int tag)
{
    switch (tag) {
    case ChooseTag:
        if (IXTemplateItem* item = selectedItem())
            if (openNewDocumentWithTemplate(item->filePath()) && m_window) m_window->hide();
        break;
    case OpenTag:
        if (m_window) m_window->hide();
        IXDocumentController::shared().openDocumentsFromPanel();
        if (IXDocumentController::shared().documents().size() >= 2) closeUntouchedDefaultDocuments(nullptr);
        break;
    default:
        if (m_window) m_window->hide();
        break;
    }
}

void IXTemplateController::thumbAction()
{
    if (m_choose) m_choose->click();
}

QString IXTemplateController::chooseDocumentPath()
{
    IXDialogs::OpenPanel panel;
    panel.title = PLLocalizedStrings::string(QStringLiteral("Select Ideaflux Document"));
    panel.allowedExtensions = {QStringLiteral("ixd"), QStringLiteral("IXD")};
    const QString last = IXPreferences::value(IXPreferences::LastDocumentFolderKey).toString();
    if (!last.isEmpty() && QFileInfo(last).isDir()) panel.directory = last;
    const std::optional<QStringList> chosen = IXDialogs::shared().runOpenPanel(panel, m_window);
    if (!chosen || chosen->isEmpty()) return {};
    IXPreferences::setValue(IXPreferences::LastDocumentFolderKey, QFileInfo(chosen->first()).absolutePath());
    return chosen->first();
}

void IXTemplateController::showChoosePanel()
{
    showPanel(PLLocalizedStrings::string(QStringLiteral("New Ideaflux Document")));
}

void IXTemplateController::showWelcomePanel()
{
    showPanel(PLLocalizedStrings::string(QStringLiteral("Welcome to Quorvanta Ideaflux")));
}

void IXTemplateController::showPanel(const QString& title)
{
    QDialog* panel = window();
    panel->setWindowTitle(title);
    if (!panel->isVisible())
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            QRect frame = panel->frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            panel->move(frame.topLeft());
        }
    panel->show();
    panel->raise();
    panel->activateWindow();
}

// --- Grid data source ---

int IXTemplateController::numberOfItemsGridImageView(IXGridImageView*)
{
    return int(m_activeItems.size());
}

QImage IXTemplateController::objectValueForIndex(IXGridImageView*, int index)
{
    return index >= 0 && index < m_activeItems.size() ? m_activeItems[index]->previewImage() : QImage();
}

QString IXTemplateController::titleForIndex(IXGridImageView*, int index)
{
    return index >= 0 && index < m_activeItems.size() ? m_activeItems[index]->title() : QString();
}

QString IXTemplateController::infoForIndex(IXGridImageView*, int)
{
    return {};
}
