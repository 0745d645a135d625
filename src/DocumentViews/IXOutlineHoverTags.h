#pragma once

#include <QObject>
#include <QPersistentModelIndex>

class QWidget;

class IXImageTextAttachmentCell;
class IXOutlineMapView;

// What the pointer does over the outline's indicator cells: over a branch's picture the info
// tag shows the picture's title and the picture (its size fitted to 100 by 100 points the way
// pictures fit sizes) beside the cell; over a comment the yellow note tool opens it; over the attachment cell the
// attachments tool shows the branch's attachments. Leaving the cell fades the tag out; scrolling and changes of the
// rows hide it. One instance per outline, owned by it. Main thread only.
class IXOutlineHoverTags : public QObject {
    Q_OBJECT
public:
    explicit IXOutlineHoverTags(IXOutlineMapView* outline);

    // The indicator cell under the pointer, invalid when none.
    QModelIndex hoveredIndex() const { return m_hovered; }
    // The picture cell of the tag's text.
    IXImageTextAttachmentCell* pictureCell() const { return m_pictureCell; }

    // The pointer entered and left an indicator cell.
    void mouseEntered(const QModelIndex& index);
    void mouseExited();
    // Forgets the cell under the pointer and hides the tag.
    void purge();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The indicator cell at a point of the rows, when it shows something.
    QModelIndex indicatorAt(QPoint point) const;
    void pointerMoved(QPoint point);

    IXOutlineMapView* m_outline;
    // Kept apart: the viewport still sends events while the outline is being destroyed, when
    // the outline's own members may no longer be called.
    QWidget* m_viewport;
    IXImageTextAttachmentCell* m_pictureCell;
    QPersistentModelIndex m_hovered;
    bool m_showsTag = false;
};
