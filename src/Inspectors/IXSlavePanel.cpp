#include "Inspectors/IXSlavePanel.h"

#include "Inspectors/IXSlaveFrameView.h"
#include "Platform/Core/PLExceptionBoundary.h"

#include <QApplication>
#include <QMouseEvent>

#include <algorithm>

namespace {

// The panel's rules are stated with the origin at the bottom left (y grows upward), where
// cutting a frame to the area keeps its bottom edge. Frames of one y-down space are mirrored
// into such a space and back.
QRect mirrored(const QRect& rect)
{
    return {rect.x(), -(rect.y() + rect.height()), rect.width(), rect.height()};
}

QRect constrainedUp(QRect frame, const QRect& area, unsigned flags)
{
    const int ax = area.x(), ay = area.y(), aw = area.width(), ah = area.height();
    int x = frame.x(), y = frame.y(), w = frame.width(), h = frame.height();
    if (y + h > ay + ah) y = ay + ah - h;
    y = std::max(ay, y);
    if (x + w > ax + aw) x = ax + aw - w;
    x = std::max(ax, x);
    h = std::min(ah, h);
    w = std::min(aw, w);
    if ((flags & IXSlavePanel::StickTop) && y + h < ay + ah) y = ay + ah - h;
    if (flags & IXSlavePanel::StickBottom) y = std::min(ay, y);
    if ((flags & IXSlavePanel::StickRight) && x + w < ax + aw) x = ax + aw - w;
    if (flags & IXSlavePanel::StickLeft) x = std::min(ax, x);
    return {x, y, w, h};
}

}  // namespace

IXSlavePanel::IXSlavePanel(QWidget* parent)
    : QWidget(parent)
    , m_frameView(new IXSlaveFrameView(this))
{
    setAttribute(Qt::WA_TranslucentBackground);
    setMouseTracking(false);
    m_focusConnection = PLExceptionBoundary::connect(qApp, &QApplication::focusChanged, this,
                                                     [this](QWidget* old, QWidget* now) { focusChanged(old, now); });
}

IXSlavePanel::~IXSlavePanel()
{
    // Taking the children apart moves the focus: this part must hear nothing of it.
    QObject::disconnect(m_focusConnection);
    if (m_host) m_host->removeEventFilter(this);
    if (m_watched) m_watched->removeEventFilter(this);
}

void IXSlavePanel::attach(QWidget* host, WorkArea workArea, QWidget* watched)
{
    if (m_host) m_host->removeEventFilter(this);
    if (m_watched) m_watched->removeEventFilter(this);
    m_host = host;
    m_watched = watched;
    m_workArea = std::move(workArea);
    if (!host) return;
    if (parentWidget() != host) setParent(host);
    host->installEventFilter(this);
    if (watched && watched != host) watched->installEventFilter(this);
    raise();
    // As after a move: the panel finds its place and its edges.
    setStickyFlags(0);
    adjust();
}

void IXSlavePanel::detach()
{
    if (m_host) m_host->removeEventFilter(this);
    if (m_watched) m_watched->removeEventFilter(this);
    m_host = nullptr;
    m_watched = nullptr;
    m_workArea = nullptr;
    hide();
    setParent(nullptr);
}

QRect IXSlavePanel::workArea() const
{
    return m_host && m_workArea ? m_workArea() : QRect();
}

void IXSlavePanel::setContentWidget(QWidget* content)
{
    m_content = content;
    if (content) content->setParent(m_frameView);
    layoutContent();
}

void IXSlavePanel::layoutContent()
{
    m_frameView->setGeometry(rect());
    if (m_content) m_content->setGeometry(rect().adjusted(Margin, Margin, -Margin, -Margin));
}

QRect IXSlavePanel::constrainedFrame(const QRect& frame, const QRect& area, unsigned flags)
{
    return mirrored(constrainedUp(mirrored(frame), mirrored(area), flags));
}

unsigned IXSlavePanel::stickyFlagsFor(const QRect& frame, const QRect& area)
{
    const QRect f = mirrored(frame);
    const QRect a = mirrored(area);
    unsigned flags = 0;
    if (f.y() + f.height() >= a.y() + a.height()) flags |= StickTop;
    if (a.y() >= f.y()) flags |= StickBottom;
    if (f.x() + f.width() >= a.x() + a.width()) flags |= StickRight;
    if (a.x() >= f.x()) flags |= StickLeft;
    return flags;
}

void IXSlavePanel::adjust()
{
    if (!m_host) return;
    const QRect area = workArea();
    if (area.isEmpty()) return;
    const QRect frame = constrainedFrame(geometry(), area, stickyFlags());
    if (frame != geometry()) setGeometry(frame);
    updateStickyFlags();
}

