#include "Inspectors/IXReferencesInspector.h"

#include "DocumentModel/IXCommentNode.h"
#include "DocumentModel/IXConnectionNode.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXLayoutNode.h"
#include "DocumentModel/IXPictureNode.h"
#include "DocumentModel/IXPropertyNames.h"
#include "DocumentModel/IXReferenceNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentModel/IXStyleSheetNode.h"
#include "Inspectors/IXInspectedController.h"
#include "Inspectors/IXInspectorForms.h"
#include "Inspectors/IXInspectorView.h"
#include "Platform/Core/PLAssert.h"

IXReferencesInspector::IXReferencesInspector()
    : m_bindings([this] { return undoManager(); })
{
}

IXReferencesInspector::~IXReferencesInspector()
{
    stopObserving();
    for (const QPointer<QWidget>& section : m_sections) delete section.data();
    delete m_containerView.data();
}

void IXReferencesInspector::addSection(QWidget* section)
{
    section->adjustSize();
    m_sections.emplace_back(section);
}

QWidget* IXReferencesInspector::inspectorView()
{
    if (!m_containerView) {
        m_containerView = new IXInspectorView;
        m_containerView->resize(100, 100);
        makeSections();
    }
    for (QWidget* child : m_containerView->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        child->hide();
        child->setParent(nullptr);
    }
    for (QWidget* section : sectionsToShow()) {
        section->setParent(m_containerView);
        section->show();
    }
    m_containerView->tile();
    return m_containerView;
}

IXInspectorView* IXReferencesInspector::containerView() const
{
    return m_containerView;
}

QList<QWidget*> IXReferencesInspector::shownSections() const
{
    if (!m_containerView) return {};
    return m_containerView->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
}

// --- Selection and notices ---

void IXReferencesInspector::selectionWillChange()
{
    stopObserving();
    m_nodes.clear();
    m_nodeSet.clear();
    m_nodeIds.clear();
    m_nodeIdsMade = false;
    m_layoutSheet.reset();
    m_layoutStyles.clear();
    m_layoutStylesValid = false;
}

void IXReferencesInspector::selectionDidChange()
{
    PL_ASSERT(m_nodes.empty());
    postUpdateControls();
    IXInspectedController* bound = controller();
    if (!bound || (bound->documentLayout() == PrintLayout && !isTakenInPrintView())) return;
    for (const std::shared_ptr<IXNode>& node : nodesOfSelection()) {
        if (auto reference = std::dynamic_pointer_cast<IXReferenceNode>(node)) {
            m_nodeSet.insert(reference.get());
            m_nodes.push_back(std::move(reference));
        }
    }
    if (m_nodes.empty()) return;
    if (const std::shared_ptr<IXLayoutNode> layout = bound->layoutNode()) m_layoutSheet = layout->styleSheet();
    if (const std::shared_ptr<IXDocumentNode> document = bound->documentNode()) {
        if (UTBroadcaster* broadcaster = document->observers()) {
            broadcaster->addObserver(this);
            m_observedDocument = document;
        }
    }
}

void IXReferencesInspector::stopObserving()
{
    if (const std::shared_ptr<IXDocumentNode> document = m_observedDocument.lock())
        if (UTBroadcaster* broadcaster = document->observers()) broadcaster->removeObserver(this);
    m_observedDocument.reset();
}

bool IXReferencesInspector::respondsToSelector(std::string_view selector) const
{
    return isAnyOf(selector,
                   {IXNodeDetach, IXStyleNodeDidChangeProperty, IXPictureNodeDidChangeProperty,
                    IXCommentNodeDidChangeProperty, IXConnectionNodeDidChangeProperty});
}

void IXReferencesInspector::notifiedOfNodeDetach(IXNode* node)
{
    if (m_nodeSet.contains(node)) setSelection(IXSelection());
}

bool IXReferencesInspector::rebuildsViewForNodeProperty(const QString& property) const
{
    // The connection line section follows whether the objects point at a branch.
    return property == IXProperties::ConnectionTargetRef || property == IXProperties::Connection;
}

void IXReferencesInspector::nodeDidChange(const IXNode* node, const QString& property)
{
    if (!m_nodeSet.contains(node)) return;
    if (rebuildsViewForNodeProperty(property)) notifyInspectorViewUpdate();
    postUpdateControls();
}

