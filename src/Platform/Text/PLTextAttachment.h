#pragma once

#include <QByteArray>
#include <QImage>
#include <QSizeF>
#include <QString>

#include <memory>

// A file carried inside rich text at one attachment character (U+FFFC): its file name, its
// bytes, and the size it is shown at. Pictures are the usual case, but any file may be
// attached. Attachments are immutable and shared between copies of a text.
class PLTextAttachment {
public:
    PLTextAttachment(QString fileName, QByteArray contents, QSizeF displaySize = {});

    static std::shared_ptr<const PLTextAttachment> make(QString fileName, QByteArray contents, QSizeF displaySize = {});

    const QString& fileName() const { return m_fileName; }
    const QByteArray& contents() const { return m_contents; }
    // The size the picture is shown at in points, or an empty size for its natural size.
    QSizeF displaySize() const { return m_displaySize; }

    // The picture the bytes hold, or a null image when they are not a picture Qt can read.
    QImage image() const;
    // The picture's natural size in points (its pixels at its resolution, 72 dpi when it
    // states none), or an empty size when the bytes are not a picture.
    QSizeF naturalSize() const;
    // The display size when set, else the natural size.
    QSizeF size() const;
    // The picture format of the bytes ("png", "jpeg", ...) as Qt sees it, or empty.
    QByteArray imageFormat() const;

    // A name that can be a file of a folder: the last path component, control characters as
    // "_", no leading dots or surrounding spaces, "Attachment" when nothing is left.
    static QString safeFileName(const QString& name);

    // Same name, bytes and display size.
    bool operator==(const PLTextAttachment& other) const;

private:
    QString m_fileName;
    QByteArray m_contents;
    QSizeF m_displaySize;
};

using PLTextAttachmentPtr = std::shared_ptr<const PLTextAttachment>;
