#pragma once

#include "DocumentModel/IXStyleNodeObserver.h"
#include "DocumentViews/IXCommandNames.h"
#include "MapLayout/IXDocumentViewing.h"
#include "MapLayout/IXLayoutContextObserver.h"
#include "Platform/Core/PLEditor.h"
#include "Platform/Drawing/PLRect.h"
#include "UtilityWidgets/UTDateTimePickerDelegate.h"

#include <QTreeView>

#include <array>
#include <map>
#include <memory>

class IXBranchNode;
class IXDocumentNode;
class IXLayoutContext;
class IXOpenDocument;
class IXOutlineHoverTags;
class IXOutlineModel;
class IXWindowControlling;
class QAction;
class QMenu;
class UTDateTimeCell;
class UTImageSetCell;

// The outline of a document window: one row per branch under the document's "outline"
// layout, with narrow indicator columns (picture, comment, attachment, icons), the title as
// the tree column and the begin and end dates. The rows come from an IXOutlineModel that
// follows the document by precise row signals; the view keeps the rows' expansion in step
// with the branches' collapsed flags (both ways), its selection in step with its layout
// context's (and so with the window's), and the columns the user switched off
// ("IXOutlineDisabledColumns") and the auto-hiding of empty indicator columns
// ("IXOutlineAutohideColumns") in the document's ui-state, which is saved with it.
//
// The indicator columns' emptiness and the icons column's width are counts over the rows
// shown (collapsed descendants do not count), kept as rows come, go, change, expand and
// collapse, so an edit costs its rows, not the outline's. shownColumnCounts() recomputes
// them by a full walk for comparison.
//
// Keys: Escape deselects; Return adds a sibling (Shift: before, Alt: a sub-branch); Delete
// removes the selection; Space, F2 and typing edit the title; Alt+Right indents, Alt+Left
// outdents, Alt+Up and Alt+Down move the branch among its siblings (each one undo step).
// Control-click and the right button start the context menu tool; the header's context menu
// switches columns. The pointer over an indicator cell shows the picture in the info tag, or
// opens the comment's yellow note or the attachments' balloon (IXOutlineHoverTags). Rows drag to move branches. Date
// cells edit through the shared date picker; an end date before the begin date is refused with an alert.
//
// Lifecycle: attachToController makes the context (once per controller); shown in a window
// whose controller the installed lookup finds, the view attaches itself. The owner detaches it
// before deleting it. Main thread only.
class IXOutlineMapView : public QTreeView,
                         public IXDocumentViewing,
                         public IXLayoutContextObserver,
                         public IXStyleNodeObserver,
                         public UTDateTimePickerDelegate,
                         public PLEditor {
    Q_OBJECT
public:
    // Counts of shown rows with a value in each indicator column and the widest icons row.
    struct ShownCounts {
        std::array<int, 4> rows {};
        int iconsWidth = 0;
        bool operator==(const ShownCounts& other) const = default;
    };

    explicit IXOutlineMapView(QWidget* parent = nullptr);
    ~IXOutlineMapView() override;

    // --- Document viewing ---
    void attachToController(IXWindowControlling* controller);
    void detachFromController() override;
    IXLayoutContext* layoutContext() const override { return m_context.get(); }
    PLAffineTransform documentViewTransform() const override;
    IXOutlineModel* outlineModel() const { return m_model; }
    // The outline showing the context (whose own view is none, as it draws no cells), or null:
    // the tools that lay views over the rows find it here.
    static IXOutlineMapView* outlineForContext(const IXLayoutContext* context);
    // The tags and tools the pointer starts over the indicator cells.
    IXOutlineHoverTags* hoverTags() const { return m_hoverTags; }

    // --- Columns ---
    bool autoHideEmptyColumns() const { return m_autoHide; }
    void setAutoHideEmptyColumns(bool flag);
    // Switches a column on or off (by model column); the title cannot be switched off.
    void toggleColumn(int column);
    QStringList disabledColumns() const;
    // The header's column menu (items carry the model column, -2 the auto-hide item).
    QMenu* columnMenu() const { return m_columnMenu; }
    ShownCounts shownCounts() const { return m_counts; }
    // The same counts by a walk over every shown row.
    ShownCounts shownColumnCounts() const;
    // Reads the date style from the document's time scale.
    void setupTimeFormat();

    // --- Rows ---
    QModelIndex indexForBranch(const IXBranchNode* branch, int column) const;
    IXBranchNode* branchForIndex(const QModelIndex& index) const;
    // Indent: the row's branch becomes the last sub-branch of its previous sibling.
    void incIdentationForRow(const QModelIndex& index);
    // Outdent: the branch follows its parent, taking the siblings after it as sub-branches.
    void decIdentationForRow(const QModelIndex& index);
    // Moves the selected branch one place up or down among its siblings.
    void moveSelectedBranch(bool up);
    // Opens the title, start or end cell of the selected row for editing.
    Q_INVOKABLE void editStartDate(QObject* sender);
    Q_INVOKABLE void editEndDate(QObject* sender);
    Q_INVOKABLE bool validateMenuItem(QAction* item);
    // Brings the rows' expansion in step with every branch's collapsed flag.
    void updateCollapse();

    // --- Printing ---
    // The printing view draws the outline while this is set; clearing it detaches a view
    // that is in no window.
    void setNeededForPrinting(bool needed);
    bool isNeededForPrinting() const { return m_neededForPrinting; }
    // The header and every shown row stacked, from (0, 0), in table units.
    PLRect printBounds() const;
    // Draws the header and the shown rows in that rectangle (y-down from its top-left), only
    // the rows meeting the painter's clip.
    void drawForPrinting(QPainter& painter) const;

    // --- Editing ---
    // Whether a cell editor is open.
    bool isEditing() const { return state() == QAbstractItemView::EditingState; }
    bool commitEditing() override;
    void discardEditing() override;

    // --- Notices ---
    bool respondsToSelector(std::string_view selector) const override;
    void notifiedOfLayoutContextWillInvalidate(IXLayoutContext* context) override;
    void notifiedOfLayoutContextDidChangeSelection(IXLayoutContext* context, const IXSelection& selection) override;
    void notifiedOfLayoutContextDidChangeFilter(IXLayoutContext* context,
                                                const std::shared_ptr<IXBranchNode>& filter) override;
    void notifiedOfStyleNode(IXStyleNode* style, const QString& property) override;

    // --- Date picker ---
    void dateTimePickerWillBeginEditingForCell(UTDateTimePicker* picker, UTDateTimeCell* cell) override;
    void dateTimePickerDidEndEditingForCell(UTDateTimePicker* picker, UTDateTimeCell* cell) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void paintEvent(QPaintEvent* event) override;

private:
    // One row for printing: its band, its cells through their delegates, its grid.
    void printRow(QPainter& painter, const QRect& rect, const QModelIndex& index) const;
    // The grid of a row (the header scrolled by the offset).
    void drawRowGrid(QPainter& painter, const QRect& row, int scrolled) const;
    void loadColumns();
    void applyColumns();
    void updateSelection();
    void postUpdateCollapse();
    void syncExpansion(const QModelIndex& index);
    void syncExpansionBelow(const QModelIndex& top);
    bool isShown(const QModelIndex& index) const;
    // Adds (sign 1) or takes away (-1) the row and its shown descendants, or only the
    // descendants.
    void countRows(const QModelIndex& index, int sign, bool includeSelf);
    void countRow(int flags, int iconsWidth, int sign);
    void rowWillChange(const QModelIndex& index, int oldFlags, int oldWidth, int newFlags, int newWidth);
    void rowExpansionChanged(const QModelIndex& index, bool expanded);
    void sendToController(IXCommand command);
    void startTitleEditing(QKeyEvent* event);
    void showColumnMenu(const QPoint& globalPosition);
    void buildColumnMenu();
    void endDateRefused();
    IXOpenDocument* openDocument() const;
    QVariantMap* options() const;

    IXOutlineModel* m_model = nullptr;
    IXOutlineHoverTags* m_hoverTags = nullptr;
    std::unique_ptr<IXLayoutContext> m_context;
    IXWindowControlling* m_controller = nullptr;
    std::shared_ptr<IXDocumentNode> m_documentNode;
    UTDateTimeCell* m_dateCell = nullptr;
    UTImageSetCell* m_iconsCell = nullptr;
    QMenu* m_columnMenu = nullptr;
    IXOpenDocument* m_editingDocument = nullptr;
    QPersistentModelIndex m_editedIndex;
    bool m_autoHide = false;
    bool m_postedCollapse = false;
    bool m_neededForPrinting = false;
    // While the view follows the model or the context, its own signals are not the user's.
    int m_syncing = 0;
    ShownCounts m_counts;
    // Shown rows by icons width, for the widest.
    std::map<int, int> m_iconWidths;
};
