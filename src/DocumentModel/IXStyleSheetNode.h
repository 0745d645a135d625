#pragma once

#include "DocumentModel/IXBranchNodeObserver.h"
#include "DocumentModel/IXNode.h"
#include "DocumentModel/IXStyleNode.h"
#include "DocumentModel/IXStyleNodeObserver.h"
#include "DocumentModel/IXStyleSheetStyles.h"
#include "Platform/XML/PLXMLDocument.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>

#include <array>
#include <bitset>
#include <cstdint>
#include <memory>

class IXDocumentNode;

// The styles of a document or of one layout: eight master styles shared by the nodes of a
// kind (canvas, root branch, main branch, sub-branch, sub-sub-branch, picture, comment,
// connection) and one node style per node that has a look of its own. A layout sheet's
// master sheet is the document sheet.
//
// Look-up of attribute n for style S in sheet T (attribute): S's own value; then, when S
// names a node and T has a master sheet M, the own value of M's style for that node; then
// T's style for the document node; then the master chain from S's master up to the canvas,
// each master first in T and then in M. Nothing found gives none, and the typed getters use
// their defaults. Look-ups create nothing.
//
// Sheets are read from and written to the parts "document.styles.xml" and
// "<layout>.styles.xml". A part that defines no master styles takes the masters of the
// application's default sheet of the same name. A part that has bytes but cannot be read
// (not XML, or not a style sheet) is left untouched in the package until a style of this
// sheet is changed, and the document gets a warning.
//
// Ownership: the sheet owns its styles; its parent (document or layout node) owns it. The
// master sheet is not owned; it is forgotten when the sheet leaves its document.
class IXStyleSheetNode : public IXNode, public IXStyleNodeObserver, public IXBranchNodeObserver {
public:
    using StyleList = QList<std::shared_ptr<IXStyleNode>>;

    IXStyleSheetNode();
    ~IXStyleSheetNode() override;
    // A new, empty sheet: styles are carried between sheets by their attributes
    // (applyMasterStyle, IXDocumentNode::styleAttributesForNode), never by copying a sheet.
    std::shared_ptr<IXNode> copy() const override;

    // The XML name of a master type ("canvas", ... "connection"); empty for 0 and others.
    static QString styleTypeName(int type);
    // The master type of a node's kind: branches by level (2 root, 3 main, 4 sub, 5 deeper),
    // pictures 6, comments 7, connections 8, the document 1; 0 for other nodes.
    static int styleTypeForNode(const IXNode* node);

    // More elements than any map's sheet holds (twenty attributes on each branch of a map of
    // 100,000): a part beyond it is refused while it is parsed, before its tree grows large.
    static constexpr qint64 MaximumElementCount = 2'000'000;

    // The sheet of the part name + ".xml" of the document, parented to parent: read when the
    // part has bytes; empty otherwise; with the default masters of the application's sheet
    // of that name when it defines none. Null when the part's XML could not be read as a
    // sheet; the caller then uses an empty sheet, which keeps the part's bytes untouched
    // (keepUnreadPart), and the document gets a warning that says why. A schema violation is
    // a warning on the document and the sheet is still read.
    static std::shared_ptr<IXStyleSheetNode> fromDocument(IXDocumentNode* document, IXNode* parent,
                                                          const QString& xmlName);
    // A detached sheet read from the bytes of a style-sheet part (only master styles, as no
    // node is known); null for empty or unreadable bytes, with the error when there is one.
    // A sheet read in spite of a schema violation comes with that violation as the error.
    static std::shared_ptr<IXStyleSheetNode> styleSheetFromData(const QByteArray& data, PLError* error = nullptr);
    // What an owner (the document or a layout node) uses on first use of its sheet:
    // fromDocument, or, when that gives none, an empty sheet parented to the owner that keeps
    // the unread part. A detached owner (no document) gets an empty sheet.
    static std::shared_ptr<IXStyleSheetNode> loadForOwner(IXDocumentNode* document, IXNode* owner,
                                                          const QString& xmlName);

