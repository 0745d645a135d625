#pragma once

#include <cstdint>
#include <memory>
#include <optional>

// The occupied rows of the timeline's branch cells that still reach the x being placed: each
// row is a span [bottom, top) of y, where top includes the cell's 8-unit spacing. Spans are
// kept ordered by bottom in a treap whose nodes know the largest free gap below them, so the
// lowest free place for a new cell is found in O(log n) instead of by rescanning every cell.
//
// The gaps are measured between neighbours: rows placed by first fit never overlap by more
// than the spacing, so the highest top before a row is its predecessor's top. Main thread
// only; ids are the caller's, unique among the rows held.
class IXTimelineRowIndex {
public:
    IXTimelineRowIndex(float floor);
    ~IXTimelineRowIndex();
    IXTimelineRowIndex(const IXTimelineRowIndex&) = delete;
    IXTimelineRowIndex& operator=(const IXTimelineRowIndex&) = delete;

    void insert(float bottom, float top, std::int64_t id);
    void remove(float bottom, std::int64_t id);
    // The lowest y at or above the floor where a span of the height overlaps no row: the
    // floor or the top of a row.
    float lowestFreeY(float height) const;
    bool isEmpty() const { return !m_root; }

private:
    struct Node;
    using NodePtr = std::unique_ptr<Node>;

    static void update(Node* node);
    static NodePtr merge(NodePtr left, NodePtr right);
    // Splits into keys before (bottom, id) and the rest.
    static void split(NodePtr node, float bottom, std::int64_t id, NodePtr& left, NodePtr& right);
    const Node* predecessor(float bottom, std::int64_t id) const;
    Node* successor(float bottom, std::int64_t id) const;
    // Recomputes the gap of the row with the key and the summaries on its path.
    void refreshGap(float bottom, std::int64_t id);
    float topBefore(float bottom, std::int64_t id) const;
    static std::optional<float> search(const Node* node, float height, float& topSoFar);

    float m_floor;
    NodePtr m_root;
    std::uint64_t m_seed = 0x9E3779B97F4A7C15ull;
};
