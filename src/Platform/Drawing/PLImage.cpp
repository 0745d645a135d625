#include "Platform/Drawing/PLImage.h"

#include "Platform/Drawing/PLGraphicsContext.h"
#include "Platform/Drawing/PLSvgPicture.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QPdfDocument>
#include <QSvgRenderer>
#include <QtEndian>

#include <algorithm>
#include <cmath>

const QString PLImage::ErrorDomain = QStringLiteral("PLImageErrorDomain");

namespace {

constexpr double PointsPerInch = 72;
constexpr double MetresPerInch = 0.0254;
// Vector pictures are never rendered larger than this many pixels a side.
constexpr double MaxRenderSide = 8192;

PLError imageError(PLImage::ErrorCode code, const QString& reason)
{
    return PLError(PLImage::ErrorDomain, code, {{PLError::FailureReasonKey, reason}});
}

// The pixels per metre a PNG states in its pHYs chunk, or 0 when it states none.
double pngPixelsPerMetre(const QByteArray& data)
{
    static const QByteArray signature("\x89PNG\r\n\x1a\n", 8);
    if (!data.startsWith(signature)) return 0;
    qsizetype at = 8;
    while (at + 12 <= data.size()) {
        const quint32 length = qFromBigEndian<quint32>(data.constData() + at);
        const QByteArray type = data.mid(at + 4, 4);
        if (type == "IDAT" || type == "IEND" || length > quint32(data.size())) return 0;
        if (type == "pHYs" && length == 9 && at + 8 + 9 <= data.size()) {
            const char* p = data.constData() + at + 8;
            const quint32 x = qFromBigEndian<quint32>(p);
            return p[8] == 1 ? double(x) : 0;  // unit 1: metres; 0 only gives the aspect
        }
        at += 12 + qsizetype(length);
    }
    return 0;
}

// The bytes decoded in the format their content shows: an SVG as a renderer of its sanitised
// text, anything else as pixels; neither with an error.
struct Decoded {
    QByteArray format;
    QImage image;
    std::unique_ptr<QSvgRenderer> svg;
};

Decoded decode(const QByteArray& data, PLError* error)
{
    Decoded decoded;
    if (data.isEmpty()) {
        PLSetError(error, imageError(PLImage::EmptyDataError, QStringLiteral("The picture has no data.")));
        return decoded;
    }
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    // The format is told once and kept: Qt's own SVG reader never sees the bytes.
    QImageReader reader(&buffer);
    decoded.format = reader.format();
    if (decoded.format.isEmpty()) {
        PLSetError(error, imageError(PLImage::UnknownFormatError, QStringLiteral("The data is no picture of a known kind.")));
        return decoded;
    }
    if (decoded.format == "svg" || decoded.format == "svgz") {
        decoded.svg = PLSvgPicture::renderer(data, error);
        if (decoded.svg && decoded.svg->defaultSize().isEmpty()) {
            decoded.svg.reset();
            PLSetError(error, imageError(PLImage::DamagedDataError, QStringLiteral("The SVG picture cannot be read.")));
        }
        return decoded;
    }
    decoded.image = reader.read();
    if (decoded.image.isNull())
        PLSetError(error, imageError(PLImage::DamagedDataError, QStringLiteral("The picture cannot be read: %1").arg(reader.errorString())));
    return decoded;
}

}  // namespace

