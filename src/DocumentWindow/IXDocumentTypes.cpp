#include "DocumentWindow/IXDocumentTypes.h"

#include "DocumentWindow/IXDocumentImporters.h"

#include <QFileInfo>

const QString IXDocumentTypes::Native = QStringLiteral("Ideaflux Document");
const QString IXDocumentTypes::WindowsProject = QStringLiteral("Ideaflux Windows Document");
const QString IXDocumentTypes::Word2007 = QStringLiteral("MS Word 2007 Document");
const QString IXDocumentTypes::PowerPoint2007 = QStringLiteral("MS PowerPoint 2007 Document");
const QString IXDocumentTypes::WordBinary = QStringLiteral("MS Word Document");

const QList<IXDocumentType>& IXDocumentTypes::all()
{
    static const QList<IXDocumentType> types = {
        {Native, {QStringLiteral("ixd")}, true, QStringLiteral("application/x-ideaflux-document")},
        {WindowsProject, {QStringLiteral("ixp")}, false, QStringLiteral("application/x-ideaflux-windows-document")},
        {Word2007,
         {QStringLiteral("docx")},
         false,
         QStringLiteral("application/vnd.openxmlformats-officedocument.wordprocessingml.document")},
        {PowerPoint2007,
         {QStringLiteral("pptx")},
         false,
         QStringLiteral("application/vnd.openxmlformats-officedocument.presentationml.presentation")},
        {WordBinary, {QStringLiteral("doc")}, false, QStringLiteral("application/msword")},
    };
    return types;
}

std::optional<IXDocumentType> IXDocumentTypes::typeNamed(const QString& name)
{
    for (const IXDocumentType& type : all()) {
        if (type.name == name) return type;
    }
    return std::nullopt;
}

std::optional<IXDocumentType> IXDocumentTypes::typeForPath(const QString& path)
{
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.isEmpty()) return std::nullopt;
    for (const IXDocumentType& type : all()) {
        if (type.extensions.contains(suffix, Qt::CaseInsensitive)) return type;
    }
    return std::nullopt;
}

bool IXDocumentTypes::isWritable(const QString& name)
{
    const auto type = typeNamed(name);
    return type && type->writable;
}

namespace {

// A type that no installed importer reads would only open to an error.
bool isReadable(const IXDocumentType& type)
{
    return type.name == IXDocumentTypes::Native || IXDocumentImporters::isInstalled(type.name);
}

}  // namespace

QStringList IXDocumentTypes::readableExtensions()
{
    QStringList extensions;
    for (const IXDocumentType& type : all())
        if (isReadable(type)) extensions += type.extensions;
    return extensions;
}

QStringList IXDocumentTypes::readableMimeTypes()
{
    QStringList types;
    for (const IXDocumentType& type : all())
        if (isReadable(type)) types += type.mimeType;
    return types;
}
