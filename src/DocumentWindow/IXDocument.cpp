#include "DocumentWindow/IXDocument.h"

#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXSpellCheckingNotices.h"
#include "DocumentModel/IXWarning.h"
#include "DocumentWindow/IXDialogs.h"
#include "DocumentWindow/IXDocumentImporters.h"
#include "DocumentWindow/IXDocumentPrinting.h"
#include "DocumentWindow/IXDocumentTypes.h"
#include "DocumentWindow/IXDocumentWindowControlling.h"
#include "DocumentWindow/IXPreferences.h"
#include "DocumentWindow/IXRecoveryStore.h"
#include "DocumentWindow/IXSafeSave.h"
#include "DocumentWindow/IXShellErrors.h"
#include "DocumentWindow/IXTemplateStoring.h"
#include "Platform/Core/PLEditor.h"
#include "Platform/Core/PLError.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/Core/PLLog.h"
#include "Platform/Core/PLNotificationCenter.h"
#include "Platform/Core/PLRunLoop.h"
#include "Platform/Core/PLUUID.h"
#include "Utilities/UTErrors.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <exception>

using namespace std::chrono_literals;

namespace {

IXDocument::WindowControllerFactory& windowControllerFactory()
{
    static IXDocument::WindowControllerFactory factory;
    return factory;
}

PLError unsupportedType()
{
    return UTErrors::errorWithFailureReason(QStringLiteral("Unsupported document type"));
}

// The warning key an import adds to the document, by type name.
QString importWarningKey(const QString& typeName)
{
    if (typeName == IXDocumentTypes::WindowsProject) return QStringLiteral("IXPImportGeneral");
    if (typeName == IXDocumentTypes::Word2007) return QStringLiteral("DOCXImportGeneral");
    if (typeName == IXDocumentTypes::PowerPoint2007) return QStringLiteral("PPTXImportGeneral");
    if (typeName == IXDocumentTypes::WordBinary) return QStringLiteral("DOCImportGeneral");
    return {};
}

bool isFolder(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

// Errors of reading are shown a moment later, once the caller has unwound.
void presentLater(const PLError& error)
{
    PLRunLoop::perform(QCoreApplication::instance(), "presentReadError",
                       [error] { IXDialogs::shared().presentError(error, nullptr); }, 100ms);
}

// What the user reads when a file does not open: the file's name, the reader's text underneath.
PLError openingError(const QString& path, const QString& readerText)
{
    return IXShellErrors::error(
        QCoreApplication::translate("IXDocument", "The document “%1” could not be opened.").arg(QFileInfo(path).fileName()),
        readerText);
}

PLError openingError(const QString& path, const PLError& readerError)
{
    return openingError(path, readerError.isNull() ? QString() : readerError.localizedDescription());
}

} // namespace

IXDocument::IXDocument()
    : m_undo(std::make_unique<PLUndoManager>())
{
    observeUndoManager();
    // An ignored word is kept with the document at its next save, so it counts as a change.
    PLNotificationCenter::defaultCenter().addObserver(
        this, IXSpellCheckingNotices::IgnoreWord, nullptr, [this](const PLNotification& notice) {
            const QVariant tag = notice.userInfo.value(IXSpellCheckingNotices::TagKey);
            if (m_documentNode && tag.isValid() && tag.toInt() == m_documentNode->spellDocumentTag()) markEdited();
        });
}

IXDocument::~IXDocument()
{
    PLNotificationCenter::defaultCenter().removeObserver(this);
    PLRunLoop::cancel(this);
    // Windows go first: their views still look at the node.
    m_windowControllers.clear();
    if (m_documentNode) m_documentNode->setUndoManager(nullptr);
}

std::unique_ptr<IXDocument> IXDocument::untitled(const QString& typeName, PLError* error)
{
    if (typeName != IXDocumentTypes::Native) {
        PLSetError(error, unsupportedType());
        return nullptr;
    }
    std::unique_ptr<IXDocument> document(new IXDocument);
    document->m_fileType = typeName;
    document->m_documentNode = std::make_shared<IXDocumentNode>();
    document->m_documentNode->setUndoManager(document->m_undo.get());
    return document;
}

std::unique_ptr<IXDocument> IXDocument::fromData(const QByteArray& data, const QString& typeName, PLError* error)
{
    if (typeName != IXDocumentTypes::Native) {
        PLSetError(error, unsupportedType());
        return nullptr;
    }
    std::unique_ptr<IXDocument> document(new IXDocument);
    document->m_fileType = typeName;
    PLError failure;
    // Shown at once instead of a moment later.
    if (!document->readFromData(data, typeName, &failure)) {
        IXDialogs::shared().presentError(failure, nullptr);
        PLSetError(error, failure);
        return nullptr;
    }
    return document;
}

std::unique_ptr<IXDocument> IXDocument::fromFile(const QString& path, const QString& typeName, PLError* error)
{
    QFile file(path);
    PLError failure;
    std::unique_ptr<IXDocument> document;
    if (!file.open(QIODevice::ReadOnly)) {
        failure = openingError(path, file.errorString());
    } else {
        document.reset(new IXDocument);
        document->m_fileName = QFileInfo(path).absoluteFilePath();
        document->m_fileType = typeName;
        PLError readerError;
        if (!document->readFromData(file.readAll(), typeName, &readerError)) {
            document.reset();
            failure = openingError(path, readerError);
        }
    }
    if (!document) {
        presentLater(failure);
        PLSetError(error, failure);
    }
    return document;
}

void IXDocument::setWindowControllerFactory(WindowControllerFactory factory)
{
    windowControllerFactory() = std::move(factory);
}

// --- Reading and writing ---

bool IXDocument::readFromData(const QByteArray& data, const QString& typeName, PLError* error)
{
    const QString path = m_fileName;
    std::shared_ptr<IXDocumentNode> node;
    PLError failure;
    bool imported = false;
    try {
        if (typeName == IXDocumentTypes::Native) {
            node = IXDocumentNode::fromZipData(data, &failure);
        } else if (IXDocumentTypes::typeNamed(typeName)) {
            imported = true;
            std::unique_ptr<IXDocumentImporter> importer = IXDocumentImporters::importerFor(typeName, data, &failure);
            if (importer) {
                importer->setProcessedFilePath(path);
                node = importer->getMacDocumentNode(&failure);
                if (node) {
                    node->warning(IXWarningMessage(importWarningKey(typeName)));
                    importer->fixImportedDocument(*node, data);
                }
            }
        } else {
            failure = unsupportedType();
        }
    } catch (const std::exception& exception) {
        node.reset();
        failure = UTErrors::errorWithFailureReason(
            QStringLiteral("Unrecoverable error during importing file\n%1").arg(QString::fromUtf8(exception.what())));
    } catch (...) {
        node.reset();
        failure = UTErrors::errorWithFailureReason(QStringLiteral("Unrecoverable error during importing file\n%1").arg(tr("unknown exception")));
    }
    if (!node) {
        // A reader that fails without saying why still gets a text the user can read.
        if (failure.isNull()) failure = UTErrors::errorWithFailureReason(tr("The file could not be read."));
        PLSetError(error, failure);
        return false;
    }
    if (imported) {
        // The import becomes an untitled native document: its first save asks for a place.
        m_fileType = IXDocumentTypes::Native;
        setFileName(QString());
    }
    node->setWorkingPath(path);
    node->validateContent();
    if (m_documentNode) m_documentNode->setUndoManager(nullptr);
    m_documentNode = std::move(node);
    m_documentNode->setUndoManager(m_undo.get());
    return true;
}

bool IXDocument::commitEditors()
{
    // A committing editor ends its edit and unregisters: walk a copy.
    const std::vector<PLEditor*> editors = m_editors;
    for (PLEditor* editor : editors) {
        if (std::find(m_editors.begin(), m_editors.end(), editor) == m_editors.end()) continue;
        if (!editor->commitEditing()) return false;
    }
    return true;
}

bool IXDocument::commitAllEditing()
{
    if (!commitEditors()) return false;
    for (const auto& controller : m_windowControllers) controller->documentWillSave();
    return true;
}

void IXDocument::discardAllEditing()
{
    const std::vector<PLEditor*> editors = m_editors;
    for (PLEditor* editor : editors) {
        if (std::find(m_editors.begin(), m_editors.end(), editor) != m_editors.end()) editor->discardEditing();
    }
    m_editors.clear();
}

void IXDocument::objectDidBeginEditing(PLEditor* editor)
{
    if (editor && std::find(m_editors.begin(), m_editors.end(), editor) == m_editors.end()) m_editors.push_back(editor);
}

bool IXDocument::canSaveInFileType() const
{
    return IXDocumentTypes::isWritable(m_fileType);
}

void IXDocument::objectDidEndEditing(PLEditor* editor)
{
    std::erase(m_editors, editor);
}

std::optional<QByteArray> IXDocument::dataOfType(const QString& typeName, PLError* error)
{
    if (typeName != IXDocumentTypes::Native || !m_documentNode) {
        PLSetError(error, unsupportedType());
        return std::nullopt;
    }
    if (!commitAllEditing()) {
        PLSetError(error, UTErrors::errorWithFailureReason(tr("The text being edited could not be ended.")));
        return std::nullopt;
    }
    return packageData(error);
}

bool IXDocument::writeToPath(const QString& path, const QString& typeName, SaveOperation operation, PLError* error)
{
    const QString fileName = QFileInfo(path).fileName();
    const QString reason = tr("The document “%1” could not be saved as “%2”.").arg(displayName(), fileName);
    PLError failure;
    const std::optional<QByteArray> data = dataOfType(typeName, &failure);
    if (!data) {
        PLSetError(error, IXShellErrors::error(reason, failure));
        return false;
    }
    QString writeFailure;
    if (!IXSafeSave::write(path, *data, &writeFailure)) {
        PLSetError(error, IXShellErrors::error(reason, writeFailure));
        return false;
    }
    if (operation == SaveOperation::Save || operation == SaveOperation::SaveAs) {
        setFileName(QFileInfo(path).absoluteFilePath());
        m_fileType = typeName;
        m_documentNode->setWorkingPath(m_fileName);
        markClean();
        IXRecoveryStore::remove(m_recoveryId);
    }
    if (m_template) {
        m_template = false;
        if (IXTemplateStoring* storage = IXTemplateStoring::shared()) storage->updateDynamicItems();
    } else {
        IXPreferences::setValue(IXPreferences::LastDocumentFolderKey, QFileInfo(path).absolutePath());
    }
    return true;
}

std::optional<QByteArray> IXDocument::packageData(PLError* error) const
{
    PLError packageError;
    std::optional<QByteArray> data = m_documentNode->zipData(&packageError);
    if (!data || data->isEmpty()) {
        // The writer's own reason when it gave one: that is what the user can act on.
        PLSetError(error, packageError ? packageError : UTErrors::errorWithFailureReason(QStringLiteral("Failed to build document file")));
        return std::nullopt;
    }
    return data;
}

// --- User commands ---

void IXDocument::presentError(const PLError& error) const
{
    IXDialogs::shared().presentError(error, window());
}

std::optional<QString> IXDocument::askForSavePath()
{
    IXDialogs::SavePanel panel;
    panel.fileName = displayName() + QStringLiteral(".ixd");
    panel.requiredExtension = QStringLiteral("ixd");
    QString folder;
    if (m_template) {
        if (IXTemplateStoring* storage = IXTemplateStoring::shared()) folder = storage->templateUsersFolder();
        panel.canCreateDirectories = false;
    } else {
        folder = IXPreferences::value(IXPreferences::LastDocumentFolderKey).toString();
    }
    if (isFolder(folder)) panel.directory = folder;
    return IXDialogs::shared().runSavePanel(panel, window());
}

bool IXDocument::runSaveOperation(SaveOperation operation)
{
    QString path = m_fileName;
    if (operation != SaveOperation::Save || path.isEmpty() || m_fileType != IXDocumentTypes::Native) {
        const std::optional<QString> chosen = askForSavePath();
        if (!chosen) {
            m_template = false;
            return false;
        }
        path = *chosen;
        operation = SaveOperation::SaveAs;
    }
    PLError error;
    if (!writeToPath(path, IXDocumentTypes::Native, operation, &error)) {
        m_template = false;
        presentError(error);
        return false;
    }
    return true;
}

bool IXDocument::saveDocument()
{
    return runSaveOperation(SaveOperation::Save);
}

bool IXDocument::saveDocumentAs()
{
    return runSaveOperation(SaveOperation::SaveAs);
}

bool IXDocument::saveDocumentAsTemplate()
{
    m_template = true;
    return runSaveOperation(SaveOperation::SaveAs);
}

bool IXDocument::revertDocumentToSaved()
{
    if (m_fileName.isEmpty()) return false;
    IXDialogs::Alert alert;
    alert.title = tr("Do you want to revert to the most recently saved version of the document “%1”?").arg(displayName());
    alert.message = tr("Your current changes will be lost.");
    alert.buttons = {tr("Revert"), tr("Cancel")};
    alert.cancelButton = 1;
    if (IXDialogs::shared().runAlert(alert, window()) != 0) return false;
    PLError error;
    if (!revertToContentsOfPath(m_fileName, m_fileType, &error)) {
        presentError(error);
        return false;
    }
    return true;
}

bool IXDocument::revertToContentsOfPath(const QString& path, const QString& typeName, PLError* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        PLSetError(error, openingError(path, file.errorString()));
        return false;
    }
    // The caller shows the error.
    PLError readerError;
    if (!readFromData(file.readAll(), typeName, &readerError)) {
        PLSetError(error, openingError(path, readerError));
        return false;
    }
    // The old steps changed the old node.
    resetChangeTracking();
    for (const auto& controller : m_windowControllers) controller->documentNodeDidChange();
    emit documentNodeChanged();
    return true;
}

