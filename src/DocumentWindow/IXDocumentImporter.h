#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

class IXDocumentNode;
class PLError;

// An importer over the bytes of a foreign file (a Windows-edition project, a Word or
// PowerPoint file) that builds a native document from it. The subsystems that read those
// formats implement it and install a factory per document type in IXDocumentImporters; the
// document class only calls through this interface.
class IXDocumentImporter {
public:
    // Makes an importer over a file's bytes; null with the error when they cannot be parsed.
    using Factory = std::function<std::unique_ptr<IXDocumentImporter>(const QByteArray& data, PLError* error)>;

    virtual ~IXDocumentImporter();

    // The path of the file being imported, the base for the files it refers to. Importers
    // that need no path ignore it.
    virtual void setProcessedFilePath(const QString& path);
    // Builds the native document, with the warnings of the import recorded on it; null with
    // the error when it cannot. May throw: the caller turns an exception into an error.
    // Calling it again while it runs is a programming error.
    virtual std::shared_ptr<IXDocumentNode> getMacDocumentNode(PLError* error) = 0;
    // A second pass over the imported bytes once the document exists (the project importer
    // applies the project's timeline settings to the "timeline" layout); others do nothing.
    virtual void fixImportedDocument(IXDocumentNode& document, const QByteArray& data);
};
