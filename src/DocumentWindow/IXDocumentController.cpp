#include "DocumentWindow/IXDocumentController.h"

#include "DocumentModel/IXDocumentNode.h"
#include "DocumentWindow/IXApplication.h"
#include "DocumentWindow/IXDialogs.h"
#include "DocumentWindow/IXDocument.h"
#include "DocumentWindow/IXDocumentTypes.h"
#include "DocumentWindow/IXPreferences.h"
#include "DocumentWindow/IXShellErrors.h"
#include "Platform/Core/PLError.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/Core/PLLog.h"
#include "Platform/Core/PLRunLoop.h"
#include "Utilities/UTStartupTrace.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>
#include <QWidget>

#include <algorithm>

using namespace std::chrono_literals;

namespace {

} // namespace

IXDocumentController::IXDocumentController()
{
    PLExceptionBoundary::connect(&m_autosaveTimer, &QTimer::timeout, this, &IXDocumentController::autosaveAllDocuments);
    // The shared controller outlives the application object: its timer stops with the loop.
    if (QCoreApplication* application = QCoreApplication::instance())
        PLExceptionBoundary::connect(application, &QCoreApplication::aboutToQuit, this, [this] { m_autosaveTimer.stop(); });
}

IXDocumentController::~IXDocumentController()
{
    PLRunLoop::cancel(this);
}

IXDocumentController& IXDocumentController::shared()
{
    static IXDocumentController controller;
    return controller;
}

QList<IXDocument*> IXDocumentController::documents() const
{
    QList<IXDocument*> result;
    for (const auto& document : m_documents) result += document.get();
    return result;
}

IXDocument* IXDocumentController::documentForPath(const QString& path) const
{
    const QString wanted = QFileInfo(path).absoluteFilePath();
    for (const auto& document : m_documents) {
        if (!document->fileName().isEmpty() && document->fileName() == wanted) return document.get();
    }
    return nullptr;
}

IXDocument* IXDocumentController::currentDocument() const
{
    // The main window: the last active document window, even while a panel has the focus.
    const IXApplication* application = IXApplication::instance();
    const QWidget* active = application ? application->mainWindow() : QApplication::activeWindow();
    if (!active) return nullptr;
    for (const auto& document : m_documents) {
        if (document->window() && document->window()->window() == active) return document.get();
    }
    return nullptr;
}

IXDocument* IXDocumentController::failOpening(const PLError& failure, PLError* error)
{
    PLRunLoop::perform(this, "presentOpenError", [failure] { IXDialogs::shared().presentError(failure, nullptr); }, 100ms);
    PLSetError(error, failure);
    return nullptr;
}

IXDocument* IXDocumentController::openDocument(const QString& path, bool display, PLError* error)
{
    if (IXDocument* open = documentForPath(path)) {
        if (display) open->showWindows();
        return open;
    }
    const QString fileName = QFileInfo(path).fileName();
    const auto type = IXDocumentTypes::typeForPath(path);
    if (!type) {
        return failOpening(IXShellErrors::error(tr("The document “%1” could not be opened.").arg(fileName),
                                                tr("Ideaflux cannot open files of this type.")),
                           error);
    }
    if (!QFileInfo(path).isFile()) {
        return failOpening(IXShellErrors::error(tr("The document “%1” could not be opened.").arg(fileName),
                                                tr("The file does not exist.")),
                           error);
    }
    // Read errors are shown by the document itself.
    std::unique_ptr<IXDocument> document = IXDocument::fromFile(path, type->name, error);
    if (!document) return nullptr;
    UTStartupTrace::mark("document-read");
    if (!document->fileName().isEmpty()) noteNewRecentDocument(document->fileName());
    return addDocument(std::move(document), display);
}

IXDocument* IXDocumentController::openUntitledDocument(bool display, PLError* error)
{
    std::unique_ptr<IXDocument> document = IXDocument::untitled(IXDocumentTypes::Native, error);
    if (!document) return nullptr;
    return addDocument(std::move(document), display);
}

IXDocument* IXDocumentController::addDocument(std::unique_ptr<IXDocument> document, bool display)
{
    IXDocument* added = document.get();
    PLExceptionBoundary::connect(added, &IXDocument::fileNameChanged, this, [this](const QString& path) {
        if (!path.isEmpty()) noteNewRecentDocument(path);
    });
    m_documents.push_back(std::move(document));
    if (display) added->makeWindowControllers();
    // Opening and the first layout may touch the model; what the user sees first is the
    // saved state, so the document starts clean once its windows have settled.
    const bool recovered = !added->recoveryId().isEmpty();
    PLRunLoop::perform(added, "settleAfterOpening", [added, recovered] {
        if (!recovered) added->resetChangeTracking();
    });
    emit documentsChanged();
    return added;
}

