#pragma once

#include "Platform/Core/PLError.h"
#include "Platform/Drawing/PLSize.h"

#include <QByteArray>
#include <QImage>
#include <QString>

#include <functional>
#include <memory>

class PLGraphicsContext;

// A picture with a natural size in points: a bitmap (PNG, JPEG, TIFF, GIF, BMP and the
// other formats Qt reads) whose size follows from its resolution (72 dpi when the file
// states none, so a 144-dpi PNG measures half its pixels), or a vector picture (SVG, the
// first page of a PDF) that is rendered at the resolution it is drawn at. Pictures are
// drawn through PLGraphicsContext::drawImage. An immutable value sharing its pixels; a
// default-constructed image is null. Main thread only.
class PLImage {
public:
    static const QString ErrorDomain;
    enum ErrorCode { EmptyDataError = 1, UnknownFormatError = 2, DamagedDataError = 3 };

    PLImage() = default;

    // Decodes the bytes; a null image with an error for empty, unknown or damaged data.
    static PLImage fromData(const QByteArray& data, PLError* error = nullptr);
    // The pixels of a picture of any format Qt reads, at its own pixel size (an SVG at its
    // default size, never from references outside its bytes); null with an error otherwise.
    // The one way bytes from documents and pastes become a QImage.
    static QImage decodedImage(const QByteArray& data, PLError* error = nullptr);
    // The bitmap with scale pixels per point (a null QImage gives a null image).
    static PLImage fromQImage(const QImage& image, float scale = 1);
    // A new transparent bitmap of the size in points at scale pixels per point, drawn by
    // draw through a y-up context that is not drawing to the screen.
    static PLImage imageWithSize(PLSize size, float scale, const std::function<void(PLGraphicsContext&)>& draw);

    bool isNull() const { return !m_source; }
    bool isVector() const;
    // The natural size in points.
    PLSize size() const { return m_size; }
    // The bitmap's pixels; a vector picture's size in points rounded up.
    QSize pixelSize() const;

    // The picture as pixels for scale device pixels per point: a bitmap as it is, a vector
    // picture rendered at that scale (kept until another scale is asked for). Its device
    // pixel ratio is set so that its device-independent size is the natural size.
    QImage bitmap(float scale = 1) const;

    // The picture as PNG bytes, its resolution stored so that it reads back at the same
    // size in points (vector pictures at 72 dpi). Empty with an error for a null image.
    QByteArray PNGRepresentation(PLError* error = nullptr) const;

private:
    struct Source;
    PLImage(std::shared_ptr<Source> source, PLSize size) : m_source(std::move(source)), m_size(size) {}

    std::shared_ptr<Source> m_source;
    PLSize m_size;
};
