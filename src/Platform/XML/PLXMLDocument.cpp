#include "Platform/XML/PLXMLDocument.h"

#include "Platform/Core/PLAssert.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/dict.h>
#include <libxml/tree.h>
#include <libxml/globals.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

const QString PLXMLDocument::ErrorDomain = QStringLiteral("PLXMLErrorDomain");

int PLXMLDocument::maximumDepth()
{
    return int(xmlParserMaxDepth);
}

namespace {
void initialiseLibxml()
{
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });
}

// Set while one parse runs on this thread; the SAX hooks record why they stopped it.
thread_local const char* t_refusal = nullptr;
thread_local int t_refusalCode = 0;

void refuse(void* context, const char* reason, int code = PLXMLDocument::DeclarationRefusedError)
{
    if (!t_refusal) {
        t_refusal = reason;
        t_refusalCode = code;
    }
    xmlStopParser(static_cast<xmlParserCtxtPtr>(context));
}

void onInternalSubset(void* context, const xmlChar* name, const xmlChar* externalID, const xmlChar* systemID)
{
    if (externalID || systemID) {
        refuse(context, "external document type definitions are not allowed");
        return;
    }
    xmlSAX2InternalSubset(context, name, externalID, systemID);
}

// Called after every DOCTYPE; the external subset is never loaded.
void onExternalSubset(void* context, const xmlChar*, const xmlChar* externalID, const xmlChar* systemID)
{
    if (externalID || systemID) refuse(context, "external document type definitions are not allowed");
}

// Entities are refused at their declaration, before any reference could expand them.
void onEntityDecl(void* context, const xmlChar*, int, const xmlChar*, const xmlChar*, xmlChar*)
{
    refuse(context, "entity declarations are not allowed");
}

void onUnparsedEntityDecl(void* context, const xmlChar*, const xmlChar*, const xmlChar*, const xmlChar*)
{
    refuse(context, "entity declarations are not allowed");
}

// The elements the running parse on this thread has met, and how many it takes.
thread_local qint64 t_elementCount = 0;
thread_local qint64 t_maximumElements = PLXMLDocument::MaximumElementCount;

void onStartElementNs(void* context, const xmlChar* localName, const xmlChar* prefix, const xmlChar* uri, int namespaceCount,
                      const xmlChar** namespaces, int attributeCount, int defaultedCount, const xmlChar** attributes)
{
    if (++t_elementCount > t_maximumElements) {
        refuse(context, "the document holds more elements than any map", PLXMLDocument::TooManyElementsError);
        return;
    }
    xmlSAX2StartElementNs(context, localName, prefix, uri, namespaceCount, namespaces, attributeCount, defaultedCount, attributes);
}

QString describe(const xmlError* error)
{
    if (!error || !error->message) return QStringLiteral("the document is not well-formed XML");
    const QString message = QString::fromUtf8(error->message).trimmed();
    return error->line > 0 ? QStringLiteral("line %1: %2").arg(error->line).arg(message) : message;
}

#if LIBXML_VERSION >= 21200
using ErrorArgument = const xmlError*;
#else
using ErrorArgument = xmlError*;
#endif

void ignoreMessage(void*, const char*, ...) {}

// While it lives, libxml2 prints nothing on this thread (its error handlers are per thread)
// and the first error it raises, parser or encoding, is kept for the reason of the failure.
class ErrorCapture {
public:
    ErrorCapture()
        : m_outerGeneric(xmlGenericError), m_outerGenericContext(xmlGenericErrorContext),
          m_outerStructured(xmlStructuredError), m_outerStructuredContext(xmlStructuredErrorContext)
    {
        xmlSetGenericErrorFunc(nullptr, ignoreMessage);
        xmlSetStructuredErrorFunc(this, collect);
    }
    ~ErrorCapture()
    {
        xmlSetStructuredErrorFunc(m_outerStructuredContext, m_outerStructured);
        xmlSetGenericErrorFunc(m_outerGenericContext, m_outerGeneric);
    }
    ErrorCapture(const ErrorCapture&) = delete;
    ErrorCapture& operator=(const ErrorCapture&) = delete;

    // The first error's text, or empty when there was none.
    const QString& firstError() const { return m_firstError; }
    int firstCode() const { return m_firstCode; }

private:
    static void collect(void* context, ErrorArgument error)
    {
        auto* capture = static_cast<ErrorCapture*>(context);
        if (!error || error->level < XML_ERR_ERROR || !capture->m_firstError.isEmpty()) return;
        if (!error->message || QByteArrayView(error->message).trimmed().isEmpty()) return;
        capture->m_firstError = describe(error);
        capture->m_firstCode = error->code;
        // libxml2 tells this limit only in its message, and in words of its own options.
        if (QByteArrayView(error->message).contains("Excessive depth")) {
            capture->m_firstError = QStringLiteral("line %1: elements are nested more than %2 levels deep")
                                        .arg(error->line)
                                        .arg(PLXMLDocument::maximumDepth());
            capture->m_firstCode = PLXMLDocument::NestedTooDeeplyError;
        }
    }

