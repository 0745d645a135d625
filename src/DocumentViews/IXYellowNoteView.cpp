#include "DocumentViews/IXYellowNoteView.h"

#include "DocumentViews/IXSpellingHighlighter.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/Core/PLRunLoop.h"
#include "Platform/Drawing/PLColor.h"
#include "Platform/Drawing/PLNamedImages.h"

#include <QAbstractTextDocumentLayout>
#include <QFocusEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QTextDocument>
#include <QTextEdit>
#include <QToolButton>

#include <algorithm>
#include <cmath>

namespace {

constexpr float MinimumTextHeight = 20;

QColor frameColor()
{
    return PLColor::system(PLColor::System::WindowFrame).toQColor();
}

QIcon closeIcon()
{
    QIcon icon;
    icon.addPixmap(QPixmap::fromImage(PLNamedImages::imageNamed(QStringLiteral("canvas_yellownote_close"))));
    icon.addPixmap(QPixmap::fromImage(PLNamedImages::imageNamed(QStringLiteral("canvas_yellownote_close_pressed"))),
                   QIcon::Active);
    return icon;
}

}  // namespace

IXYellowNoteView::IXYellowNoteView(QWidget* host)
    : QWidget(host)
    , m_textView(new QTextEdit(this))
    , m_closeButton(new QToolButton(this))
{
    setMouseTracking(true);
    // The note's text is plain; Return types a line break.
    m_textView->setFrameShape(QFrame::NoFrame);
    m_textView->setAcceptRichText(false);
    m_textView->setUndoRedoEnabled(true);
    m_textView->setTabChangesFocus(false);
    m_textView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_textView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_textView->verticalScrollBar()->setAttribute(Qt::WA_MacSmallSize);
    m_textView->setLineWrapMode(QTextEdit::FixedPixelWidth);
    m_textView->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    QPalette palette = m_textView->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    palette.setColor(QPalette::Text, Qt::black);
    m_textView->setPalette(palette);
    m_textView->viewport()->setAutoFillBackground(false);
    QTextDocument* document = m_textView->document();
    document->setDocumentMargin(0);
    m_spelling = new IXSpellingHighlighter(document);
    m_textView->installEventFilter(this);

    // The close box: the picture alone, pressed in its own picture.
    const QImage image = PLNamedImages::imageNamed(QStringLiteral("canvas_yellownote_close"));
    const QSize imageSize = image.isNull() ? QSize(12, 12) : (QSizeF(image.size()) / image.devicePixelRatio()).toSize();
    m_closeButton->setIcon(closeIcon());
    m_closeButton->setIconSize(imageSize);
    m_closeButton->setAutoRaise(true);
    m_closeButton->setFocusPolicy(Qt::NoFocus);
    m_closeButton->setStyleSheet(QStringLiteral("QToolButton { border: none; padding: 0; }"));
    m_closeButton->setFixedSize(imageSize);
    PLExceptionBoundary::connect(m_closeButton, &QToolButton::clicked, this, [this] { emit closeRequested(); });

    PLExceptionBoundary::connect(document->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
                                 [this] { adjustFrameView(); });
    PLExceptionBoundary::connect(document, &QTextDocument::modificationChanged, this, [this](bool modified) {
        if (modified && !m_loading) emit textDidBeginEditing();
    });
}

IXYellowNoteView::~IXYellowNoteView()
{
    PLRunLoop::cancel(this);
    m_textView->removeEventFilter(this);
    if (window()) window()->removeEventFilter(this);
}

void IXYellowNoteView::setText(const QString& text)
{
    m_loading = true;
    m_textView->setPlainText(text);
    m_textView->document()->setModified(false);
    m_loading = false;
    adjustFrameViewNow();
}

QString IXYellowNoteView::text() const
{
    return m_textView->toPlainText();
}

bool IXYellowNoteView::isModified() const
{
    return m_textView->document()->isModified();
}

void IXYellowNoteView::setHeaderTitle(const QString& title)
{
    if (title == m_headerTitle) return;
    m_headerTitle = title;
    update();
}

void IXYellowNoteView::place(PLPoint origin, float textWidth)
{
    m_textWidth = std::clamp(textWidth, MinimumTextWidth, MaximumTextWidth);
    m_frame.origin = origin;
    adjustFrameViewNow();
}

