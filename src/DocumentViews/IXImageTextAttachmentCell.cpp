#include "DocumentViews/IXImageTextAttachmentCell.h"

#include "Platform/Core/PLExceptionBoundary.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextCursor>
#include <QTextDocument>

#include <cmath>

namespace {

// Each cell draws under an object type of its own.
int nextObjectType()
{
    static int next = QTextFormat::UserObject + 0x4958;
    return next++;
}

}  // namespace

IXImageTextAttachmentCell::IXImageTextAttachmentCell(const QImage& image, QObject* parent)
    : QObject(parent)
    , m_objectType(nextObjectType())
{
    setImage(image);
}

void IXImageTextAttachmentCell::setImage(const QImage& image)
{
    // Shared pixels, copied on the first change on either side.
    m_image = image;
}

QSizeF IXImageTextAttachmentCell::cellSize() const
{
    if (!m_size.isEmpty()) return m_size;
    if (!m_image.isNull()) return QSizeF(m_image.size()) / m_image.devicePixelRatio();
    return QSizeF(0, 0);
}

void IXImageTextAttachmentCell::drawWithFrame(QPainter& painter, const QRectF& frame) const
{
    if (m_image.isNull()) return;
    const QSizeF size = cellSize();
    const QRectF target(frame.x() + std::floor((frame.width() - size.width()) / 2),
                        frame.y() + std::floor((frame.height() - size.height()) / 2), size.width(), size.height());
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setOpacity(1);
    painter.drawImage(target, m_image);
    painter.restore();
}

void IXImageTextAttachmentCell::insertAt(QTextCursor& cursor)
{
    QTextDocument* document = cursor.document();
    if (!document) return;
    document->documentLayout()->registerHandler(m_objectType, this);
    QTextCharFormat format = cursor.charFormat();
    format.setObjectType(m_objectType);
    cursor.insertText(QString(QChar::ObjectReplacementCharacter), format);
}

QSizeF IXImageTextAttachmentCell::intrinsicSize(QTextDocument*, int, const QTextFormat&)
try {
    return cellSize();
} catch (...) {
    PLExceptionBoundary::caught();
    return QSizeF(0, 0);
}

void IXImageTextAttachmentCell::drawObject(QPainter* painter, const QRectF& rect, QTextDocument*, int,
                                           const QTextFormat&)
try {
    if (painter) drawWithFrame(*painter, rect);
} catch (...) {
    PLExceptionBoundary::caught();
}
