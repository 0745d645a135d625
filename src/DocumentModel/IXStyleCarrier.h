#pragma once

#include <QVariantMap>

class IXNode;

// The styles that a node carries while it is outside a document: pictures, comments and
// connections (and branches) save their styles from the document as they leave it and give
// them back as they join one again, so that cut and paste, drag and drop and undo of a
// removal bring the styles along. The dictionary maps a layout name (or ".document" for the
// document sheet) to the node's attribute dictionary in that sheet.
class IXStyleCarrier {
public:
    // The saved styles; empty while the node is in a document.
    const QVariantMap& styleAttributes() const { return m_saved; }

    // Saves the node's styles from its document (replacing what was saved); call before the
    // node leaves the document.
    void save(const IXNode& node);
    // Gives the saved styles to the node's document and drops them; call after the node
    // joined the document.
    void restore(const IXNode& node);
    // Keeps the styles that a copy of another node takes along (see stylesForCopy).
    void take(const QVariantMap& styles) { m_saved = styles; }

    // The styles a copy of the node takes along: those it has in its document when it is in
    // one, else those it carries.
    static QVariantMap stylesForCopy(const IXNode& node, const IXStyleCarrier& carrier);

private:
    QVariantMap m_saved;
};
