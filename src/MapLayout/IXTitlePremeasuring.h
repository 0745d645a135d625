#pragma once

#include "MapLayout/IXTextMeasurements.h"
#include "Platform/Text/PLAttributedString.h"

#include <QHash>

#include <memory>
#include <optional>
#include <vector>

class IXLayoutContext;
class IXNode;
class IXTextMeasuringBatch;

// Measures, before a context builds its branch cells anew (a reload, after which every title is
// new to its cell), the title of every branch that will have a group: branches in map order
// (depth first, children in order), but for those under a collapsed branch that hides its
// children (a mind-map root never does). The misses are measured on other cores
// (IXTextMeasuringBatch) while the context builds its cells; identical texts are measured once.
// The first title taken waits for the rest and keeps the measurements in IXTextMeasurements in
// map order. While it lives, the context's text cells take their text and natural measurement
// from it (take) instead of building them again, so a large map pays each title's text once on
// the main thread. (The timeline's branches are not in groups: its cells measure their titles.)
//
// Texts are built on the main thread by IXTextCell::textForNode (the one definition of what
// a cell shows), as the model stands when the layout starts (a reload and a layout edit no
// titles nor text styles); workers see only those texts. A context given as null does
// nothing. Instances nest (the innermost is asked first). Main thread only.
class IXTitlePremeasuring {
public:
    struct Title {
        PLAttributedString text;
        IXTextMeasurement natural;  // in the text cell's measuring container
    };

    // Which roots' titles are measured: all, or only those without a group on the context's
    // branch layer (a reload that keeps the groups of the roots that stay).
    enum Roots { AllRoots, NewRootsOnly };

    explicit IXTitlePremeasuring(IXLayoutContext* context, Roots roots = AllRoots);
    ~IXTitlePremeasuring();
    IXTitlePremeasuring(const IXTitlePremeasuring&) = delete;
    IXTitlePremeasuring& operator=(const IXTitlePremeasuring&) = delete;

    // The title measured for the node's text cell in the context, once: a title taken is
    // gone (a cell that measures again builds its text anew).
    static std::optional<Title> take(const IXLayoutContext* context, const IXNode* node);

private:
    static constexpr int MaxScans = 32;

    // Collects the titles and hands the misses to the batch.
    void measure(Roots roots);
    // Waits for the batch and keeps its measurements (once, at the first title taken).
    void finishMeasuring();
    std::optional<Title> takeTitle(const IXNode* node);

    // A title as kept until taken. The text lives apart, where the workers read it, and goes
    // with the taking: a hundred thousand titles in one block would leave a hole in the heap
    // as large as they were once the layout ends.
    struct Entry {
        std::unique_ptr<PLAttributedString> text;
        IXTextMeasurement natural;
    };

    IXLayoutContext* m_context;
    std::vector<Entry> m_entries;
    // Measuring under way: the entry of each text handed to the batch (by the index of its
    // result), and the entries whose text repeats one handed over (entry, result).
    std::unique_ptr<IXTextMeasuringBatch> m_batch;
    std::vector<size_t> m_measured;
    std::vector<std::pair<size_t, size_t>> m_repeats;
    // The titles' nodes, null once taken. Cells ask mostly in the order of the titles: the
    // next one is tried first, then a search, then (past MaxScans searches) an index.
    std::vector<const IXNode*> m_nodes;
    size_t m_next = 0;
    int m_outOfTurn = 0;
    QHash<const IXNode*, size_t> m_index;
    IXTitlePremeasuring* m_outer;
};