bool IXDocument::canClose()
{
    // An editor that cannot apply its change leaves a change in progress: the question is
    // asked all the same.
    const bool committed = commitEditors();
    if (committed && !isDocumentEdited()) return true;
    IXDialogs::Alert alert;
    alert.title = tr("Do you want to save the changes made to the document “%1”?").arg(displayName());
    alert.message = tr("Your changes will be lost if you don't save them.");
    alert.buttons = {tr("Save"), tr("Cancel"), tr("Don't Save")};
    alert.cancelButton = 1;
    switch (IXDialogs::shared().runAlert(alert, window())) {
    case 0: return saveDocument();
    case 2: return true;
    default: return false;
    }
}

// --- Autosave ---

QString IXDocument::autosavingFileType() const
{
    return IXDocumentTypes::isWritable(m_fileType) ? m_fileType : QString();
}

bool IXDocument::autosave(PLError* error)
{
    if (autosavingFileType().isEmpty() || !isDocumentEdited() || !m_documentNode) return true;
    const int serial = m_pendingChange ? -1 : currentSerial();
    if (serial >= 0 && serial == m_autosavedSerial) return true;
    // No editor is ended and no preview is drawn: autosave must not disturb typing.
    PLError failure;
    const std::optional<QByteArray> data = packageData(&failure);
    if (!data) {
        PLSetError(error, IXShellErrors::error(tr("The recovery copy of “%1” could not be written.").arg(displayName()), failure));
        return false;
    }
    if (m_recoveryId.isEmpty()) m_recoveryId = PLUUID::newIdString();
    // The store's error has the same shape already.
    if (!IXRecoveryStore::write(m_recoveryId, *data, m_fileName, displayName(), error)) return false;
    if (serial >= 0) m_autosavedSerial = serial;
    return true;
}

