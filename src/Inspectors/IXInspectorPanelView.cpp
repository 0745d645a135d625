#include "Inspectors/IXInspectorPanelView.h"

#include "Inspectors/IXInspectorController.h"
#include "Inspectors/IXInspectorPanel.h"
#include "Inspectors/IXInspectorPanelHost.h"
#include "Inspectors/IXPanelSnapping.h"
#include "Platform/Core/PLExceptionBoundary.h"

#include <QApplication>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QStyle>
#include <QToolButton>

#include <cmath>

IXInspectorPanelView::IXInspectorPanelView(IXInspectorPanelHost* host, QWidget* parent)
    : QWidget(parent)
    , m_host(host)
{
    m_closeButton = new QToolButton;
    m_closeButton->setAutoRaise(true);
    m_closeButton->setFocusPolicy(Qt::NoFocus);
    m_closeButton->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    m_closeButton->setIconSize(QSize(10, 10));
    m_closeButton->setFixedSize(14, 14);
    m_closeButton->setToolTip(tr("Close"));
    PLExceptionBoundary::connect(m_closeButton, &QToolButton::clicked, this, [this] {
        if (m_host && panel()) m_host->closeInspectorPanel(panel());
    });
    m_closeButton->hide();
    m_closeButton->setParent(this);
    m_closeButton->hide();
}

void IXInspectorPanelView::setController(IXInspectorController* controller)
{
    m_controller = controller;
}

IXInspectorController* IXInspectorPanelView::controller() const
{
    return m_controller;
}

QString IXInspectorPanelView::name() const
{
    if (!m_name.isEmpty()) return m_name;
    return m_controller ? QString::fromLatin1(m_controller->metaObject()->className()) : QString();
}

IXInspectorPanel* IXInspectorPanelView::panel() const
{
    return qobject_cast<IXInspectorPanel*>(parentWidget());
}

void IXInspectorPanelView::removeCurrentView()
{
    if (m_currentView && m_currentView->parentWidget() == this) {
        m_currentView->hide();
        m_currentView->setParent(nullptr);
    }
}

void IXInspectorPanelView::updateInspectorView()
{
    QWidget* view = nullptr;
    if (m_controller) {
        m_title = m_controller->inspectorTitle();
        if (m_controller->isApplicable()) view = m_controller->inspectorView();
    }
    if (view != m_currentView) {
        removeCurrentView();
        m_currentView = view;
    }
    sizeToFitContent();
}

void IXInspectorPanelView::sizeToFitContent()
{
    const int h = HeaderHeight;
    int w = MinimumWidth;
    if (QWidget* window = panel()) w = std::max(MinimumWidth, window->width());
    int height = h;
    if (m_currentView) {
        w = m_currentView->width();
        if (m_collapsed) {
            removeCurrentView();
        } else {
            height += m_currentView->height();
            if (m_currentView->parentWidget() != this) {
                m_currentView->setParent(this);
                m_currentView->move(0, h);
            }
            m_currentView->show();
        }
    }
    m_headerRect = QRect(m_closeButton->width() + 4, 0, w, h);
    m_closeButton->move(2, (h - m_closeButton->height()) / 2);
    resize(w, height);
    update();
    arrangePanelViews();
}

void IXInspectorPanelView::arrangePanelViews()
{
    IXInspectorPanel* window = panel();
    if (!window) return;
    const QList<IXInspectorPanelView*> panes = window->panes();
    int width = 0;
    for (IXInspectorPanelView* pane : panes) width = std::max(width, pane->width());
    int y = 0;
    for (IXInspectorPanelView* pane : panes) {
        pane->setClosable(pane == panes.front());
        pane->setGeometry(pane->x(), y, width, pane->height());
        y += pane->height();
    }
    window->resize(width, y);
    window->update();
}

void IXInspectorPanelView::setClosable(bool closable)
{
    if (closable == m_closable) return;
    m_closable = closable;
    m_closeButton->setVisible(closable);
    update();
}

void IXInspectorPanelView::setCollapsed(bool collapsed)
{
    if (collapsed == m_collapsed) return;
    m_collapsed = collapsed;
    sizeToFitContent();
}

void IXInspectorPanelView::setPressed(bool pressed)
{
    if (pressed == m_pressed) return;
    m_pressed = pressed;
    update();
}

bool IXInspectorPanelView::hasFocusInside() const
{
    const QWidget* focus = QApplication::focusWidget();
    return window()->isActiveWindow() && focus && isAncestorOf(focus);
}

