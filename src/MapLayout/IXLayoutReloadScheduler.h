#pragma once

class IXLayoutContext;

// When a layout context rebuilds its layers and lays them out. Model notices only mark layers
// and queue one reload for a later turn of the event loop (in the default, tracking and modal
// modes), however many arrive; the reload lays the context out, rebuilding the marked layers.
// Cells that become invalid queue one deferred layout the same way. Nothing is queued once the
// context has ended. Main thread only.
class IXLayoutReloadScheduler {
public:
    enum Layer : unsigned {
        Branches = 1,
        Floatings = 2,
        Connections = 4,
        Selection = 8,
        // Only the list of root branches changed: groups of roots still listed are kept.
        RootBranches = 16,
    };

    explicit IXLayoutReloadScheduler(IXLayoutContext& context) : m_context(context) {}
    ~IXLayoutReloadScheduler();
    IXLayoutReloadScheduler(const IXLayoutReloadScheduler&) = delete;
    IXLayoutReloadScheduler& operator=(const IXLayoutReloadScheduler&) = delete;

    // The branches bring their floatings' and connections' cells down with them.
    void postReloadBranches() { post(Branches | Floatings | Connections); }
    void postReloadRootBranches() { post(RootBranches | Floatings | Connections); }
    void postReloadFloatings() { post(Floatings); }
    void postReloadConnections() { post(Connections); }
    void postReloadSelection() { post(Selection); }
    void invalidateAll() { post(Branches | Floatings | Connections | Selection); }
    void postReload();
    void postPerformLayout();
    bool isReloadPosted() const { return m_reloadPosted; }
    bool isLayoutPosted() const { return m_performLayoutPosted; }

    // For the layout pass: whether any layer waits for its rebuild; marks layers; clears a
    // layer's mark, answering whether it was set.
    bool hasPendingLayers() const { return m_pending != 0; }
    void markPending(unsigned layers) { m_pending |= layers; }
    bool takePending(Layer layer);
    // Drops what is queued (the context is ending).
    void cancel();
    // Drops the queued reload once a layout done sooner left no layer to rebuild: a second
    // pass would only lay out and repaint the same cells again.
    void reloadDone();

private:
    void post(unsigned layers);

    IXLayoutContext& m_context;
    unsigned m_pending = 0;
    bool m_reloadPosted = false;
    bool m_performLayoutPosted = false;
};
