#include "DocumentViews/IXOutlineModel.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXBranchNumbering.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXIconsStorage.h"
#include "DocumentModel/IXPropertyNames.h"
#include "DocumentModel/IXSelection.h"
#include "MapLayout/IXLayoutContext.h"
#include "Platform/Core/PLExceptionBoundary.h"
#include "Platform/System/PLLocalizedStrings.h"
#include "UtilityWidgets/UTDateTimeCell.h"

#include <QColor>
#include <QFont>
#include <QGuiApplication>
#include <QMimeData>
#include <QPainter>
#include <QPalette>

#include <algorithm>
#include <array>
#include <unordered_set>

namespace {

const QString TextMimeType = QStringLiteral("text/plain");

QImage makeColumnImage(int column)
{
    // Small marks drawn here rather than shipped: any 10-by-10 picture will do.
    QImage image(10, 10, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor ink(80, 80, 80);
    painter.setPen(QPen(ink, 1.0));
    switch (column) {
    case IXOutlineModel::Picture:
        painter.drawRect(QRectF(0.5, 1.5, 9, 7));
        painter.setBrush(ink);
        painter.drawPolygon(QPolygonF({QPointF(1.5, 7.5), QPointF(4.5, 4), QPointF(6.5, 6), QPointF(8.5, 7.5)}));
        break;
    case IXOutlineModel::Comment:
        painter.setBrush(QColor(250, 220, 90));
        painter.drawRect(QRectF(0.5, 0.5, 9, 9));
        painter.drawLine(QPointF(2.5, 3.5), QPointF(7.5, 3.5));
        painter.drawLine(QPointF(2.5, 6.5), QPointF(7.5, 6.5));
        break;
    case IXOutlineModel::Attachment:
        painter.drawEllipse(QRectF(2.5, 0.5, 5, 6));
        painter.drawLine(QPointF(5, 4), QPointF(5, 9.5));
        break;
    default:
        painter.setBrush(QColor(110, 160, 220));
        painter.drawEllipse(QRectF(0.5, 0.5, 9, 9));
        break;
    }
    return image;
}

const QImage& columnImage(int column)
{
    static const std::array<QImage, 4> images {makeColumnImage(0), makeColumnImage(1), makeColumnImage(2),
                                               makeColumnImage(3)};
    return images[size_t(std::clamp(column, 0, 3))];
}

QString localized(const char* key)
{
    return PLLocalizedStrings::string(QString::fromUtf8(key));
}

}  // namespace

const QStringList& IXOutlineModel::columnIdentifiers()
{
    static const QStringList identifiers {
        QStringLiteral("picture"), QStringLiteral("comment"), QStringLiteral("attachment"), QStringLiteral("icons"),
        QStringLiteral("title"),   QStringLiteral("start"),   QStringLiteral("end")};
    return identifiers;
}

int IXOutlineModel::flagForColumn(int column)
{
    switch (column) {
    case Picture:
        return HasPicture;
    case Comment:
        return HasComment;
    case Attachment:
        return HasAttachment;
    case Icons:
        return HasIcons;
    default:
        return 0;
    }
}

IXOutlineModel::IXOutlineModel(QObject* parent)
    : QAbstractItemModel(parent)
{
}

IXOutlineModel::~IXOutlineModel()
{
    if (m_document) m_document->removeFromObservers(this);
}

void IXOutlineModel::setDocumentNode(IXDocumentNode* document)
{
    if (document == m_document) return;
    if (m_document) m_document->removeFromObservers(this);
    m_document = document;
    if (m_document) m_document->addToObservers(this);
    if (!m_document) m_filter.reset();
    rebuild();
}

void IXOutlineModel::setLayoutContext(IXLayoutContext* context)
{
    m_context = context;
}

void IXOutlineModel::setBranchFilter(const std::shared_ptr<IXBranchNode>& filter)
{
    if (filter == m_filter) return;
    m_filter = filter;
    rebuild();
}

void IXOutlineModel::rebuild()
{
    beginResetModel();
    m_rows.clear();
    m_root.children.clear();
    fill(m_root);
    endResetModel();
}

std::vector<std::shared_ptr<IXBranchNode>> IXOutlineModel::currentChildren(const Row& row) const
{
    std::vector<std::shared_ptr<IXBranchNode>> children;
    if (&row == &m_root) {
        if (m_filter) {
            children.push_back(m_filter);
        } else if (m_document) {
            const IXDocumentNode::NodeList& roots = m_document->rootBranches();
            children.reserve(size_t(roots.size()));
            for (const auto& node : roots) {
                if (auto branch = std::dynamic_pointer_cast<IXBranchNode>(node)) children.push_back(std::move(branch));
            }
        }
        return children;
    }
    const IXBranchNode::BranchList& branches = row.branch->branches();
    children.assign(branches.begin(), branches.end());
    return children;
}

void IXOutlineModel::fill(Row& row)
{
    // Iterative, so that a deep chain of branches cannot exhaust the stack.
    std::vector<Row*> pending {&row};
    while (!pending.empty()) {
        Row* current = pending.back();
        pending.pop_back();
        std::vector<std::shared_ptr<IXBranchNode>> children = currentChildren(*current);
        current->children.reserve(children.size());
        for (auto& branch : children) {
            auto child = std::make_unique<Row>();
            child->branch = std::move(branch);
            child->parent = current;
            child->index = int(current->children.size());
            child->flags = flagsForBranch(*child->branch);
            child->iconsWidth = (child->flags & HasIcons) ? iconsWidthFor(iconsForBranch(*child->branch)) : 0;
            m_rows[child->branch.get()] = child.get();
            pending.push_back(child.get());
            current->children.push_back(std::move(child));
        }
    }
}

void IXOutlineModel::indexRows(Row& row, int from)
{
    for (size_t i = size_t(std::max(from, 0)); i < row.children.size(); ++i) row.children[i]->index = int(i);
}

int IXOutlineModel::flagsForBranch(const IXBranchNode& branch)
{
    int flags = 0;
    if (branch.picture()) flags |= HasPicture;
    if (branch.comment()) flags |= HasComment;
    if (branch.referencesCount() > 0) flags |= HasAttachment;
    if (!branch.icons().isEmpty()) flags |= HasIcons;
    return flags;
}

QList<QImage> IXOutlineModel::iconsForBranch(const IXBranchNode& branch)
{
    if (branch.icons().isEmpty()) return {};
    IXIconsStorage* storage = IXIconsStorage::sharedStorage();
    if (!storage) return {};
    QList<QImage> icons = storage->iconsForNames(branch.icons());
    // Icons show at the row's size, whatever size the library keeps them at.
    for (QImage& icon : icons) {
        if (icon.height() != 12) icon = icon.scaled(12, 12, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    }
    return icons;
}

int IXOutlineModel::iconsWidthFor(const QList<QImage>& icons)
{
    // The width of UTImageSetCell's row: the pictures one point apart.
    int width = 0;
    for (const QImage& icon : icons) width += icon.width() + (width > 0 ? 1 : 0);
    return width;
}

void IXOutlineModel::syncChildren(Row& row)
{
    const std::vector<std::shared_ptr<IXBranchNode>> now = currentChildren(row);
    std::vector<std::unique_ptr<Row>>& old = row.children;
    const size_t oldSize = old.size(), newSize = now.size();
    size_t prefix = 0;
    while (prefix < oldSize && prefix < newSize && old[prefix]->branch == now[prefix]) ++prefix;
    size_t suffix = 0;
    while (suffix < oldSize - prefix && suffix < newSize - prefix
           && old[oldSize - 1 - suffix]->branch == now[newSize - 1 - suffix])
        ++suffix;
    const size_t oldMiddle = oldSize - prefix - suffix, newMiddle = newSize - prefix - suffix;
    if (oldMiddle == 0 && newMiddle == 0) return;
    const QModelIndex parent = indexForRow(&row);
    ++m_changingRows;
    struct Done {
        int& count;
        ~Done() { --count; }
    } done {m_changingRows};

    // One branch moved within the same list: a rotation of the middle by one place.
    if (oldMiddle == newMiddle && oldMiddle > 1) {
        const size_t first = prefix, last = prefix + oldMiddle - 1;
        bool down = old[first]->branch == now[last], up = old[last]->branch == now[first];
        for (size_t i = 0; down && i + 1 < oldMiddle; ++i) down = old[first + 1 + i]->branch == now[first + i];
        for (size_t i = 0; up && i + 1 < oldMiddle; ++i) up = old[first + i]->branch == now[first + 1 + i];
        if (down || up) {
            if (down) {
                beginMoveRows(parent, int(first), int(first), parent, int(last + 1));
                std::rotate(old.begin() + long(first), old.begin() + long(first) + 1, old.begin() + long(last) + 1);
            } else {
                beginMoveRows(parent, int(last), int(last), parent, int(first));
                std::rotate(old.begin() + long(first), old.begin() + long(last), old.begin() + long(last) + 1);
            }
            indexRows(row, int(first));
            endMoveRows();
            return;
        }
    }

    if (oldMiddle > 0) {
        beginRemoveRows(parent, int(prefix), int(prefix + oldMiddle - 1));
        std::vector<Row*> gone;
        for (size_t i = prefix; i < prefix + oldMiddle; ++i) gone.push_back(old[i].get());
        while (!gone.empty()) {
            Row* current = gone.back();
            gone.pop_back();
            auto found = m_rows.find(current->branch.get());
            if (found != m_rows.end() && found->second == current) m_rows.erase(found);
            for (const auto& child : current->children) gone.push_back(child.get());
        }
        // The rows go (and release their branches) only once the view has let go of them.
        std::vector<std::unique_ptr<Row>> removed(std::make_move_iterator(old.begin() + long(prefix)),
                                                  std::make_move_iterator(old.begin() + long(prefix + oldMiddle)));
        old.erase(old.begin() + long(prefix), old.begin() + long(prefix + oldMiddle));
        indexRows(row, int(prefix));
        endRemoveRows();
    }
    if (newMiddle > 0) {
        beginInsertRows(parent, int(prefix), int(prefix + newMiddle - 1));
        std::vector<std::unique_ptr<Row>> added;
        for (size_t i = prefix; i < prefix + newMiddle; ++i) {
            auto child = std::make_unique<Row>();
            child->branch = now[i];
            child->parent = &row;
            child->flags = flagsForBranch(*child->branch);
            child->iconsWidth = (child->flags & HasIcons) ? iconsWidthFor(iconsForBranch(*child->branch)) : 0;
            m_rows[child->branch.get()] = child.get();
            fill(*child);
            added.push_back(std::move(child));
        }
        old.insert(old.begin() + long(prefix), std::make_move_iterator(added.begin()),
                   std::make_move_iterator(added.end()));
        indexRows(row, int(prefix));
        endInsertRows();
    }
}

void IXOutlineModel::refreshRow(Row& row)
{
    const int flags = flagsForBranch(*row.branch);
    const int width = (flags & HasIcons) ? iconsWidthFor(iconsForBranch(*row.branch)) : 0;
    if ((flags != row.flags || width != row.iconsWidth) && m_rowWillChange)
        m_rowWillChange(indexForRow(&row), row.flags, row.iconsWidth, flags, width);
    row.flags = flags;
    row.iconsWidth = width;
    emit dataChanged(indexForRow(&row, 0), indexForRow(&row, ColumnCount - 1));
}

// --- Look-ups ---

QModelIndex IXOutlineModel::indexForRow(const Row* row, int column) const
{
    if (!row || row == &m_root) return {};
    return createIndex(row->index, column, const_cast<Row*>(row));
}

const IXOutlineModel::Row* IXOutlineModel::rowForIndex(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this) return &m_root;
    return static_cast<const Row*>(index.internalPointer());
}

IXBranchNode* IXOutlineModel::branchForIndex(const QModelIndex& index) const
{
    if (!index.isValid() || index.model() != this) return nullptr;
    return static_cast<const Row*>(index.internalPointer())->branch.get();
}

QModelIndex IXOutlineModel::indexForBranch(const IXNode* branch, int column) const
{
    const auto found = m_rows.find(branch);
    return found == m_rows.end() ? QModelIndex() : indexForRow(found->second, column);
}

// --- QAbstractItemModel ---

QModelIndex IXOutlineModel::index(int row, int column, const QModelIndex& parent) const
{
    if (column < 0 || column >= ColumnCount || row < 0) return {};
    if (parent.isValid() && parent.column() != 0) return {};
    const Row* parentRow = rowForIndex(parent);
    if (size_t(row) >= parentRow->children.size()) return {};
    return createIndex(row, column, parentRow->children[size_t(row)].get());
}

QModelIndex IXOutlineModel::parent(const QModelIndex& child) const
{
    if (!child.isValid()) return {};
    const Row* row = static_cast<const Row*>(child.internalPointer());
    return indexForRow(row->parent);
}

int IXOutlineModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() && parent.column() != 0) return 0;
    return int(rowForIndex(parent)->children.size());
}

