#pragma once

#include "DocumentModel/IXBranchNodeObserver.h"
#include "DocumentModel/IXDocumentNodeObserver.h"
#include "Utilities/UTDateTime.h"

#include <QAbstractItemModel>
#include <QImage>

#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

class IXBranchNode;
class IXLayoutContext;
class IXDocumentNode;
class IXNode;

// The rows of the outline: one per branch, nested like the map, under the document's root
// branches or, with a filter, under the one filter branch. The model mirrors the tree it has
// announced (each row holds its branch alive) and follows the document's notices with precise
// row signals: a change of a branch's sub-branches (or of the root branches) is compared with
// the mirror and announced as the rows removed, inserted or moved, a change of any other
// property as that one row's data; the model is reset only when the filter changes or the
// document is exchanged.
//
// Columns, in their one order: picture, comment, attachment, icons (indicators), title (the
// tree column, editable), start and end (dates, editable). The indicators' decoration is a
// 10-by-10 picture (the icons column answers the branch's icons under IconsRole); the dates
// are UTDateTime values for the date cell. Editing the title, the begin or the end date changes the branch (undoable);
// an end date before the begin date is refused and reported through endDateRefused.
//
// Drags carry the dragged branches as the text form of a selection ("text/plain"); a drop
// moves the topmost of them (a row below another dragged row moves with it) under the drop
// row, or to the root level, in one undo step.
//
// Each row keeps what the indicator columns show (flags) and its icons' width, so the view
// keeps its column auto-hiding and icon column width by counts instead of walking every row.
class IXOutlineModel : public QAbstractItemModel, public IXBranchNodeObserver, public IXDocumentNodeObserver {
    Q_OBJECT
public:
    enum Column { Picture = 0, Comment, Attachment, Icons, Title, Start, End, ColumnCount };
    enum Flag { HasPicture = 1, HasComment = 2, HasAttachment = 4, HasIcons = 8 };
    // The identifiers stored in the document's disabled list, by column.
    static const QStringList& columnIdentifiers();
    // The flag an indicator column shows; 0 for the others.
    static int flagForColumn(int column);
    // The role answering a row's level (0 for root branches).
    static constexpr int LevelRole = Qt::UserRole + 1;
    // The role answering the icons column's pictures (a QList<QImage>).
    static constexpr int IconsRole = Qt::UserRole + 2;

    struct Row {
        std::shared_ptr<IXBranchNode> branch;
        Row* parent = nullptr;
        int index = 0;
        int flags = 0;
        int iconsWidth = 0;
        std::vector<std::unique_ptr<Row>> children;
    };

    explicit IXOutlineModel(QObject* parent = nullptr);
    ~IXOutlineModel() override;

    // Starts (or stops, with null) following the document; resets the rows.
    void setDocumentNode(IXDocumentNode* document);
    IXDocumentNode* documentNode() const { return m_document; }
    // With a filter the one top row is that branch; resets the rows.
    void setBranchFilter(const std::shared_ptr<IXBranchNode>& filter);
    const std::shared_ptr<IXBranchNode>& branchFilter() const { return m_filter; }
    // The context whose computed styles give the outline numbers; not owned.
    void setLayoutContext(IXLayoutContext* context);
    // The row whose title is being edited shows its plain title.
    void setEditingIndex(const QModelIndex& index) { m_editingIndex = index; }
    // The next end date set also sets the second end date to what this gives (the date
    // picker's end-time option); used once.
    void setEndDate2ForNextEndDate(std::function<std::optional<UTDateTime>(const UTDateTime&)> fn)
    {
        m_endDate2ForEndDate = std::move(fn);
    }
    // Tells the view to keep its per-row counts: called with a row's old and new flags and
    // icons width before they change.
    void setRowWillChange(std::function<void(const QModelIndex&, int, int, int, int)> handler)
    {
        m_rowWillChange = std::move(handler);
    }

    // The branch of a row, the row of a branch (invalid when it has none).
    IXBranchNode* branchForIndex(const QModelIndex& index) const;
    QModelIndex indexForBranch(const IXNode* branch, int column = Title) const;
    const Row* rowForIndex(const QModelIndex& index) const;
    const Row& rootRow() const { return m_root; }
    // The pictures of a branch's icons from the shared icon library, and their row's width.
    static QList<QImage> iconsForBranch(const IXBranchNode& branch);
    static int iconsWidthFor(const QList<QImage>& icons);
    // Recounts a row's flags from its branch.
    static int flagsForBranch(const IXBranchNode& branch);

    // --- QAbstractItemModel ---
    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    Qt::DropActions supportedDragActions() const override { return Qt::MoveAction; }
    Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }
    QStringList mimeTypes() const override;
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    bool canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                         const QModelIndex& parent) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;

    // The branches a drag carries, in selection order, that are not below another of them.
    QList<std::shared_ptr<IXBranchNode>> draggedBranches(const QMimeData* data) const;
    // Moves the branches under parent (null: the root level) from index on, as a drop does.
    void moveBranches(const QList<std::shared_ptr<IXBranchNode>>& branches, IXBranchNode* parent, int index);

    // Whether rows are being inserted, removed or moved (the view's selection follows the
    // context then, not the other way).
    bool isChangingRows() const { return m_changingRows > 0; }

    // --- Notices ---
    bool respondsToSelector(std::string_view selector) const override;
    void notifiedOfBranchNode(IXNode* branch, const QString& property) override;
    void notifiedOfDocumentNode(IXDocumentNode* document, const QString& property) override;

signals:
    // An end date earlier than the begin date was typed; nothing changed.
    void endDateRefused();
    // A property of the document that the view follows changed ("timeScaleType").
    void documentPropertyChanged(const QString& property);

private:
    void rebuild();
    void fill(Row& row);
    // The branches the mirror of a row should hold now.
    std::vector<std::shared_ptr<IXBranchNode>> currentChildren(const Row& row) const;
    // Brings a row's children in step with its branch by row signals.
    void syncChildren(Row& row);
    void refreshRow(Row& row);
    QModelIndex indexForRow(const Row* row, int column = 0) const;
    void indexRows(Row& row, int from);

    IXDocumentNode* m_document = nullptr;
    std::shared_ptr<IXBranchNode> m_filter;
    Row m_root;
    std::unordered_map<const IXNode*, Row*> m_rows;
    IXLayoutContext* m_context = nullptr;
    int m_changingRows = 0;
    QPersistentModelIndex m_editingIndex;
    std::function<std::optional<UTDateTime>(const UTDateTime&)> m_endDate2ForEndDate;
    std::function<void(const QModelIndex&, int, int, int, int)> m_rowWillChange;
};
