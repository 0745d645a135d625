#include "Inspectors/IXCellListView.h"

#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/Core/PLRunLoop.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollArea>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace {

constexpr std::string_view TileKey = "tile";

QScrollArea* documentScrollArea(const QWidget* view)
{
    QWidget* viewport = view->parentWidget();
    auto* area = qobject_cast<QScrollArea*>(viewport ? viewport->parentWidget() : nullptr);
    return area && area->widget() == view ? area : nullptr;
}

}  // namespace

IXCellListView::IXCellListView(QWidget* parent)
    : QWidget(parent)
{
    setMouseTracking(false);
    watchParent();
}

IXCellListView::~IXCellListView()
{
    PLRunLoop::cancel(this);
    m_editingCell = nullptr;
    // The rows go while the list is whole: they may ask it about the edit.
    m_cells.clear();
}

void IXCellListView::addCell(std::unique_ptr<IXListCell> cell)
{
    cell->setControlView(this);
    m_cells.push_back(std::move(cell));
    setNeedsTile();
}

IXListCell* IXCellListView::cellAtIndex(qsizetype index) const
{
    return index >= 0 && index < count() ? m_cells[size_t(index)].get() : nullptr;
}

qsizetype IXCellListView::indexOfCell(const IXListCell* cell) const
{
    const auto found
        = std::find_if(m_cells.begin(), m_cells.end(), [cell](const auto& held) { return held.get() == cell; });
    return found == m_cells.end() ? -1 : qsizetype(found - m_cells.begin());
}

void IXCellListView::removeAllCells()
{
    endEditing();
    m_cells.clear();
    m_rects.clear();
    setNeedsTile();
}

void IXCellListView::setSpacing(double spacing)
{
    if (spacing == m_spacing) return;
    m_spacing = spacing;
    setNeedsTile();
}

void IXCellListView::setNeedsTile()
{
    if (m_needsTile) return;
    m_needsTile = true;
    PLRunLoop::perform(this, TileKey, [this] { tile(); });
}

QSizeF IXCellListView::availableSize() const
{
    if (const QScrollArea* area = documentScrollArea(this)) return area->viewport()->size();
    return size();
}

void IXCellListView::tile()
{
    if (!m_needsTile || m_tiling) return;
    m_needsTile = false;
    PLRunLoop::cancel(this, TileKey);
    ++m_tileCount;
    const QSizeF available = availableSize();
    if (m_cells.empty()) {
        m_rects.clear();
        m_tiling = true;
        resize(available.toSize());
        m_tiling = false;
        update();
        return;
    }
    m_rects.clear();
    m_rects.reserve(m_cells.size());
    const double width = std::max(0.0, available.width() - 2 * m_spacing);
    double y = m_spacing;
    for (const auto& cell : m_cells) {
        const double height = cell->heightForWidth(width);
        m_rects.emplace_back(m_spacing, y, width, height);
        y += height + m_spacing;
    }
    m_tiling = true;
    resize(int(available.width()), int(std::ceil(y + m_spacing)));
    m_tiling = false;
    if (parentWidget()) parentWidget()->update();
    update();
}

QRectF IXCellListView::rectOfCell(qsizetype index) const
{
    return index >= 0 && index < qsizetype(m_rects.size()) ? m_rects[size_t(index)] : QRectF();
}

qsizetype IXCellListView::indexAtPoint(const QPointF& point) const
{
    // The rows stand in order from the top: the first whose bottom lies below the point.
    const auto found = std::lower_bound(m_rects.begin(), m_rects.end(), point.y(),
                                        [](const QRectF& rect, double y) { return rect.bottom() < y; });
    if (found == m_rects.end() || !found->contains(point)) return -1;
    return qsizetype(found - m_rects.begin());
}

void IXCellListView::scrollToCell(const IXListCell* cell)
{
    tile();
    const qsizetype index = indexOfCell(cell);
    if (index < 0) return;
    const QRectF rect = rectOfCell(index);
    for (QWidget* ancestor = parentWidget(); ancestor; ancestor = ancestor->parentWidget()) {
        auto* area = qobject_cast<QScrollArea*>(ancestor);
        if (!area || !area->widget() || !area->widget()->isAncestorOf(this)) continue;
        const QPointF centre = mapTo(area->widget(), rect.center().toPoint());
        area->ensureVisible(int(centre.x()), int(centre.y()), int(rect.width() / 2), int(rect.height() / 2));
        return;
    }
}

