#include "Platform/Text/PLTextAttachment.h"

#include "Platform/Drawing/PLImage.h"

#include <QBuffer>
#include <QImageReader>

PLTextAttachment::PLTextAttachment(QString fileName, QByteArray contents, QSizeF displaySize)
    : m_fileName(std::move(fileName)), m_contents(std::move(contents)), m_displaySize(displaySize)
{
}

std::shared_ptr<const PLTextAttachment> PLTextAttachment::make(QString fileName, QByteArray contents, QSizeF displaySize)
{
    return std::make_shared<const PLTextAttachment>(std::move(fileName), std::move(contents), displaySize);
}

namespace {

quint32 bigEndian32(const unsigned char* b)
{
    return quint32(b[0]) << 24 | quint32(b[1]) << 16 | quint32(b[2]) << 8 | quint32(b[3]);
}

// The resolution in dots per metre that PNG and JPEG bytes state, 0 when they state none.
// (Qt reports 96 dpi for pictures without one; rich text takes them as 72 dpi.)
std::pair<double, double> statedDotsPerMetre(const QByteArray& bytes)
{
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype size = bytes.size();
    if (bytes.startsWith("\x89PNG\r\n\x1a\n")) {
        qsizetype pos = 8;
        while (pos + 8 <= size) {
            const quint32 length = bigEndian32(b + pos);
            const QByteArrayView type(bytes.constData() + pos + 4, 4);
            if (type == "IDAT" || length > quint32(size)) break;
            if (type == "pHYs" && length >= 9 && pos + 8 + 9 <= size && b[pos + 16] == 1)
                return {bigEndian32(b + pos + 8), bigEndian32(b + pos + 12)};
            pos += 12 + qsizetype(length);
        }
        return {0, 0};
    }
    if (bytes.startsWith("\xFF\xD8")) {
        // A JFIF header right after the start of image: units 1 per inch, 2 per centimetre.
        if (size >= 18 && b[2] == 0xFF && b[3] == 0xE0 && QByteArrayView(bytes.constData() + 6, 5) == QByteArrayView("JFIF\0", 5)) {
            const double x = b[14] << 8 | b[15];
            const double y = b[16] << 8 | b[17];
            if (b[13] == 1) return {x / 0.0254, y / 0.0254};
            if (b[13] == 2) return {x * 100, y * 100};
        }
        return {0, 0};
    }
    return {-1, -1};
}

} // namespace

QImage PLTextAttachment::image() const
{
    if (m_contents.isEmpty()) return {};
    return PLImage::decodedImage(m_contents);
}

QSizeF PLTextAttachment::naturalSize() const
{
    const QImage picture = image();
    if (picture.isNull()) return {};
    // Dots per metre of 72 dpi; pictures that state no resolution count as 72 dpi.
    const double pointsPerMetre = 72.0 / 0.0254;
    auto [dpmX, dpmY] = statedDotsPerMetre(m_contents);
    if (dpmX < 0) {
        dpmX = picture.dotsPerMeterX();
        dpmY = picture.dotsPerMeterY();
    }
    // Resolutions outside 10..10000 dpi are taken as missing rather than trusted.
    const auto sane = [&](double dpm) { return dpm >= 394 && dpm <= 393700 ? dpm : pointsPerMetre; };
    dpmX = sane(dpmX);
    dpmY = sane(dpmY);
    return QSizeF(picture.width() * pointsPerMetre / dpmX, picture.height() * pointsPerMetre / dpmY);
}

QSizeF PLTextAttachment::size() const
{
    return m_displaySize.isEmpty() ? naturalSize() : m_displaySize;
}

QByteArray PLTextAttachment::imageFormat() const
{
    if (m_contents.isEmpty()) return {};
    QBuffer buffer;
    buffer.setData(m_contents);
    buffer.open(QIODevice::ReadOnly);
    return QImageReader::imageFormat(&buffer);
}

QString PLTextAttachment::safeFileName(const QString& name)
{
    QString result = name.section(QLatin1Char('/'), -1).section(QLatin1Char('\\'), -1);
    for (QChar& c : result)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F) c = QLatin1Char('_');
    result = result.trimmed();
    while (result.startsWith(QLatin1Char('.'))) result.remove(0, 1);
    result = result.trimmed();
    return result.isEmpty() ? QStringLiteral("Attachment") : result;
}

bool PLTextAttachment::operator==(const PLTextAttachment& other) const
{
    return m_fileName == other.m_fileName && m_displaySize == other.m_displaySize && m_contents == other.m_contents;
}