void IXSlavePanel::updateStickyFlags()
{
    if (!m_host) return;
    setStickyFlags(stickyFlagsFor(geometry(), workArea()));
}

void IXSlavePanel::moveFrame(const QRect& frame)
{
    setGeometry(frame);
    setStickyFlags(0);
    adjust();
}

bool IXSlavePanel::hasFocusInside() const
{
    const QWidget* focus = QApplication::focusWidget();
    return focus && (focus == this || isAncestorOf(focus));
}

void IXSlavePanel::focusChanged(QWidget*, QWidget*)
{
    const bool has = hasFocusInside();
    if (has == m_hadFocus) return;
    m_hadFocus = has;
    m_frameView->update();
    if (!has) emit focusLeft();
}

int IXSlavePanel::cornerAt(const QPoint& point) const
{
    const bool left = point.x() < CornerSize;
    const bool right = point.x() >= width() - CornerSize;
    const bool top = point.y() < CornerSize;
    const bool bottom = point.y() >= height() - CornerSize;
    if (!(left || right) || !(top || bottom)) return -1;
    return int((left ? CornerLeft : 0u) | (bottom ? CornerBottom : 0u));
}

void IXSlavePanel::mousePressEvent(QMouseEvent* event)
try {
    if (event->button() != Qt::LeftButton || !m_host) {
        QWidget::mousePressEvent(event);
        return;
    }
    // To the front of the host's children, as a window comes to the front.
    raise();
    const int corner = cornerAt(event->position().toPoint());
    m_drag = corner >= 0 ? Drag::Resize : Drag::Move;
    m_corner = corner >= 0 ? unsigned(corner) : 0;
    m_dragStart = event->globalPosition().toPoint();
    m_startFrame = geometry();
    if (m_drag == Drag::Resize) setStickyFlags(0);
    event->accept();
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXSlavePanel::mouseMoveEvent(QMouseEvent* event)
try {
    if (m_drag == Drag::None || !(event->buttons() & Qt::LeftButton)) return;
    const QPoint travel = event->globalPosition().toPoint() - m_dragStart;
    if (m_drag == Drag::Move)
        moveFrame(m_startFrame.translated(travel));
    else
        resizeTo(travel);
    event->accept();
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXSlavePanel::mouseReleaseEvent(QMouseEvent* event)
try {
    if (m_drag == Drag::None || event->button() != Qt::LeftButton) return;
    if (m_drag == Drag::Resize) updateStickyFlags();
    m_drag = Drag::None;
    event->accept();
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXSlavePanel::resizeTo(const QPoint& travel)
{
    // In the upward space: a bottom corner moves the origin, a top corner the height.
    const QRect start = mirrored(m_startFrame);
    const QRect area = mirrored(workArea());
    const QSize minimum = m_minimumFrameSize;
    const bool left = m_corner & CornerLeft;
    const bool bottom = m_corner & CornerBottom;
    const int dx = travel.x();
    const int dy = -travel.y();
    int x = start.x(), y = start.y(), w = start.width(), h = start.height();
    if (left) {
        const int limited = std::min(dx, start.width() - minimum.width());
        w = start.width() - limited;
        x = start.x() + limited;
    } else {
        w = std::max(minimum.width(), start.width() + dx);
    }
    if (bottom) {
        const int limited = std::min(dy, start.height() - minimum.height());
        h = start.height() - limited;
        y = start.y() + limited;
    } else {
        h = std::max(minimum.height(), start.height() + dy);
    }
    setStickyFlags(0);
    QRect frame = QRect(x, y, w, h).intersected(area);
    if (frame.isEmpty()) return;
    const QRect constrained = constrainedUp(frame, area, 0);
    // The edge opposite the dragged corner stays where it was.
    if (left && constrained.width() != frame.width())
        frame.moveLeft(frame.x() + frame.width() - constrained.width());
    else
        frame.moveLeft(constrained.x());
    if (bottom && constrained.height() != frame.height())
        frame.moveTop(frame.y() + frame.height() - constrained.height());
    else
        frame.moveTop(constrained.y());
    frame.setSize(constrained.size());
    setGeometry(mirrored(frame));
}

void IXSlavePanel::resizeEvent(QResizeEvent* event)
try {
    QWidget::resizeEvent(event);
    layoutContent();
} catch (...) {
    PLExceptionBoundary::caught();
}

bool IXSlavePanel::eventFilter(QObject* watched, QEvent* event)
try {
    if (watched == m_host || watched == m_watched) {
        switch (event->type()) {
        case QEvent::Resize:
        case QEvent::Move:
        case QEvent::Show:
            if (watched != m_host || event->type() == QEvent::Resize) adjust();
            break;
        case QEvent::Destroy:
            m_host = nullptr;
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
} catch (...) {
    PLExceptionBoundary::caught();
    return false;
}