int IXOutlineModel::columnCount(const QModelIndex&) const
{
    return ColumnCount;
}

bool IXOutlineModel::hasChildren(const QModelIndex& parent) const
{
    return rowCount(parent) > 0;
}

QVariant IXOutlineModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid()) return {};
    const Row* row = rowForIndex(index);
    IXBranchNode& branch = *row->branch;
    const int column = index.column();
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        switch (column) {
        case Title: {
            if (role == Qt::EditRole || (m_editingIndex.isValid() && m_editingIndex.internalPointer() == row))
                return branch.title();
            QString number;
            if (m_context && m_context->controller()) {
                if (const auto style = m_context->styleForReading(&branch))
                    number = IXBranchNumbering::outlineBranchNumberForNode(*style, &branch);
            }
            return number + branch.title();
        }
        case Start:
            return UTDateTimeCell::variantFromDate(branch.beginDate());
        case End:
            return UTDateTimeCell::variantFromDate(branch.endDate());
        default:
            return {};
        }
    case Qt::DecorationRole:
        if (column >= Picture && column <= Attachment && (row->flags & flagForColumn(column)))
            return columnImage(column);
        return {};
    case IconsRole:
        if (column == Icons && (row->flags & HasIcons)) return QVariant::fromValue(iconsForBranch(branch));
        return {};
    case Qt::FontRole:
        if (column == Title) {
            QFont font = QGuiApplication::font();
            font.setBold(branch.level() <= 1);
            return font;
        }
        return {};
    case Qt::TextAlignmentRole:
        if (column == Start || column == End) return int(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    case Qt::BackgroundRole: {
        // Root branches and their children stand out as bands.
        const QPalette palette = QGuiApplication::palette();
        const QColor alternate = palette.color(QPalette::AlternateBase);
        if (branch.level() == 0) {
            const QColor tint = palette.color(QPalette::Highlight);
            return QColor::fromRgbF(alternate.redF() + (tint.redF() - alternate.redF()) * 0.3f,
                                    alternate.greenF() + (tint.greenF() - alternate.greenF()) * 0.3f,
                                    alternate.blueF() + (tint.blueF() - alternate.blueF()) * 0.3f);
        }
        if (branch.level() == 1) return alternate;
        return {};
    }
    case LevelRole:
        return branch.level();
    default:
        return {};
    }
}

