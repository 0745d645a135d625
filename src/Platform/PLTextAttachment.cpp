#include "Platform/PLTextAttachment.h"

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

QImage PLTextAttachment::image() const
{
    if (m_contents.isEmpty()) return {};
    QImage result;
    result.loadFromData(m_contents);
    return result;
}

QSizeF PLTextAttachment::naturalSize() const
{
    const QImage picture = image();
    if (picture.isNull()) return {};
    // Dots per metre of 72 dpi; pictures that state no resolution count as 72 dpi.
    const double pointsPerMetre = 72.0 / 0.0254;
    // Resolutions outside 10..10000 dpi are taken as missing rather than trusted.
    const auto sane = [&](int dpm) { return dpm >= 394 && dpm <= 393700 ? double(dpm) : pointsPerMetre; };
    const double dpmX = sane(picture.dotsPerMeterX());
    const double dpmY = sane(picture.dotsPerMeterY());
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

bool PLTextAttachment::operator==(const PLTextAttachment& other) const
{
    return m_fileName == other.m_fileName && m_displaySize == other.m_displaySize && m_contents == other.m_contents;
}
