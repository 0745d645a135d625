#pragma once

#include "DocumentWindow/IXDocumentImporter.h"

#include <QString>

// The importer factories by document type name. The project-file and Office subsystems install
// theirs at start-up; a type without a factory cannot be opened, with an error that says so.
class IXDocumentImporters {
public:
    // Installs the factory for the type (an empty factory removes it).
    static void install(const QString& typeName, IXDocumentImporter::Factory factory);
    static bool isInstalled(const QString& typeName);
    // An importer over the bytes; null with the factory's error, or with "cannot import" when
    // no factory is installed for the type.
    static std::unique_ptr<IXDocumentImporter> importerFor(const QString& typeName, const QByteArray& data,
                                                           PLError* error);
};
