#include "DocumentViews/IXBalloonCell.h"

#include "Platform/Drawing/PLColor.h"

#include <QFontMetrics>
#include <QPainter>
#include <QRect>

#include <utility>

IXBalloonCell::IXBalloonCell(QString title, QImage image, std::shared_ptr<IXReferenceNode> attachment)
    : m_title(std::move(title))
    , m_image(std::move(image))
    , m_attachment(std::move(attachment))
{
}

void IXBalloonCell::draw(QPainter& painter, const QRect& frame, bool selected) const
{
    if (selected) painter.fillRect(frame, PLColor::system(PLColor::System::SelectedTextBackground).toQColor());
    const QRect inner = frame.adjusted(2, 1, -2, -1);
    int x = inner.left();
    if (!m_image.isNull()) {
        const QRect icon(x, inner.top() + (inner.height() - IconSize) / 2, IconSize, IconSize);
        painter.save();
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(icon, m_image);
        painter.restore();
        x = icon.right() + 4;
    }
    const QRect text(x, inner.top(), inner.right() - x, inner.height());
    painter.setPen(PLColor::system(PLColor::System::ControlText).toQColor());
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter,
                     painter.fontMetrics().elidedText(m_title, Qt::ElideRight, text.width()));
}