QImage PLImage::decodedImage(const QByteArray& data, PLError* error)
{
    Decoded decoded = decode(data, error);
    if (!decoded.svg) return decoded.image;
    // At its default size, as Qt's image reader renders an SVG, but never larger than a
    // vector picture is ever rendered.
    const QSizeF natural = decoded.svg->defaultSize();
    const double scale = std::min(1.0, MaxRenderSide / std::max(natural.width(), natural.height()));
    QImage image(QSize(std::max(1, int(natural.width() * scale)), std::max(1, int(natural.height() * scale))),
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    decoded.svg->render(&painter, QRectF(QPointF(0, 0), QSizeF(image.size())));
    return image;
}

// What an image draws from: decoded pixels, or a vector document with its last rendering.
struct PLImage::Source {
    QImage pixels;
    QByteArray bytes;                       // kept for the PDF document, which reads it lazily
    std::unique_ptr<QBuffer> buffer;
    std::unique_ptr<QSvgRenderer> svg;
    std::unique_ptr<QPdfDocument> pdf;
    mutable QImage rendered;
    mutable float renderedScale = 0;

    bool isVector() const { return svg || pdf; }
};

bool PLImage::isVector() const
{
    return m_source && m_source->isVector();
}

QSize PLImage::pixelSize() const
{
    if (!m_source) return {};
    if (!m_source->isVector()) return m_source->pixels.size();
    return QSize(int(std::ceil(m_size.width)), int(std::ceil(m_size.height)));
}

PLImage PLImage::fromQImage(const QImage& image, float scale)
{
    if (image.isNull() || !(scale > 0)) return {};
    auto source = std::make_shared<Source>();
    source->pixels = image;
    source->pixels.setDevicePixelRatio(scale);
    return PLImage(source, PLSize(float(image.width() / double(scale)), float(image.height() / double(scale))));
}

PLImage PLImage::fromData(const QByteArray& data, PLError* error)
{
    auto source = std::make_shared<Source>();

    if (data.startsWith("%PDF")) {
        source->bytes = data;
        source->buffer = std::make_unique<QBuffer>(&source->bytes);
        source->buffer->open(QIODevice::ReadOnly);
        source->pdf = std::make_unique<QPdfDocument>();
        source->pdf->load(source->buffer.get());
        if (source->pdf->status() != QPdfDocument::Status::Ready || source->pdf->pageCount() < 1) {
            PLSetError(error, imageError(DamagedDataError, QStringLiteral("The PDF picture cannot be read.")));
            return {};
        }
        const QSizeF points = source->pdf->pagePointSize(0);
        if (points.isEmpty()) {
            PLSetError(error, imageError(DamagedDataError, QStringLiteral("The PDF picture has an empty page.")));
            return {};
        }
        return PLImage(source, PLSize(float(points.width()), float(points.height())));
    }

    Decoded decoded = decode(data, error);
    if (decoded.svg) {
        const QSizeF size = decoded.svg->defaultSize();
        source->svg = std::move(decoded.svg);
        return PLImage(source, PLSize(float(size.width()), float(size.height())));
    }
    const QImage& image = decoded.image;
    if (image.isNull()) return {};
    const QByteArray& format = decoded.format;
    // The stated resolution; Qt leaves its default in place when a file states none.
    double pixelsPerMetre = format == "png" ? pngPixelsPerMetre(data) : image.dotsPerMeterX();
    if (format != "png" && image.dotsPerMeterX() == QImage(1, 1, QImage::Format_ARGB32).dotsPerMeterX()) pixelsPerMetre = 0;
    // Files hold whole pixels per metre: 2835 stands for 72 dpi.
    double dpi = pixelsPerMetre > 0 ? pixelsPerMetre * MetresPerInch : PointsPerInch;
    if (std::fabs(dpi - std::round(dpi)) < 0.05) dpi = std::round(dpi);
    return fromQImage(image, float(dpi / PointsPerInch));
}

PLImage PLImage::imageWithSize(PLSize size, float scale, const std::function<void(PLGraphicsContext&)>& draw)
{
    const int width = int(std::ceil(size.width * scale)), height = int(std::ceil(size.height * scale));
    if (width <= 0 || height <= 0 || !(scale > 0)) return {};
    QImage pixels(width, height, QImage::Format_ARGB32_Premultiplied);
    pixels.fill(Qt::transparent);
    pixels.setDevicePixelRatio(scale);
    {
        PLGraphicsContext context(pixels, false);
        draw(context);
    }
    auto source = std::make_shared<Source>();
    source->pixels = pixels;
    return PLImage(source, size);
}

QImage PLImage::bitmap(float scale) const
{
    if (!m_source) return {};
    if (!m_source->isVector()) return m_source->pixels;
    const double largest = std::max(m_size.width, m_size.height);
    const float s = float(std::clamp(double(scale), 1e-3, MaxRenderSide / std::max(largest, 1.0)));
    if (m_source->renderedScale == s && !m_source->rendered.isNull()) return m_source->rendered;
    const QSize pixels(std::max(1, int(std::ceil(m_size.width * s))), std::max(1, int(std::ceil(m_size.height * s))));
    QImage rendered;
    if (m_source->pdf) {
        rendered = m_source->pdf->render(0, pixels).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    } else {
        rendered = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
        rendered.fill(Qt::transparent);
        QPainter painter(&rendered);
        m_source->svg->render(&painter, QRectF(QPointF(0, 0), QSizeF(pixels)));
    }
    rendered.setDevicePixelRatio(pixels.width() / double(m_size.width));
    m_source->rendered = rendered;
    m_source->renderedScale = s;
    return rendered;
}

QByteArray PLImage::PNGRepresentation(PLError* error) const
{
    if (isNull()) {
        PLSetError(error, imageError(EmptyDataError, QStringLiteral("There is no picture to write.")));
        return {};
    }
    QImage pixels = bitmap(1);
    const double scale = pixels.width() / double(m_size.width);
    const int pixelsPerMetre = int(std::lround(scale * PointsPerInch / MetresPerInch));
    pixels.setDotsPerMeterX(pixelsPerMetre);
    pixels.setDotsPerMeterY(pixelsPerMetre);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(pixels)) {
        PLSetError(error, imageError(DamagedDataError, QStringLiteral("The picture cannot be written as PNG: %1").arg(writer.errorString())));
        return {};
    }
    return bytes;
}
