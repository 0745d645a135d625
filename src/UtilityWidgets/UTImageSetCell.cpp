#include "UtilityWidgets/UTImageSetCell.h"

#include "Platform/Core/PLAssert.h"
#include "Platform/Core/PLExceptionBoundary.h"

#include <QApplication>
#include <QPainter>

#include <algorithm>
#include <cmath>

UTImageSetCell::UTImageSetCell(QObject* parent) : QStyledItemDelegate(parent) {}

void UTImageSetCell::setObjectValue(const QVariant& value)
{
    if (!value.isValid() || value.isNull()) {
        m_images.clear();
        return;
    }
    if (value.metaType() == QMetaType::fromType<QImage>()) {
        m_images = {value.value<QImage>()};
        return;
    }
    if (value.metaType() != QMetaType::fromType<QList<QImage>>()) PLAssertionFailed("Invalid class for setObjectValue:");
    m_images = value.value<QList<QImage>>();
}

QImage UTImageSetCell::image() const
{
    return m_images.isEmpty() ? QImage() : m_images.last();
}

void UTImageSetCell::setImage(const QImage& image)
{
    setObjectValue(image.isNull() ? QVariant() : QVariant::fromValue(image));
}

QSize UTImageSetCell::cellSize() const
{
    if (m_images.isEmpty()) return QSize(0, 0);
    int width = 1;
    for (const QImage& image : m_images) width += qRound(image.deviceIndependentSize().width()) + 1;
    return QSize(std::max(MinimumWidth, width), Height);
}

void UTImageSetCell::drawInterior(QPainter* painter, const QRect& frame) const
{
    if (m_images.isEmpty()) return;
    int x = frame.x() + static_cast<int>(std::floor((frame.width() - cellSize().width()) * 0.5));
    painter->save();
    painter->setClipRect(frame);
    painter->setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter->setOpacity(1);
    for (const QImage& image : m_images) {
        const QSizeF size = image.deviceIndependentSize();
        const int y = frame.y() + static_cast<int>(std::floor((frame.height() - size.height()) * 0.5));
        painter->drawImage(QRectF(QPointF(x, y), size), image);
        x += qRound(size.width()) + 1;
    }
    painter->restore();
}

void UTImageSetCell::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
try {
    auto* self = const_cast<UTImageSetCell*>(this);
    self->setObjectValue(index.data(m_dataRole));
    if (m_images.isEmpty()) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    // The item's background and selection as the style draws them, then the pictures.
    QStyleOptionViewItem background = option;
    initStyleOption(&background, index);
    background.text.clear();
    background.icon = QIcon();
    background.features &= ~QStyleOptionViewItem::HasDisplay;
    const QWidget* widget = option.widget;
    QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);
    drawInterior(painter, option.rect);
} catch (...) {
    PLExceptionBoundary::caught();
}

QSize UTImageSetCell::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const
try {
    auto* self = const_cast<UTImageSetCell*>(this);
    self->setObjectValue(index.data(m_dataRole));
    if (m_images.isEmpty()) return QStyledItemDelegate::sizeHint(option, index);
    return cellSize();
} catch (...) {
    PLExceptionBoundary::caught();
    return {};
}