void IXReferencesInspector::notifiedOfPictureNode(IXPictureNode* node, const QString& property)
{
    nodeDidChange(node, property);
}

void IXReferencesInspector::notifiedOfCommentNode(IXCommentNode* node, const QString& property)
{
    nodeDidChange(node, property);
}

void IXReferencesInspector::notifiedOfConnectionNode(IXConnectionNode* node, const QString& property)
{
    nodeDidChange(node, property);
}

bool IXReferencesInspector::isSelectedStyle(const IXStyleNode* style)
{
    // Master and shared styles stand for every node that inherits from them.
    if (style->refId().isEmpty()) return true;
    if (!m_nodeIdsMade) {
        m_nodeIdsMade = true;
        m_nodeIds.reserve(qsizetype(m_nodes.size()));
        for (const auto& node : m_nodes)
            if (!node->existingUniqueId().isEmpty()) m_nodeIds.insert(node->existingUniqueId());
    }
    return m_nodeIds.contains(style->refId());
}

void IXReferencesInspector::notifiedOfStyleNode(IXStyleNode* style, const QString& property)
{
    if (m_nodes.empty() || !style || !isSelectedStyle(style)) return;
    m_layoutStylesValid = false;
    if (rebuildsViewForStyleProperty(property)) notifyInspectorViewUpdate();
    postUpdateControls();
}

void IXReferencesInspector::updateControls()
{
    if (!m_containerView) return;
    m_bindings.refresh();
    refreshControls();
}

// --- Reads and writes ---

const std::vector<std::shared_ptr<const IXStyleNode>>& IXReferencesInspector::layoutStyles() const
{
    if (!m_layoutStylesValid) {
        m_layoutStylesValid = true;
        m_layoutStyles.clear();
        if (m_layoutSheet) {
            m_layoutStyles.reserve(m_nodes.size());
            for (const auto& node : m_nodes) m_layoutStyles.push_back(m_layoutSheet->styleForReading(node.get()));
        }
    }
    return m_layoutStyles;
}

void IXReferencesInspector::writeStyles(const std::function<void(IXStyleNode&)>& setter)
{
    if (!m_layoutSheet) return;
    IXStyleSheetNode* sheet = m_layoutSheet.get();
    m_bindings.write([&] {
        for (const auto& node : m_nodes)
            if (const std::shared_ptr<IXStyleNode> style = sheet->styleForNode(node.get())) setter(*style);
    });
    // The nodes may now have styles of their own.
    m_layoutStylesValid = false;
}

IXMixedValue<QString> IXReferencesInspector::name() const
{
    return readNodes([](IXReferenceNode& node) { return node.title(); });
}

void IXReferencesInspector::setName(const QString& name)
{
    writeNodes([&](IXReferenceNode& node) { node.setTitle(name); });
}

bool IXReferencesInspector::hasConnectionTargets() const
{
    // A common target, or targets that differ: only no target at all leaves the line out.
    const IXMixedValue<const IXNode*> target
        = readNodes([](IXReferenceNode& node) -> const IXNode* { return node.floatingTargetNode().get(); });
    return target.isMultipleValues() || (target.hasValue() && target.value());
}

IXMixedValue<bool> IXReferencesInspector::includeInExport() const
{
    if (!m_nodes.empty() && exportFlagNeedsTarget() && !hasConnectionTargets())
        return IXMixedValue<bool>::notApplicable();
    return readNodes([](IXReferenceNode& node) { return node.includeInExport(); });
}

void IXReferencesInspector::setIncludeInExport(bool include)
{
    writeNodes([&](IXReferenceNode& node) { node.setIncludeInExport(include); });
}

IXMixedValue<PLColor> IXReferencesInspector::floatingLineColor() const
{
    return readStyles<PLColor>([](const IXStyleNode& s) { return s.floatingLineColor(); });
}

void IXReferencesInspector::setFloatingLineColor(const PLColor& color)
{
    writeStyles([&](IXStyleNode& s) { s.setFloatingLineColor(color); });
}

IXMixedValue<double> IXReferencesInspector::floatingLineWidth() const
{
    return IXInspectorForms::toDouble(readStyles<float>([](const IXStyleNode& s) { return s.floatingLineWidth(); }));
}

void IXReferencesInspector::setFloatingLineWidth(double width)
{
    writeStyles([&](IXStyleNode& s) { s.setFloatingLineWidth(float(width)); });
}
