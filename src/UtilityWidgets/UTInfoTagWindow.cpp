#include "UtilityWidgets/UTInfoTagWindow.h"

#include "Platform/Core/PLExceptionBoundary.h"
#include "UtilityWidgets/UTInfoTagBgView.h"
#include "UtilityWidgets/UTInfoTagPlacement.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QTimer>

#include <cmath>

UTInfoTagWindow::UTInfoTagWindow()
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint |
                           Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput)
    , m_contentView(new UTInfoTagBgView(this))
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFrame(QRect(0, 0, 10, 10));
}

QRect UTInfoTagWindow::frame() const
{
    return geometry().marginsRemoved(ShadowMargins);
}

void UTInfoTagWindow::setFrame(const QRect& frame)
{
    setGeometry(frame.marginsAdded(ShadowMargins));
}

void UTInfoTagWindow::setAlphaValue(float alpha)
{
    m_alphaValue = std::clamp(alpha, 0.0f, 1.0f);
    m_contentView->setOpacity(m_alphaValue);
    update();
}

void UTInfoTagWindow::fadeOut()
{
    setFadingOut(true);
}

bool UTInfoTagWindow::isFadingOut() const
{
    return m_fadeOutTimer != nullptr;
}

void UTInfoTagWindow::setFadingOut(bool fading)
{
    if (fading && !m_fadeOutTimer) {
        m_storedAlphaValue = m_alphaValue;
        m_fadeOutTimer = new QTimer(this);
        m_fadeOutTimer->setTimerType(Qt::PreciseTimer);
        m_fadeOutTimer->setInterval(int(std::lround(m_fadeOutInterval * 1000)));
        PLExceptionBoundary::connect(m_fadeOutTimer, &QTimer::timeout, this, &UTInfoTagWindow::fadeOutTick);
        m_fadeOutTimer->start();
    } else if (!fading && m_fadeOutTimer) {
        delete m_fadeOutTimer;
        m_fadeOutTimer = nullptr;
        setAlphaValue(m_storedAlphaValue);
    }
}

void UTInfoTagWindow::fadeOutTick()
{
    const float alpha = m_alphaValue - m_fadeOutStep;
    if (alpha <= 0)
        hide();
    else
        setAlphaValue(alpha);
}

void UTInfoTagWindow::orderFront()
{
    setFadingOut(false);
    adjustFrame();
    // A tool-tip window is shown above the application's others.
    show();
}

void UTInfoTagWindow::adjustFrame()
{
    const QRect f = frame();
    QScreen* screen = QGuiApplication::screenAt(f.center());
    if (!screen) screen = this->screen();
    if (!screen) return;
    const QRect adjusted = UTInfoTagPlacement::keptOnScreen(f, screen->geometry());
    if (adjusted != f) setFrame(adjusted);
}

void UTInfoTagWindow::hideEvent(QHideEvent* event)
try {
    QWidget::hideEvent(event);
    // The window is kept for the next showing, which must not start half faded.
    setFadingOut(false);
} catch (...) {
    PLExceptionBoundary::caught();
}

void UTInfoTagWindow::resizeEvent(QResizeEvent* event)
try {
    QWidget::resizeEvent(event);
    m_contentView->setGeometry(rect().marginsRemoved(ShadowMargins));
} catch (...) {
    PLExceptionBoundary::caught();
}

void UTInfoTagWindow::paintEvent(QPaintEvent*)
try {
    // A soft shadow: rounded outlines of falling strength around the panel, a little lower
    // than it, as if lit from above.
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setOpacity(m_alphaValue);
    painter.setBrush(Qt::NoBrush);
    const QRectF panel = QRectF(rect().marginsRemoved(ShadowMargins)).translated(0, 1);
    const int layers = ShadowMargins.left();
    for (int i = 1; i <= layers; ++i) {
        const qreal spread = i - 0.5;
        QPainterPath path;
        path.addRoundedRect(panel.adjusted(-spread, -spread, spread, spread), UTInfoTagBgView::CornerRadius + spread,
                            UTInfoTagBgView::CornerRadius + spread);
        const int alpha = 64 * (layers + 1 - i) * (layers + 1 - i) / ((layers + 1) * (layers + 1));
        painter.setPen(QPen(QColor(0, 0, 0, alpha), 1));
        painter.drawPath(path);
    }
} catch (...) {
    PLExceptionBoundary::caught();
}