    xmlGenericErrorFunc m_outerGeneric;
    void* m_outerGenericContext;
    xmlStructuredErrorFunc m_outerStructured;
    void* m_outerStructuredContext;
    QString m_firstError;
    int m_firstCode = 0;
};

PLError parseError(const QString& reason, int code)
{
    return PLError(PLXMLDocument::ErrorDomain, code, {{PLError::FailureReasonKey, reason}});
}

xmlNode* newElement(xmlDoc* doc, QByteArrayView name)
{
    PL_ASSERT(PLXMLElement::isValidName(name));
    const QByteArray bytes(name.data(), name.size());
    xmlNode* node = xmlNewDocNode(doc, nullptr, reinterpret_cast<const xmlChar*>(bytes.constData()), nullptr);
    if (!node) throw std::bad_alloc();
    return node;
}
}

namespace {
// One thread that frees the trees handed to it, in order; started on first use and joined,
// after freeing what is left, when the process exits.
class BackgroundRelease {
public:
    ~BackgroundRelease()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_wake.notify_one();
        if (m_thread.joinable()) m_thread.join();
    }

    void release(xmlDoc* doc)
    {
        {
            const std::lock_guard lock(m_mutex);
            m_pending.push_back(doc);
            if (!m_thread.joinable()) m_thread = std::thread([this] { run(); });
        }
        m_wake.notify_one();
    }

private:
    void run()
    {
        std::unique_lock lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_stopping || !m_pending.empty(); });
            if (m_pending.empty()) return;  // stopping, nothing left
            xmlDoc* doc = m_pending.front();
            m_pending.pop_front();
            lock.unlock();
            xmlFreeDoc(doc);
            lock.lock();
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<xmlDoc*> m_pending;
    bool m_stopping = false;
    std::thread m_thread;
};
}

void PLXMLDocument::releaseInBackground(PLXMLDocument&& document)
{
    static BackgroundRelease background;
    xmlDoc* doc = std::exchange(document.m_doc, nullptr);
    if (doc) background.release(doc);
}

PLXMLDocument::PLXMLDocument(QByteArrayView rootName)
{
    initialiseLibxml();
    PL_ASSERT(PLXMLElement::isValidName(rootName));
    m_doc = xmlNewDoc(reinterpret_cast<const xmlChar*>("1.0"));
    if (!m_doc) throw std::bad_alloc();
    // Names are interned once per document instead of copied into every node and attribute.
    m_doc->dict = xmlDictCreate();
    xmlDocSetRootElement(m_doc, newElement(m_doc, rootName));
}

PLXMLDocument::~PLXMLDocument()
{
    if (m_doc) xmlFreeDoc(m_doc);
}

PLXMLDocument::PLXMLDocument(PLXMLDocument&& other) noexcept : m_doc(other.m_doc), m_parsed(other.m_parsed)
{
    other.m_doc = nullptr;
    other.m_parsed = false;
}

PLXMLDocument& PLXMLDocument::operator=(PLXMLDocument&& other) noexcept
{
    if (this != &other) {
        if (m_doc) xmlFreeDoc(m_doc);
        m_doc = other.m_doc;
        m_parsed = other.m_parsed;
        other.m_doc = nullptr;
        other.m_parsed = false;
    }
    return *this;
}

PLXMLDocument PLXMLDocument::fromData(QByteArrayView data, PLError* error, qint64 maximumElements)
{
    initialiseLibxml();
    if (data.isEmpty()) {
        PLSetError(error, parseError(QStringLiteral("the document is empty"), XML_ERR_DOCUMENT_EMPTY));
        return PLXMLDocument();
    }
    if (data.size() > INT_MAX) {
        PLSetError(error, parseError(QStringLiteral("the document is too large"), XML_ERR_NO_MEMORY));
        return PLXMLDocument();
    }
    return parsed(
        [&data](xmlParserCtxtPtr context, int options) {
            return xmlCtxtReadMemory(context, data.data(), int(data.size()), nullptr, nullptr, options);
        },
        maximumElements, error);
}

