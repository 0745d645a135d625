#include "DocumentViews/IXScalingScrollView.h"

#include "DocumentViews/IXActionItem.h"
#include "DocumentViews/IXCommandNames.h"
#include "DocumentViews/IXScaling.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/System/PLLocalizedStrings.h"
#include "Platform/Core/PLNotificationCenter.h"
#include "Platform/Drawing/PLPixels.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int CustomItemRole = Qt::UserRole + 1;
// Products like 1.1 × 100 come out a hair above the whole number in binary floating point;
// rounding up to whole per cent must not add a per cent for that.
constexpr double RoundingSlack = 1e-6;

double ceilTenths(double value)
{
    return std::ceil(value * 10 - RoundingSlack) / 10;
}

double floorTenths(double value)
{
    return std::floor(value * 10 + RoundingSlack) / 10;
}

double ceilPercent(double value)
{
    return std::ceil(value * 100 - RoundingSlack) / 100;
}

QString percentTitle(double factor)
{
    return QString::asprintf("%.0f%%", factor * 100);
}

// The time of the last Alt-wheel event, shared by all zooming scroll views, in milliseconds.
quint64 lastZoomWheelTime = 0;
bool hadZoomWheel = false;

}

const QString IXScalingScrollView::ReflectScrolledClipViewNotification =
    QStringLiteral("IXScrollViewReflectScrolledClipView");

