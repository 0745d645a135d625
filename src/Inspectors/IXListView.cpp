#include "Inspectors/IXListView.h"

#include "Platform/Core/PLRunLoop.h"

#include <QChildEvent>
#include <QResizeEvent>

#include <algorithm>

namespace {

constexpr std::string_view TileKey = "tile";

QList<QWidget*> stackedChildren(const QWidget* view)
{
    return view->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
}

}  // namespace

IXListView::IXListView(QWidget* parent)
    : QWidget(parent)
{
}

IXListView::~IXListView()
{
    PLRunLoop::cancel(this);
}

void IXListView::setNeedsTile()
{
    if (m_needsTile) return;
    m_needsTile = true;
    PLRunLoop::perform(this, TileKey, [this] { tile(); });
}

void IXListView::tile()
{
    if (!m_needsTile) return;
    PLRunLoop::cancel(this, TileKey);
    // Still marked while the children move, so that their resize notices ask for no pass.
    int y = 0;
    int widest = 0;
    const QList<QWidget*> children = stackedChildren(this);
    for (QWidget* child : children) {
        if (child->isWindow()) continue;
        child->move(0, y);
        y += child->height();
        widest = std::max(widest, child->width());
    }
    for (QWidget* child : children)
        if (!child->isWindow() && child->sizePolicy().horizontalPolicy() & QSizePolicy::GrowFlag)
            child->resize(widest, child->height());
    resize(widest, y);
    if (parentWidget()) parentWidget()->update();
    m_needsTile = false;
}

void IXListView::removeAllSubviews()
{
    qDeleteAll(stackedChildren(this));
    setNeedsTile();
}

void IXListView::childEvent(QChildEvent* event)
{
    QWidget::childEvent(event);
    // A child being deleted is no longer a widget by the time it leaves.
    if (event->removed()) {
        setNeedsTile();
        return;
    }
    QObject* child = event->child();
    if (event->added() && child->isWidgetType()) {
        child->installEventFilter(this);
        setNeedsTile();
    }
}

bool IXListView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize && watched->parent() == this) setNeedsTile();
    return QWidget::eventFilter(watched, event);
}

void IXListView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // Children that grow follow the list's width.
    if (event->oldSize().width() == width()) return;
    for (QWidget* child : stackedChildren(this))
        if (!child->isWindow() && child->sizePolicy().horizontalPolicy() & QSizePolicy::GrowFlag)
            child->resize(width(), child->height());
}
