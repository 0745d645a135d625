#pragma once

#include "DocumentModel/IXOpenDocument.h"
#include "Platform/Core/PLUndoManager.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

class IXDocumentWindowControlling;
class PLError;
class QWidget;

// The document of one map. It owns the document node, the undo manager the node records into
// and its window controllers; it reads files by document type name (imported files become
// untitled native documents that keep the importer's warnings), writes the native package
// through a temporary file that replaces the old one only when complete, and knows whether it
// has changes that are not saved.
//
// Edited state: every undo step that closes counts as a change, undoing takes one back and
// redoing puts it back, so undoing to the saved state makes the document clean again; a new
// change after undoing never matches the saved state even at the same depth.
//
// Editing tools register with the document while they edit; every save first has them apply
// their change. Dialogs (save panels, the "save changes?" alert, errors) go through IXDialogs, as sheets of
// the first window. The document controller (IXDocumentController) keeps the open documents.
class IXDocument : public QObject, public IXOpenDocument {
    Q_OBJECT

public:
    enum class SaveOperation { Save, SaveAs, SaveTo };
    // Makes the window controllers of a document (installed by the shell at start-up; without
    // one a document has no window).
    using WindowControllerFactory = std::function<std::unique_ptr<IXDocumentWindowControlling>(IXDocument& document)>;

    ~IXDocument() override;

    // A new empty document of the type: only the native type can be made; any other fails
    // with "Unsupported document type".
    static std::unique_ptr<IXDocument> untitled(const QString& typeName, PLError* error);
    // A new untitled document read from bytes (templates): only the native type is read; a
    // read error is also shown to the user at once.
    static std::unique_ptr<IXDocument> fromData(const QByteArray& data, const QString& typeName, PLError* error);
    // The document in the file at path, read as the type. A failure, "The document “name.ixd”
    // could not be opened." with the reader's text underneath, is handed back and shown once,
    // 0.1 s later.
    static std::unique_ptr<IXDocument> fromFile(const QString& path, const QString& typeName, PLError* error);

    static void setWindowControllerFactory(WindowControllerFactory factory);

    // --- Reading and writing ---
    // Reads the bytes by type name into a new document node (see the class comment). False
    // with the reader's error, which the caller shows.
    bool readFromData(const QByteArray& data, const QString& typeName, PLError* error);
    // The native package after committing every edit; "Unsupported document type" for other
    // types; the package writer's error, else "Failed to build document file", when the
    // package cannot be built.
    std::optional<QByteArray> dataOfType(const QString& typeName, PLError* error);
    // Has every registered editor apply its change, then lets each window store its state in
    // the node; false when an editor refused (its edit goes on and nothing is stored).
    bool commitAllEditing();
    // Has every registered editor apply its change; false when one refused.
    bool commitEditors();
    // Drops the changes of every registered editor (closing without saving).
    void discardAllEditing();
    // Writes the document to path. Nothing is written unless the whole package was built and
    // stored: the bytes go to a temporary file beside path, which then replaces it.
    // Save and SaveAs make path the document's file and the document clean; SaveTo leaves
    // the document as it is. Afterwards the last-document folder (or, for a template, the
    // template storage) is updated.
    bool writeToPath(const QString& path, const QString& typeName, SaveOperation operation, PLError* error);

    // --- User commands (panels and alerts through IXDialogs) ---
    // Saves to the document's file, asking for a place when it has none. False when
    // cancelled or failed (the error shown).
    bool saveDocument();
    bool saveDocumentAs();
    // Saves a copy as a template: the save panel starts in the user templates folder.
    bool saveDocumentAsTemplate();
    // After asking, reads the file again; false when cancelled, untitled or failed.
    bool revertDocumentToSaved();
    // Applies what the editors hold (typing counts as a change), then asks "save changes?"
    // when the document is edited or an editor could not apply its change, and obeys the
    // answer: true when the document may close (saved, or changes discarded).
    bool canClose();
    // Reads the file again without asking, replacing the document node; the caller shows an
    // error.
    bool revertToContentsOfPath(const QString& path, const QString& typeName, PLError* error);

