#pragma once

#include "DocumentWindow/IXRecoveryStore.h"

#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <memory>
#include <vector>

class IXDocument;
class PLError;

// The application's open documents (it owns them), opening by file type, the recent
// documents, the last folder, autosave every few minutes into recovery copies, and the
// recovery copies a crash left behind.
//
// Opening failures are returned to the caller and also shown to the user 0.1 s later, so
// every caller (open panel, command line, link following) reports them the same way.
class IXDocumentController : public QObject {
    Q_OBJECT

public:
    static constexpr int MaximumRecentDocumentCount = 10;

    IXDocumentController();
    ~IXDocumentController() override;

    // The application's controller, made on first use.
    static IXDocumentController& shared();

    QList<IXDocument*> documents() const;
    // The open document whose file is path, or null.
    IXDocument* documentForPath(const QString& path) const;
    // The document of the main window, else null.
    IXDocument* currentDocument() const;

    // Opens the file (or shows the document already open from it), making its windows when
    // display is set. Null on failure, with the error.
    IXDocument* openDocument(const QString& path, bool display, PLError* error);
    // A new empty native document.
    IXDocument* openUntitledDocument(bool display, PLError* error);
    // Takes a document made elsewhere (templates) into the list.
    IXDocument* addDocument(std::unique_ptr<IXDocument> document, bool display);
    // Runs the open panel in the last folder and opens every chosen file; the documents opened.
    QList<IXDocument*> openDocumentsFromPanel();

    // Closes the document after asking about its changes; false when the user kept it open.
    bool closeDocument(IXDocument* document);
    // Closes without asking (changes are lost; the recovery copy goes).
    void removeDocument(IXDocument* document);
    // Asks about each edited document in turn; false as soon as one stays open.
    bool closeAllDocuments();

    // Recent documents, newest first.
    QStringList recentDocuments() const;
    void noteNewRecentDocument(const QString& path);
    void clearRecentDocuments();
    // The folder of the last saved document when it still exists, else the user's documents.
    QString currentDirectory() const;

    // Autosave delay in seconds; 0 switches autosave off.
    int autosavingDelay() const { return m_autosavingDelay; }
    void setAutosavingDelay(int seconds);
    // Writes a recovery copy of every document with unsaved changes.
    void autosaveAllDocuments();

    // Recovery copies that no open document holds, newest first.
    QList<IXRecoveryEntry> recoverableDocuments() const;
    // Opens a recovery copy as an edited document of its original file (untitled when it had
    // none); the copy stays until the document is saved or closed.
    IXDocument* openRecoveredDocument(const IXRecoveryEntry& entry, bool display, PLError* error);
    void discardRecoveredDocument(const IXRecoveryEntry& entry);

signals:
    void documentsChanged();
    void recentDocumentsChanged();

private:
    IXDocument* failOpening(const PLError& failure, PLError* error);

    std::vector<std::unique_ptr<IXDocument>> m_documents;
    QTimer m_autosaveTimer;
    int m_autosavingDelay = 0;
};
