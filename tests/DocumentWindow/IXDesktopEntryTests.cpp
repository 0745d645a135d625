// The files the desktop install ships agree with the document types the program opens: the
// launcher declares exactly their MIME types, and our own types are described with their
// extensions.
#include "DocumentWindow/IXDocumentTypes.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>

namespace {

QByteArray sourceFile(const char* path)
{
    QFile file(QStringLiteral(IX_SOURCE_DIR "/") + QLatin1String(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(DesktopEntryTest, TheLauncherAndTheMimeTypesDeclareTheTypesTheProgramOpens)
{
    const QString entry = QString::fromUtf8(sourceFile("desktop/ideaflux.desktop"));
    const QRegularExpressionMatch line
        = QRegularExpression(QStringLiteral("^MimeType=(.*);$"), QRegularExpression::MultilineOption).match(entry);
    ASSERT_TRUE(line.hasMatch());
    EXPECT_EQ(line.captured(1).split(QLatin1Char(';')), IXDocumentTypes::readableMimeTypes());

    // Our own types, by their globs.
    QMultiHash<QString, QString> globs;
    QXmlStreamReader xml(sourceFile("desktop/ideaflux-mime.xml"));
    QString type;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == QLatin1String("mime-type")) type = xml.attributes().value(QLatin1String("type")).toString();
        if (xml.name() == QLatin1String("glob"))
            globs.insert(type, xml.attributes().value(QLatin1String("pattern")).toString());
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    for (const IXDocumentType& documentType : IXDocumentTypes::all()) {
        if (!documentType.mimeType.startsWith(QLatin1String("application/x-ideaflux"))
            || !IXDocumentTypes::readableMimeTypes().contains(documentType.mimeType))
            continue;
        for (const QString& extension : documentType.extensions)
            EXPECT_TRUE(globs.values(documentType.mimeType).contains(QStringLiteral("*.") + extension))
                << documentType.name.toStdString();
    }
    EXPECT_TRUE(globs.contains(QStringLiteral("application/x-ideaflux-document")));
}

}  // namespace
