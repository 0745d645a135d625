#pragma once

#include "DocumentModel/IXDocumentNodeObserver.h"
#include "DocumentModel/IXNode.h"

#include <QString>

#include <memory>

class IXStyleSheetNode;

// The names of the layouts of a document.
extern const QString IXLayoutMindMapName;   // "mindmap"
extern const QString IXLayoutTopDownName;   // "topdown"
extern const QString IXLayoutLeftRightName; // "leftright"
extern const QString IXLayoutOutlineName;   // "outline"
extern const QString IXLayoutTimelineName;  // "timeline"

// What one layout of a document keeps apart from the others: its own style sheet, whose
// master sheet is the document sheet. The document makes one layout node per name on demand
// (IXDocumentNode::layoutForName). Layout nodes are not written into "contents.xml"; each
// stores its sheet as the part "<name>.styles.xml" when the document saves, and only when
// the sheet was asked for since opening.
class IXLayoutNode : public IXNode, public IXDocumentNodeObserver {
public:
    explicit IXLayoutNode(const QString& layoutName);
    ~IXLayoutNode() override;

    // A new layout node of the same name, with no sheet and no id of its own yet.
    std::shared_ptr<IXNode> copy() const override;
    bool isLayout() const override { return true; }
    // A layout node is never read from or written to "contents.xml".
    bool initWithParent(IXNode* parent, const PLXMLElement& element, PLError* error) override;
    PLXMLElement XMLElement(PLXMLElement parent) override;

    const QString& layoutName() const { return m_layoutName; }
    // The layout's sheet, made on first use: read from the part "<name>.styles" when the node
    // is attached to a document, else empty.
    std::shared_ptr<IXStyleSheetNode> styleSheet();
    bool hasStyleSheet() const { return bool(m_styleSheet); }
    // The document node's style in this layout's sheet: the per-layout values of the
    // document's attributes. Null while detached.
    std::shared_ptr<IXStyleNode> style() override;

    void attachToDocumentNode(IXDocumentNode* document) override;
    void detachFromDocumentNode() override;

    bool respondsToSelector(std::string_view selector) const override;
    // Stores the sheet, when it exists, as "<name>.styles.xml" while no error is set.
    void notifiedOfDocumentNodeSave(IXDocumentNode* document, PLError* error) override;

private:
    QString m_layoutName;
    std::shared_ptr<IXStyleSheetNode> m_styleSheet;
};
