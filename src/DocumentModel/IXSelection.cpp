#include "DocumentModel/IXSelection.h"

#include "DocumentModel/IXApplicationServices.h"
#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXOpenDocument.h"
#include "DocumentModel/IXPictureNode.h"
#include "DocumentModel/IXReferenceNode.h"
#include "Platform/Core/PLAssert.h"

#include <QSet>
#include <QStringList>

#include <algorithm>

struct IXSelection::Data {
    NodeList nodes;
    // Made on first membership question; the list never changes afterwards.
    mutable std::optional<QSet<const IXNode*>> members;

    const QSet<const IXNode*>& memberSet() const
    {
        if (!members) {
            QSet<const IXNode*> set;
            set.reserve(nodes.size());
            for (const auto& node : nodes) set.insert(node.get());
            members = std::move(set);
        }
        return *members;
    }
};

namespace {

const IXSelection::NodeList& emptyList()
{
    static const IXSelection::NodeList empty;
    return empty;
}

std::shared_ptr<IXBranchNode> asBranch(const std::shared_ptr<IXNode>& node)
{
    return node && node->isBranch() ? std::static_pointer_cast<IXBranchNode>(node) : nullptr;
}

}  // namespace

IXSelection::IXSelection() = default;

IXSelection::IXSelection(std::shared_ptr<Data> data)
    : m_data(std::move(data))
{
}

IXSelection::IXSelection(const std::shared_ptr<IXNode>& node)
{
    if (node) m_data = std::make_shared<Data>(Data{{node}, std::nullopt});
}

IXSelection::IXSelection(const NodeList& nodes)
{
    if (nodes.isEmpty()) return;
    // A list without nulls is shared as it is (select all hands over every node of the map).
    const bool hasNull = std::any_of(nodes.begin(), nodes.end(), [](const auto& node) { return !node; });
    NodeList listed;
    if (hasNull) {
        listed.reserve(nodes.size());
        for (const auto& node : nodes) {
            if (node) listed.append(node);
        }
    } else {
        listed = nodes;
    }
    if (!listed.isEmpty()) m_data = std::make_shared<Data>(Data{std::move(listed), std::nullopt});
}

const IXSelection::NodeList& IXSelection::nodes() const
{
    return m_data ? m_data->nodes : emptyList();
}

IXSelection IXSelection::selectionByAddingNode(const std::shared_ptr<IXNode>& node) const
{
    if (!node) return *this;
    NodeList nodes = this->nodes();
    nodes.append(node);
    return IXSelection(nodes);
}

IXSelection IXSelection::selectionByRemovingNode(const IXNode* node) const
{
    if (!containsNode(node)) return *this;
    NodeList remaining;
    remaining.reserve(count());
    for (const auto& listed : nodes()) {
        if (listed.get() != node) remaining.append(listed);
    }
    return IXSelection(remaining);
}

IXSelection IXSelection::selectionByTriggeringNode(const std::shared_ptr<IXNode>& node) const
{
    return containsNode(node.get()) ? selectionByRemovingNode(node.get()) : selectionByAddingNode(node);
}

std::optional<IXSelection> IXSelection::selectionFromString(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(';'));
    if (parts.isEmpty() || parts.first().isEmpty()) return std::nullopt;
    IXApplicationServices* services = IXApplicationServices::shared();
    if (!services) return std::nullopt;
    std::shared_ptr<IXDocumentNode> document;
    for (IXOpenDocument* open : services->documents()) {
        std::shared_ptr<IXDocumentNode> candidate = open ? open->documentNode() : nullptr;
        if (candidate && candidate->isEqual(parts.first())) {
            document = std::move(candidate);
            break;
        }
    }
    if (!document) return std::nullopt;
    NodeList nodes;
    for (qsizetype i = 1; i < parts.size(); ++i) {
        if (std::shared_ptr<IXNode> node = document->nodeForId(parts[i])) nodes.append(std::move(node));
    }
    return IXSelection(nodes);
}

QString IXSelection::stringRepresentation() const
{
    const std::shared_ptr<IXNode> last = lastNode();
    IXDocumentNode* document = last ? last->documentNode() : nullptr;
    if (!document) return QString();
    QString text = document->uniqueId() + QLatin1Char(';');
    for (const auto& node : nodes()) text += node->uniqueId() + QLatin1Char(';');
    return text;
}

const std::shared_ptr<IXNode>& IXSelection::nodeAtIndex(qsizetype index) const
{
    PL_ASSERT_PARAM(index >= 0 && index < count(), "index < [_nodes count]");
    return nodes()[index];
}

std::shared_ptr<IXNode> IXSelection::lastNode() const
{
    return isEmpty() ? nullptr : nodes().last();
}