QVariant IXOutlineModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal) return {};
    if (role == Qt::DecorationRole && section >= Picture && section <= Icons) return columnImage(section);
    if (role == Qt::DisplayRole) {
        if (section == Title) return localized("Branch Name");
        if (section == Start) return localized("Start Time");
        if (section == End) return localized("End Time");
    }
    if (role == Qt::TextAlignmentRole && (section == Start || section == End))
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags IXOutlineModel::flags(const QModelIndex& index) const
{
    if (!index.isValid()) return Qt::ItemIsDropEnabled;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
    const int column = index.column();
    if (column == Title || column == Start) result |= Qt::ItemIsEditable;
    // An end date needs a begin date to end.
    if (column == End && branchForIndex(index)->beginDate()) result |= Qt::ItemIsEditable;
    return result;
}

bool IXOutlineModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole) return false;
    IXBranchNode* branch = branchForIndex(index);
    if (!branch) return false;
    switch (index.column()) {
    case Title:
        branch->setTitle(value.toString());
        return true;
    case Start:
        branch->setBeginDate(UTDateTimeCell::dateFromVariant(value));
        return true;
    case End: {
        const std::optional<UTDateTime> date = UTDateTimeCell::dateFromVariant(value);
        if (date && branch->beginDate() && branch->beginDate()->compare(date) > 0) {
            emit endDateRefused();
            return false;
        }
        branch->setEndDate(date);
        if (date && m_endDate2ForEndDate) {
            if (const std::optional<UTDateTime> second = m_endDate2ForEndDate(*date)) branch->setEndDate2(second);
        }
        m_endDate2ForEndDate = nullptr;
        return true;
    }
    default:
        return false;
    }
}

