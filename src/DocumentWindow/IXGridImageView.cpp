#include "DocumentWindow/IXGridImageView.h"

#include "DocumentWindow/IXGridImageViewDataSource.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/Core/PLNotificationCenter.h"
#include "UtilityWidgets/UTInfoTag.h"
#include "UtilityWidgets/UTInfoTagWindow.h"

#include <QApplication>
#include <QDrag>
#include <QHelpEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolTip>

#include <algorithm>
#include <cmath>

const QString IXGridImageView::SelectionDidChangeNotification = QStringLiteral("IXGridImageViewSelectionDidChange");

namespace {

// Drag data whose bytes the grid's data source makes only when a drop asks for them.
class PromisedMimeData : public QMimeData {
public:
    PromisedMimeData(IXGridImageView* view, const QStringList& types)
        : m_view(view)
        , m_types(types)
    {
    }
    QStringList formats() const override { return m_types; }
    bool hasFormat(const QString& type) const override { return m_types.contains(type); }

protected:
    QVariant retrieveData(const QString& type, QMetaType) const override
    {
        QByteArray data;
        PLExceptionBoundary::run(QStringLiteral("IXGridImageView drag data"), [&] {
            if (m_view && m_view->dataSource() && m_types.contains(type))
                data = m_view->dataSource()->provideDataForType(m_view, type);
        });
        return data;
    }

private:
    QPointer<IXGridImageView> m_view;
    QStringList m_types;
};

}  // namespace