namespace {
// The reader of fromReader, with the first bytes it gave, read ahead to tell an empty
// document before parsing.
struct ReaderInput {
    const PLXMLDocument::Reader* read;
    QByteArray ahead;
    qsizetype aheadAt = 0;
    std::optional<int> end;  // 0 or -1 when the reader ended while reading ahead
};

int readInput(void* context, char* buffer, int length)
{
    auto* input = static_cast<ReaderInput*>(context);
    if (input->aheadAt < input->ahead.size()) {
        const int count = int(std::min<qsizetype>(length, input->ahead.size() - input->aheadAt));
        std::memcpy(buffer, input->ahead.constData() + input->aheadAt, size_t(count));
        input->aheadAt += count;
        return count;
    }
    return input->end ? *input->end : (*input->read)(buffer, length);
}

int closeInput(void*)
{
    return 0;
}
}

PLXMLDocument PLXMLDocument::fromReader(const Reader& read, PLError* error, qint64 maximumElements)
{
    initialiseLibxml();
    // The start is read ahead whole, so that the XML declaration (and the encoding it names)
    // reaches the parser in one piece, as it does from memory.
    ReaderInput input{&read, QByteArray(4096, Qt::Uninitialized), 0, std::nullopt};
    qsizetype filled = 0;
    while (filled < input.ahead.size()) {
        const int count = read(input.ahead.data() + filled, int(input.ahead.size() - filled));
        if (count <= 0) {
            input.end = count < 0 ? -1 : 0;
            break;
        }
        filled += count;
    }
    input.ahead.truncate(filled);
    if (filled == 0) {
        // Nothing at all, as fromData tells it.
        PLSetError(error, parseError(QStringLiteral("the document is empty"), XML_ERR_DOCUMENT_EMPTY));
        return PLXMLDocument();
    }
    return parsed(
        [&input](xmlParserCtxtPtr context, int options) {
            return xmlCtxtReadIO(context, readInput, closeInput, &input, nullptr, nullptr, options);
        },
        maximumElements, error);
}

template <typename Parse>
PLXMLDocument PLXMLDocument::parsed(const Parse& parse, qint64 maximumElements, PLError* error)
{
    xmlParserCtxtPtr context = xmlNewParserCtxt();
    if (!context) throw std::bad_alloc();
    context->sax->internalSubset = onInternalSubset;
    context->sax->externalSubset = onExternalSubset;
    context->sax->entityDecl = onEntityDecl;
    context->sax->unparsedEntityDecl = onUnparsedEntityDecl;
    context->sax->startElementNs = onStartElementNs;
    t_elementCount = 0;
    t_maximumElements = maximumElements;

    // No XML_PARSE_NOENT, XML_PARSE_DTDLOAD or XML_PARSE_HUGE: nothing is substituted or
    // fetched and the parser's limits on sizes and nesting depth stay in force.
    const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
    t_refusal = nullptr;
    ErrorCapture capture;
    xmlDocPtr doc = parse(context, options);
    const char* refusal = t_refusal;
    const int refusalCode = t_refusalCode;
    t_refusal = nullptr;

    PLXMLDocument result;
    if (refusal) {
        PLSetError(error, parseError(QString::fromUtf8(refusal), refusalCode));
        if (doc) xmlFreeDoc(doc);
    } else if (!doc || !context->wellFormed || !xmlDocGetRootElement(doc)) {
        const xmlError* last = xmlCtxtGetLastError(context);
        const bool captured = !capture.firstError().isEmpty();
        const int code = captured ? capture.firstCode() : last ? last->code : 0;
        PLSetError(error, parseError(captured ? capture.firstError() : describe(last), code ? code : XML_ERR_DOCUMENT_END));
        if (doc) xmlFreeDoc(doc);
    } else {
        result.m_doc = doc;
        result.m_parsed = true;
    }
    xmlFreeParserCtxt(context);
    return result;
}

PLXMLElement PLXMLDocument::rootElement() const
{
    return PLXMLElement(m_doc ? xmlDocGetRootElement(m_doc) : nullptr);
}

PLXMLElement PLXMLDocument::setRootElement(QByteArrayView name)
{
    PL_ASSERT(m_doc);
    xmlNode* root = newElement(m_doc, name);
    if (xmlNode* old = xmlDocSetRootElement(m_doc, root)) xmlFreeNode(old);
    return PLXMLElement(root);
}

QByteArray PLXMLDocument::xmlData(Format format) const
{
    if (!m_doc) return QByteArray();
    xmlChar* memory = nullptr;
    int size = 0;
    xmlDocDumpFormatMemoryEnc(m_doc, &memory, &size, "UTF-8", format == Format::Indented ? 1 : 0);
    if (!memory) throw std::bad_alloc();
    QByteArray result(reinterpret_cast<const char*>(memory), size);
    xmlFree(memory);
    return result;
}
