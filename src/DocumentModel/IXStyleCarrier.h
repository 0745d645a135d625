#pragma once

#include "DocumentModel/IXDocumentNode.h"

class IXNode;

// The styles that a node carries while it is outside a document: pictures, comments and
// connections (and branches) save their styles from the document as they leave it and give
// them back as they join one again, so that cut and paste, drag and drop and undo of a
// removal bring the styles along. The styles are kept by sheet, as the document gives them
// (IXDocumentNode::styleAttributesForNode).
class IXStyleCarrier {
public:
    using Styles = IXDocumentNode::StyleAttributesBySheet;

    // The saved styles; empty while the node is in a document.
    const Styles& styleAttributes() const { return m_saved; }

    // Saves the node's styles from its document (replacing what was saved); call before the
    // node leaves the document.
    void save(IXNode& node);
    // Gives the saved styles to the node's document and drops them; call after the node
    // joined the document.
    void restore(IXNode& node);
    // Keeps the styles that a copy of another node takes along (see stylesForCopy).
    void take(const Styles& styles) { m_saved = styles; }

    // The styles a copy of the node takes along: those it has in its document when it is in
    // one, else those it carries.
    static Styles stylesForCopy(const IXNode& node, const IXStyleCarrier& carrier);

private:
    Styles m_saved;
};
