#include "Inspectors/IXAttributesInspector.h"

#include "Inspectors/IXBranchInspector.h"
#include "Inspectors/IXCommentInspector.h"
#include "Inspectors/IXConnectionInspector.h"
#include "Inspectors/IXInspectorForms.h"
#include "Inspectors/IXInspectorView.h"
#include "Inspectors/IXMindMapInspector.h"
#include "Inspectors/IXPictureInspector.h"

IXAttributesInspector::IXAttributesInspector() = default;

IXAttributesInspector::~IXAttributesInspector()
{
    // The sub-inspectors' views may sit in the container: they go first, with their owners.
    if (m_containerView)
        for (QWidget* child : m_containerView->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            child->setParent(nullptr);
    m_inspectors.clear();
    delete m_containerView.data();
}

template <typename Inspector> Inspector* IXAttributesInspector::inspector(Inspector*& held) const
{
    if (!held) {
        auto made = std::make_unique<Inspector>();
        made->setController(controller());
        made->setSelection(selection());
        held = made.get();
        m_inspectors.push_back(std::move(made));
    }
    return held;
}

QString IXAttributesInspector::inspectorTitle() const
{
    const IXSelection& current = selection();
    QString title;
    if (!current.isEmpty()) {
        if (current.isDocument())
            title = inspector(m_mindMapInsp)->inspectorTitle();
        else if (current.isBranches())
            title = inspector(m_branchInsp)->inspectorTitle();
        else {
            const IXInspectorController* candidates[]
                = {inspector(m_pictureInsp), inspector(m_commentInsp), inspector(m_connectionInsp)};
            for (const IXInspectorController* candidate : candidates) {
                if (candidate->isApplicable()) {
                    title = candidate->inspectorTitle();
                    break;
                }
            }
        }
    }
    return title.isEmpty() ? IXInspectorForms::localized("Inspector") : title;
}

QWidget* IXAttributesInspector::inspectorView()
{
    if (!m_containerView) {
        m_containerView = new IXInspectorView;
        m_containerView->resize(100, 100);
    }
    for (QWidget* child : m_containerView->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        child->hide();
        child->setParent(nullptr);
    }
    const IXSelection& current = selection();
    QList<QWidget*> views;
    if (!current.isEmpty() && !current.isDocument()) {
        if (current.isBranches()) {
            views.append(inspector(m_branchInsp)->inspectorView());
            if (inspector(m_pictureInsp)->isApplicable()) views.append(m_pictureInsp->inspectorView());
        } else if (!current.allPictures().isEmpty()) {
            if (inspector(m_pictureInsp)->isApplicable()) views.append(m_pictureInsp->inspectorView());
        } else if (!current.allFloatingComments().isEmpty()) {
            if (inspector(m_commentInsp)->isApplicable()) views.append(m_commentInsp->inspectorView());
        } else if (!current.allBranchConnections().isEmpty()) {
            if (inspector(m_connectionInsp)->isApplicable()) views.append(m_connectionInsp->inspectorView());
        }
    }
    views.removeAll(nullptr);
    if (views.isEmpty()) return nullptr;
    for (QWidget* view : views) {
        view->setParent(m_containerView);
        view->show();
    }
    m_containerView->tile();
    m_containerView->resize(m_containerView->width(), m_containerView->height() + 4);
    return m_containerView;
}

QList<QWidget*> IXAttributesInspector::shownViews() const
{
    if (!m_containerView) return {};
    return m_containerView->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
}

void IXAttributesInspector::selectionWillChange()
{
    for (const auto& sub : m_inspectors) sub->setSelection(IXSelection());
}

void IXAttributesInspector::selectionDidChange()
{
    for (const auto& sub : m_inspectors) {
        sub->setController(controller());
        sub->setSelection(selection());
    }
}