// --- Drags ---

QStringList IXOutlineModel::mimeTypes() const
{
    return {TextMimeType};
}

QMimeData* IXOutlineModel::mimeData(const QModelIndexList& indexes) const
{
    IXSelection::NodeList nodes;
    std::unordered_set<const IXNode*> seen;
    for (const QModelIndex& index : indexes) {
        IXBranchNode* branch = branchForIndex(index);
        if (!branch || !seen.insert(branch).second) continue;
        nodes.append(branch->shared_from_this());
    }
    auto* data = new QMimeData;
    data->setText(IXSelection::selectionWithArray(nodes).stringRepresentation());
    return data;
}

QList<std::shared_ptr<IXBranchNode>> IXOutlineModel::draggedBranches(const QMimeData* data) const
{
    QList<std::shared_ptr<IXBranchNode>> branches;
    if (!data || !m_document || !data->hasText()) return branches;
    const QStringList parts = data->text().split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (parts.isEmpty() || !m_document->isEqual(parts.first())) return branches;
    std::unordered_set<const IXNode*> dragged;
    QList<std::shared_ptr<IXBranchNode>> all;
    for (qsizetype i = 1; i < parts.size(); ++i) {
        auto branch = std::dynamic_pointer_cast<IXBranchNode>(m_document->nodeForId(parts[i]));
        if (branch && dragged.insert(branch.get()).second) all.append(std::move(branch));
    }
    // A row below another dragged row travels with it: only the topmost move.
    for (const auto& branch : all) {
        bool nested = false;
        for (IXNode* above = branch->parentNode(); above && !nested; above = above->parentNode())
            nested = dragged.count(above) > 0;
        if (!nested) branches.append(branch);
    }
    return branches;
}

