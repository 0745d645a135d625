#include "Platform/Text/PLRichTextFormat.h"

#include "Platform/Text/PLRTFDArchive.h"
#include "Platform/Text/PLRTFReader.h"

#include <QStringDecoder>

PLRichTextFormat::Kind PLRichTextFormat::detect(const QByteArray& data)
{
    if (PLRTFReader::isRTF(data)) return Kind::RTF;
    if (PLRTFDArchive::isSerializedData(data)) return Kind::RTFD;
    return Kind::PlainText;
}

std::optional<PLAttributedString> PLRichTextFormat::read(const QByteArray& data, PLDocumentAttributes* documentAttributes, PLError* error)
{
    switch (detect(data)) {
    case Kind::RTF: return PLRTFReader::read(data, documentAttributes, error);
    case Kind::RTFD: return PLRTFDArchive::read(data, documentAttributes, error);
    case Kind::PlainText: break;
    }
    if (documentAttributes) *documentAttributes = PLDocumentAttributes();
    return fromPlainTextData(data);
}

PLAttributedString PLRichTextFormat::fromPlainTextData(const QByteArray& data)
{
    QStringConverter::Encoding encoding = QStringConverter::Utf8;
    if (data.startsWith("\xFF\xFE"))
        encoding = QStringConverter::Utf16LE;
    else if (data.startsWith("\xFE\xFF"))
        encoding = QStringConverter::Utf16BE;
    // The decoder drops the byte-order mark it recognises.
    QStringDecoder decoder(encoding);
    return PLAttributedString(decoder.decode(data));
}

QString PLRichTextFormat::plainText(const PLAttributedString& text)
{
    QString result;
    result.reserve(text.length());
    for (QChar c : text.string()) {
        if (c == QChar(PLAttributedString::AttachmentCharacter)) continue;
        if (c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            result += QLatin1Char('\n');
        else
            result += c;
    }
    return result;
}