    // The node's style, made (empty) on first request. A node is required ("node") and may
    // not be a layout ("![node isLayout]").
    std::shared_ptr<IXStyleNode> styleForNode(IXNode* node);
    // The node's style for reading, which shows the same values as styleForNode's but makes
    // no style: the node's own when the sheet has one, else the shared style of the node's
    // master type (isSharedStyle), which holds nothing and names no node. A node that has a
    // style in the master sheet gets its own (styleForNode), so that the look-up finds that
    // style by its ref. Like styleForNode, it makes the node's id; same requirements.
    std::shared_ptr<const IXStyleNode> styleForReading(IXNode* node);
    // True for the sheet's shared reading styles. Their "master" notice (one per deferred
    // update, see postUpdateAllCustomStyles) stands for every node read through them.
    bool isSharedStyle(const IXStyleNode* style) const;
    // The style of the node of that id, when the sheet has one.
    std::shared_ptr<IXStyleNode> existingStyleForRef(const QString& refId) const;
    // The master style of a type 0-8 ("type >= 0 && type < IXStyleType_Last"); the nine
    // masters are made on first use.
    std::shared_ptr<IXStyleNode> styleForMaster(int type);
    // The value that the style shows (see the look-up above). A style is required ("style").
    // Keys are found by slot, texts by name. What the chain gives past a style's own value and
    // its ref is kept per master type and name until a change (IXStyleSheetStyles).
    IXStyleValue attribute(IXStyleName name, const IXStyleNode* style) const;
    IXStyleSheetNode* masterStyleSheet() const { return m_styles.masterSheet(); }
    bool isLoading() const { return m_loading; }
    // The nine master styles (index = type), or none before first use.
    const StyleList& masters() const { return m_styles.masters(); }
    // The node styles, in no particular order.
    StyleList nodeStyles() const;

    // Replaces the master styles (undoable, "Apply Style"): nine styles become the masters,
    // anything else leaves fresh empty ones. Every node style then hears "master".
    void setMasters(const StyleList& masters);
    // setMasters with copies of the other sheet's masters, when it has nine.
    void applyMasterStyle(IXStyleSheetNode& other);
    // Removes every own attribute of the node's style (each undoable), then re-announces.
    void clearStyleForNode(IXNode* node);
    // Schedules one "master" notice for every node style, and one through a shared reading
    // style when any was handed out, on a later turn of the run loop; more requests before it
    // runs add nothing.
    void postUpdateAllCustomStyles();

    // True while the sheet stands in for a part whose bytes it could not read: saving leaves
    // the part alone until a style of the sheet is changed.
    bool keepsUnreadPart() const { return m_keepsUnreadPart; }
    void setKeepsUnreadPart(bool keeps) { m_keepsUnreadPart = keeps; }
    // Called by the sheet's styles after a change (not while loading).
    void styleDidChange();
    // Stores the sheet as the part name + ".xml" (nothing while keepsUnreadPart, or when
    // *error is already set).
    bool saveToPart(IXDocumentNode* document, const QString& name, PLError* error);

    // The "styles" element: "uid" when the sheet has an id, "version" and "revision" 1, the
    // master styles 1-8 that hold attributes, then the node styles that hold attributes in
    // ascending order of their refs.
    PLXMLElement XMLElement(PLXMLElement parent) override;
    // A document with the "styles" element as root, naming its schema "styles.xsd".
    PLXMLDocument XMLDocument();
    // Reads the master elements and the "style" elements of a "styles" element. A "style"
    // whose "ref" names no node of the document that can carry a style is dropped, an
    // unknown element name is logged and dropped, a repeated master or node style replaces
    // the earlier one. Fails (false, with an error) for a root that is not "styles" and when
    // a style cannot be read.
    bool initWithParent(IXNode* parent, const PLXMLElement& element, PLError* error) override;

    void attachToDocumentNode(IXDocumentNode* document) override;
    void detachFromDocumentNode() override;

