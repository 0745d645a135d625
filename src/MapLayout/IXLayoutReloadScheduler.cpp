#include "MapLayout/IXLayoutReloadScheduler.h"

#include "MapLayout/IXLayoutContext.h"
#include "Platform/Core/PLRunLoop.h"

using namespace std::chrono_literals;

IXLayoutReloadScheduler::~IXLayoutReloadScheduler()
{
    PLRunLoop::cancel(this);
}

void IXLayoutReloadScheduler::post(unsigned layers)
{
    m_pending |= layers;
    postReload();
}

void IXLayoutReloadScheduler::postReload()
{
    if (m_reloadPosted || !m_context.controller()) return;
    m_reloadPosted = true;
    PLRunLoop::perform(this, "doReload", [this] {
        m_reloadPosted = false;
        if (m_context.layoutNode()) m_context.performLayout();
    }, 0ms, PLRunLoop::commonModes());
}

void IXLayoutReloadScheduler::postPerformLayout()
{
    if (m_performLayoutPosted || !m_context.controller()) return;
    m_performLayoutPosted = true;
    PLRunLoop::perform(this, "delayedLayout", [this] {
        m_performLayoutPosted = false;
        m_context.performLayoutIfNeeded();
    }, 0ms, PLRunLoop::commonModes());
}

bool IXLayoutReloadScheduler::takePending(Layer layer)
{
    const bool pending = (m_pending & layer) != 0;
    m_pending &= ~unsigned(layer);
    return pending;
}

void IXLayoutReloadScheduler::cancel()
{
    PLRunLoop::cancel(this);
    m_reloadPosted = false;
    m_performLayoutPosted = false;
}

void IXLayoutReloadScheduler::reloadDone()
{
    if (!m_reloadPosted || m_pending != 0) return;
    PLRunLoop::cancel(this, "doReload");
    m_reloadPosted = false;
}
