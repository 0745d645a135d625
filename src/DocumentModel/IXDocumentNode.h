#pragma once

#include "DocumentModel/IXDocumentNodeObserver.h"
#include "DocumentModel/IXNode.h"
#include "DocumentModel/IXNodeIndex.h"
#include "DocumentModel/IXAdditionalFolders.h"
#include "DocumentModel/IXPackageParts.h"
#include "DocumentModel/IXPropertyNames.h"
#include "DocumentModel/IXStyleValue.h"
#include "Platform/Core/PLUndoManager.h"
#include "Platform/XML/PLXMLDocument.h"
#include "Utilities/UTDateTimeFormatter.h"
#include "Utilities/UTZipArchive.h"

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <functional>
#include <map>
#include <memory>
#include <optional>

class IXLayoutNode;
class IXStyleSheetNode;

// The root of a document's node tree. It owns the root branches, the floating pictures and
// comments and the package's parts (IXPackageParts, handed out by packageParts(); the
// additional folders live in one of its option dictionaries, handed out by
// additionalFolders()); it holds (without owning) the undo manager of the document class,
// with a counter that switches undo off; it owns the broadcaster through which every change
// of the document is announced; it gathers the warnings of every attached node; and it
// indexes the attached nodes by id, so that look-ups by id take constant time.
//
// Its document link points to itself and it never has a parent. It cannot be copied.
class IXDocumentNode : public IXNode {
public:
    using NodeList = QList<std::shared_ptr<IXNode>>;

    // Save option bit: copy catalog media into an additional folder and write file links.
    static constexpr unsigned SaveOptionCopyCatalogMedia = 1;

    IXDocumentNode();
    ~IXDocumentNode() override;

    // A new id: the 32 upper-case hexadecimal digits of a fresh UUID.
    static QString newUniqueId();

    std::shared_ptr<IXNode> copy() const override;
    // Reads the "document" element: id, time scale, author, date of the last save, then the
    // root branches, floating pictures and floating comments (each made by the class that
    // reads its element, see IXNodeElementRegistry). Undo is off meanwhile. A parent is a
    // programming error ("parent == nil").
    bool initWithParent(IXNode* parent, const PLXMLElement& element, PLError* error) override;
    // Appends the "document" element to parent (the form of XMLDocument's root, without the
    // schema attributes).
    PLXMLElement XMLElement(PLXMLElement parent) override;
    bool isDocument() const override { return true; }
    // Only null is accepted: the document has no parent.
    void setParentNode(IXNode* parent) override;
    void validateContent() override;

    // --- Document data ---
    const QString& workingPath() const { return m_workingPath; }
    void setWorkingPath(const QString& path) { m_workingPath = path; }
    // The working path's file name without extension; else the first root branch's title
    // with line endings made blanks; else "".
    QString documentName() const;
    // The author, or the current user's full name when none is set.
    QString userName() const;
    void setUserName(const QString& userName);
    // The stored date; else the working file's modification date (stored from then on); else
    // the current date.
    QDateTime modificationDate();
    // Sets the stored date (the package reader's "modified"); no undo, no notification.
    void setModificationDate(const QDateTime& date) { m_modificationDate = date; }
    // The time that saves write as "modified" and that stands in for a missing date: the
    // system clock, or the installed clock (null restores the system's), so that saves can
    // be reproduced.
    static QDateTime currentDateTime();
    static void setClock(std::function<QDateTime()> clock);
    // The tag of the document's spell document in the shared checker, made on first use with
    // the stored ignored words.
    int spellDocumentTag();
    unsigned saveOptions() const { return m_saveOptions; }
    void setSaveOptions(unsigned options) { m_saveOptions = options; }
    // The spell checker's ignored words: those set, else on first use those of the option
    // part "spellchecker" (none when it is missing or invalid).
    QStringList ignoredWords();
    void setIgnoredWords(const QStringList& words) { m_ignoredWords = words; }
    // Writes the words, when any were set or read, as the option part "spellchecker".
    void saveIgnoredWords();

    // --- Undo and observers ---
    void disableUndo();
    void enableUndo();
    bool isUndoEnabled() const { return m_undoDisabled == 0; }
    // True while the document is being destroyed: leaving nodes need not save what they
    // would carry to another document.
    bool isClosing() const { return m_deallocating; }
    // Null while the document is being destroyed or undo is switched off.
    PLUndoManager* undoManager() const;
    void setUndoManager(PLUndoManager* manager) { m_undo = manager; }
    // The broadcaster, made on first use; null while the document is being destroyed.
    UTBroadcaster* observers() const override;
    // Registers an observer of every notification of the document (no sender filter).
    void addToObservers(UTObserver* observer);
    void removeFromObservers(UTObserver* observer);
    void notifyPropertyChange(const QString& property) override;

