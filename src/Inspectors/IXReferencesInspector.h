#pragma once

#include "DocumentModel/IXCommentNodeObserver.h"
#include "DocumentModel/IXConnectionNodeObserver.h"
#include "DocumentModel/IXNodeObserver.h"
#include "DocumentModel/IXPictureNodeObserver.h"
#include "DocumentModel/IXStyleNodeObserver.h"
#include "Inspectors/IXBindings.h"
#include "Inspectors/IXInspectorController.h"

#include <QList>
#include <QPointer>
#include <QSet>
#include <QString>

#include <functional>
#include <memory>
#include <unordered_set>
#include <vector>

class IXDocumentNode;
class IXInspectorView;
class IXReferenceNode;
class IXStyleNode;
class IXStyleSheetNode;

// The shape that the picture, comment and connection inspectors share: the selected nodes of
// one kind, each node's style in the style sheet of the layout the window shows (read and
// written there, never in the document sheet), one section stack, and the bindings of its
// controls. Node properties are read and written on the nodes; common values show as such,
// differing ones as "Multiple Values", and one change of a control is one undo step over
// every node.
//
// The inspector observes its document once and filters the notices by its nodes and their
// styles; a detached node clears the selection. A subclass names its nodes, its sections and
// which changes rebuild its view.
class IXReferencesInspector : public IXInspectorController,
                              public IXNodeObserver,
                              public IXStyleNodeObserver,
                              public IXPictureNodeObserver,
                              public IXCommentNodeObserver,
                              public IXConnectionNodeObserver {
    Q_OBJECT
public:
    static constexpr int PrintLayout = 9;

    ~IXReferencesInspector() override;

    bool isApplicable() const override { return !m_nodes.empty(); }
    QWidget* inspectorView() override;

    const std::vector<std::shared_ptr<IXReferenceNode>>& nodes() const { return m_nodes; }
    IXInspectorView* containerView() const;
    // The sections shown, in their order.
    QList<QWidget*> shownSections() const;

    // --- Shared by the family ---
    IXMixedValue<QString> name() const;
    void setName(const QString& name);
    // Not applicable while no node is connected to a branch (floating objects only).
    IXMixedValue<bool> includeInExport() const;
    void setIncludeInExport(bool include);
    IXMixedValue<PLColor> floatingLineColor() const;
    void setFloatingLineColor(const PLColor& color);
    IXMixedValue<double> floatingLineWidth() const;
    void setFloatingLineWidth(double width);
    // Whether the nodes share a target branch or differ in it (the connection line applies).
    bool hasConnectionTargets() const;

    bool respondsToSelector(std::string_view selector) const override;
    void notifiedOfNodeDetach(IXNode* node) override;
    void notifiedOfStyleNode(IXStyleNode* style, const QString& property) override;
    void notifiedOfPictureNode(IXPictureNode* node, const QString& property) override;
    void notifiedOfCommentNode(IXCommentNode* node, const QString& property) override;
    void notifiedOfConnectionNode(IXConnectionNode* node, const QString& property) override;

protected:
    IXReferencesInspector();

    // The nodes of the selection this inspector shows.
    virtual QList<std::shared_ptr<IXNode>> nodesOfSelection() const = 0;
    virtual bool isTakenInPrintView() const { return false; }
    // Whether the export flag applies only to objects connected to a branch.
    virtual bool exportFlagNeedsTarget() const { return true; }
    // Makes the sections (parented to nothing) and binds their controls.
    virtual void makeSections() = 0;
    // The sections to show now, in order.
    virtual QList<QWidget*> sectionsToShow() const = 0;
    // Whether a change of the node property, or of the style attribute, changes the sections.
    virtual bool rebuildsViewForNodeProperty(const QString& property) const;
    virtual bool rebuildsViewForStyleProperty(const QString& property) const
    {
        (void)property;
        return false;
    }
    // Keeps a section for deletion with the inspector.
    void addSection(QWidget* section);
    virtual void refreshControls() { }

    void selectionWillChange() override;
    void selectionDidChange() override;
    void updateControls() override;

    template <typename T, typename Getter> IXMixedValue<T> readStyles(Getter getter) const;
    // Gives each node's layout style (made when missing) the change, in one undo step.
    void writeStyles(const std::function<void(IXStyleNode&)>& setter);
    template <typename Getter> auto readNodes(Getter getter) const { return IXMixedAttribute(m_nodes, getter); }
    template <typename Setter> void writeNodes(Setter setter)
    {
        m_bindings.write([&] {
            for (const auto& node : m_nodes) setter(*node);
        });
    }

    IXBindings m_bindings;

private:
    const std::vector<std::shared_ptr<const IXStyleNode>>& layoutStyles() const;
    void nodeDidChange(const IXNode* node, const QString& property);
    bool isSelectedStyle(const IXStyleNode* style);
    void stopObserving();

    QPointer<IXInspectorView> m_containerView;
    std::vector<QPointer<QWidget>> m_sections;
    std::vector<std::shared_ptr<IXReferenceNode>> m_nodes;
    std::unordered_set<const IXNode*> m_nodeSet;
    QSet<QString> m_nodeIds;
    bool m_nodeIdsMade = false;
    std::shared_ptr<IXStyleSheetNode> m_layoutSheet;
    mutable std::vector<std::shared_ptr<const IXStyleNode>> m_layoutStyles;
    mutable bool m_layoutStylesValid = false;
    std::weak_ptr<IXDocumentNode> m_observedDocument;
};

template <typename T, typename Getter> IXMixedValue<T> IXReferencesInspector::readStyles(Getter getter) const
{
    if (m_nodes.empty()) return IXMixedValue<T>::noSelection();
    if (!m_layoutSheet) return IXMixedValue<T>::notApplicable();
    return IXMixedAttribute(layoutStyles(), getter);
}
