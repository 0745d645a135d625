#include "Inspectors/IXInspectorView.h"

#include "Platform/Core/PLExceptionBoundary.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace {

QFont headerFont(const QWidget* widget)
{
    QFont font = widget->font();
    font.setPointSizeF(font.pointSizeF() * 0.85);
    font.setBold(true);
    return font;
}

}  // namespace

IXInspectorView::IXInspectorView(QWidget* parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void IXInspectorView::setCollapsed(bool collapsed)
{
    if (collapsed == m_collapsed) return;
    m_collapsed = collapsed;
    tile();
}

void IXInspectorView::tile()
{
    int y = 0;
    m_headerHeight = 0;
    if (!m_title.isNull()) {
        m_headerHeight = QFontMetrics(headerFont(this)).height() + 2;
        y = m_headerHeight + (m_collapsed ? 0 : Margin);
    }
    const QList<QWidget*> children = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    // The side pane keeps at least its minimum width, and its sections are widened to it.
    int width = minimumWidth();
    for (QWidget* child : children) width = std::max(width, child->width());
    for (QWidget* child : children) {
        if (m_collapsed && !m_title.isNull()) {
            child->hide();
            continue;
        }
        child->show();
        child->move(0, y);
        if (child->width() < width && (child->sizePolicy().horizontalPolicy() & QSizePolicy::GrowFlag))
            child->resize(width, child->height());
        y += child->height();
    }
    if (!m_title.isNull() && !m_collapsed) y += Margin;
    resize(width, y);
    update();
    if (auto* container = qobject_cast<IXInspectorView*>(parentWidget())) container->tile();
}

QList<IXInspectorView*> IXInspectorView::sectionsBeside()
{
    QWidget* parent = parentWidget();
    return parent ? parent->findChildren<IXInspectorView*>(Qt::FindDirectChildrenOnly) : QList<IXInspectorView*> {this};
}

void IXInspectorView::mousePressEvent(QMouseEvent* event)
try {
    if (m_title.isNull() || event->position().y() >= HeaderHitHeight || event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    event->accept();
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (modifiers & Qt::ControlModifier) {
        for (IXInspectorView* section : sectionsBeside())
            if (!section->m_title.isNull()) section->setCollapsed(section != this);
    } else if (modifiers & Qt::AltModifier) {
        const bool collapsed = !m_collapsed;
        for (IXInspectorView* section : sectionsBeside())
            if (!section->m_title.isNull()) section->setCollapsed(collapsed);
    } else {
        setCollapsed(!m_collapsed);
    }
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXInspectorView::paintEvent(QPaintEvent*)
try {
    QPainter painter(this);
    const QPalette& colors = palette();
    const int w = width();
    const int h = m_headerHeight;
    if (h > 0) {
        painter.fillRect(QRect(0, 0, w, h), colors.color(QPalette::Midlight));
        painter.setFont(headerFont(this));
        painter.setPen(colors.color(QPalette::ButtonText));
        painter.drawText(QRect(0, 0, w, h), Qt::AlignCenter, m_title);
        painter.setPen(colors.color(QPalette::Mid));
        if (!m_collapsed) painter.drawLine(0, h - 1, w, h - 1);
    }
    painter.setPen(colors.color(QPalette::Mid));
    painter.drawLine(0, height() - 1, w, height() - 1);
    if (h == 0) return;
    // Two chevrons: pointing right while collapsed, left while expanded.
    const double s = std::floor(h * 0.25);
    const double m = std::floor(h) * 0.5;
    QPainterPath path;
    for (double offset : {0.0, 3.0}) {
        const double tipX = (m_collapsed ? h : h - s) + offset;
        const double backX = m_collapsed ? tipX - s : tipX + s;
        path.moveTo(backX, m - s);
        path.lineTo(tipX, m);
        path.lineTo(backX, m + s);
    }
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(colors.color(m_collapsed ? QPalette::ButtonText : QPalette::Dark), 1));
    painter.drawPath(path);
} catch (...) {
    PLExceptionBoundary::caught();
}