IXGridImageView::IXGridImageView(QWidget* parent)
    : QWidget(parent)
    , m_cell(std::make_unique<IXThumbnailCell>())
{
    setAcceptDrops(true);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

IXGridImageView::~IXGridImageView()
{
    if (m_watchedViewport) m_watchedViewport->removeEventFilter(this);
}

// --- Configuration ---

void IXGridImageView::setDataCell(std::unique_ptr<IXThumbnailCell> cell)
{
    m_cell = cell ? std::move(cell) : std::make_unique<IXThumbnailCell>();
    update();
}

void IXGridImageView::setBackgroundColor(const QColor& color)
{
    m_backgroundColor = color;
    update();
}

void IXGridImageView::setStretch(bool stretch)
{
    if (m_stretch == stretch) return;
    m_stretch = stretch;
    invalidateSlots();
}

void IXGridImageView::setMargin(double margin)
{
    m_margin = margin;
    invalidateSlots();
}

void IXGridImageView::setSpace(double space)
{
    m_spaces = space;
    invalidateSlots();
}

void IXGridImageView::setThumbSize(QSizeF size)
{
    if (size == m_thumbSize) return;
    m_thumbSize = size;
    invalidateSlots();
}

void IXGridImageView::setAllowsEmptySelection(bool allows)
{
    m_allowsEmptySelection = allows;
    if (!allows && m_selection.isEmpty() && numberOfItems() > 0) selectItemAtIndex(0);
}

void IXGridImageView::setAllowsMultipleSelection(bool allows)
{
    m_allowsMultipleSelection = allows;
    if (!allows && m_selection.size() >= 2 && numberOfItems() > 0) setSelection({0});
}

// --- Items ---

int IXGridImageView::numberOfItems() const
{
    return m_dataSource ? std::max(0, m_dataSource->numberOfItemsGridImageView(const_cast<IXGridImageView*>(this))) : 0;
}

QImage IXGridImageView::objectValueForIndex(int index) const
{
    return m_dataSource ? m_dataSource->objectValueForIndex(const_cast<IXGridImageView*>(this), index) : QImage();
}

QString IXGridImageView::titleForIndex(int index) const
{
    return m_dataSource ? m_dataSource->titleForIndex(const_cast<IXGridImageView*>(this), index) : QString();
}

QString IXGridImageView::infoForIndex(int index) const
{
    return m_dataSource ? m_dataSource->infoForIndex(const_cast<IXGridImageView*>(this), index) : QString();
}

QMenu* IXGridImageView::menuForIndex(int index) const
{
    return m_dataSource ? m_dataSource->menuForIndex(const_cast<IXGridImageView*>(this), index) : nullptr;
}

// --- Slots ---

void IXGridImageView::reloadData()
{
    m_wasConstructed = false;
    if (const int count = numberOfItems();
        std::any_of(m_selection.begin(), m_selection.end(), [count](int i) { return i >= count; }))
        m_selection.removeIf([count](int i) { return i >= count; });
    construct();
    update();
    QToolTip::hideText();
    postSelectionChange();
}

QScrollArea* IXGridImageView::enclosingScrollArea() const
{
    QWidget* viewport = parentWidget();
    auto* area = viewport ? qobject_cast<QScrollArea*>(viewport->parentWidget()) : nullptr;
    return area && area->viewport() == viewport ? area : nullptr;
}

void IXGridImageView::construct()
{
    if (m_wasConstructed) return;
    m_reconstruction = true;
    const QScrollArea* area = enclosingScrollArea();
    const QSize visible = area ? area->viewport()->size() : size();
    const double width = visible.width();
    const double m = m_margin, s = m_spaces, tw = m_thumbSize.width(), th = m_thumbSize.height();
    const double usable = width - 2 * m;
    const int columns = std::max(1, int(std::floor((usable + s) / std::max(1.0, s + tw))));
    const int count = numberOfItems();
    const int rows = count / columns + (count % columns ? 1 : 0);
    const double height = std::max(double(visible.height()), std::ceil(rows * th + (rows - 1) * s + 2 * m));
    resize(int(width), int(std::min(height, double(QWIDGETSIZE_MAX))));
    double gap = s;
    if (m_stretch) gap = std::floor((usable - columns * tw) / std::max(1, columns - 1));
    m_rects.clear();
    m_rects.reserve(size_t(count));
    for (int i = 0; i < count; ++i) {
        const int row = i / columns, column = i % columns;
        const double x = std::ceil(column * tw + m + column * gap);
        const double y = std::ceil(row * th + row * s + th + m) - th;
        m_rects.emplace_back(x, y, tw, th);
    }
    m_wasConstructed = true;
    m_reconstruction = false;
}

QRectF IXGridImageView::rectAtItemIndex(int index) const
{
    if (index < 0 || size_t(index) >= m_rects.size()) return {};
    return m_rects[size_t(index)];
}

int IXGridImageView::itemIndexAtPoint(QPointF point) const
{
    for (size_t i = 0; i < m_rects.size(); ++i)
        if (m_rects[i].contains(point)) return int(i);
    return NotFound;
}

QList<int> IXGridImageView::visibleItemIndexes(const QRectF& visible) const
{
    const QRectF area = visible.adjusted(0, -20, 0, 20);
    QList<int> indexes;
    for (size_t i = 0; i < m_rects.size(); ++i) {
        if (m_rects[i].intersects(area))
            indexes.append(int(i));
        else if (!indexes.isEmpty())
            break;
    }
    return indexes;
}

QList<int> IXGridImageView::visibleItemIndexes() const
{
    return visibleItemIndexes(visibleArea());
}

QRectF IXGridImageView::visibleArea() const
{
    return QRectF(visibleRegion().boundingRect());
}

void IXGridImageView::invalidateSlots()
{
    m_wasConstructed = false;
    construct();
    update();
}

// --- Selection ---

void IXGridImageView::selectItemAtIndex(int index)
{
    const int count = numberOfItems();
    if (index != NotFound && (index < 0 || index >= count)) return;
    QList<int> selection = m_selection;
    if (index == NotFound) {
        selection.clear();
        if (!m_allowsEmptySelection && count > 0) selection = {0};
    } else if (m_allowsMultipleSelection) {
        selection.removeAll(index);
        selection.append(index);
    } else {
        selection = {index};
    }
    setSelection(selection);
}

void IXGridImageView::setSelection(QList<int> selection)
{
    m_selection = std::move(selection);
    update();
    postSelectionChange();
}

void IXGridImageView::postSelectionChange()
{
    PLNotificationCenter::defaultCenter().post(SelectionDidChangeNotification, nullptr);
}

QList<int> IXGridImageView::selectedIndexes() const
{
    QList<int> sorted = m_selection;
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

int IXGridImageView::numberOfSelectedItems()
{
    if (m_selection.isEmpty() && !m_allowsEmptySelection && numberOfItems() > 0) m_selection = {0};
    return int(m_selection.size());
}

void IXGridImageView::sendAction(const Action& action)
{
    if (action) action(this);
}

QImage IXGridImageView::dragImageForImage(const QImage& image, QSizeF size)
{
    if (image.isNull()) return {};
    IXThumbnailCell cell;
    cell.setImage(image);
    const double ratio = std::max(1.0, image.devicePixelRatio());
    return cell.imageWithSize(size.isEmpty() ? QSizeF(image.size()) / ratio : size, 0.5);
}

UTInfoTag* IXGridImageView::infoTag() const
{
    return UTInfoTag::sharedInstance();
}

// --- Mouse ---

void IXGridImageView::clickItem(int index, Qt::KeyboardModifiers modifiers)
{
    if (index == NotFound) {
        selectItemAtIndex(NotFound);
        return;
    }
    if (m_allowsMultipleSelection && (modifiers & Qt::ControlModifier)) {
        QList<int> selection = m_selection;
        if (!selection.removeAll(index)) selection.append(index);
        if (selection.isEmpty() && !m_allowsEmptySelection) selection = {index};
        setSelection(selection);
    } else if (m_allowsMultipleSelection && (modifiers & Qt::ShiftModifier) && selectedItem() >= 0) {
        QList<int> selection = m_selection;
        const int from = selectedItem();
        const int step = index >= from ? 1 : -1;
        for (int i = from + step; i != index + step; i += step) {
            selection.removeAll(i);
            selection.append(i);
        }
        setSelection(selection);
    } else {
        // A plain click selects the item alone, whatever was selected before.
        setSelection({index});
    }
}

bool IXGridImageView::openMenu(int index, QPoint globalPosition)
{
    QMenu* menu = index == NotFound ? nullptr : menuForIndex(index);
    if (!menu) return false;
    menu->popup(globalPosition);
    return true;
}

void IXGridImageView::mousePressEvent(QMouseEvent* event)
try {
    const int index = itemIndexAtPoint(event->position());
    m_pressedItem = NotFound;
    if (event->button() == Qt::RightButton) {
        clickItem(index, {});
        if (!openMenu(index, event->globalPosition().toPoint())) event->ignore();
        return;
    }
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    if (event->modifiers() & Qt::MetaModifier) {
        clickItem(index, {});
        openMenu(index, event->globalPosition().toPoint());
        return;
    }
    clickItem(index, event->modifiers());
    m_pressedItem = index;
    m_pressPosition = event->position().toPoint();
    sendAction(m_action);
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXGridImageView::mouseDoubleClickEvent(QMouseEvent* event)
try {
    if (event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    clickItem(itemIndexAtPoint(event->position()), {});
    sendAction(m_doubleAction);
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXGridImageView::mouseMoveEvent(QMouseEvent* event)
try {
    if (!(event->buttons() & Qt::LeftButton) || m_pressedItem == NotFound || m_dragSource) return;
    if ((event->position().toPoint() - m_pressPosition).manhattanLength() < QApplication::startDragDistance()) return;
    startDrag();
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXGridImageView::startDrag()
{
    const int pressed = m_pressedItem;
    m_pressedItem = NotFound;
    if (!m_dataSource) return;
    const QStringList types = m_dataSource->dragTypesForIndexes(this, selectedIndexes());
    if (types.isEmpty()) return;
    auto* drag = new QDrag(this);
    drag->setMimeData(new PromisedMimeData(this, types));
    m_cell->setImage(objectValueForIndex(pressed));
    const QRectF slot = rectAtItemIndex(pressed);
    const QImage picture = m_cell->dragImageWithFrame(slot);
    if (!picture.isNull()) {
        drag->setPixmap(QPixmap::fromImage(picture));
        const QRectF frame = m_cell->imageFrameWithFrame(slot);
        drag->setHotSpot((QPointF(m_pressPosition) - frame.topLeft()).toPoint());
    }
    m_dragSource = true;
    drag->exec(Qt::CopyAction | Qt::LinkAction | Qt::MoveAction, Qt::CopyAction);
    m_dragSource = false;
}

void IXGridImageView::leaveEvent(QEvent* event)
try {
    UTInfoTag* tag = infoTag();
    if (tag->ownersWindow() && tag->ownersWindow() == window()) tag->hideWithFadeOutEffect();
    QWidget::leaveEvent(event);
} catch (...) {
    PLExceptionBoundary::caught();
}

// --- Drops ---

void IXGridImageView::dragEnterEvent(QDragEnterEvent* event)
try {
    dragMoveEvent(event);
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXGridImageView::dragMoveEvent(QDragMoveEvent* event)
try {
    // The grid's own items are not dropped back onto it.
    const Qt::DropAction action = m_dataSource && event->source() != this
        ? m_dataSource->validateDrop(this, event->mimeData(), itemIndexAtPoint(event->position()))
        : Qt::IgnoreAction;
    if (action == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    event->setDropAction(action);
    event->accept();
} catch (...) {
    PLExceptionBoundary::caught();
}

void IXGridImageView::dropEvent(QDropEvent* event)
try {
    if (!m_dataSource || event->source() == this
        || !m_dataSource->acceptDrop(this, event->mimeData(), itemIndexAtPoint(event->position()))) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
} catch (...) {
    PLExceptionBoundary::caught();
}

// --- Layout and drawing ---

void IXGridImageView::resizeEvent(QResizeEvent* event)
try {
    QWidget::resizeEvent(event);
    if (!m_reconstruction) invalidateSlots();
} catch (...) {
    PLExceptionBoundary::caught();
}

bool IXGridImageView::event(QEvent* event)
try {
    if (event->type() == QEvent::ParentChange || event->type() == QEvent::Show) watchScrollArea();
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int index = itemIndexAtPoint(help->pos());
        const QString info = index == NotFound ? QString() : infoForIndex(index);
        if (info.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), info, this, rectAtItemIndex(index).toRect());
        }
        return true;
    }
    return QWidget::event(event);
} catch (...) {
    PLExceptionBoundary::caught();
    return true;
}

void IXGridImageView::watchScrollArea()
{
    QScrollArea* area = enclosingScrollArea();
    QObject* viewport = area ? area->viewport() : nullptr;
    if (viewport == m_watchedViewport) return;
    if (m_watchedViewport) m_watchedViewport->removeEventFilter(this);
    m_watchedViewport = viewport;
    if (viewport) viewport->installEventFilter(this);
    invalidateSlots();
}

bool IXGridImageView::eventFilter(QObject* watched, QEvent* event)
try {
    // The grid follows the width of its scroll area.
    if (watched == m_watchedViewport && event->type() == QEvent::Resize && !m_reconstruction) invalidateSlots();
    return false;
} catch (...) {
    PLExceptionBoundary::caught();
    return false;
}

void IXGridImageView::paintEvent(QPaintEvent* event)
try {
    construct();
    QPainter painter(this);
    painter.fillRect(event->rect(), m_backgroundColor.isValid() ? m_backgroundColor : QColor(Qt::white));
    for (const int index : visibleItemIndexes(QRectF(event->rect()))) {
        m_cell->setHighlighted(m_selection.contains(index));
        m_cell->setImage(objectValueForIndex(index));
        m_cell->setTitle(titleForIndex(index));
        m_cell->drawWithFrame(painter, rectAtItemIndex(index), palette());
    }
} catch (...) {
    PLExceptionBoundary::caught();
}
