#pragma once

#include "DocumentModel/IXNode.h"
#include "DocumentModel/IXTargetValue.h"
#include "DocumentModel/IXReferenceOpening.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QString>

#include <memory>
#include <optional>

class IXDocumentNode;

// A node that points at something outside itself: a link or attached file of a branch (type
// 0), and through its subclasses a comment or text note (1), a picture (2) and a connection
// (3). It keeps a title, a target reference (a location prefix and a value), an optional
// related link and three export flags; it resolves the target to a path, URL, package part,
// catalog item or node, reads the target's bytes, names what opening it means (the window
// controller opens it), and keeps the document's registry of additional folders in step with
// file targets.
//
// Ownership: the node owns its related link, whose parent is the node. Setters are undoable
// and announce the property through notifiedOfReferenceNode:didChangeProperty: (subclasses
// add their own notification).
//
// A package part ("local:") stays in its document: a copy of a reference to one takes the
// bytes along and stores them in the document it joins when that document lacks the part, so
// that pasting into another document (or detaching branches as a new one) keeps pictures and
// attached files. Notes handle their parts themselves.
class IXReferenceNode : public IXNode {
public:
    // Reference types.
    static constexpr int TypeLink = 0;
    static constexpr int TypeComment = 1;
    static constexpr int TypePicture = 2;
    static constexpr int TypeConnection = 3;

    // Subtypes: the kinds of attachment (type 0), then the two forms of a comment (type 1).
    static constexpr int SubtypeNone = 0;
    static constexpr int SubtypeFolder = 1;
    static constexpr int SubtypeFile = 2;
    static constexpr int SubtypeWeb = 3;
    static constexpr int SubtypeMail = 4;
    static constexpr int SubtypeText = 5;
    static constexpr int SubtypePicture = 6;
    static constexpr int SubtypeVideo = 7;
    static constexpr int SubtypeSound = 8;
    static constexpr int SubtypeFlash = 9;
    static constexpr int SubtypeFloatingComment = 10;
    static constexpr int SubtypeTextNote = 11;

    // Location kinds, derived from the target's prefix.
    static constexpr int LocationNone = 0;
    static constexpr int LocationFile = 1;     // "file:"
    static constexpr int LocationWeb = 2;      // "http:", "https:", "ftp:"
    static constexpr int LocationMail = 3;     // "mailto:"
    static constexpr int LocationLocal = 4;    // "local:" package part
    static constexpr int LocationCatalog = 5;  // "mmc:" catalog item
    static constexpr int LocationBranch = 6;   // "branch:" node of the document

    // Related links nested deeper than this in a file are left out when reading.
    static constexpr int MaxLinkDepth = 16;

    IXReferenceNode();
    ~IXReferenceNode() override;

    std::shared_ptr<IXNode> copy() const override;

    // --- Properties ---
    int type() const { return m_type; }
    void setType(int type);
    int subtype() const { return m_subtype; }
    void setSubtype(int subtype);
    // The title; when it is empty, the default title is stored as the title (without undo
    // or notification) and returned, so that a title once shown is also saved.
    QString title() override;
    virtual QString defaultTitle();
    void setTitle(const QString& title);
    const QString& targetRef() const { return m_targetRef; }
    // Re-registers a file target with the document's additional folders.
    void setTargetRef(const QString& targetRef);
    int targetLocation() const { return m_location; }
    // The target "file:" and the path.
    void setFilePath(const QString& path);
    const std::shared_ptr<IXReferenceNode>& relatedLink() const { return m_relatedLink; }
    void setRelatedLink(const std::shared_ptr<IXReferenceNode>& link);
    // The related link, made empty when there is none.
    std::shared_ptr<IXReferenceNode> addRelatedLink();
    bool includeInExport() const { return m_includeInExport; }
    void setIncludeInExport(bool include);
    bool htmlOpenInNewWindow() const { return m_htmlOpenInNewWindow; }
    void setHtmlOpenInNewWindow(bool openInNewWindow);
    bool htmlShowAsButton() const { return m_htmlShowAsButton; }
    void setHtmlShowAsButton(bool showAsButton);

    void notifyPropertyChange(const QString& property) override;

    // The node a floating picture or comment is placed by; references of other kinds have
    // none and ignore the setter.
    virtual void setFloatingTargetNode(const std::shared_ptr<IXNode>& node) {}

