#pragma once

#include "Platform/Core/PLRange.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class IXDocumentNode;
class IXNode;

// Walks every searchable text of one document in a fixed pre-order, forwards and backwards,
// keeping its place between calls. Find and replace and the spelling panel each keep one.
//
// Order: the root branches, then the floating comments, then the floating pictures; within a
// branch its own title, then each sub-branch with everything under it, then each text note
// (its title, then its text), each attachment, each connection, its comment and its picture.
// Backwards is the exact reverse.
//
// The place is a stack of (index, kind of list) entries from the document down; it holds no
// node, so an edit between calls moves the walker to whatever now stands at those indices:
// an index past its list is clamped to the last element, a list that became empty drops the
// entries from there on (the whole stack at the document's level). An empty stack stands
// before the first text and after the last.
//
// `location` is a character position inside the current text for the search controllers;
// 0 means that the next `nextObject` moves on, unless the walker was told to stay at the
// start of the text (`setLocation(0, true)`). Main thread only.
class IXDocumentSearchEnumerator {
public:
    // The kind of text an entry yields, and the list it counts in.
    enum Type : std::uint32_t {
        None = 0,
        BranchTitle = 1,  // root branches or sub-branches
        AttachmentTitle = 2,  // a branch's attachments
        Comment = 3,  // floating comments, or a branch's one comment
        PictureLabel = 4,  // floating pictures, or a branch's one picture
        ConnectionTitle = 5,  // a branch's connections
        NoteTitle = 6,  // a branch's text notes: the title
        NoteText = 7,  // the same note: its text, as plain characters
    };

    explicit IXDocumentSearchEnumerator(std::shared_ptr<IXDocumentNode> document);

    const std::shared_ptr<IXDocumentNode>& document() const { return m_document; }

    // Stays on the current text while inside it (see location), else moves to the next one.
    // Answers the text, "" for an absent one; nothing at the end of the walk (the location
    // becomes 0).
    std::optional<QString> nextObject();
    // Moves one text back; from before the first text (an empty stack) it starts at the last.
    // Nothing once the walk has passed the first text.
    std::optional<QString> previousObject();
    // The current text without moving; nothing when the stack is empty.
    std::optional<QString> currentObject();
    // The node of the current entry (clamping the stack as described); the document itself
    // when the stack is empty.
    std::shared_ptr<IXNode> currentNode();
    // The kind of the current entry; None when the stack is empty.
    Type currentObjectType() const;
    // The path length (0 before the first text).
    int depth() const { return int(m_stack.size()); }

    int location() const { return m_location; }
    // With staysInText, a location of 0 keeps the walker on the current text for the next
    // nextObject (a replacement at the start of a text that left text after it).
    void setLocation(int location, bool staysInText = false);
    void resetToBegin();

    // Replaces the range of the current text with the plain string through the node's
    // undoable setter: a note's text keeps its attributes outside the range, the inserted
    // characters have none; every other kind sets the node's title. Answers the new text, or
    // nothing when there is no current text or the range does not lie within it.
    std::optional<QString> replaceRange(PLRange range, const QString& string);

private:
    struct Entry {
        std::uint32_t index;
        std::uint32_t type;
    };

    // Resolves the stack from the document, clamping as described; m_path receives the node
    // at each depth (m_path[0] the document).
    void resolve();
    bool moveForward();
    bool moveBackward();
    // Pushes the deepest last text under the branch at the top of the stack (entering it from
    // behind); leaves the stack as it is when the branch holds nothing.
    void enterFromBehind();
    std::optional<QString> textOfCurrent();

    std::shared_ptr<IXDocumentNode> m_document;
    std::vector<Entry> m_stack;
    std::vector<IXNode*> m_path;
    int m_location = 0;
    bool m_staysInText = false;
};
