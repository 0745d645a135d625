#pragma once

#include <QImage>
#include <QList>
#include <QStyledItemDelegate>

// Shows a row of small pictures (a branch's icons in the outline) centred in an item, one
// point apart. The item's display data is a QImage or a QList<QImage>; each is drawn at its
// own size, centred vertically and clipped to the item.
class UTImageSetCell : public QStyledItemDelegate {
    Q_OBJECT

public:
    // The least width and the height of a row of pictures.
    static constexpr int MinimumWidth = 12;
    static constexpr int Height = 12;

    explicit UTImageSetCell(QObject* parent = nullptr);

    const QList<QImage>& objectValue() const { return m_images; }
    // The role of the item data that holds the pictures; Qt::DisplayRole by default.
    int dataRole() const { return m_dataRole; }
    void setDataRole(int role) { m_dataRole = role; }
    // Nothing clears the pictures; an image makes a list of one; another value than a list
    // of images is a programming error ("Invalid class for setObjectValue:").
    void setObjectValue(const QVariant& value);
    // The last picture, or a null image.
    QImage image() const;
    void setImage(const QImage& image);

    // Zero without pictures; else the pictures' widths, each plus 1, plus 1 (at least 12)
    // by 12.
    QSize cellSize() const;
    void drawInterior(QPainter* painter, const QRect& frame) const;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    QList<QImage> m_images;
    int m_dataRole = Qt::DisplayRole;
};
