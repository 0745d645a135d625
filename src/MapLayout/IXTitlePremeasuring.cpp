#include "MapLayout/IXTitlePremeasuring.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "MapLayout/IXBranchGroupCell.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXLayoutGroupCell.h"
#include "MapLayout/IXTextCell.h"
#include "MapLayout/IXTextMeasuringBatch.h"

#include <algorithm>

namespace {

IXTitlePremeasuring* innermost = nullptr;

}  // namespace

IXTitlePremeasuring::IXTitlePremeasuring(IXLayoutContext* context) : m_context(context), m_outer(innermost)
{
    innermost = this;
    if (m_context && m_context->branchLayer()) measure();
}

IXTitlePremeasuring::~IXTitlePremeasuring()
{
    innermost = m_outer;
}

std::optional<IXTitlePremeasuring::Title> IXTitlePremeasuring::take(const IXLayoutContext* context, const IXNode* node)
{
    for (IXTitlePremeasuring* premeasuring = innermost; premeasuring; premeasuring = premeasuring->m_outer)
        if (premeasuring->m_context == context) return node ? premeasuring->takeTitle(node) : std::nullopt;
    return std::nullopt;
}

std::optional<IXTitlePremeasuring::Title> IXTitlePremeasuring::takeTitle(const IXNode* node)
{
    size_t index = m_next;
    if (index >= m_nodes.size() || m_nodes[index] != node) {
        // Out of turn (the mind map's sides): a few are looked for, many are indexed.
        if (m_outOfTurn < MaxScans) {
            ++m_outOfTurn;
            index = size_t(std::find(m_nodes.begin(), m_nodes.end(), node) - m_nodes.begin());
        } else {
            if (m_index.isEmpty()) {
                m_index.reserve(qsizetype(m_nodes.size()));
                for (size_t i = 0; i < m_nodes.size(); ++i) m_index.insert(m_nodes[i], i);
            }
            index = m_index.value(node, m_nodes.size());
        }
        if (index >= m_nodes.size() || !m_nodes[index]) return std::nullopt;
    }
    m_next = index + 1;
    m_nodes[index] = nullptr;
    Entry& entry = m_entries[index];
    Title title{std::move(*entry.text), entry.natural};
    entry.text.reset();
    return title;
}

void IXTitlePremeasuring::addUnbuiltDescendants(IXBranchNode* branch)
{
    std::vector<IXBranchNode*> pending;
    const auto push = [&](IXBranchNode* parent) {
        if (parent->branches().empty()) return;
        const std::shared_ptr<const IXStyleNode> style = m_context->styleForReading(parent);
        if (style && style->branchCollapsed()) return;
        const auto& children = parent->branches();
        for (auto it = children.rbegin(); it != children.rend(); ++it) pending.push_back(it->get());
    };
    push(branch);
    while (!pending.empty()) {
        IXBranchNode* next = pending.back();
        pending.pop_back();
        m_nodes.push_back(next);
        push(next);
    }
}

void IXTitlePremeasuring::measure()
{
    // The branch groups, depth first (children in reverse on the stack): the layer's and
    // every group's own cells that are branch groups.
    std::vector<IXBranchGroupCell*> pending;
    const auto push = [&](const IXCellList& cells) {
        for (auto it = cells.rbegin(); it != cells.rend(); ++it)
            if (auto* group = dynamic_cast<IXBranchGroupCell*>(it->get())) pending.push_back(group);
    };
    push(m_context->branchLayer()->cells());
    while (!pending.empty()) {
        IXBranchGroupCell* group = pending.back();
        pending.pop_back();
        const size_t pendingBefore = pending.size();
        push(group->cells());
        IXNode* node = group->node();
        if (!node || !node->isBranch()) continue;
        m_nodes.push_back(node);
        // A group may make its children only when it is laid out (a mind-map main branch
        // waits for its side): their titles are taken from the map, as the group will show them.
        if (pending.size() == pendingBefore) addUnbuiltDescendants(static_cast<IXBranchNode*>(node));
    }

    const PLSize container(IXTextCell::MeasuringWidth, IXTextCell::MeasuringHeight);
    IXTextMeasurements& measurements = IXTextMeasurements::shared();
    IXTextMeasuringBatch batch(container);
    std::vector<size_t> misses;
    m_entries.reserve(m_nodes.size());
    for (const IXNode* node : m_nodes) {
        auto* branch = const_cast<IXNode*>(node);
        const std::shared_ptr<const IXStyleNode> style = m_context->styleForReading(branch);
        Entry& entry = m_entries.emplace_back(
            Entry{std::make_unique<PLAttributedString>(IXTextCell::textForNode(m_context, branch, style.get())), {}});
        if (std::optional<IXTextMeasurement> known = measurements.cached(*entry.text, container)) {
            entry.natural = *known;
        } else {
            misses.push_back(m_entries.size() - 1);
            batch.add(*entry.text);
        }
    }

    const std::vector<IXTextMeasurement> results = batch.finish();
    measurements.reserveMore(qsizetype(misses.size()));
    for (size_t i = 0; i < misses.size(); ++i) {
        Entry& entry = m_entries[misses[i]];
        entry.natural = results[i];
        measurements.insertMeasured(*entry.text, container, entry.natural);
    }
}
