#include "DocumentWindow/IXDocumentImporter.h"

IXDocumentImporter::~IXDocumentImporter() = default;

void IXDocumentImporter::setProcessedFilePath(const QString&)
{
}

void IXDocumentImporter::fixImportedDocument(IXDocumentNode&, const QByteArray&)
{
}
