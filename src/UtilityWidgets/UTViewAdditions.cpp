#include "UtilityWidgets/UTViewAdditions.h"

#include "Platform/Core/PLAssert.h"

std::vector<std::unique_ptr<QWidget>> UTViewAdditions::removeAllSubviews(QWidget* view)
{
    PL_ASSERT_PARAM(view, "view");
    std::vector<std::unique_ptr<QWidget>> removed;
    const QList<QWidget*> children = view->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    const bool updates = view->updatesEnabled();
    view->setUpdatesEnabled(false);
    for (QWidget* child : children) {
        // Windows parented to the view are not its contents.
        if (child->isWindow()) continue;
        child->hide();
        child->setParent(nullptr);
        removed.emplace_back(child);
    }
    view->setUpdatesEnabled(updates);
    view->update();
    return removed;
}
