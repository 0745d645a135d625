#include "Inspectors/IXOverviewWindow.h"

#include "Inspectors/IXOverviewFramedView.h"
#include "Inspectors/IXOverviewHost.h"
#include "Platform/Core/PLExceptionBoundary.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWheelEvent>

#include <cmath>

namespace {

// The height the y-down space is mirrored against: the screen's for a top-level window (its
// bottom edge becomes y = 0), none for a child (y = 0 stays the parent's top).
int mirrorHeight(const QWidget* window)
{
    if (window->parentWidget()) return 0;
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->virtualGeometry().bottom() + 1 : 0;
}

}  // namespace

IXOverviewWindow::IXOverviewWindow(QWidget* parent)
    : QWidget(parent, parent ? Qt::Widget : Qt::Tool | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(MinimumSide, MinimumSide);
}

IXOverviewWindow::~IXOverviewWindow() = default;

void IXOverviewWindow::setContentView(IXOverviewFramedView* view)
{
    delete m_contentView.data();
    m_contentView = view;
    if (!view) return;
    view->setParent(this);
    view->setHost(m_host);
    view->setGeometry(rect());
    view->show();
}

void IXOverviewWindow::setHost(IXOverviewHost* host)
{
    m_host = host;
    if (m_contentView) m_contentView->setHost(host);
}

PLRect IXOverviewWindow::frameUp() const
{
    const QRect frame = parentWidget() ? geometry() : QRect(pos(), size());
    return PLRect(float(frame.x()), float(mirrorHeight(this) - frame.y() - frame.height()), float(frame.width()),
                  float(frame.height()));
}

void IXOverviewWindow::setFrameUp(const PLRect& frame)
{
    const int w = int(std::lround(frame.width()));
    const int h = int(std::lround(frame.height()));
    const int x = int(std::lround(frame.minX()));
    const int y = mirrorHeight(this) - int(std::lround(frame.minY())) - h;
    if (parentWidget())
        setGeometry(x, y, w, h);
    else {
        move(x, y);
        resize(w, h);
    }
    // A hidden window hears of its new size only when shown: its view must know it now.
    if (m_contentView) m_contentView->setGeometry(rect());
}

PLPoint IXOverviewWindow::globalPointUp(QPoint global) const
{
    const QPoint local = parentWidget() ? parentWidget()->mapFromGlobal(global) : global;
    return PLPoint(float(local.x()), float(mirrorHeight(this) - local.y()));
}

void IXOverviewWindow::wheelEvent(QWheelEvent* event)
try {
    scrollWheel(event);
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXOverviewWindow::scrollWheel(QWheelEvent* event)
{
    // A notch is one unit, the way the platform counts lines.
    double delta = event->angleDelta().y() / 120.0;
    if (std::abs(delta) <= 0.01) delta = event->angleDelta().x() / 120.0;
    if (m_contentView) m_contentView->setSizeFactor(float(m_contentView->sizeFactor() + delta * 0.01));
    if (m_host) m_host->updatePreview();
    event->accept();
}

void IXOverviewWindow::resizeEvent(QResizeEvent* event)
try {
    QWidget::resizeEvent(event);
    if (m_contentView) m_contentView->setGeometry(rect());
} catch (...) {
    PLExceptionBoundary::caught();
}