void IXDocument::autosaveInBackground()
{
    PLError error;
    if (autosave(&error)) {
        if (m_autosaveNoticeShown) {
            m_autosaveNoticeShown = false;
            for (const auto& controller : m_windowControllers) controller->hideNotice();
        }
        return;
    }
    QString text = error.localizedDescription();
    const QString underlying = error.userInfo().value(PLError::UnderlyingErrorKey).toString();
    if (!underlying.isEmpty()) text += QLatin1Char(' ') + underlying;
    PLLog::write(text);
    // The notice stays up until an autosave succeeds; later failures add nothing to it.
    if (m_autosaveNoticeShown) return;
    m_autosaveNoticeShown = true;
    text += QLatin1Char(' ') + tr("Ideaflux will try again at the next autosave.");
    for (const auto& controller : m_windowControllers) controller->showNotice(text);
}

void IXDocument::adoptRecovery(const QString& recoveryId)
{
    m_recoveryId = recoveryId;
    markEdited();
}

// --- State ---

void IXDocument::setFileName(const QString& path)
{
    if (m_fileName == path) return;
    m_fileName = path;
    emit fileNameChanged(path);
}

QString IXDocument::displayName() const
{
    if (!m_fileName.isEmpty()) return QFileInfo(m_fileName).completeBaseName();
    if (m_documentNode) {
        const QString name = m_documentNode->documentName();
        if (!name.isEmpty()) return name;
    }
    return tr("Untitled");
}

