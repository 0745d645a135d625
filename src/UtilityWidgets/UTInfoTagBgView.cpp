#include "UtilityWidgets/UTInfoTagBgView.h"

#include "Platform/Core/PLExceptionBoundary.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPainterPath>
#include <QTextDocument>

UTInfoTagBgView::UTInfoTagBgView(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void UTInfoTagBgView::setTintColor(const PLColor& color)
{
    m_tintColor = color;
    update();
}

void UTInfoTagBgView::setBorderColor(const PLColor& color)
{
    m_borderColor = color;
    update();
}

void UTInfoTagBgView::setTextDocument(QTextDocument* document)
{
    m_document = document;
    update();
}

void UTInfoTagBgView::setOpacity(qreal opacity)
{
    if (m_opacity == opacity) return;
    m_opacity = opacity;
    update();
}

void UTInfoTagBgView::paintEvent(QPaintEvent*)
try {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(m_opacity);
    // Half a unit in, so that a one-unit outline lies on whole pixels.
    const QRectF panel = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath path;
    path.addRoundedRect(panel, CornerRadius, CornerRadius);
    if (!m_tintColor.isNull()) painter.fillPath(path, m_tintColor.toQColor());
    if (!m_borderColor.isNull()) painter.strokePath(path, QPen(m_borderColor.toQColor(), 1));

    if (!m_document || m_document->isEmpty()) return;
    const qreal textWidth = std::max<qreal>(1, width() - 2 * TextInset);
    if (m_document->textWidth() != textWidth) m_document->setTextWidth(textWidth);
    painter.translate(TextInset, TextInset);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = QRectF(0, 0, textWidth, height() - 2 * TextInset);
    // Text without a colour of its own is drawn in black, readable on the light tints.
    context.palette.setColor(QPalette::Text, Qt::black);
    painter.setClipRect(context.clip);
    m_document->documentLayout()->draw(&painter, context);
} catch (...) {
    PLExceptionBoundary::caught();
}
