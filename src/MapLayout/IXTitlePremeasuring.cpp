#include "MapLayout/IXTitlePremeasuring.h"

#include "DocumentModel/IXBranchNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXLayoutNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "MapLayout/IXLayoutContext.h"
#include "MapLayout/IXLayoutGroupCell.h"
#include "MapLayout/IXTextCell.h"
#include "MapLayout/IXTextMeasuringBatch.h"

#include <algorithm>

namespace {

IXTitlePremeasuring* innermost = nullptr;

}  // namespace

IXTitlePremeasuring::IXTitlePremeasuring(IXLayoutContext* context, Roots roots)
    : m_context(context)
    , m_outer(innermost)
{
    innermost = this;
    if (m_context && m_context->documentNode()) measure(roots);
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
    if (m_batch) finishMeasuring();
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

void IXTitlePremeasuring::measure(Roots roots)
{
    // The branches that get groups, in map order: a branch's group shows its children unless
    // the branch is collapsed in a layout that hides them (all but a mind-map root's).
    const bool mindMap = m_context->layoutNode() && m_context->layoutNode()->layoutName() == IXLayoutMindMapName;
    std::vector<IXBranchNode*> pending;
    const auto push = [&](const auto& branches) {
        for (auto it = branches.rbegin(); it != branches.rend(); ++it)
            if ((*it)->isBranch()) pending.push_back(static_cast<IXBranchNode*>(it->get()));
    };
    if (roots == AllRoots) {
        push(m_context->documentNode()->rootBranches());
    } else {
        const IXLayoutGroupCell* layer = m_context->branchLayer();
        const auto& all = m_context->documentNode()->rootBranches();
        for (auto it = all.rbegin(); it != all.rend(); ++it) {
            const IXLayoutCell* group = m_context->cells().namedCell(it->get());
            if ((*it)->isBranch() && !(group && layer && group->parent() == layer))
                pending.push_back(static_cast<IXBranchNode*>(it->get()));
        }
    }
    while (!pending.empty()) {
        IXBranchNode* branch = pending.back();
        pending.pop_back();
        m_nodes.push_back(branch);
        if (branch->branches().empty()) continue;
        if (!(mindMap && branch->level() == 0)) {
            const std::shared_ptr<const IXStyleNode> style = m_context->styleForReading(branch);
            if (style && style->branchCollapsed()) continue;
        }
        push(branch->branches());
    }

    const PLSize container(IXTextCell::MeasuringWidth, IXTextCell::MeasuringHeight);
    const IXTextMeasurements& measurements = IXTextMeasurements::shared();
    m_batch = std::make_unique<IXTextMeasuringBatch>(container);
    // The text last handed over with each string, to find repeats (the same title in the same
    // style) without measuring them again.
    QHash<QString, size_t> handedOver;
    m_entries.reserve(m_nodes.size());
    for (const IXNode* node : m_nodes) {
        auto* branch = const_cast<IXNode*>(node);
        const std::shared_ptr<const IXStyleNode> style = m_context->styleForReading(branch);
        const size_t index = m_entries.size();
        Entry& entry = m_entries.emplace_back(
            Entry{std::make_unique<PLAttributedString>(IXTextCell::textForNode(m_context, branch, style.get())), {}});
        if (std::optional<IXTextMeasurement> known = measurements.cached(*entry.text, container)) {
            entry.natural = *known;
            continue;
        }
        const auto same = handedOver.constFind(entry.text->string());
        if (same != handedOver.cend() && *m_entries[m_measured[*same]].text == *entry.text) {
            m_repeats.emplace_back(index, *same);
            continue;
        }
        handedOver.insert(entry.text->string(), m_measured.size());
        m_measured.push_back(index);
        m_batch->add(*entry.text);
    }
}

void IXTitlePremeasuring::finishMeasuring()
{
    const std::unique_ptr<IXTextMeasuringBatch> batch = std::move(m_batch);
    const std::vector<IXTextMeasurement> results = batch->finish();
    const PLSize container(IXTextCell::MeasuringWidth, IXTextCell::MeasuringHeight);
    IXTextMeasurements& measurements = IXTextMeasurements::shared();
    measurements.reserveMore(qsizetype(m_measured.size()));
    for (size_t i = 0; i < m_measured.size(); ++i) {
        Entry& entry = m_entries[m_measured[i]];
        entry.natural = results[i];
        measurements.insertMeasured(*entry.text, container, entry.natural);
    }
    for (const auto& [entry, result] : m_repeats) m_entries[entry].natural = results[result];
}
