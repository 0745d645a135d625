#include "DocumentViews/IXPasteboard.h"

#include "Platform/Drawing/PLImage.h"
#include "Platform/Text/PLAttributedString.h"
#include "Platform/Text/PLRTFReader.h"
#include "Platform/Text/PLTextAttachment.h"

#include <QBuffer>
#include <QImage>
#include <QMimeData>
#include <QUrl>

#include <algorithm>

const QString IXPasteboard::SelectionType = QStringLiteral("application/x-ideaflux-selection");
const QString IXPasteboard::StylesType = QStringLiteral("application/x-ideaflux-styles");
const QString IXPasteboard::AttachmentsType = QStringLiteral("application/x-ideaflux-attachments");
const QString IXPasteboard::CatalogItemType = QStringLiteral("application/x-ideaflux-catalog-item");
const QString IXPasteboard::StringType = QStringLiteral("text/plain");
const QString IXPasteboard::TIFFType = QStringLiteral("image/tiff");
const QString IXPasteboard::PNGType = QStringLiteral("image/png");
const QString IXPasteboard::RTFType = QStringLiteral("text/rtf");
const QString IXPasteboard::FileNamesType = QStringLiteral("text/uri-list");
const QString IXPasteboard::LocalMarker = QStringLiteral("Local pasteboard");

namespace {

// Other programs name rich text in more than one way.
const QStringList RTFTypes {QStringLiteral("text/rtf"), QStringLiteral("application/rtf"),
                            QStringLiteral("text/richtext")};

bool isImageType(const QString& type)
{
    return type.startsWith(QLatin1String("image/")) && type != QLatin1String("image/svg+xml");
}

}  // namespace

bool IXPasteboard::offers(const QMimeData* data, const QString& type)
{
    if (!data) return false;
    if (type == StringType) return data->hasText();
    if (type == RTFType)
        return std::any_of(RTFTypes.begin(), RTFTypes.end(),
                           [data](const QString& each) { return data->hasFormat(each); });
    if (type == FileNamesType) return !fileNames(data).isEmpty();
    return data->hasFormat(type);
}

QMimeData* IXPasteboard::makeLocalData(const QStringList& types)
{
    auto* data = new QMimeData;
    for (const QString& type : types) data->setData(type, LocalMarker.toUtf8());
    return data;
}

bool IXPasteboard::isPicture(const QByteArray& bytes)
{
    return !bytes.isEmpty() && !PLImage::fromData(bytes).isNull();
}

std::optional<QByteArray> IXPasteboard::pictureData(const QMimeData* data)
{
    if (!data) return std::nullopt;
    QStringList types {PNGType, TIFFType};
    for (const QString& type : data->formats())
        if (isImageType(type) && !types.contains(type)) types.append(type);
    for (const QString& type : types)
        if (data->hasFormat(type))
            if (QByteArray bytes = data->data(type); isPicture(bytes)) return bytes;
    if (data->hasImage()) {
        const QImage image = qvariant_cast<QImage>(data->imageData());
        if (image.isNull()) return std::nullopt;
        QByteArray bytes;
        QBuffer buffer(&bytes);
        if (buffer.open(QIODevice::WriteOnly) && image.save(&buffer, "PNG")) return bytes;
    }
    return std::nullopt;
}

bool IXPasteboard::offersPicture(const QMimeData* data)
{
    return data && (data->hasFormat(TIFFType) || offersNonTIFFPicture(data));
}

bool IXPasteboard::offersNonTIFFPicture(const QMimeData* data)
{
    if (!data) return false;
    if (data->hasImage()) return true;
    const QStringList formats = data->formats();
    return std::any_of(formats.begin(), formats.end(),
                       [](const QString& type) { return isImageType(type) && type != TIFFType; });
}

std::optional<QByteArray> IXPasteboard::richTextPicture(const QMimeData* data)
{
    if (!data) return std::nullopt;
    for (const QString& type : RTFTypes) {
        if (!data->hasFormat(type)) continue;
        const std::optional<PLAttributedString> text = PLRTFReader::read(data->data(type));
        if (!text) continue;
        for (const auto& attachment : text->attachments())
            if (attachment && isPicture(attachment->contents())) return attachment->contents();
    }
    return std::nullopt;
}

QStringList IXPasteboard::fileNames(const QMimeData* data)
{
    QStringList names;
    if (!data || !data->hasUrls()) return names;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile() && !url.toLocalFile().isEmpty()) names.append(url.toLocalFile());
    return names;
}
