#pragma once

#include "Platform/Core/PLError.h"
#include "Platform/XML/PLXMLElement.h"

#include <QByteArray>
#include <QByteArrayView>

#include <functional>

struct _xmlDoc;

// An XML document that owns its tree (libxml2 underneath). Move-only; the element handles it
// gives out stay valid while it lives.
//
// Parsing treats the bytes as hostile: no network, no external DTD or entity loading, no
// entity declarations at all (a document that declares one is refused before anything is
// expanded), and the parser's built-in size and depth limits stay on.
class PLXMLDocument {
public:
    // The error domain of parse failures; the failure reason names the line and the problem.
    static const QString ErrorDomain;
    // The code of a parse failure for elements nested deeper than maximumDepth(); the other
    // codes are libxml2's.
    static constexpr int NestedTooDeeplyError = -1;
    // The code of a refused document type or entity declaration.
    static constexpr int DeclarationRefusedError = -2;
    // The code of a refusal for more elements than the parse allows.
    static constexpr int TooManyElementsError = -3;
    // How many levels deep elements may nest in a document that is read.
    static int maximumDepth();
    // Far more elements than any map holds (one of 100,000 branches has about half a million):
    // a document beyond a parse's limit is refused while it is read, before its tree takes
    // gigabytes. Readers of smaller parts pass a lower limit.
    static constexpr qint64 MaximumElementCount = 10'000'000;

    // A null document (no tree).
    PLXMLDocument() = default;
    // A new document whose root element has the given name (a valid XML name).
    explicit PLXMLDocument(QByteArrayView rootName);
    ~PLXMLDocument();

    PLXMLDocument(PLXMLDocument&& other) noexcept;
    PLXMLDocument& operator=(PLXMLDocument&& other) noexcept;
    PLXMLDocument(const PLXMLDocument&) = delete;
    PLXMLDocument& operator=(const PLXMLDocument&) = delete;

    // Parses UTF-8 (or declared-encoding) bytes; a null document and an error on failure.
    static PLXMLDocument fromData(QByteArrayView data, PLError* error = nullptr,
                                  qint64 maximumElements = MaximumElementCount);
    // Gives up to length further bytes into buffer: their count, 0 at the end, or -1 to stop
    // parsing (a failure).
    using Reader = std::function<int(char* buffer, int length)>;
    // Parses the bytes as read() gives them, as fromData would parse them all at once, with the
    // same errors; a reader that fails makes the parse fail.
    static PLXMLDocument fromReader(const Reader& read, PLError* error = nullptr,
                                    qint64 maximumElements = MaximumElementCount);

    // Frees the document's tree on a background thread, so that a caller done with a large
    // tree need not wait for it; the document becomes null. Trees still pending when the
    // process exits are freed then.
    static void releaseInBackground(PLXMLDocument&& document);

    bool isNull() const { return m_doc == nullptr; }
    // Whether the tree was read from bytes (fromData, fromReader) rather than built.
    bool isParsed() const { return m_parsed; }
    explicit operator bool() const { return m_doc != nullptr; }

    PLXMLElement rootElement() const;
    // Replaces the root element (freeing the old tree) by a new one with that name.
    PLXMLElement setRootElement(QByteArrayView name);

    enum class Format { Compact, Indented };
    // The document as UTF-8 bytes with an XML declaration.
    QByteArray xmlData(Format format = Format::Indented) const;

    // The libxml2 tree, for the few Platform classes that hand it to libxml2 themselves
    // (schema validation); null for a null document.
    const _xmlDoc* rawDocument() const { return m_doc; }

private:
    explicit PLXMLDocument(_xmlDoc* doc) : m_doc(doc) {}
    // Runs parse(context, options) with the refusals and error capture of every parse.
    template <typename Parse> static PLXMLDocument parsed(const Parse& parse, qint64 maximumElements, PLError* error);

    _xmlDoc* m_doc = nullptr;
    bool m_parsed = false;
};
