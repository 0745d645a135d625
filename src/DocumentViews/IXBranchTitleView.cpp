#include "DocumentViews/IXBranchTitleView.h"

#include "DocumentViews/IXSpellingHighlighter.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/Core/PLRunLoop.h"
#include "Platform/Drawing/PLColor.h"

#include <QAbstractTextDocumentLayout>
#include <QFocusEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <cmath>
#include <memory>

IXBranchTitleView::IXBranchTitleView(QWidget* mapView)
    : QWidget(mapView)
    , m_textView(new QTextEdit(this))
{
    // The text is plain and wraps as the map wraps titles; the field behind it is ours.
    m_textView->setFrameShape(QFrame::NoFrame);
    m_textView->setAcceptRichText(false);
    m_textView->setUndoRedoEnabled(true);
    m_textView->setTabChangesFocus(false);
    m_textView->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_textView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_textView->setLineWrapMode(QTextEdit::WidgetWidth);
    m_textView->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    QPalette palette = m_textView->palette();
    palette.setColor(QPalette::Base, Qt::transparent);
    m_textView->setPalette(palette);
    m_textView->setAutoFillBackground(false);
    m_textView->viewport()->setAutoFillBackground(false);
    QTextDocument* document = m_textView->document();
    document->setDocumentMargin(0);
    document->setUseDesignMetrics(true);
    m_spelling = new IXSpellingHighlighter(document);
    m_textView->installEventFilter(this);

    PLExceptionBoundary::connect(document->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
                                 [this] { adjustFrameView(); });
    PLExceptionBoundary::connect(document, &QTextDocument::modificationChanged, this, [this](bool modified) {
        if (modified && !m_loading) emit textDidBeginEditing();
    });
}

IXBranchTitleView::~IXBranchTitleView()
{
    PLRunLoop::cancel(this);
    m_textView->removeEventFilter(this);
}

void IXBranchTitleView::setTextAttributes(const QFont& font, const QColor& color, Qt::Alignment alignment)
{
    m_font = font;
    m_font.setHintingPreference(QFont::PreferNoHinting);
    m_alignment = alignment;
    QPalette palette = m_textView->palette();
    palette.setColor(QPalette::Text, color);
    m_textView->setPalette(palette);
    QTextDocument* document = m_textView->document();
    QTextOption option = document->defaultTextOption();
    option.setAlignment(alignment);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    option.setUseDesignMetrics(true);
    document->setDefaultTextOption(option);
    m_appliedScale = 0;
    applyScale();
}

void IXBranchTitleView::setText(const QString& text)
{
    m_loading = true;
    m_textView->setPlainText(text);
    m_textView->document()->setModified(false);
    m_textView->selectAll();
    m_loading = false;
    m_grownWidth = 0;
    adjustFrameViewNow();
}

QString IXBranchTitleView::text() const
{
    return m_textView->toPlainText();
}

bool IXBranchTitleView::isModified() const
{
    return m_textView->document()->isModified();
}

qreal IXBranchTitleView::textScale() const
{
    return std::max(m_placement.zoom, MinimumTextScale);
}

void IXBranchTitleView::setPlacement(const Placement& placement)
{
    m_placement = placement;
    applyScale();
    adjustFrameViewNow();
}

void IXBranchTitleView::applyScale()
{
    const qreal scale = textScale();
    if (scale == m_appliedScale) return;
    m_appliedScale = scale;
    // A map unit is a view pixel at zoom 1; the widget's font sizes are points of its screen.
    QFont font = m_font;
    const qreal size = m_font.pointSizeF() > 0 ? m_font.pointSizeF() : 12;
    font.setPointSizeF(size * scale * 72.0 / std::max(1, m_textView->logicalDpiY()));
    m_textView->setFont(font);
    m_textView->document()->setDefaultFont(font);
}

QRectF IXBranchTitleView::textRect() const
{
    return QRectF(geometry()).adjusted(MarginX, MarginY, -MarginX, -MarginY);
}

void IXBranchTitleView::adjustFrameView()
{
    if (m_needsAdjustFrameView) return;
    m_needsAdjustFrameView = true;
    PLRunLoop::perform(this, "adjustFrameView", [this] { adjustFrameViewNow(); });
}

std::unique_ptr<QTextDocument> IXBranchTitleView::textCopy() const
{
    const QTextDocument* document = m_textView->document();
    std::unique_ptr<QTextDocument> copy(document->clone());
    copy->setDefaultFont(document->defaultFont());
    copy->setDefaultTextOption(document->defaultTextOption());
    copy->setDocumentMargin(0);
    copy->setUseDesignMetrics(true);
    return copy;
}

void IXBranchTitleView::adjustFrameViewNow()
{
    m_needsAdjustFrameView = false;
    const qreal scale = textScale();
    // Below the minimum scale the text is larger than the title it covers.
    const qreal factor = scale / std::max(m_placement.zoom, qreal(0.01));
    const QRectF title = m_placement.titleRect;
    const qreal titleWidth = title.width() * factor;
    const qreal limit = std::max({titleWidth, m_placement.wrapWidth * scale, MinimumTextWidth});
    // The box the map gives a title: its widest paragraph and 2 units more, up to the width at
    // which it wraps.
    const std::unique_ptr<QTextDocument> copy = textCopy();
    copy->setTextWidth(-1);
    const qreal box = copy->idealWidth() + 2 * scale;
    const qreal width = std::clamp(std::max({titleWidth, box, m_grownWidth * scale}), MinimumTextWidth, limit);
    m_grownWidth = width / scale;

    qreal x = title.left();
    if (m_alignment & Qt::AlignHCenter)
        x = title.center().x() - width / 2;
    else if (m_alignment & Qt::AlignRight)
        x = title.right() - width;
    const int areaWidth = int(std::ceil(width));

    copy->setTextWidth(areaWidth);
    const qreal textHeight = copy->size().height();
    const qreal heightLimit = std::max(MinimumScrollingHeight, title.height() * factor + 8);
    const bool scrolls = textHeight > heightLimit;
    const int scroller = scrolls ? m_textView->verticalScrollBar()->sizeHint().width() : 0;
    m_textView->setVerticalScrollBarPolicy(scrolls ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);

    const QRect area(int(std::lround(x)), int(std::lround(title.top())), areaWidth + scroller,
                     int(std::ceil(std::min(textHeight, heightLimit))));
    const QRect frame = area.adjusted(-int(MarginX), -int(MarginY), int(MarginX), int(MarginY));
    if (frame != geometry()) {
        if (QWidget* map = parentWidget()) map->update(geometry());
        setGeometry(frame);
    }
    m_textView->setGeometry(int(MarginX), int(MarginY), area.width(), area.height());
}

void IXBranchTitleView::paintEvent(QPaintEvent*)
try {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath field;
    // The outline's whole width lies inside the view.
    field.addRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 5, 5);
    painter.fillPath(field, QColor(255, 255, 255, 204));
    QPen outline(PLColor::system(PLColor::System::KeyboardFocusIndicator).toQColor(), 2);
    outline.setJoinStyle(Qt::RoundJoin);
    painter.strokePath(field, outline);
} catch (...) {
    PLExceptionBoundary::caught();
}

bool IXBranchTitleView::eventFilter(QObject* watched, QEvent* event)
try {
    if (watched == m_textView && event->type() == QEvent::FocusOut) {
        // A menu over the editor (its own context menu, the menu bar) leaves the edit open.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::MenuBarFocusReason) emit focusLost(reason);
    }
    return QWidget::eventFilter(watched, event);
} catch (...) {
    PLExceptionBoundary::caught();
    return false;
}