    // --- Root branches, floating pictures and comments ---
    const NodeList& rootBranches() const { return m_branches; }
    const NodeList& pictures() const { return m_pictures; }
    const NodeList& comments() const { return m_comments; }
    void setBranches(const NodeList& branches);
    void setPictures(const NodeList& pictures);
    void setComments(const NodeList& comments);
    void addRootBranch(const std::shared_ptr<IXNode>& branch);
    // Index -1 (or any index beyond the count) appends; an index below -1 does nothing.
    void insertRootBranch(const std::shared_ptr<IXNode>& branch, int index);
    void removeRootBranch(const std::shared_ptr<IXNode>& branch);
    void addPicture(const std::shared_ptr<IXNode>& picture);
    void removePicture(const std::shared_ptr<IXNode>& picture);
    void addComment(const std::shared_ptr<IXNode>& comment);
    void removeComment(const std::shared_ptr<IXNode>& comment);
    // addPicture / addComment (and the removals) by the node's kind; other nodes are ignored.
    void addFloatingNode(const std::shared_ptr<IXNode>& node);
    void removeFloatingNode(const std::shared_ptr<IXNode>& node);

    // --- Look-ups (constant time through the id index) ---
    std::shared_ptr<IXNode> branchForId(const QString& uniqueId) const;
    std::shared_ptr<IXNode> pictureForId(const QString& uniqueId) const;
    std::shared_ptr<IXNode> commentForId(const QString& uniqueId) const;
    // Null for an empty id; the document itself for its own id; else the attached node of
    // that id (the one attached first when a broken file repeats an id).
    std::shared_ptr<IXNode> nodeForId(const QString& uniqueId) const;
    NodeList picturesLinkedTo(const IXNode* node) const;
    NodeList commentsLinkedTo(const IXNode* node) const;
    NodeList nodesLinkedTo(const IXNode* node) const;
    // Whether a connection is attached to the document (a released one may still count).
    bool hasConnections() const { return m_connectionCount > 0; }

    // --- Time scale: 0 standard, 1 daily, 2 weekly, 3 historic, 4 geological ---
    int timeScaleType() const { return m_timeScaleType; }
    void setTimeScaleType(int type);
    // The formatter of the document's dates, in the style of the time scale; made on first
    // use and kept in step with setTimeScaleType.
    UTDateTimeFormatter& timeScaleFormatter();

    // --- Layouts and styles ---
    // A node's own style attributes by sheet: each existing layout's name, and ".document"
    // for the document sheet; sheets where the node has none are left out.
    using StyleAttributesBySheet = QMap<QString, IXStyleAttributes>;
    static const QString DocumentStyleSheetKey;  // ".document"
    // The layout node of that name ("mindmap", "topdown", ...), made on first use, parented
    // to the document and kept.
    std::shared_ptr<IXLayoutNode> layoutForName(const QString& name);
    const std::map<QString, std::shared_ptr<IXLayoutNode>>& layouts() const { return m_layouts; }
    // The document style sheet, made on first use from the part "document.styles".
    std::shared_ptr<IXStyleSheetNode> styleSheet();
    bool hasStyleSheet() const { return bool(m_styleSheet); }
    // The node's styles in the sheets of the existing layouts and in the document sheet
    // (when it exists), to carry them along with a copy of the node.
    StyleAttributesBySheet styleAttributesForNode(IXNode* node);
    // Gives the node the styles (making the sheets as needed).
    void setStyleAttributesForNode(const StyleAttributesBySheet& attributes, IXNode* node);
    // Clears the node's style in every existing sheet.
    void clearStyleAttributesForNode(IXNode* node);
    // Stores the document sheet, when it exists, as "document.styles.xml" (a sheet that
    // stands in for a part it could not read leaves that part alone).
    bool saveStyleSheet(PLError* error);

    // --- Package (the native ".ixd" zip archive of named parts) ---
    // Reads a package: the archive is kept for later saves; "contents.xml" is parsed,
    // checked against its schema and read. A schema violation becomes a warning on the
    // document ("DocumentSchemaViolation") and the document still opens. Null with an error
    // ("failed to load document file", "failed to load contents.xml", "failed to load XML")
    // when the package cannot be read. The error slot is required ("outError").
    static std::shared_ptr<IXDocumentNode> fromZipData(const QByteArray& data, PLError* error);
    // Stores "contents.xml", the cached option parts and the parts of the observers of the
    // save notification into the archive (known parts in place, new ones appended, all
    // others untouched) and returns the archive's bytes. On failure nothing is returned and
    // the error says why; the caller decides what the user sees.
    std::optional<QByteArray> zipData(PLError* error = nullptr);
    // The document's XML: the "document" element as root, naming its schema "contents.xsd".
    PLXMLDocument XMLDocument();