PLRect IXYellowNoteView::draggingRect() const
{
    const PLRect r = PLRect(PLPoint(), m_frame.size).insetBy(4, 4);
    return PLRect(r.origin.x, r.maxY() - HeaderHeight, r.size.width, HeaderHeight);
}

PLRect IXYellowNoteView::resizingRect() const
{
    const PLRect r = PLRect(PLPoint(), m_frame.size).insetBy(4, 4);
    return PLRect(r.maxX() - 4, r.origin.y, 4, r.size.height - HeaderHeight);
}

void IXYellowNoteView::adjustFrameView()
{
    if (m_needsAdjustFrameView) return;
    m_needsAdjustFrameView = true;
    PLRunLoop::perform(this, "adjustFrameView", [this] { adjustFrameViewNow(); });
}

void IXYellowNoteView::adjustFrameViewNow()
{
    m_needsAdjustFrameView = false;
    QTextDocument* document = m_textView->document();
    document->setTextWidth(m_textWidth);
    const float needed = float(std::ceil(document->size().height()));
    m_scrolls = needed > MaximumTextHeight;
    m_textHeight = std::clamp(needed, MinimumTextHeight, MaximumTextHeight);
    const float scroller = m_scrolls ? float(m_textView->verticalScrollBar()->sizeHint().width()) : 0;
    PLRect frame(m_frame.origin, PLSize(m_textWidth + HorizontalPadding + scroller, m_textHeight + VerticalPadding));
    // The note keeps its top inside its host, growing downwards once the room above is used.
    if (const QWidget* host = parentWidget()) {
        const float room = float(host->height()) - frame.maxY();
        if (room < 0) frame.origin.y += std::ceil(room);
    }
    setNoteFrame(frame);
}

void IXYellowNoteView::setNoteFrame(const PLRect& frame)
{
    m_frame = frame;
    const QWidget* host = parentWidget();
    const float hostHeight = host ? float(host->height()) : frame.maxY();
    const QRect geometry
        = QRectF(frame.origin.x, hostHeight - frame.maxY(), frame.size.width, frame.size.height).toRect();
    if (geometry != this->geometry()) {
        if (QWidget* parent = parentWidget()) parent->update(this->geometry().adjusted(-4, -4, 4, 4));
        setGeometry(geometry);
    }
    layoutChildren();
    update();
}