IXScalingScrollView::IXScalingScrollView(QWidget* parent) : QScrollArea(parent)
{
    setWidgetResizable(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
}

IXScalingScrollView::~IXScalingScrollView()
{
    // The document view goes with this scroll view's children, after this object is no longer one.
    QObject::disconnect(m_scalingViewGone);
}

IXScalingScrollView* IXScalingScrollView::scalingScrollView(const QWidget* view)
{
    for (QWidget* ancestor = view ? view->parentWidget() : nullptr; ancestor; ancestor = ancestor->parentWidget())
        if (auto* scrollArea = qobject_cast<QAbstractScrollArea*>(ancestor))
            return qobject_cast<IXScalingScrollView*>(scrollArea);
    return nullptr;
}

void IXScalingScrollView::setDocumentView(QWidget* view)
{
    removePopup();
    m_scalingView = nullptr;
    QObject::disconnect(m_scalingViewGone);
    setWidget(view);
    m_scalingView = dynamic_cast<IXScaling*>(view);
    // A view deleted by its controller while this scroll view stays (closing a window) must not
    // be reached by the resizes the teardown brings.
    if (m_scalingView)
        m_scalingViewGone
            = PLExceptionBoundary::connect(view, &QObject::destroyed, this, [this] { m_scalingView = nullptr; });
    if (m_scalingView) {
        makePopup();
        setScaleFactor(1.0);
    } else {
        m_scaleFactor = 1.0;
    }
}

void IXScalingScrollView::makePopup()
{
    if (m_popup || !m_scalingView) return;
    m_popup = new QComboBox;
    m_popup->setFocusPolicy(Qt::NoFocus);
    m_popup->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    QFont font = QApplication::font();
    if (font.pointSizeF() > 0) font.setPointSizeF(std::max(6.0, font.pointSizeF() - 2));
    m_popup->setFont(font);
    const double low = m_scalingView->scalingMinFactor() - RoundingSlack;
    const double high = m_scalingView->scalingMaxFactor() + RoundingSlack;
    for (double step : ZoomSteps)
        if (step >= low && step <= high) m_popup->addItem(percentTitle(step), step);
    m_popup->addItem(PLLocalizedStrings::string(QStringLiteral("zoom_custom")));
    m_popup->addItem(PLLocalizedStrings::string(QStringLiteral("zoom_fit")), -1.0);
    PLExceptionBoundary::connect(m_popup, &QComboBox::activated, this, &IXScalingScrollView::popupAction);
    // Sized to fit its titles; the scroller takes the rest of the strip.
    m_popup->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_popup->adjustSize();
    tile();
}

void IXScalingScrollView::removePopup()
{
    endPercentEditing(false);
    delete m_editor;
    delete m_popup;
}

void IXScalingScrollView::setHasHorizontalScroller(bool flag)
{
    m_hasHorizontalScroller = flag;
    setHorizontalScrollBarPolicy(flag ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    tile();
}

void IXScalingScrollView::tile()
{
    const QSize oldSize = viewport()->size();
    if (m_popup) {
        const bool placed = scrollBarWidgets(Qt::AlignLeft).contains(m_popup.data());
        if (m_hasHorizontalScroller && m_scalingView) {
            if (!placed) addScrollBarWidget(m_popup, Qt::AlignLeft);
            m_popup->setFixedHeight(horizontalScrollBar()->sizeHint().height() + 1);
            m_popup->show();
        } else {
            if (placed) {
                m_popup->hide();
                m_popup->setParent(this);
            }
            m_scaleFactor = 1.0;
            if (m_scalingView) m_scalingView->reflectScalingFactor();
        }
    }
    if (m_scalingView) m_scalingView->resizeWithOldSuperviewSize(oldSize);
}

void IXScalingScrollView::setScaleFactor(double factor)
{
    if (!m_scalingView) {
        m_scaleFactor = 1.0;
        return;
    }
    factor = std::clamp(ceilPercent(factor), m_scalingView->scalingMinFactor(), m_scalingView->scalingMaxFactor());
    m_scaleFactor = factor;

    if (m_popup && m_hasHorizontalScroller) {
        int match = -1;
        int larger = -1;
        int custom = -1;
        for (int i = 0; i < m_popup->count(); ++i) {
            if (m_popup->itemData(i, CustomItemRole).toBool()) custom = i;
            const QVariant value = m_popup->itemData(i);
            if (!value.isValid()) continue;
            const double itemFactor = value.toDouble();
            if (match < 0 && std::abs(itemFactor - factor) < 0.001) match = i;
            if (larger < 0 && itemFactor > factor) larger = i;
        }
        if (match >= 0) {
            if (custom >= 0 && custom != match) {
                m_popup->removeItem(custom);
                if (custom < match) --match;
            }
            m_popup->setCurrentIndex(match);
        } else if (larger >= 0) {
            m_popup->insertItem(larger, percentTitle(factor), factor);
            m_popup->setItemData(larger, true, CustomItemRole);
            if (custom >= 0) {
                if (custom >= larger) ++custom;
                m_popup->removeItem(custom);
                if (custom < larger) --larger;
            }
            m_popup->setCurrentIndex(larger);
        }
    }
    m_scalingView->reflectScalingFactor();
}

void IXScalingScrollView::popupAction(int index)
{
    const QVariant value = m_popup->itemData(index);
    if (!value.isValid()) {
        beginPercentEditing();
        return;
    }
    if (value.toDouble() < 0)
        scaleToFit(m_popup);
    else if (m_scalingView)
        setScaleFactor(value.toDouble());
}

void IXScalingScrollView::beginPercentEditing()
{
    if (!m_popup) return;
    if (!m_editor) {
        m_editor = new QLineEdit(m_popup->parentWidget());
        m_editor->setFrame(false);
        QPalette palette = m_editor->palette();
        palette.setColor(QPalette::Base, palette.color(QPalette::Highlight));
        palette.setColor(QPalette::Text, palette.color(QPalette::HighlightedText));
        m_editor->setPalette(palette);
        m_editor->installEventFilter(this);
        PLExceptionBoundary::connect(m_editor, &QLineEdit::editingFinished, this, [this] { endPercentEditing(true); });
    }
    m_editor->setFont(m_popup->font());
    m_editor->setGeometry(m_popup->geometry().adjusted(1, 0, -1, 0));
    m_editor->setText(QStringLiteral("%"));
    m_editor->setCursorPosition(0);
    m_editor->show();
    m_editor->raise();
    m_editor->setFocus(Qt::OtherFocusReason);
}

void IXScalingScrollView::endPercentEditing(bool apply)
{
    if (!m_editor || m_editor->isHidden()) return;
    const QString text = m_editor->text();
    m_editor->hide();
    static const QRegularExpression number(QStringLiteral("^\\s*([0-9]+(?:\\.[0-9]*)?)"));
    const QRegularExpressionMatch found = number.match(text);
    // A text without a number keeps the factor; the pop-up shows it again.
    if (apply && found.hasMatch())
        setScaleFactor(std::ceil(found.captured(1).toDouble()) / 100);
    else
        setScaleFactor(m_scaleFactor);
    if (widget()) widget()->setFocus(Qt::OtherFocusReason);
}

void IXScalingScrollView::scaleToRect(const QRectF& rect)
{
    // An empty rectangle has no zoom that fits it.
    if (!(rect.width() > 0) || !(rect.height() > 0)) return;
    const QSize content = viewport()->size();
    setScaleFactor(std::min(content.width() / rect.width(), content.height() / rect.height()));
    const double factor = m_scaleFactor;
    horizontalScrollBar()->setValue(PLPixels::floorInt((rect.x() + rect.width() * 0.5) * factor - content.width() * 0.5));
    verticalScrollBar()->setValue(PLPixels::floorInt((rect.y() + rect.height() * 0.5) * factor - content.height() * 0.5));
}

void IXScalingScrollView::zoomIn(QObject*)
try {
    double factor = ceilTenths(m_scaleFactor * 1.3);
    for (double step : ZoomSteps)
        if (step > m_scaleFactor && step < factor) {
            factor = step;
            break;
        }
    setScaleFactor(factor);
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXScalingScrollView::zoomOut(QObject*)
try {
    double factor = floorTenths(m_scaleFactor * 0.7);
    for (double step : ZoomSteps)
        if (step < m_scaleFactor && step > factor) {
            factor = step;
            break;
        }
    setScaleFactor(factor);
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXScalingScrollView::actualSize(QObject*)
try {
    setScaleFactor(1.0);
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXScalingScrollView::fitToScreen(QObject* sender)
try {
    scaleToFit(sender);
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXScalingScrollView::scaleToFit(QObject*)
try {
    if (!m_scalingView) {
        m_scaleFactor = 1.0;
        return;
    }
    scaleToRect(m_scalingView->scalingContentsRect());
    if (m_scaleFactor > 0.96 && m_scaleFactor < 1.0) setScaleFactor(1.0);
} catch (...) {
    PLExceptionBoundary::caught();
}

bool IXScalingScrollView::validateMenuItem(QAction* item)
try {
    const QByteArray action = IXActionItem::actionOf(item);
    if (action == IXCommands::ZoomIn) return m_scalingView && m_scaleFactor < m_scalingView->scalingMaxFactor();
    if (action == IXCommands::ZoomOut) return m_scalingView && m_scaleFactor > m_scalingView->scalingMinFactor();
    return true;
} catch (...) {
    PLExceptionBoundary::caught();
    return false;
}

void IXScalingScrollView::wheelEvent(QWheelEvent* event)
try {
    // Alt zooms; so does Ctrl, as elsewhere on the Linux desktop.
    if (!(event->modifiers() & (Qt::AltModifier | Qt::ControlModifier)) || !m_scalingView) {
        QScrollArea::wheelEvent(event);
        return;
    }
    event->accept();
    // A mouse wheel turns in whole notches of 120 and tells no pixels: a notch is one step.
    const QPoint angle = event->angleDelta();
    const int notchDelta = angle.y() != 0 ? angle.y() : angle.x();
    if (event->pixelDelta().isNull() && notchDelta != 0 && notchDelta % 120 == 0) {
        for (int notch = 0; notch < std::abs(notchDelta / 120); ++notch) {
            if (notchDelta > 0) zoomIn(nullptr);
            else zoomOut(nullptr);
        }
        return;
    }
    // Precise deltas are in pixels; parts of a notch count as parts of a line.
    const QPointF deltas = !event->pixelDelta().isNull() ? QPointF(event->pixelDelta())
                                                          : QPointF(event->angleDelta()) / 120.0;
    double delta = std::abs(deltas.y()) > 0.01 ? deltas.y() : deltas.x();
    // An event that does not turn (the end of a momentum phase) does not zoom.
    if (delta == 0) return;

    const quint64 now = event->timestamp();
    const double elapsed = hadZoomWheel && now >= lastZoomWheelTime ? (now - lastZoomWheelTime) / 1000.0
                                                                    : std::numeric_limits<double>::infinity();
    if (elapsed < 0.01)
        delta *= 3;
    else if (elapsed < 0.5)
        delta *= 0.2 / elapsed;
    lastZoomWheelTime = now;
    hadZoomWheel = true;

    const double factor = m_scaleFactor;
    const double scaled = (factor + factor * delta * 0.001) * 100;
    double zoomed = (delta >= 0 ? std::ceil(scaled - RoundingSlack) : std::floor(scaled + RoundingSlack)) / 100;
    for (double step : ZoomSteps)
        if (std::abs(step - zoomed) <= 0.03 + RoundingSlack) {
            zoomed = step;
            break;
        }
    if (delta > 0 && zoomed < factor + 0.01) zoomed = factor + 0.02;
    if (delta < 0 && zoomed > factor - 0.01) zoomed = factor - 0.02;
    setScaleFactor(zoomed);
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXScalingScrollView::scrollContentsBy(int dx, int dy)
try {
    QScrollArea::scrollContentsBy(dx, dy);
    reflectScrolledClipView();
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXScalingScrollView::resizeEvent(QResizeEvent* event)
try {
    const QSize oldSize = viewport()->size();
    QScrollArea::resizeEvent(event);
    if (m_scalingView) m_scalingView->resizeWithOldSuperviewSize(oldSize);
    reflectScrolledClipView();
} catch (...) {
    PLExceptionBoundary::caught();
}

bool IXScalingScrollView::eventFilter(QObject* watched, QEvent* event)
try {
    if (watched == m_editor && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        endPercentEditing(false);
        return true;
    }
    return QScrollArea::eventFilter(watched, event);
} catch (...) {
    PLExceptionBoundary::caught();
    return false;
}

void IXScalingScrollView::reflectScrolledClipView()
{
    PLNotificationCenter::defaultCenter().post(ReflectScrolledClipViewNotification, this);
}