    // Parses a part's bytes and checks them against the schema their root names. A parse
    // failure gives a null document and "failed to load XML" (the parser's reason as the
    // underlying error). A document that breaks its schema comes back with the validator's
    // error, or "invalid XML content"; validation is skipped when *error already holds an
    // error. Empty bytes are a programming error ("xmldata && [xmldata length] > 0"). A part
    // holding more than maximumElements elements is refused as soon as the parse passes them.
    static PLXMLDocument loadXML(const QByteArray& data, PLError* error,
                                 qint64 maximumElements = PLXMLDocument::MaximumElementCount);
    // The XML part name + ".xml" through loadXML. A missing or empty part gives a null
    // document without an error; an entry that cannot be inflated gives "failed to load"
    // and the part's file name. Both arguments are required ("name", "outError").
    PLXMLDocument xmlNamed(const QString& name, PLError* error) const;
    // Stores the document's XML text as the part name + ".xml". Does nothing and answers
    // false when *error already holds an error; false with "failed to produce XML text" when
    // the text is empty.
    bool setXml(const PLXMLDocument& document, const QString& name, PLError* error);

    // The package's stored parts and option dictionaries, and the additional folders kept in
    // one of them.
    IXPackageParts& packageParts() { return m_parts; }
    const IXPackageParts& packageParts() const { return m_parts; }
    IXAdditionalFolders& additionalFolders() { return m_additionalFolders; }

    // The option dictionary "ui-state" (IXPackageParts::optionsForName).
    QVariantMap& userInterfaceOptions();

private:
    friend class IXNode;

    // Called by nodes as they attach and detach: warnings move between node and document,
    // and the id index follows.
    void addNode(IXNode* node);
    void removeNode(IXNode* node);
    void setStoredUserName(const std::optional<QString>& userName);
    // Fills a "document" element: attributes, then the time scale and the nodes.
    void writeXMLContent(PLXMLElement element);
    void indexNode(IXNode* node);
    // The bytes of the XML part name + ".xml"; nothing for a missing or empty part, and
    // nothing with "failed to load" and the part's file name when it cannot be inflated.
    std::optional<QByteArray> xmlPartData(const QString& name, PLError* error) const;
    // The same for bytes already fetched (or not) under the part's file name.
    static std::optional<QByteArray> partData(const QString& partName, std::optional<QByteArray> data,
                                              const PLError& readError, PLError* error);
    // The two steps of loadXML: parsing ("failed to load XML") and the schema check, which
    // only reads the tree and may run on another thread.
    static PLXMLDocument parseXML(const QByteArray& data, PLError* error,
                                  qint64 maximumElements = PLXMLDocument::MaximumElementCount);
    static void validateXML(const PLXMLDocument& document, PLError* error);
    void forgetNode(IXNode* node);
    // Detaches the layouts and then the document sheet, as the document goes.
    void releaseStyles();

    void replaceNodes(NodeList& list, const NodeList& replacement, IXProperty property,
                      void (IXDocumentNode::*setter)(const NodeList&), const QString& actionName);
    void insertNode(NodeList& list, const std::shared_ptr<IXNode>& node, qsizetype index, IXProperty property,
                    void (IXDocumentNode::*setter)(const NodeList&), const QString& actionName);
    void removeListedNode(NodeList& list, const std::shared_ptr<IXNode>& node, IXProperty property,
                          void (IXDocumentNode::*setter)(const NodeList&), const QString& actionName);
    NodeList floatingNodesLinkedTo(const NodeList& list, const IXNode* node) const;
    std::shared_ptr<IXNode> indexedNode(const QString& uniqueId, bool branchesOnly) const;
    static std::shared_ptr<IXNode> nodeWithId(const NodeList& list, const QString& uniqueId);

    bool m_deallocating = false;
    // The archive and the option dictionaries.
    IXPackageParts m_parts;
    IXAdditionalFolders m_additionalFolders{m_parts};
    QString m_workingPath;
    std::optional<QString> m_userName;
    QDateTime m_modificationDate;
    int m_spellDocumentTag = 0;
    unsigned m_saveOptions = 0;
    // The document class owns the manager; the guard clears the link if it goes first.
    QPointer<PLUndoManager> m_undo;
    int m_undoDisabled = 0;
    mutable std::unique_ptr<UTBroadcaster> m_observers;
    NodeList m_branches;
    NodeList m_pictures;
    NodeList m_comments;
    int m_timeScaleType = 0;
    std::unique_ptr<UTDateTimeFormatter> m_timeScaleFormatter;
    std::optional<QStringList> m_ignoredWords;
    std::shared_ptr<IXStyleSheetNode> m_styleSheet;
    std::map<QString, std::shared_ptr<IXLayoutNode>> m_layouts;
    // Attached nodes by id; a broken file may repeat an id, so an id may map to several.
    IXNodeIndex m_nodesById;
    // Attached connections, so that a change of branches need not walk them to learn whether
    // any exist.
    qsizetype m_connectionCount = 0;
};
