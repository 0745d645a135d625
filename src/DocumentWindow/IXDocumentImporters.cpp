#include "DocumentWindow/IXDocumentImporters.h"

#include "Platform/Core/PLError.h"
#include "Utilities/UTErrors.h"

#include <QCoreApplication>
#include <QHash>

namespace {

QHash<QString, IXDocumentImporter::Factory>& factories()
{
    static QHash<QString, IXDocumentImporter::Factory> table;
    return table;
}

} // namespace

void IXDocumentImporters::install(const QString& typeName, IXDocumentImporter::Factory factory)
{
    if (factory) {
        factories().insert(typeName, std::move(factory));
    } else {
        factories().remove(typeName);
    }
}

bool IXDocumentImporters::isInstalled(const QString& typeName)
{
    return factories().contains(typeName);
}

std::unique_ptr<IXDocumentImporter> IXDocumentImporters::importerFor(const QString& typeName, const QByteArray& data,
                                                                     PLError* error)
{
    const auto factory = factories().constFind(typeName);
    if (factory == factories().constEnd()) {
        PLSetError(error, UTErrors::errorWithFailureReason(
                              QCoreApplication::translate("IXDocument", "This version of Ideaflux cannot import files of the type “%1”.")
                                  .arg(typeName)));
        return nullptr;
    }
    PLError failure;
    std::unique_ptr<IXDocumentImporter> importer = (*factory)(data, &failure);
    if (!importer) {
        if (failure.isNull()) {
            failure = UTErrors::errorWithFailureReason(
                QCoreApplication::translate("IXDocument", "The file is not a valid “%1” file.").arg(typeName));
        }
        PLSetError(error, failure);
    }
    return importer;
}