int IXDocument::currentSerial() const
{
    return m_undoSerials.empty() ? 0 : m_undoSerials.back();
}

bool IXDocument::isDocumentEdited() const
{
    return m_pendingChange || currentSerial() != m_savedSerial;
}

void IXDocument::markEdited()
{
    m_savedSerial = -1;
    announceEdited();
}

void IXDocument::markClean()
{
    m_savedSerial = currentSerial();
    m_autosavedSerial = m_savedSerial;
    announceEdited();
}

void IXDocument::resetChangeTracking()
{
    m_undo->removeAllActions();
    m_undoSerials.clear();
    m_redoSerials.clear();
    m_pendingChange = m_groupClosing = false;
    markClean();
}

void IXDocument::announceEdited()
{
    const bool edited = isDocumentEdited();
    if (edited == m_lastEdited) return;
    m_lastEdited = edited;
    emit editedChanged(edited);
}

void IXDocument::observeUndoManager()
{
    PLUndoManager* undo = m_undo.get();
    // The manager says when a step opens and closes and when its stacks change, but not
    // whether a closing step held anything: a change recorded into an open step shows as a
    // stack change while a group is open; such a step, once closed, is one change.
    PLExceptionBoundary::connect(undo, &PLUndoManager::didOpenUndoGroup, this, [this] { m_groupClosing = false; });
    PLExceptionBoundary::connect(undo, &PLUndoManager::willCloseUndoGroup, this, [this, undo] {
        if (undo->isUndoing() || undo->isRedoing()) return;
        m_groupClosing = m_pendingChange;
        m_pendingChange = false;
    });
    PLExceptionBoundary::connect(undo, &PLUndoManager::stacksChanged, this, [this, undo] {
        if (undo->isUndoing() || undo->isRedoing()) return;
        if (undo->groupingLevel() > 0) {
            if (undo->isUndoRegistrationEnabled()) m_pendingChange = true;
        } else if (m_groupClosing) {
            m_groupClosing = false;
            changeDone();
        }
        announceEdited();
    });
    PLExceptionBoundary::connect(undo, &PLUndoManager::didUndo, this, &IXDocument::changeUndone);
    PLExceptionBoundary::connect(undo, &PLUndoManager::didRedo, this, &IXDocument::changeRedone);
}

