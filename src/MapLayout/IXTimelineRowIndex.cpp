#include "MapLayout/IXTimelineRowIndex.h"

#include <algorithm>
#include <cmath>
#include <vector>
#include <limits>

struct IXTimelineRowIndex::Node {
    float bottom;
    float top;
    std::int64_t id;
    std::uint64_t priority;
    // bottom minus the top of the row before (or the floor).
    double gap = 0;
    // The largest gap in the subtree, and the highest top in it.
    double maxGap = 0;
    float maxTop = 0;
    NodePtr left, right;
};

namespace {
bool keyLess(float bottomA, std::int64_t idA, float bottomB, std::int64_t idB)
{
    return bottomA < bottomB || (bottomA == bottomB && idA < idB);
}
}

IXTimelineRowIndex::IXTimelineRowIndex(float floor) : m_floor(floor) {}

IXTimelineRowIndex::~IXTimelineRowIndex()
{
    // Iteratively, so that a tall degenerate subtree cannot exhaust the stack.
    std::vector<NodePtr> pending;
    if (m_root) pending.push_back(std::move(m_root));
    while (!pending.empty()) {
        NodePtr node = std::move(pending.back());
        pending.pop_back();
        if (node->left) pending.push_back(std::move(node->left));
        if (node->right) pending.push_back(std::move(node->right));
    }
}

void IXTimelineRowIndex::update(Node* node)
{
    node->maxGap = node->gap;
    node->maxTop = node->top;
    for (const Node* child : {node->left.get(), node->right.get()}) {
        if (!child) continue;
        node->maxGap = std::max(node->maxGap, child->maxGap);
        node->maxTop = std::max(node->maxTop, child->maxTop);
    }
}

IXTimelineRowIndex::NodePtr IXTimelineRowIndex::merge(NodePtr left, NodePtr right)
{
    if (!left) return right;
    if (!right) return left;
    if (left->priority > right->priority) {
        left->right = merge(std::move(left->right), std::move(right));
        update(left.get());
        return left;
    }
    right->left = merge(std::move(left), std::move(right->left));
    update(right.get());
    return right;
}

void IXTimelineRowIndex::split(NodePtr node, float bottom, std::int64_t id, NodePtr& left, NodePtr& right)
{
    if (!node) {
        left.reset();
        right.reset();
        return;
    }
    if (keyLess(node->bottom, node->id, bottom, id)) {
        NodePtr rest;
        split(std::move(node->right), bottom, id, rest, right);
        node->right = std::move(rest);
        update(node.get());
        left = std::move(node);
    } else {
        NodePtr rest;
        split(std::move(node->left), bottom, id, left, rest);
        node->left = std::move(rest);
        update(node.get());
        right = std::move(node);
    }
}

const IXTimelineRowIndex::Node* IXTimelineRowIndex::predecessor(float bottom, std::int64_t id) const
{
    const Node* found = nullptr;
    for (const Node* node = m_root.get(); node;) {
        if (keyLess(node->bottom, node->id, bottom, id)) {
            found = node;
            node = node->right.get();
        } else {
            node = node->left.get();
        }
    }
    return found;
}

IXTimelineRowIndex::Node* IXTimelineRowIndex::successor(float bottom, std::int64_t id) const
{
    Node* found = nullptr;
    for (Node* node = m_root.get(); node;) {
        if (keyLess(bottom, id, node->bottom, node->id)) {
            found = node;
            node = node->left.get();
        } else {
            node = node->right.get();
        }
    }
    return found;
}

float IXTimelineRowIndex::topBefore(float bottom, std::int64_t id) const
{
    const Node* before = predecessor(bottom, id);
    return before ? std::max(m_floor, before->top) : m_floor;
}

void IXTimelineRowIndex::refreshGap(float bottom, std::int64_t id)
{
    const double gap = double(bottom) - double(topBefore(bottom, id));
    std::vector<Node*> path;
    for (Node* node = m_root.get(); node;) {
        path.push_back(node);
        if (node->bottom == bottom && node->id == id) {
            node->gap = gap;
            break;
        }
        node = keyLess(bottom, id, node->bottom, node->id) ? node->left.get() : node->right.get();
    }
    for (auto it = path.rbegin(); it != path.rend(); ++it) update(*it);
}

void IXTimelineRowIndex::insert(float bottom, float top, std::int64_t id)
{
    m_seed ^= m_seed << 13;
    m_seed ^= m_seed >> 7;
    m_seed ^= m_seed << 17;
    auto node = std::make_unique<Node>();
    node->bottom = bottom;
    node->top = top;
    node->id = id;
    node->priority = m_seed;
    NodePtr left, right;
    split(std::move(m_root), bottom, id, left, right);
    m_root = merge(merge(std::move(left), std::move(node)), std::move(right));
    refreshGap(bottom, id);
    if (Node* next = successor(bottom, id)) refreshGap(next->bottom, next->id);
}

void IXTimelineRowIndex::remove(float bottom, std::int64_t id)
{
    NodePtr left, middle, right;
    split(std::move(m_root), bottom, id, left, middle);
    // The smallest key after (bottom, id): the same bottom with the next id.
    split(std::move(middle), bottom, id + 1, middle, right);
    m_root = merge(std::move(left), std::move(right));
    if (Node* next = successor(bottom, id)) refreshGap(next->bottom, next->id);
}

float IXTimelineRowIndex::lowestFreeY(float height) const
{
    float topSoFar = m_floor;
    const std::optional<float> found = search(m_root.get(), height, topSoFar);
    return found ? *found : topSoFar;
}

std::optional<float> IXTimelineRowIndex::search(const Node* node, float height, float& topSoFar)
{
    // In order: the first row whose bottom clears the highest top before it by the height.
    // Subtrees whose largest gap is certainly too small are skipped whole (the slack covers
    // the rounding of the float sum the placement compares with).
    if (!node) return std::nullopt;
    const double slack = 1e-6 * (1.0 + std::abs(double(node->maxTop)));
    if (node->maxGap + slack < double(height)) {
        topSoFar = std::max(topSoFar, node->maxTop);
        return std::nullopt;
    }
    if (std::optional<float> found = search(node->left.get(), height, topSoFar)) return found;
    if (node->bottom >= topSoFar + height) return topSoFar;
    topSoFar = std::max(topSoFar, node->top);
    return search(node->right.get(), height, topSoFar);
}
