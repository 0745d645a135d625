#pragma once

#include "DocumentWindow/IXThumbnailCell.h"

#include <QColor>
#include <QList>
#include <QPoint>
#include <QRectF>
#include <QSizeF>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

class IXGridImageViewDataSource;
class QScrollArea;
class UTInfoTag;

// A grid of equal thumbnail slots over the items of a data source (IXGridImageViewDataSource):
// as many columns as fit the width of its scroll area, rows growing downward, one
// IXThumbnailCell drawing every slot. Single or multiple selection, an action on click and a
// double action on double click, per-item context menus and tool tips, drags out of the grid
// and drops into it through the data source. Every selection change and every reload posts
// "IXGridImageViewSelectionDidChange" (no object) on the default notification centre.
//
// Clicks: a click selects the item alone (on empty space: nothing, or item 0 when the
// selection may not be empty) and sends the action; with multiple selection, Ctrl toggles
// the item and Shift adds the items from the last selected one; Meta (the other control key)
// opens the item's menu, as the right button does.
//
// Sizes in points; the view is y-down like every widget. Main thread only.
class IXGridImageView : public QWidget {
    Q_OBJECT
public:
    static constexpr int NotFound = -1;
    static const QString SelectionDidChangeNotification;  // "IXGridImageViewSelectionDidChange"

    explicit IXGridImageView(QWidget* parent = nullptr);
    ~IXGridImageView() override;

    // --- Configuration ---
    IXGridImageViewDataSource* dataSource() const { return m_dataSource; }
    void setDataSource(IXGridImageViewDataSource* dataSource) { m_dataSource = dataSource; }
    QObject* delegate() const { return m_delegate; }
    void setDelegate(QObject* delegate) { m_delegate = delegate; }
    // Sent on click and on double click, with the view.
    using Action = std::function<void(IXGridImageView*)>;
    void setAction(Action action) { m_action = std::move(action); }
    void setDoubleAction(Action action) { m_doubleAction = std::move(action); }
    IXThumbnailCell& dataCell() { return *m_cell; }
    void setDataCell(std::unique_ptr<IXThumbnailCell> cell);
    // White when invalid.
    QColor backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const QColor& color);
    bool stretch() const { return m_stretch; }
    void setStretch(bool stretch);
    double margin() const { return m_margin; }
    void setMargin(double margin);
    double space() const { return m_spaces; }
    void setSpace(double space);
    QSizeF thumbSize() const { return m_thumbSize; }
    // A changed size rebuilds the slots and redraws.
    void setThumbSize(QSizeF size);
    bool allowsEmptySelection() const { return m_allowsEmptySelection; }
    void setAllowsEmptySelection(bool allows);
    bool allowsMultipleSelection() const { return m_allowsMultipleSelection; }
    void setAllowsMultipleSelection(bool allows);

    // --- Items (0 or nothing without a data source) ---
    int numberOfItems() const;
    QImage objectValueForIndex(int index) const;
    QImage imageForIndex(int index) const { return objectValueForIndex(index); }
    QString titleForIndex(int index) const;
    QString infoForIndex(int index) const;
    QMenu* menuForIndex(int index) const;

    // --- Slots ---
    // Forgets the slots, rebuilds them, redraws and posts the selection notice.
    void reloadData();
    // Lays the slots out when they are invalid (see the class comment).
    void construct();
    // The slot of the item; an empty rectangle beyond the list.
    QRectF rectAtItemIndex(int index) const;
    // The first item whose slot holds the point, or NotFound.
    int itemIndexAtPoint(QPointF point) const;
    // The items whose slots meet the rectangle enlarged by 20 points above and below.
    QList<int> visibleItemIndexes(const QRectF& visible) const;
    QList<int> visibleItemIndexes() const;
    // The scroll area whose viewport holds the view, if any.
    QScrollArea* enclosingScrollArea() const;

    // --- Selection ---
    // NotFound empties the selection (selecting item 0 when it may not be empty); an index
    // beyond the list does nothing; with multiple selection the item is added, else it
    // becomes the selection.
    void selectItemAtIndex(int index);
    // The selected items in ascending order.
    QList<int> selectedIndexes() const;
    // The item selected last, or -1.
    int selectedItem() const { return m_selection.isEmpty() ? -1 : m_selection.last(); }
    int numberOfSelectedItems();

    // Runs the click's action or the double action.
    void sendAction(const Action& action);
    // The picture at half opacity in the size (its own when empty).
    static QImage dragImageForImage(const QImage& image, QSizeF size);

    // The info tag subclasses show over an item; it fades out when the pointer leaves.
    UTInfoTag* infoTag() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void setSelection(QList<int> selection);
    void postSelectionChange();
    void clickItem(int index, Qt::KeyboardModifiers modifiers);
    bool openMenu(int index, QPoint globalPosition);
    void startDrag();
    void invalidateSlots();
    void watchScrollArea();
    QRectF visibleArea() const;

    IXGridImageViewDataSource* m_dataSource = nullptr;
    QObject* m_delegate = nullptr;
    Action m_action;
    Action m_doubleAction;
    std::unique_ptr<IXThumbnailCell> m_cell;
    // In the order the items were selected.
    QList<int> m_selection;
    std::vector<QRectF> m_rects;
    bool m_wasConstructed = false;
    bool m_reconstruction = false;
    QSizeF m_thumbSize {64, 64};
    bool m_stretch = false;
    double m_margin = 10;
    double m_spaces = 8;
    QColor m_backgroundColor;
    bool m_allowsEmptySelection = false;
    bool m_allowsMultipleSelection = false;
    QPoint m_pressPosition;
    int m_pressedItem = NotFound;
    bool m_dragSource = false;
    QObject* m_watchedViewport = nullptr;
};