QList<IXDocument*> IXDocumentController::openDocumentsFromPanel()
{
    IXDialogs::OpenPanel panel;
    panel.allowedExtensions = IXDocumentTypes::readableExtensions();
    panel.directory = currentDirectory();
    panel.allowsMultipleSelection = true;
    QList<IXDocument*> opened;
    const std::optional<QStringList> paths = IXDialogs::shared().runOpenPanel(panel, nullptr);
    if (!paths) return opened;
    for (const QString& path : *paths) {
        if (IXDocument* document = openDocument(path, true, nullptr)) opened += document;
    }
    return opened;
}

bool IXDocumentController::closeDocument(IXDocument* document)
{
    if (!document || !document->canClose()) return false;
    removeDocument(document);
    return true;
}

void IXDocumentController::removeDocument(IXDocument* document)
{
    const auto found = std::find_if(m_documents.begin(), m_documents.end(), [document](const auto& d) { return d.get() == document; });
    if (found == m_documents.end()) return;
    std::unique_ptr<IXDocument> closing = std::move(*found);
    m_documents.erase(found);
    closing->discardAllEditing();
    IXRecoveryStore::remove(closing->recoveryId());
    closing.reset();
    emit documentsChanged();
}

bool IXDocumentController::closeAllDocuments()
{
    while (!m_documents.empty()) {
        if (!closeDocument(m_documents.front().get())) return false;
    }
    return true;
}

QStringList IXDocumentController::recentDocuments() const
{
    return IXPreferences::value(IXPreferences::RecentDocumentsKey).toStringList();
}

void IXDocumentController::noteNewRecentDocument(const QString& path)
{
    QStringList recent = recentDocuments();
    const QString absolute = QFileInfo(path).absoluteFilePath();
    recent.removeAll(absolute);
    recent.prepend(absolute);
    while (recent.size() > MaximumRecentDocumentCount) recent.removeLast();
    IXPreferences::setValue(IXPreferences::RecentDocumentsKey, recent);
    emit recentDocumentsChanged();
}

void IXDocumentController::clearRecentDocuments()
{
    IXPreferences::setValue(IXPreferences::RecentDocumentsKey, QVariant());
    emit recentDocumentsChanged();
}

QString IXDocumentController::currentDirectory() const
{
    const QString last = IXPreferences::value(IXPreferences::LastDocumentFolderKey).toString();
    if (!last.isEmpty() && QFileInfo(last).isDir()) return last;
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

void IXDocumentController::setAutosavingDelay(int seconds)
{
    m_autosavingDelay = std::max(0, seconds);
    if (m_autosavingDelay == 0) {
        m_autosaveTimer.stop();
    } else {
        m_autosaveTimer.start(m_autosavingDelay * 1000);
    }
}

void IXDocumentController::autosaveAllDocuments()
{
    for (const auto& document : m_documents) document->autosaveInBackground();
}

QList<IXRecoveryEntry> IXDocumentController::recoverableDocuments() const
{
    QList<IXRecoveryEntry> entries = IXRecoveryStore::entries();
    entries.removeIf([this](const IXRecoveryEntry& entry) {
        return std::any_of(m_documents.begin(), m_documents.end(), [&](const auto& d) { return d->recoveryId() == entry.id; });
    });
    return entries;
}

IXDocument* IXDocumentController::openRecoveredDocument(const IXRecoveryEntry& entry, bool display, PLError* error)
{
    std::unique_ptr<IXDocument> document = IXDocument::fromFile(entry.copyPath, IXDocumentTypes::Native, error);
    if (!document) return nullptr;
    document->setFileName(entry.originalPath.isEmpty() ? QString() : QFileInfo(entry.originalPath).absoluteFilePath());
    if (document->documentNode()) document->documentNode()->setWorkingPath(document->fileName());
    document->adoptRecovery(entry.id);
    return addDocument(std::move(document), display);
}

void IXDocumentController::discardRecoveredDocument(const IXRecoveryEntry& entry)
{
    IXRecoveryStore::remove(entry.id);
}
