#include "DocumentModel/IXCommentNode.h"

#include "DocumentModel/IXCommentNodeObserver.h"
#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXPropertyNames.h"
#include "DocumentModel/IXWarning.h"
#include "Platform/System/PLLocalizedStrings.h"
#include "Platform/Core/PLLog.h"
#include "Platform/Text/PLRTFDArchive.h"
#include "Platform/Text/PLRTFReader.h"
#include "Platform/Text/PLRTFWriter.h"
#include "Platform/Text/PLRichTextFormat.h"
#include "Utilities/UTErrors.h"
#include "Utilities/UTStrings.h"

namespace {

bool isSpaceOrTab(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

QString trimmedOfSpacesAndTabs(const QString& text)
{
    qsizetype start = 0;
    qsizetype end = text.size();
    while (start < end && isSpaceOrTab(text[start])) ++start;
    while (end > start && isSpaceOrTab(text[end - 1])) --end;
    return text.mid(start, end - start);
}

bool isLineTerminator(QChar c)
{
    return c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar(0x0085) || c == QChar(0x2028)
        || c == QChar(0x2029);
}

// The index just after the line that holds the character at index, line ending included.
qsizetype endOfLineAt(const QString& text, qsizetype index)
{
    qsizetype end = index;
    while (end < text.size() && !isLineTerminator(text[end])) ++end;
    if (end == text.size()) return end;
    if (text[end] == QLatin1Char('\r') && end + 1 < text.size() && text[end + 1] == QLatin1Char('\n')) ++end;
    return end + 1;
}

}  // namespace

IXCommentNode::IXCommentNode()
{
    initType(TypeComment, SubtypeTextNote);
}

IXCommentNode::IXCommentNode(const IXCommentNode& other)
    : UTObserver()
    , IXFloatingReferenceNode(other)
    , IXDocumentNodeObserver()
    , m_text(other.m_text)
    , m_attributes(other.m_attributes)
    , m_textUnreadable(other.m_textUnreadable)
    , m_textChanged(other.m_textChanged)
    , m_copiedPart(other.m_copiedPart)
{
    if (!isTextNote() || targetLocation() != LocationLocal) return;
    // Two notes never share a part, or one would overwrite the other at save; and the part
    // may not exist in the document the copy joins. So the copy takes the stored bytes
    // along when it needs them, and gets a part of its own when it is written.
    if (!m_copiedPart && (!m_text || m_textUnreadable || !m_textChanged)) m_copiedPart = other.targetData();
    initTargetRef(QString());
}

IXCommentNode::~IXCommentNode() = default;

std::shared_ptr<IXNode> IXCommentNode::copy() const
{
    return std::shared_ptr<IXNode>(new IXCommentNode(*this));
}

void IXCommentNode::setPlainText(bool plainText)
{
    setSubtype(plainText ? SubtypeFloatingComment : SubtypeTextNote);
}

QString IXCommentNode::defaultTitle()
{
    if (m_text && !m_text->isEmpty()) return titleFromString(PLRichTextFormat::plainText(*m_text));
    return IXReferenceNode::defaultTitle();
}

QString IXCommentNode::titleFromString(const QString& text)
{
    const QString untitled = QStringLiteral("untitled");
    const QString trimmed = trimmedOfSpacesAndTabs(text);
    if (trimmed.isEmpty()) return untitled;
    const qsizetype reach = std::min<qsizetype>(trimmed.size(), 10);
    qsizetype cut = std::min<qsizetype>(endOfLineAt(trimmed, reach - 1), 50);
    // Never cut a character in two.
    if (cut < trimmed.size() && trimmed[cut - 1].isHighSurrogate()) --cut;
    const QString title = trimmedOfSpacesAndTabs(UTStrings::stringByReplacingLineEndingsWithSpace(trimmed.left(cut)));
    return title.isEmpty() ? untitled : title;
}

PLAttributedString IXCommentNode::text()
{
    if (subtype() == SubtypeFloatingComment) return PLAttributedString(title());
    if (!m_text) loadText();
    return m_text.value_or(PLAttributedString());
}

void IXCommentNode::loadText()
{
    std::optional<QByteArray> data;
    if (m_copiedPart) {
        data = m_copiedPart;
    } else {
        // Outside its document the part cannot be reached: nothing is kept, so that the text
        // is read once the note is back.
        if (targetLocation() == LocationLocal && !documentNode()) return;
        data = targetData();
    }
    m_attributes = PLDocumentAttributes();
    m_textUnreadable = false;
    m_textChanged = false;
    if (!data || data->isEmpty()) {
        m_text = PLAttributedString();
        return;
    }
    // RTF first, then the RTFD blob, then whatever the bytes look like (plain text reads
    // always). The first reading without an error wins.
    std::optional<PLAttributedString> partial;
    PLError error;
    using Reader = std::optional<PLAttributedString> (*)(const QByteArray&, PLDocumentAttributes*, PLError*);
    const Reader readers[] = {
        [](const QByteArray& bytes, PLDocumentAttributes* attributes, PLError* readError) {
            return PLRTFReader::read(bytes, attributes, readError);
        },
        [](const QByteArray& bytes, PLDocumentAttributes* attributes, PLError* readError) {
            return PLRTFDArchive::read(bytes, attributes, readError);
        },
        [](const QByteArray& bytes, PLDocumentAttributes* attributes, PLError* readError) {
            return PLRichTextFormat::read(bytes, attributes, readError);
        },
    };
    for (const Reader read : readers) {
        PLDocumentAttributes attributes;
        error = PLError();
        std::optional<PLAttributedString> result = read(*data, &attributes, &error);
        if (result && !error) {
            m_text = std::move(result);
            m_attributes = attributes;
            return;
        }
        if (result && (!partial || result->length() > partial->length())) {
            partial = std::move(result);
            m_attributes = attributes;
        }
    }
    m_text = partial.value_or(PLAttributedString());
    m_textUnreadable = true;
    reportUnreadableText(error ? error : UTErrors::errorWithFailureReason(QStringLiteral("unreadable text note")));
}

void IXCommentNode::reportUnreadableText(const PLError& error)
{
    // Notes are read lazily, while the user works: the document's warnings tell the user, the
    // log keeps the reader's own text.
    PLLog::write(QStringLiteral("text note %1: %2").arg(existingUniqueId(), error.localizedDescription()));
    warning(IXWarningMessage(QStringLiteral("IXTextNoteUnreadable")));
}

void IXCommentNode::setText(const PLAttributedString& text)
{
    if (subtype() == SubtypeFloatingComment) {
        setTitle(PLRichTextFormat::plainText(text));
        return;
    }
    if (m_text && *m_text == text) return;
    replaceText(text, false, true, std::nullopt);
}

void IXCommentNode::replaceText(const std::optional<PLAttributedString>& text, bool unreadable, bool changed,
                                const std::optional<QByteArray>& storedPart)
{
    std::optional<QByteArray> oldPart;
    if (!m_textChanged && isTextNote() && targetLocation() == LocationLocal) oldPart = m_copiedPart ? m_copiedPart : targetData();
    registerUndo(this, PLLocalizedStrings::string(QStringLiteral("Note Text")),
                 [old = m_text, oldUnreadable = m_textUnreadable, oldChanged = m_textChanged,
                  oldPart = std::move(oldPart)](IXCommentNode& node) {
                     node.replaceText(old, oldUnreadable, oldChanged, oldPart);
                 });
    m_text = text;
    m_textUnreadable = unreadable;
    m_textChanged = changed;
    if (!changed && storedPart) m_copiedPart = storedPart;
    notifyPropertyChange(IXProperties::Text);
}

QString IXCommentNode::textString() const
{
    return m_text ? m_text->string() : QString();
}

void IXCommentNode::setTextString(const QString& string)
{
    setText(PLAttributedString(string));
}

void IXCommentNode::notifyPropertyChange(const QString& property)
{
    IXReferenceNode::notifyPropertyChange(property);
    send(IXCommentNodeDidChangeProperty, this, property);
}

bool IXCommentNode::respondsToSelector(std::string_view selector) const
{
    return selector == IXDocumentNodeSave;
}

void IXCommentNode::notifiedOfDocumentNodeSave(IXDocumentNode* document, PLError* error)
{
    if ((error && *error) || !document || document != documentNode()) return;
    if (!isTextNote() || targetLocation() != LocationLocal) return;
    const QString name = targetValue().text();
    if (name.isEmpty()) return;
    if (m_text && !m_textUnreadable && m_textChanged) {
        if (!m_text->isEmpty()) {
            document->packageParts().setData(m_text->hasAttachments() ? PLRTFDArchive::serialize(*m_text, m_attributes)
                                                       : PLRTFWriter::write(*m_text, m_attributes),
                              name);
        } else if (!document->packageParts().dataNamed(name).value_or(QByteArray()).isEmpty()) {
            // An emptied note must not come back with its old text.
            document->packageParts().removeDataNamed(name);
        }
        m_copiedPart.reset();
    } else if (m_copiedPart) {
        document->packageParts().setData(*m_copiedPart, name);
        m_copiedPart.reset();
    }
}

void IXCommentNode::attachToDocumentNode(IXDocumentNode* document)
{
    IXFloatingReferenceNode::attachToDocumentNode(document);
    if (document && isFloating()) document->addObserver(this);
}

void IXCommentNode::detachFromDocumentNode()
{
    IXDocumentNode* document = documentNode();
    if (!document) return;
    document->removeObserver(this);
    IXFloatingReferenceNode::detachFromDocumentNode();
}

bool IXCommentNode::initWithParent(IXNode* parent, const PLXMLElement& element, PLError* error)
{
    if (!IXReferenceNode::initWithParent(parent, element, error)) return false;
    const bool isCommentElement = element.hasName("comment");
    initType(TypeComment, isCommentElement ? SubtypeFloatingComment : SubtypeTextNote);
    // An element with neither title nor target carries its title as text. The element's
    // name alone decides the subtype: a "note" read this way stays a note, since as a
    // comment it would be written back in place of the branch's comment.
    if (storedTitle().isEmpty() && targetRef().isEmpty()) {
        const QString content = element.text();
        if (!content.trimmed().isEmpty()) initTitle(content);
    }
    return readConnection(element, error);
}

PLXMLElement IXCommentNode::XMLElement(PLXMLElement parent)
{
    if (isTextNote()) uniqueId();  // a note always carries its id, so it stays the same across reopening
    if (isTextNote() && targetRef().isEmpty() && (m_text || m_copiedPart)) {
        // The note's text gets a part of its own, named by the note's id.
        IXDocumentNode* document = documentNode();
        if (document) document->disableUndo();
        setTargetRef(targetRefWithLocation(LocationLocal, uniqueId()));
        if (document) document->enableUndo();
    }
    const bool floating = subtype() == SubtypeFloatingComment;
    PLXMLElement element = referenceXMLElement(parent, floating ? "comment" : "note");
    if (floating) {
        element.removeAttribute("title");
        if (!storedTitle().isEmpty()) element.addChildElement("title").setText(storedTitle());
    }
    writeConnection(element);
    return element;
}
