#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

class QMimeData;

// The clipboard and drag data of the program as MIME formats. The program's own types carry
// only the marker LocalMarker (the copied nodes stay in the application's buffer); text for
// other programs is "text/plain" in UTF-8, pictures are the image formats Qt offers ("image/png",
// "image/tiff", ...), rich text is "text/rtf" (whose embedded pictures stand for the attachments
// of rich text with files) and file names are "text/uri-list".
class IXPasteboard {
public:
    static const QString SelectionType;  // copied nodes
    static const QString StylesType;  // copied nodes' styles
    static const QString AttachmentsType;  // copied attachments
    static const QString CatalogItemType;  // a catalog item's unique id, as UTF-8 text
    static const QString StringType;  // "text/plain"
    static const QString TIFFType;  // "image/tiff"
    static const QString PNGType;  // "image/png"
    static const QString RTFType;  // "text/rtf"
    static const QString FileNamesType;  // "text/uri-list"
    static const QString LocalMarker;  // "Local pasteboard"

    // Whether the data offers the type (for StringType: any plain text Qt reads).
    static bool offers(const QMimeData* data, const QString& type);
    // New data offering the program's types given, each with the marker.
    static QMimeData* makeLocalData(const QStringList& types);

    // The bytes of a picture the data offers, when they form one: PNG, then TIFF, then the
    // other image formats, then a picture Qt holds in memory (stored as PNG).
    static std::optional<QByteArray> pictureData(const QMimeData* data);
    // Whether the data offers a picture (without decoding it).
    static bool offersPicture(const QMimeData* data);
    // Whether the data offers a picture in a format other than TIFF.
    static bool offersNonTIFFPicture(const QMimeData* data);
    // The bytes of the first embedded picture of the rich text that forms an image.
    static std::optional<QByteArray> richTextPicture(const QMimeData* data);
    // The local files named.
    static QStringList fileNames(const QMimeData* data);
    // Whether the bytes form a picture.
    static bool isPicture(const QByteArray& bytes);
};