bool IXOutlineModel::canDropMimeData(const QMimeData* data, Qt::DropAction action, int, int column,
                                     const QModelIndex& parent) const
{
    if (action != Qt::MoveAction || column > 0) return false;
    const QList<std::shared_ptr<IXBranchNode>> branches = draggedBranches(data);
    if (branches.isEmpty()) return false;
    IXBranchNode* target = branchForIndex(parent);
    if (!target) return !m_filter;
    for (const auto& branch : branches) {
        if (target == branch.get() || target->isSubbranchOf(branch.get())) return false;
    }
    return true;
}

bool IXOutlineModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                                  const QModelIndex& parent)
try {
    if (!canDropMimeData(data, action, row, column, parent)) return false;
    moveBranches(draggedBranches(data), branchForIndex(parent), row < 0 ? 0 : row);
    // The model already moved the rows; the view must not remove the dragged ones again.
    return false;
} catch (...) {
    PLExceptionBoundary::caught();
    return false;
}

void IXOutlineModel::moveBranches(const QList<std::shared_ptr<IXBranchNode>>& branches, IXBranchNode* target, int index)
{
    if (!m_document) return;
    int running = index;
    for (const std::shared_ptr<IXBranchNode>& branch : branches) {
        IXNode* parentNode = branch->parentNode();
        IXBranchNode* parent = parentNode && parentNode->isBranch() ? static_cast<IXBranchNode*>(parentNode) : nullptr;
        const bool rootLevel = parentNode && parentNode->isDocument();
        if (!parent && !rootLevel) continue;
        const bool sameParent = target ? parent == target : rootLevel;
        auto count = [&] { return target ? int(target->branches().size()) : int(m_document->rootBranches().size()); };
        if (!sameParent) {
            if (parent)
                parent->removeBranch(branch);
            else
                m_document->removeRootBranch(branch);
            const int at = std::min(running, count());
            if (target)
                target->insertBranch(branch, at);
            else
                m_document->insertRootBranch(branch, at);
        } else {
            const int current
                = target ? int(target->branches().indexOf(branch)) : int(m_document->rootBranches().indexOf(branch));
            if (current >= 0 && current != running) {
                if (target)
                    target->removeBranch(branch);
                else
                    m_document->removeRootBranch(branch);
                const int at = std::min(running > current ? running - 1 : running, count());
                if (target)
                    target->insertBranch(branch, at);
                else
                    m_document->insertRootBranch(branch, at);
            }
        }
        ++running;
    }
}

// --- Notices ---

bool IXOutlineModel::respondsToSelector(std::string_view selector) const
{
    return isAnyOf(selector, {IXBranchNodeDidChangeProperty, IXDocumentNodeDidChangeProperty});
}

void IXOutlineModel::notifiedOfBranchNode(IXNode* branch, const QString& property)
{
    const auto found = m_rows.find(branch);
    if (found == m_rows.end()) return;
    Row& row = *found->second;
    if (property == IXProperties::Branches) syncChildren(row);
    refreshRow(row);
}

void IXOutlineModel::notifiedOfDocumentNode(IXDocumentNode* document, const QString& property)
{
    if (document != m_document) return;
    if (property == IXProperties::RootBranches) {
        if (!m_filter) syncChildren(m_root);
    } else if (property == IXProperties::TimeScaleType) {
        emit documentPropertyChanged(property);
    }
}