    bool respondsToSelector(std::string_view selector) const override;
    // "level": the branch's style in this sheet follows its new depth.
    void notifiedOfBranchNode(IXNode* branch, const QString& property) override;
    // A change in the master sheet's style of a node is re-announced by this sheet's style
    // of the same node; a change of one of this sheet's masters reaches every node style.
    void notifiedOfStyleNode(IXStyleNode* style, const QString& property) override;

private:
    // styleForReading without the node's memo.
    std::shared_ptr<IXStyleNode> findStyleForReading(IXNode* node);
    void makeMastersIfNeeded();
    // Gives every master its type and fixed master link; makes fresh ones when there are none.
    void resetMasters();
    void resetStyleForNode(const IXNode* node);
    static void resetStyle(IXStyleNode& style, const IXNode* node);
    void updateAllCustomStyles();
    bool readStyleElement(const PLXMLElement& child, PLError* error);
    void writeContent(PLXMLElement element);
    friend class IXStyleNode;
    friend class IXStyleSheetNodeProbe;
    // The text groups of IXStyleNode's named getters.
    enum TextGroup { BranchTextGroup, FloatingTextGroup, TextGroupCount };
    // The text attributes of a group as a style of the master type that holds nothing shows
    // them, once made (by IXStyleNode::namedTextAttributes); kept like resolved values.
    std::optional<IXStyleTextAttributes>& resolvedTextAttributes(int group, int type) const
    {
        dropStaleResolved();
        return m_resolvedText[std::size_t(resolvedType(type))][std::size_t(group)];
    }
    // attribute() without copying: the reference holds until the next look-up or change.
    const IXStyleValue& shownValue(IXStyleName name, const IXStyleNode& style) const;
    // The master sheet's style of the node that the style names, when there is one.
    const IXStyleNode* masterSheetStyle(const IXStyleNode& style) const;
    // The part of the look-up that depends only on the style's master type: the document
    // node's style, then the master chain; kept per type and name (m_resolved), or per type
    // and key (m_resolvedKnown).
    const IXStyleValue& resolvedAttribute(const QString& name, int type) const;
    const IXStyleValue& resolvedKnownAttribute(int slot, int type) const;
    // What resolvedKnownAttribute found before, while it holds; null otherwise.
    const IXStyleValue* resolvedBefore(int slot, int type) const
    {
        if (m_resolvedAt != IXStyleSheetStyles::lookupChangeCount()) return nullptr;
        const KnownResolved& known = m_resolvedKnown[std::size_t(resolvedType(type))];
        return known.found[std::size_t(slot)] ? &known.values[std::size_t(slot)] : nullptr;
    }
    // Types outside the chain look at the document node's style only, as type 0 does.
    static int resolvedType(int type) { return type > IXStyleTypeNode && type < IXStyleType_Last ? type : 0; }
    // Forgets what was resolved when the change count moved on.
    void dropStaleResolved() const;
    IXStyleValue chainAttribute(IXStyleName name, int type) const;

    // Node styles, masters, shared reading styles (made on first use, never written to) and
    // the master sheet: every change passes through it.
    IXStyleSheetStyles m_styles{*this};
    // What resolvedAttribute found, by master type (0 for none) and name, while the change
    // count is m_resolvedAt. Values are shared, so a copy is cheap.
    mutable std::array<QHash<QString, IXStyleValue>, IXStyleType_Last> m_resolved;
    struct KnownResolved {
        std::array<IXStyleValue, IXStyleKeys::Count> values;
        std::bitset<IXStyleKeys::Count> found;
    };
    mutable std::array<KnownResolved, IXStyleType_Last> m_resolvedKnown;
    mutable std::array<std::array<std::optional<IXStyleTextAttributes>, TextGroupCount>, IXStyleType_Last> m_resolvedText;
    mutable std::uint64_t m_resolvedAt = ~std::uint64_t(0);
    bool m_loading = false;
    bool m_keepsUnreadPart = false;
};