void IXInspectorPanelView::paintEvent(QPaintEvent*)
try {
    QPainter painter(this);
    const QPalette& colors = palette();
    const QRect header(0, 0, width(), HeaderHeight);
    QColor base = hasFocusInside() ? colors.color(QPalette::Highlight).lighter(170) : colors.color(QPalette::Button);
    if (m_pressed) base = base.darker(115);
    QLinearGradient gradient(header.topLeft(), header.bottomLeft());
    gradient.setColorAt(0, base.lighter(108));
    gradient.setColorAt(1, base.darker(106));
    painter.fillRect(header, gradient);
    painter.setPen(colors.color(QPalette::Mid));
    painter.drawLine(0, HeaderHeight - 1, width(), HeaderHeight - 1);
    if (m_currentView) {
        // The disclosure triangle: pointing right while collapsed, down while expanded.
        const double x = m_headerRect.x() + 4;
        const double cy = HeaderHeight * 0.5;
        QPainterPath triangle;
        if (m_collapsed) {
            triangle.moveTo(x, cy - 4);
            triangle.lineTo(x + 7, cy);
            triangle.lineTo(x, cy + 4);
        } else {
            triangle.moveTo(x, cy - 3);
            triangle.lineTo(x + 8, cy - 3);
            triangle.lineTo(x + 4, cy + 4);
        }
        triangle.closeSubpath();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(triangle, colors.color(QPalette::ButtonText));
        painter.setRenderHint(QPainter::Antialiasing, false);
        if (!m_collapsed) painter.drawLine(0, height() - 1, width(), height() - 1);
    }
    QFont font = painter.font();
    font.setPointSizeF(font.pointSizeF() * 0.9);
    painter.setFont(font);
    painter.setPen(colors.color(m_currentView ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(header, Qt::AlignCenter, m_title);
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXInspectorPanelView::mousePressEvent(QMouseEvent* event)
try {
    if (event->button() != Qt::LeftButton || !m_headerRect.contains(event->position().toPoint())) {
        QWidget::mousePressEvent(event);
        return;
    }
    event->accept();
    setPressed(true);
    m_tracking = true;
    m_dragging = false;
    m_dockTarget = nullptr;
    m_pressGlobal = event->globalPosition().toPoint();
    m_grabOffset = window() ? event->position().toPoint() + mapTo(window(), QPoint()) : event->position().toPoint();
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXInspectorPanelView::mouseMoveEvent(QMouseEvent* event)
try {
    if (!m_tracking) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    const QPoint global = event->globalPosition().toPoint();
    if (!m_dragging) {
        const QPoint moved = global - m_pressGlobal;
        if (std::abs(moved.x()) > DragThreshold || std::abs(moved.y()) > DragThreshold) {
            beginDrag();
        } else {
            setPressed(m_headerRect.contains(event->position().toPoint()));
            return;
        }
    }
    dragTo(global);
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXInspectorPanelView::mouseReleaseEvent(QMouseEvent* event)
try {
    if (!m_tracking || event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    m_tracking = false;
    if (QWidget::mouseGrabber() == this) releaseMouse();
    if (m_dragging)
        endDrag();
    else if (m_headerRect.contains(event->position().toPoint()))
        setCollapsed(!m_collapsed);
    setPressed(false);
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXInspectorPanelView::beginDrag()
{
    m_dragging = true;
    IXInspectorPanel* old = panel();
    if (!old || !m_host) return;
    const QList<IXInspectorPanelView*> panes = old->panes();
    const qsizetype index = panes.indexOf(this);
    if (index <= 0 || panes.size() < 2) return;
    // Torn off: this pane and those under it move to a new panel where they were on screen.
    const QPoint topLeft = mapToGlobal(QPoint());
    const QPoint inPane = m_grabOffset - mapTo(old, QPoint());
    IXInspectorPanel* torn = m_host->makeWindowForPanelView(this);
    for (qsizetype i = index + 1; i < panes.size(); ++i) {
        panes[i]->setParent(torn);
        panes[i]->show();
    }
    move(0, 0);
    updateInspectorView();
    panes.front()->updateInspectorView();
    torn->move(topLeft);
    torn->show();
    m_grabOffset = inPane;
    // The press began in the old panel: the new one takes the rest of the drag.
    grabMouse();
}

void IXInspectorPanelView::dragTo(QPoint globalPosition)
{
    IXInspectorPanel* dragged = panel();
    if (!dragged) return;
    QList<QRect> others;
    QList<IXInspectorPanel*> targets;
    if (m_host)
        for (IXInspectorPanel* other : m_host->inspectorPanels())
            if (other != dragged && other->isVisible()) {
                others << other->frameGeometry();
                targets << other;
            }
    QScreen* screen = dragged->screen() ? dragged->screen() : QGuiApplication::primaryScreen();
    const QRect visible = screen ? screen->availableGeometry() : QRect(0, 0, 1 << 20, 1 << 20);
    const IXPanelSnapping::Result result
        = IXPanelSnapping::snap(globalPosition - m_grabOffset, dragged->frameGeometry().size(), others, visible);
    m_dockTarget = result.dockTarget >= 0 ? targets[result.dockTarget] : nullptr;
    dragged->move(result.origin);
}

void IXInspectorPanelView::endDrag()
{
    m_dragging = false;
    IXInspectorPanel* dragged = panel();
    IXInspectorPanel* target = m_dockTarget;
    m_dockTarget = nullptr;
    if (!target || !dragged || target == dragged) return;
    for (IXInspectorPanelView* pane : dragged->panes()) {
        pane->setParent(target);
        pane->show();
    }
    updateInspectorView();
    if (m_host) m_host->closeWindow(dragged);
}
