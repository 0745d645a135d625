#pragma once

#include "DocumentModel/IXDocumentNodeObserver.h"
#include "DocumentModel/IXFloatingReferenceNode.h"
#include "Platform/Text/PLAttributedString.h"
#include "Platform/Text/PLDocumentAttributes.h"

#include <QByteArray>
#include <QString>

#include <memory>
#include <optional>
#include <string_view>

// A reference of type 1 in two forms, told apart by the subtype: a floating comment (10), a
// short plain text shown as a box on the map whose text is the node's title; and a text note
// (11, the default), a rich text attached to a branch, stored as an RTF part of the package
// (RTFD when it holds attachments) that its "local:" target names. It may carry a connection.
//
// A note's text is read from its part on first use. The part is written again only once the
// text has been changed: reading it (to show, search, spell-check or export it) leaves the
// stored bytes as they are, so that formatting the reader does not model is never lost. A
// part that cannot be read completely leaves the note with what could be read and a warning
// in the document; its bytes stay untouched as well until the user changes the note's text. A copy of a note carries the text (or the stored bytes)
// along and is saved under a part of its own.
class IXCommentNode : public IXFloatingReferenceNode, public IXDocumentNodeObserver {
public:
    IXCommentNode();
    ~IXCommentNode() override;

    std::shared_ptr<IXNode> copy() const override;
    bool isComment() const override { return true; }
    bool isTextNote() const { return subtype() == SubtypeTextNote; }

    // Subtype 10 (floating comment) for true, 11 (text note) for false; undoable.
    void setPlainText(bool plainText) override;

    // The title made from the note's text when it has been read or set and is not empty,
    // else "(untitled)".
    QString defaultTitle() override;
    // A short title from a text: the lines that hold its first ten characters, at most 50
    // characters, line endings and white space runs made single spaces; "untitled" when
    // nothing is left.
    static QString titleFromString(const QString& text);

    // A floating comment's text is its title. A note's text is read from its target on first
    // use (an empty text while the note is outside the document that holds its part).
    PLAttributedString text();
    // A floating comment takes the plain string as its title. A note stores the text,
    // undoably ("Note Text"), and announces "text"; an equal text changes nothing.
    void setText(const PLAttributedString& text);
    // The plain string of the note's text; a null string while it has not been read or set.
    QString textString() const;
    void setTextString(const QString& string);
    bool isTextLoaded() const { return m_text.has_value(); }
    // True when the text was set since it was read, so that the next save writes it.
    bool isTextChanged() const { return m_textChanged; }
    // True while the note's part could not be read completely and the note has not been
    // edited since: the part is then not rewritten at save.
    bool isTextUnreadable() const { return m_textUnreadable; }
    // The rich-text document attributes read with the text and written back with it.
    const PLDocumentAttributes& attributes() const { return m_attributes; }
    void setAttributes(const PLDocumentAttributes& attributes) { m_attributes = attributes; }

    // Announces as a reference and as a comment.
    void notifyPropertyChange(const QString& property) override;
    bool respondsToSelector(std::string_view selector) const override;
    // Writes the note's text into its part (see the class comment).
    void notifiedOfDocumentNodeSave(IXDocumentNode* document, PLError* error) override;

    void attachToDocumentNode(IXDocumentNode* document) override;
    void detachFromDocumentNode() override;

    // Reads "comment" (subtype 10) and "note" (subtype 11) elements. Without title and
    // target the element's text becomes the title.
    bool initWithParent(IXNode* parent, const PLXMLElement& element, PLError* error) override;
    // Writes "comment" with the title as a child element, or "note"; a note whose text was
    // read or set and has no target first gets its own part as target.
    PLXMLElement XMLElement(PLXMLElement parent) override;

private:
    IXCommentNode(const IXCommentNode& other);

    void loadText();
    // Stores the text state (the undo of a change brings back the state before it, and the
    // stored bytes of an unchanged text with it, which a save in between has overwritten).
    void replaceText(const std::optional<PLAttributedString>& text, bool unreadable, bool changed,
                     const std::optional<QByteArray>& storedPart);
    void reportUnreadableText(const PLError& error);

    std::optional<PLAttributedString> m_text;
    PLDocumentAttributes m_attributes;
    bool m_textUnreadable = false;
    bool m_textChanged = false;
    // The stored bytes of the note that this one was copied from, until they are saved
    // under this note's own part.
    std::optional<QByteArray> m_copiedPart;
};