// --- Field editor ---

void IXCellListView::editCell(IXListCell* cell, const QRectF& rect, const QString& text, bool editable,
                              const QString& placeholder, const QPointF* point)
{
    endEditing();
    if (!m_editor) {
        m_editor = new QLineEdit(this);
        m_editor->setFrame(false);
        m_editor->installEventFilter(this);
        QPalette palette = m_editor->palette();
        palette.setColor(QPalette::Base, Qt::white);
        m_editor->setPalette(palette);
        m_editor->setAutoFillBackground(true);
        PLExceptionBoundary::connect(m_editor, &QLineEdit::editingFinished, this, [this] { endEditing(); });
    }
    m_editingCell = cell;
    m_editor->setGeometry(rect.toAlignedRect());
    m_editor->setText(text);
    m_editor->setReadOnly(!editable);
    m_editor->setPlaceholderText(placeholder);
    m_editor->show();
    m_editor->raise();
    if (window()) window()->raise();
    m_editor->setFocus(Qt::MouseFocusReason);
    if (point)
        m_editor->setCursorPosition(m_editor->cursorPositionAt(m_editor->mapFrom(this, point->toPoint())));
    else
        m_editor->selectAll();
    update();
}

QLineEdit* IXCellListView::fieldEditor() const
{
    return m_editingCell ? m_editor : nullptr;
}

void IXCellListView::endEditing()
{
    IXListCell* cell = std::exchange(m_editingCell, nullptr);
    if (!cell) return;
    const QString text = m_editor->text();
    m_editor->hide();
    cell->editingDidEnd(text);
    update();
}

void IXCellListView::cancelEditing()
{
    if (!std::exchange(m_editingCell, nullptr)) return;
    m_editor->hide();
    update();
}

// --- Events ---

void IXCellListView::watchParent()
{
    if (m_watchedParent == parentWidget()) return;
    if (m_watchedParent) m_watchedParent->removeEventFilter(this);
    m_watchedParent = parentWidget();
    if (m_watchedParent) m_watchedParent->installEventFilter(this);
}

bool IXCellListView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_watchedParent && event->type() == QEvent::Resize) {
        // Placed directly in a view, the list follows that view's width.
        if (!documentScrollArea(this) && (sizePolicy().horizontalPolicy() & QSizePolicy::GrowFlag)
            && m_watchedParent->width() != width())
            resize(m_watchedParent->width(), height());
        setNeedsTile();
    }
    if (watched == m_editor && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        cancelEditing();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool IXCellListView::event(QEvent* event)
{
    if (event->type() == QEvent::ParentChange) {
        watchParent();
        setNeedsTile();
    }
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const qsizetype index = indexAtPoint(help->pos());
        const QString tip = index < 0 ? QString() : m_cells[size_t(index)]->toolTipAt(help->pos(), rectOfCell(index));
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, this);
        return true;
    }
    return QWidget::event(event);
}

void IXCellListView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (!m_tiling && documentScrollArea(this)) setNeedsTile();
    emit frameChanged();
}

void IXCellListView::paintEvent(QPaintEvent* event)
try {
    tile();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF exposed = event->rect();
    auto row = std::lower_bound(m_rects.begin(), m_rects.end(), exposed.top(),
                                [](const QRectF& rect, double y) { return rect.bottom() < y; });
    for (; row != m_rects.end() && row->top() <= exposed.bottom(); ++row) {
        painter.save();
        m_cells[size_t(row - m_rects.begin())]->draw(painter, *row);
        painter.restore();
    }
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXCellListView::routeMouse(QMouseEvent* event, int clickCount)
{
    tile();
    const qsizetype index = indexAtPoint(event->position());
    if (index < 0) {
        endEditing();
        return;
    }
    m_cells[size_t(index)]->trackMouse(event, rectOfCell(index), clickCount);
}

void IXCellListView::mousePressEvent(QMouseEvent* event)
try {
    routeMouse(event, 1);
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXCellListView::mouseDoubleClickEvent(QMouseEvent* event)
try {
    routeMouse(event, 2);
} catch (...) {
    PLExceptionBoundary::caught();
}