const std::shared_ptr<IXNode>& IXSelection::firstNode() const
{
    PL_ASSERT_PARAM(!isEmpty(), "[_nodes count] > 0");
    return nodes().first();
}

bool IXSelection::containsNode(const IXNode* node) const
{
    if (!node || !m_data) return false;
    // Small selections are scanned; larger ones ask the hash set.
    if (m_data->nodes.size() <= 8) {
        for (const auto& listed : m_data->nodes) {
            if (listed.get() == node) return true;
        }
        return false;
    }
    return m_data->memberSet().contains(node);
}

std::shared_ptr<IXNode> IXSelection::member(const IXNode* node) const
{
    if (!containsNode(node)) return nullptr;
    for (const auto& listed : nodes()) {
        if (listed.get() == node) return listed;
    }
    return nullptr;
}

bool IXSelection::isDocument() const
{
    return count() == 1 && nodes().first()->isDocument();
}

bool IXSelection::isBranches() const
{
    for (const auto& node : nodes()) {
        if (node->isBranch()) return true;
    }
    return false;
}

QList<std::shared_ptr<IXBranchNode>> IXSelection::allBranches() const
{
    QList<std::shared_ptr<IXBranchNode>> branches;
    branches.reserve(count());
    for (const auto& node : nodes()) {
        if (std::shared_ptr<IXBranchNode> branch = asBranch(node)) branches.append(std::move(branch));
    }
    return branches;
}

QList<std::shared_ptr<IXBranchNode>> IXSelection::allTopBranches() const
{
    // Each branch walks up its own ancestors against the set of selected branches: linear in
    // the selection times the depth, instead of comparing every pair.
    const QList<std::shared_ptr<IXBranchNode>> branches = allBranches();
    QSet<const IXBranchNode*> selected;
    selected.reserve(branches.size());
    for (const auto& branch : branches) selected.insert(branch.get());
    QList<std::shared_ptr<IXBranchNode>> top;
    for (const auto& branch : branches) {
        bool below = false;
        for (const IXBranchNode* parent = branch->parentBranch(); parent && !below; parent = parent->parentBranch())
            below = selected.contains(parent);
        if (!below) top.append(branch);
    }
    return top;
}

std::shared_ptr<IXBranchNode> IXSelection::topmostBranchNode() const
{
    std::shared_ptr<IXBranchNode> topmost;
    for (const auto& node : nodes()) {
        std::shared_ptr<IXBranchNode> branch = asBranch(node);
        if (branch && (!topmost || branch->level() < topmost->level())) topmost = std::move(branch);
    }
    return topmost;
}

IXSelection::NodeList IXSelection::allPictures() const
{
    NodeList pictures;
    for (const auto& node : nodes()) {
        if (!node->isBranch()) continue;
        if (const auto& picture = static_cast<IXBranchNode*>(node.get())->picture()) pictures.append(picture);
    }
    pictures.append(allFloatingPictures());
    return pictures;
}

QList<std::shared_ptr<IXReferenceNode>> IXSelection::allReferencesForType(int type) const
{
    QList<std::shared_ptr<IXReferenceNode>> references;
    for (const auto& node : nodes()) {
        if (!node->isBranch()) continue;
        for (const auto& reference : static_cast<IXBranchNode*>(node.get())->allReferences()) {
            if (reference->type() == type) references.append(reference);
        }
    }
    return references;
}

IXSelection::NodeList IXSelection::allFloatingPictures() const
{
    NodeList pictures;
    for (const auto& node : nodes()) {
        if (node->isPicture() && node->isFloating()) pictures.append(node);
    }
    return pictures;
}

IXSelection::NodeList IXSelection::allFloatingComments() const
{
    NodeList comments;
    for (const auto& node : nodes()) {
        if (node->isComment() && node->isFloating()) comments.append(node);
    }
    return comments;
}

IXSelection::NodeList IXSelection::allBranchConnections() const
{
    NodeList connections;
    for (const auto& node : nodes()) {
        if (node->isConnection()) connections.append(node);
    }
    return connections;
}

bool IXSelection::operator==(const IXSelection& other) const
{
    if (m_data == other.m_data) return true;
    const NodeList& mine = nodes();
    const NodeList& theirs = other.nodes();
    if (mine.size() != theirs.size()) return false;
    for (qsizetype i = 0; i < mine.size(); ++i) {
        if (mine[i].get() != theirs[i].get()) return false;
    }
    return true;
}

QString IXSelection::description() const
{
    QStringList ids;
    for (const auto& node : nodes()) {
        const QString& id = node->existingUniqueId();
        ids << (id.isEmpty() ? QStringLiteral("(no id)") : id);
    }
    return QStringLiteral("<IXSelection: 0x%1>\nNodes: (%2)")
        .arg(reinterpret_cast<quintptr>(m_data.get()), 0, 16)
        .arg(ids.join(QStringLiteral(", ")));
}
