#pragma once

#include "Platform/Core/PLRange.h"
#include "Platform/Text/PLTextAttributes.h"

#include <QList>
#include <QString>

#include <memory>
#include <vector>

// Rich text: a UTF-16 string with runs of attributes. Every character has exactly one set of
// attributes; neighbouring runs always differ, so a run is the longest range of equal
// attributes. Attachments stand at U+FFFC characters that carry the attachment attribute.
// Runs share their attribute sets, so that long texts whose runs alternate among a few
// styles stay small.
//
// Indexes and ranges count UTF-16 code units. Passing an index or a range outside the text
// is a programming error (PLAssertionFailure), as is any other misuse of the API; nothing
// here reads untrusted bytes.
class PLAttributedString {
public:
    static constexpr char16_t AttachmentCharacter = 0xFFFC;

    PLAttributedString() = default;
    explicit PLAttributedString(const QString& string, const PLTextAttributes& attributes = {});
    // A text of one attachment character carrying the attachment.
    static PLAttributedString fromAttachment(const PLTextAttachmentPtr& attachment, const PLTextAttributes& attributes = {});

    const QString& string() const { return m_string; }
    int length() const { return int(m_string.size()); }
    bool isEmpty() const { return m_string.isEmpty(); }

    // The attributes of the character at index and, when asked, the run that holds them.
    const PLTextAttributes& attributesAt(int index, PLRange* effectiveRange = nullptr) const;
    // The longest range around index over which one attribute keeps the value it has at
    // index (it may span several runs).
    PLRange effectiveRange(PLTextAttributes::Key key, int index) const;

    // The runs, in order.
    int runCount() const { return int(m_runs.size()); }
    PLRange runRange(int run) const;
    const PLTextAttributes& runAttributes(int run) const;

    void setAttributes(const PLTextAttributes& attributes, PLRange range);
    // Sets the attributes that `attributes` has over the range, keeping the others.
    void addAttributes(const PLTextAttributes& attributes, PLRange range);
    void removeAttribute(PLTextAttributes::Key key, PLRange range);

    // Replaces the characters; the new ones take the attributes of the first replaced
    // character, or with an empty range those of the character before it (else after it).
    void replaceCharacters(PLRange range, const QString& string);
    void replaceCharacters(PLRange range, const PLAttributedString& text);
    void insert(int index, const PLAttributedString& text);
    void deleteCharacters(PLRange range);
    void append(const PLAttributedString& text);
    void append(const QString& string, const PLTextAttributes& attributes);

    PLAttributedString substring(PLRange range) const;

    bool hasAttachments() const;
    // Every attachment, run by run in text order, once per attachment character.
    QList<PLTextAttachmentPtr> attachments() const;

    bool operator==(const PLAttributedString& other) const;

private:
    using SharedAttributes = std::shared_ptr<const PLTextAttributes>;
    struct Run {
        int start;
        SharedAttributes attributes;
    };

    int runIndexAt(int index) const;
    // Makes a run start at index (0 < index < length) and returns its index; index == length
    // returns the run count.
    int splitAt(int index);
    // Merges equal neighbours among the runs first..last (inclusive, clipped).
    void coalesce(int first, int last);
    void checkRange(PLRange range) const;
    template<typename Change> void changeAttributes(PLRange range, Change change);
    // The shared set equal to the attributes: one of the sets this thread used lately (in any
    // string: a map's titles mostly share a few sets), or a new one.
    static SharedAttributes share(const PLTextAttributes& attributes);

    QString m_string;
    std::vector<Run> m_runs;
};
