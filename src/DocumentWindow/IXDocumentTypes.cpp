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
        {Native, {QStringLiteral("ixd")}, true},
        {WindowsProject, {QStringLiteral("ixp")}, false},
        {Word2007, {QStringLiteral("docx")}, false},
        {PowerPoint2007, {QStringLiteral("pptx")}, false},
        {WordBinary, {QStringLiteral("doc")}, false},
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

QStringList IXDocumentTypes::readableExtensions()
{
    QStringList extensions;
    for (const IXDocumentType& type : all()) {
        // A type that no installed importer reads would only open to an error.
        if (type.name == Native || IXDocumentImporters::isInstalled(type.name)) extensions += type.extensions;
    }
    return extensions;
}
