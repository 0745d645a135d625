#pragma once

#include "Inspectors/IXInspectorController.h"

#include <QPointer>

#include <memory>
#include <vector>

class IXBranchInspector;
class IXCommentInspector;
class IXConnectionInspector;
class IXInspectorView;
class IXMindMapInspector;
class IXPictureInspector;

// One inspector that stacks whichever attribute inspectors suit the selection: the branch
// inspector (with the picture inspector beneath it when the branches have pictures), or the
// picture, comment or connection inspector. It makes each on first need, owns them and hands
// them its controller and selection. A document selection has the map inspector's title but
// no view; with nothing to show the title is "Inspector".
class IXAttributesInspector : public IXInspectorController {
    Q_OBJECT
public:
    IXAttributesInspector();
    ~IXAttributesInspector() override;

    bool isApplicable() const override { return true; }
    QString inspectorTitle() const override;
    // Null when no sub-inspector has a view for the selection.
    QWidget* inspectorView() override;

    // The sub-inspectors made so far, in the order they were made.
    const std::vector<std::unique_ptr<IXInspectorController>>& inspectors() const { return m_inspectors; }
    // The views placed by the last inspectorView(), in order.
    QList<QWidget*> shownViews() const;

protected:
    void selectionWillChange() override;
    void selectionDidChange() override;

private:
    template <typename Inspector> Inspector* inspector(Inspector*& held) const;

    QPointer<IXInspectorView> m_containerView;
    mutable std::vector<std::unique_ptr<IXInspectorController>> m_inspectors;
    mutable IXMindMapInspector* m_mindMapInsp = nullptr;
    mutable IXBranchInspector* m_branchInsp = nullptr;
    mutable IXPictureInspector* m_pictureInsp = nullptr;
    mutable IXCommentInspector* m_commentInsp = nullptr;
    mutable IXConnectionInspector* m_connectionInsp = nullptr;
};