    // --- Autosave ---
    // The type an autosave writes: the document's type when a plain save can write it, else
    // empty (no autosave).
    QString autosavingFileType() const;
    // Writes a recovery copy of the unsaved changes (never the document's file) when there
    // are changes since the last save or autosave. False when writing failed.
    bool autosave(PLError* error);
    // Autosave as the timer runs it, which must never interrupt typing: no modal dialog. A
    // failure shows a notice in the document's windows, once, until an autosave succeeds
    // again and takes it away; the timer's next interval tries again.
    void autosaveInBackground();
    bool showsAutosaveNotice() const { return m_autosaveNoticeShown; }
    // The key of the document's recovery copy (made on first autosave).
    QString recoveryId() const { return m_recoveryId; }
    // Continues from a recovery copy: the document keeps the copy's key and counts as edited.
    void adoptRecovery(const QString& recoveryId);

    // --- State ---
    QString fileName() const { return m_fileName; }
    void setFileName(const QString& path);
    QString fileType() const { return m_fileType; }
    // The file name without folder and extension; for an untitled document the node's name
    // (the first root branch's title), else "Untitled".
    QString displayName() const;
    PLUndoManager* undoManager() const { return m_undo.get(); }
    bool isDocumentEdited() const;
    // Counts as changed until the next save (changes made without undo).
    void markEdited();
    // Makes the current state the saved one.
    void markClean();
    // Forgets every undo step and makes the current state the saved one (after reverting, and
    // once a just-opened document has been laid out).
    void resetChangeTracking();

    bool isTemplate() const { return m_template; }
    bool usesDefaultTemplate() const { return m_usesDefaultTemplate; }
    void setUsesDefaultTemplate(bool uses) { m_usesDefaultTemplate = uses; }

    // --- Windows ---
    // Makes the window controller through the installed factory and shows its window.
    void makeWindowControllers();
    void addWindowController(std::unique_ptr<IXDocumentWindowControlling> controller);
    std::vector<IXDocumentWindowControlling*> windowControllers() const;
    // The first window, the parent of the document's sheets; null without windows.
    QWidget* window() const;

    // --- Printing ---
    // True when the first window controller has a printing view.
    bool canPrint() const;
    // Prints through the first window's printing view. False when cancelled, failed or when
    // printing is not available (with an error saying so).
    bool printDocument(const QVariantMap& settings, bool showPrintPanel, PLError* error);

    // --- IXOpenDocument ---
    std::shared_ptr<IXDocumentNode> documentNode() const override { return m_documentNode; }
    IXWindowControlling* lastWindowController() const override;
    void showWindows() override;
    void objectDidBeginEditing(PLEditor* editor) override;
    void objectDidEndEditing(PLEditor* editor) override;
    QString documentFilePath() const override { return m_fileName; }
    QString documentFileType() const override { return m_fileType; }
    bool canSaveInFileType() const override;

signals:
    void editedChanged(bool edited);
    void fileNameChanged(const QString& fileName);
    void documentNodeChanged();

private:
    IXDocument();

    void observeUndoManager();
    void changeDone();
    void changeUndone();
    void changeRedone();
    void announceEdited();
    int currentSerial() const;
    bool runSaveOperation(SaveOperation operation);
    std::optional<QString> askForSavePath();
    std::optional<QByteArray> packageData(PLError* error) const;
    void presentError(const PLError& error) const;

    std::shared_ptr<IXDocumentNode> m_documentNode;
    std::unique_ptr<PLUndoManager> m_undo;
    std::vector<std::unique_ptr<IXDocumentWindowControlling>> m_windowControllers;
    // The editors with a change in progress, not owned.
    std::vector<PLEditor*> m_editors;
    QString m_fileName;
    QString m_fileType;
    bool m_template = false;
    bool m_usesDefaultTemplate = false;

    // Change tracking: one serial per undo step, mirroring the undo and redo stacks.
    std::vector<int> m_undoSerials;
    std::vector<int> m_redoSerials;
    int m_nextSerial = 0;
    int m_savedSerial = 0;
    int m_autosavedSerial = 0;
    // A change was recorded into a step that is still open.
    bool m_pendingChange = false;
    bool m_groupClosing = false;
    bool m_lastEdited = false;
    bool m_autosaveNoticeShown = false;
    QString m_recoveryId;
};