void IXYellowNoteView::layoutChildren()
{
    m_textView->setVerticalScrollBarPolicy(m_scrolls ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    const int scroller = m_scrolls ? m_textView->verticalScrollBar()->sizeHint().width() : 0;
    m_textView->setLineWrapColumnOrWidth(int(m_textWidth));
    // The text area's top lies under the header, 22 points below the note's top.
    m_textView->setGeometry(6, int(VerticalPadding - 8), int(m_textWidth) + scroller, int(m_textHeight));
    m_closeButton->move(6, 8);
}

QRectF IXYellowNoteView::toQt(const PLRect& rect) const
{
    return QRectF(rect.origin.x, m_frame.size.height - rect.maxY(), rect.size.width, rect.size.height);
}

PLPoint IXYellowNoteView::pointInNote(QPointF position) const
{
    return PLPoint(float(position.x()), m_frame.size.height - float(position.y()));
}

void IXYellowNoteView::paintEvent(QPaintEvent*)
try {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const PLRect r = PLRect(PLPoint(), m_frame.size).insetBy(4, 6);
    QPainterPath body;
    body.addRoundedRect(toQt(r.insetBy(0.5f, 0.5f)), 4, 4);
    // A soft shadow below the note.
    for (int i = 1; i <= 4; ++i) {
        QPen shadow(QColor(0, 0, 0, int(0.7 * 255 / (i * 3))), i);
        shadow.setJoinStyle(Qt::RoundJoin);
        painter.strokePath(body.translated(0, 2), shadow);
    }
    const bool focused = m_textView->hasFocus();
    painter.fillPath(body, QColor::fromRgbF(1.0f, 1.0f, 0.7f, focused ? 1.0f : 0.9f));
    QPen outline(frameColor(), 1);
    outline.setJoinStyle(Qt::RoundJoin);
    painter.strokePath(body, outline);

    // The header: a line under it and the branch's title.
    const float lineY = r.maxY() - HeaderHeight - 2;
    painter.fillRect(toQt(PLRect(r.origin.x + 4, lineY, r.size.width - 8, 1)), frameColor());
    const QRectF titleRect = toQt(PLRect(r.origin.x + 18, lineY + 2, r.size.width - 26, HeaderHeight));
    QFont font = this->font();
    font.setBold(true);
    font.setPointSizeF(9);
    painter.setFont(font);
    painter.setPen(frameColor());
    painter.drawText(titleRect, Qt::AlignHCenter | Qt::AlignVCenter,
                     QFontMetricsF(font).elidedText(m_headerTitle, Qt::ElideRight, titleRect.width()));

    // The grip: two short lines, centred below the header.
    const float gripY = r.origin.y + std::floor((r.size.height - HeaderHeight - 12) / 2);
    for (const float x : {r.maxX() - 3, r.maxX() - 5}) painter.fillRect(toQt(PLRect(x, gripY, 1, 12)), frameColor());
} catch (...) {
    PLExceptionBoundary::caught();
}

PLPoint IXYellowNoteView::movedOrigin(PLPoint start, QPointF delta)
{
    // The window's y grows downwards; the note's upwards.
    return PLPoint(std::ceil(start.x + float(delta.x())), std::ceil(start.y - float(delta.y())));
}

void IXYellowNoteView::mousePressEvent(QMouseEvent* event)
try {
    if (event->button() != Qt::LeftButton || !m_movable || m_gesture != Gesture::None) return;
    const PLPoint p = pointInNote(event->position());
    if (draggingRect().containsPoint(p))
        m_gesture = Gesture::Move;
    else if (resizingRect().containsPoint(p))
        m_gesture = Gesture::Resize;
    else
        return;
    m_gestureStart = event->globalPosition();
    m_startFrame = m_frame;
    m_startWidth = m_textWidth;
    if (window()) window()->installEventFilter(this);
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXYellowNoteView::mouseMoveEvent(QMouseEvent* event)
try {
    const QPointF delta = event->globalPosition() - m_gestureStart;
    switch (m_gesture) {
    case Gesture::None:
        setCursor(resizingRect().containsPoint(pointInNote(event->position())) && m_movable ? Qt::SizeHorCursor
                                                                                            : Qt::ArrowCursor);
        return;
    case Gesture::Move:
        setNoteFrame(PLRect(movedOrigin(m_startFrame.origin, delta), m_frame.size));
        return;
    case Gesture::Resize:
        m_textWidth = std::clamp(m_startWidth + float(delta.x()), MinimumTextWidth, MaximumTextWidth);
        adjustFrameViewNow();
        return;
    }
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXYellowNoteView::mouseReleaseEvent(QMouseEvent* event)
try {
    if (event->button() != Qt::LeftButton || m_gesture == Gesture::None) return;
    const Gesture ended = std::exchange(m_gesture, Gesture::None);
    if (window()) window()->removeEventFilter(this);
    emit gestureEnded(ended);
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXYellowNoteView::cancelGesture()
{
    if (m_gesture == Gesture::None) return;
    m_gesture = Gesture::None;
    if (window()) window()->removeEventFilter(this);
    m_textWidth = m_startWidth;
    m_frame = m_startFrame;
    adjustFrameViewNow();
}

void IXYellowNoteView::hideEvent(QHideEvent* event)
{
    cancelGesture();
    QWidget::hideEvent(event);
}

bool IXYellowNoteView::eventFilter(QObject* watched, QEvent* event)
try {
    if (watched == m_textView && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        update();
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        // A menu over the text (its own context menu, the menu bar) leaves the edit going.
        if (event->type() == QEvent::FocusOut && reason != Qt::PopupFocusReason && reason != Qt::MenuBarFocusReason)
            emit textDidEndEditing();
    } else if (watched == window() && event->type() == QEvent::WindowDeactivate) {
        // The grab is lost with the window: the gesture ends without a change.
        cancelGesture();
    }
    return QWidget::eventFilter(watched, event);
} catch (...) {
    PLExceptionBoundary::caught();
    return false;
}