void IXDocument::changeDone()
{
    m_undoSerials.push_back(++m_nextSerial);
    m_redoSerials.clear();
    announceEdited();
}

void IXDocument::changeUndone()
{
    if (!m_undoSerials.empty()) {
        m_redoSerials.push_back(m_undoSerials.back());
        m_undoSerials.pop_back();
    }
    announceEdited();
}

void IXDocument::changeRedone()
{
    if (!m_redoSerials.empty()) {
        m_undoSerials.push_back(m_redoSerials.back());
        m_redoSerials.pop_back();
    }
    announceEdited();
}

// --- Windows ---

void IXDocument::makeWindowControllers()
{
    if (!windowControllerFactory()) return;
    std::unique_ptr<IXDocumentWindowControlling> controller = windowControllerFactory()(*this);
    if (!controller) return;
    IXDocumentWindowControlling* made = controller.get();
    addWindowController(std::move(controller));
    made->showWindow();
}

void IXDocument::addWindowController(std::unique_ptr<IXDocumentWindowControlling> controller)
{
    if (controller) m_windowControllers.push_back(std::move(controller));
}

std::vector<IXDocumentWindowControlling*> IXDocument::windowControllers() const
{
    std::vector<IXDocumentWindowControlling*> result;
    for (const auto& controller : m_windowControllers) result.push_back(controller.get());
    return result;
}

QWidget* IXDocument::window() const
{
    return m_windowControllers.empty() ? nullptr : m_windowControllers.front()->window();
}

IXWindowControlling* IXDocument::lastWindowController() const
{
    return m_windowControllers.empty() ? nullptr : m_windowControllers.back()->modelController();
}

void IXDocument::showWindows()
{
    for (const auto& controller : m_windowControllers) controller->showWindow();
}

// --- Printing ---

bool IXDocument::canPrint() const
{
    return !m_windowControllers.empty() && m_windowControllers.front()->documentPrinting();
}

bool IXDocument::printDocument(const QVariantMap& settings, bool showPrintPanel, PLError* error)
{
    IXDocumentPrinting* view = m_windowControllers.empty() ? nullptr : m_windowControllers.front()->documentPrinting();
    if (!view) {
        PLSetError(error, UTErrors::errorWithFailureReason(tr("This document cannot be printed from this window.")));
        return false;
    }
    return view->print(settings, showPrintPanel, error);
}