    // --- Targets ---
    // A target string of the location kind: "file:", "mailto:", "local:", "mmc:" or
    // "branch:" put in front of the text unless it already begins with it; for web links the
    // text as a URL (a null string when it is no valid URL); other kinds the text unchanged.
    static QString targetRefWithLocation(int location, const QString& reference);
    // The location kind of a target string, by its prefix (case-sensitive).
    static int locationForTargetRef(const QString& targetRef);
    // The target resolved by its location kind; "branch:" targets are looked up in the given
    // document. Null when the target is empty or does not resolve.
    IXTargetValue targetValueWithDocumentNode(IXDocumentNode* document) const;
    IXTargetValue targetValue() const;
    // The path of an existing file for a path that may have moved with the document: the
    // path itself when it is empty or an existing absolute path; else, beside the document's
    // file, the relative path, then the path's trailing components (all of them, then all
    // but the first, ...), the first that exists. The path unchanged when nothing exists.
    QString locateFileWithPath(const QString& path) const;
    // The target's bytes: the package part ("local:"; outside a document, the bytes a copy
    // took along), the catalog item's file ("mmc:") or the located file ("file:"); nothing
    // for other kinds and for targets that cannot be read.
    std::optional<QByteArray> targetData() const;
    // What opening the reference for the user means: a comment or note goes to the window's
    // note editor, files and pictures (wherever their bytes live) to the desktop's
    // application, web and mail links to the desktop's handler, "branch:" targets to the
    // window's selection. The window controller does the opening (the "openReference:" action).
    virtual IXReferenceOpening referenceToOpen() const;

    // --- Additional folders of the document ---
    void addReferenceToDocument();
    void removeReferenceFromDocument();
    void validateContent() override;

    void attachToDocumentNode(IXDocumentNode* document) override;
    void detachFromDocumentNode() override;

    // --- Icons ---
    // The XML word of an attachment subtype ("folder" ... "flash"), empty outside 1-9.
    static QString subtypeWord(int subtype);
    // The subtype of a word, or -1 for an unknown word.
    static int subtypeForWord(const QString& word);
    // The names of the icon pictures: by attachment subtype (0-9), by type (0-3); empty
    // outside those.
    static QString iconNameForAttachmentType(int subtype);
    static QString iconNameForType(int type);
    // The icon picture of this node: by type, or by subtype for a link or attachment.
    QString referenceIconName() const;
    static QImage iconForAttachmentType(int subtype);
    static QImage iconForType(int type);
    QImage referenceIcon() const;

    // --- XML ---
    // Reads the "reference" form: title, target, flags, subtype word and the related link.
    // The type is not read: it is fixed by the class.
    bool initWithParent(IXNode* parent, const PLXMLElement& element, PLError* error) override;
    // Appends the "reference" element.
    PLXMLElement XMLElement(PLXMLElement parent) override;

    // A new node of the class read from the element with the parent; null on failure.
    template <typename Node>
    static std::shared_ptr<Node> readNode(IXNode* parent, const PLXMLElement& element, PLError* error)
    {
        auto node = std::make_shared<Node>();
        if (!node->initWithParent(parent, element, error)) {
            if (node->parentNode()) node->setParentNode(nullptr);
            return nullptr;
        }
        return node;
    }

protected:
    IXReferenceNode(const IXReferenceNode& other);

    // Appends the reference element under the given name (subclasses name theirs; a related
    // link is written as "link").
    PLXMLElement referenceXMLElement(PLXMLElement parent, QByteArrayView name);

    // Set fields while the node is made or read: no undo, no notification, no registration.
    void initType(int type, int subtype);
    void initTitle(const QString& title) { m_title = title; }
    void initTargetRef(const QString& targetRef);
    // The title as stored, without the default.
    const QString& storedTitle() const { return m_title; }
    // Keeps bytes for the "local:" target until the node joins a document (see the class
    // comment); a new target drops them.
    void carryPart(const QByteArray& data);

private:
    void readReferenceAttributes(const PLXMLElement& element);
    // The target as it is written: unchanged, except that a catalog item is written as a
    // link to a registered copy when the document is packed to go.
    QString writtenTargetRef();
    // Gives the carried bytes to the document under the target's part name, unless it has
    // that part already.
    void storeCarriedPart();

    int m_type = TypeLink;
    int m_subtype = SubtypeNone;
    QString m_title;
    QString m_targetRef;
    int m_location = LocationNone;
    std::shared_ptr<IXReferenceNode> m_relatedLink;
    bool m_includeInExport = true;
    bool m_htmlOpenInNewWindow = false;
    bool m_htmlShowAsButton = false;
    std::optional<QByteArray> m_carriedPart;
};
