// The package operations of IXDocumentNode: reading and writing the native ".ixd" zip
// archive, its XML parts (with schema validation) and the "document" element.
#include "DocumentModel/IXDocumentNode.h"

#include "DocumentModel/IXNodeElementRegistry.h"
#include "DocumentModel/IXWarning.h"
#include "Platform/Core/PLAssert.h"
#include "Platform/Core/PLLog.h"
#include "Platform/XML/PLXMLSchemaValidator.h"
#include "Utilities/UTErrors.h"
#include "Utilities/UTXMLAttributes.h"

#include <QDate>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <exception>
#include <iterator>
#include <mutex>
#include <new>
#include <thread>

namespace {
const QString XmlExtension = QStringLiteral(".xml");
const QString ContentsPart = QStringLiteral("contents");
const QString ContentsSchema = QStringLiteral("contents.xsd");

// Index = time-scale type.
constexpr const char* TimeScaleWords[] = {"standard", "daily", "weekly", "historic", "geological"};
constexpr int TimeScaleCount = int(std::size(TimeScaleWords));

constexpr const char* BranchElement = "branch";
constexpr const char* PictureElement = "picture";
constexpr const char* CommentElement = "comment";

PLError applicationError(const QString& reason)
{
    return UTErrors::errorWithFailureReason(reason);
}

// Our own failure reason, with what is wrong in the user's words as the underlying text (the
// lower layer's text, when there is one, after it).
PLError refusal(const QString& reason, const QString& words, const PLError& underlying = PLError())
{
    QString text = words;
    if (underlying) text += QStringLiteral(" (%1)").arg(underlying.localizedDescription());
    return UTErrors::errorWithCode(1, {{PLError::FailureReasonKey, reason}, {PLError::UnderlyingErrorKey, text}});
}

// A part that is no XML we read.
PLError xmlLoadError(const PLError& parseError)
{
    const QString reason = QStringLiteral("failed to load XML");
    if (parseError.code() == PLXMLDocument::NestedTooDeeplyError) {
        return refusal(reason, QStringLiteral("The map is nested too deeply: it has parts more than %1 levels down, "
                                              "more than can be read.").arg(PLXMLDocument::maximumDepth()));
    }
    if (parseError.code() == PLXMLDocument::TooManyElementsError) {
        return refusal(reason,
                       QStringLiteral("The part holds far more elements than any map has; it is not read, "
                                      "so that it cannot take all the memory."),
                       parseError);
    }
    if (parseError.code() == PLXMLDocument::DeclarationRefusedError) {
        return refusal(reason, QStringLiteral("The map declares a document type or entities, which maps never hold; "
                                              "it is not read, so that nothing outside it is."), parseError);
    }
    return refusal(reason, QStringLiteral("The map's contents are damaged: they are not well-formed XML."), parseError);
}

// A node of the map could not be read and said nothing of why.
PLError damagedNodesError()
{
    return refusal(QStringLiteral("invalid content"), QStringLiteral("The map's contents are damaged: a part of the map cannot be read."));
}

// The archive itself cannot be read.
PLError archiveError(const PLError& zipError)
{
    const QString reason = QStringLiteral("failed to load document file");
    if (!zipError) return refusal(reason, QStringLiteral("The file is empty or cannot be read."));
    return refusal(reason, QStringLiteral("The file is a damaged package, or one made in a way that cannot be read."), zipError);
}

// "contents.xml" missing, empty or damaged.
PLError contentsError(const PLError& readError)
{
    const QString reason = QStringLiteral("failed to load contents.xml");
    if (!readError) return refusal(reason, QStringLiteral("The file holds no map: its contents are missing or empty."));
    return refusal(reason, QStringLiteral("The map's contents are damaged and cannot be unpacked."), readError);
}

bool isDigits(QStringView text, qsizetype maximumLength)
{
    if (text.isEmpty() || text.size() > maximumLength) return false;
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// "%Y-%m-%d" at local midnight; an invalid date when the text is no such date.
QDateTime dateFromSaveText(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char('-'));
    if (parts.size() != 3 || !isDigits(parts[0], 9) || !isDigits(parts[1], 2) || !isDigits(parts[2], 2)) return {};
    const QDate date(parts[0].toInt(), parts[1].toInt(), parts[2].toInt());
    return date.isValid() ? QDateTime(date, QTime(0, 0)) : QDateTime();
}

QString saveTextFromDate(const QDate& date)
{
    return date.toString(u"yyyy-MM-dd");
}

// A part inflated on a thread of its own while its bytes are read as they come out, so that
// parsing need not wait for the whole part. The thread is joined before the object goes.
class InflatingPart {
public:
    InflatingPart(const UTZipArchive& archive, const QString& name)
        : m_thread([this, &archive, name] { inflate(archive, name); })
    {
    }

    // Up to length further bytes into buffer: their count, 0 at the end, -1 when the part is
    // missing or could not be inflated (its result then tells why).
    int read(char* buffer, int length)
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return m_done || m_ready > m_consumed; });
        const QByteArray* source = &m_bytes;
        qsizetype ready = m_ready;
        if (m_done) {
            if (!m_result) return -1;
            source = &*m_result;
            ready = source->size();
        }
        const qsizetype count = std::min<qsizetype>(length, ready - m_consumed);
        std::memcpy(buffer, source->constData() + m_consumed, size_t(count));
        m_consumed += count;
        return int(count);
    }

    // Ends the inflating at its next step, for a reader that needs no more bytes: the
    // result is then a failure unless the part was already out.
    void stop() { m_stopped = true; }
    bool wasStopped() const { return m_stoppedEarly; }

    // The part as UTZipArchive::dataByName gives it, once it is all out (or stopped).
    std::optional<QByteArray> result(PLError* error)
    {
        m_thread.join();
        if (m_failure) std::rethrow_exception(m_failure);
        if (m_error) PLSetError(error, m_error);
        return std::move(m_result);
    }

private:
    void inflate(const UTZipArchive& archive, const QString& name)
    {
        std::optional<QByteArray> bytes;
        PLError error;
        std::exception_ptr failure;
        try {
            bytes = archive.dataByName(name, &error, [this](const QByteArray& out, qsizetype ready) {
                {
                    const std::lock_guard lock(m_mutex);
                    m_bytes = out;
                    m_ready = ready;
                }
                m_changed.notify_one();
                m_stoppedEarly = m_stopped;
                return !m_stoppedEarly;
            });
        } catch (...) {
            failure = std::current_exception();
        }
        {
            const std::lock_guard lock(m_mutex);
            m_result = std::move(bytes);
            m_error = error;
            m_failure = failure;
            m_done = true;
        }
        m_changed.notify_one();
    }

    std::mutex m_mutex;
    std::condition_variable m_changed;
    QByteArray m_bytes;  // shares the bytes being inflated
    qsizetype m_ready = 0;
    qsizetype m_consumed = 0;
    bool m_done = false;
    std::atomic<bool> m_stopped = false;
    bool m_stoppedEarly = false;  // written by the thread, read after joining it
    std::optional<QByteArray> m_result;
    PLError m_error;
    std::exception_ptr m_failure;
    std::jthread m_thread;  // last: it starts once everything above exists
};

// Switches the document's undo off for a scope.
class UndoOff {
public:
    explicit UndoOff(IXDocumentNode& document) : m_document(document) { m_document.disableUndo(); }
    ~UndoOff() { m_document.enableUndo(); }
    UndoOff(const UndoOff&) = delete;
    UndoOff& operator=(const UndoOff&) = delete;

private:
    IXDocumentNode& m_document;
};
}

// --- Reading ---

std::shared_ptr<IXDocumentNode> IXDocumentNode::fromZipData(const QByteArray& data, PLError* error)
{
    PL_ASSERT_PARAM(error, "outError");
    auto document = std::make_shared<IXDocumentNode>();
    try {
        PLError zipError;
        document->m_parts.setZipArchive(UTZipArchive::fromData(data, &zipError));
        if (!document->m_parts.hasZipArchive()) {
            PLSetError(error, archiveError(zipError));
            return nullptr;
        }

        // "contents.xml" is parsed as it is inflated. What the part gives (missing, empty,
        // damaged) decides first, as if it had been inflated before parsing.
        PLError xmlError;
        PLXMLDocument contents;
        qsizetype contentsSize = 0;
        {
            const QString partName = ContentsPart + XmlExtension;
            InflatingPart part(*document->packageParts().zipArchive(), partName);
            PLError parseError;
            PLXMLDocument parsed = PLXMLDocument::fromReader([&part](char* buffer, int length) { return part.read(buffer, length); },
                                                             &parseError);
            // Once the parse has failed, the rest of the part is not worth inflating.
            if (parsed.isNull()) part.stop();
            PLError readError;
            std::optional<QByteArray> inflated = part.result(&readError);
            const std::optional<QByteArray> bytes =
                part.wasStopped() ? std::nullopt : partData(partName, std::move(inflated), readError, &xmlError);
            // A part stopped early was there and not empty: the parser's refusal is the answer.
            if (part.wasStopped() || (bytes && parsed.isNull())) {
                PLSetError(&xmlError, xmlLoadError(parseError));
            } else if (bytes) {
                contents = std::move(parsed);
                contentsSize = bytes->size();
            }
        }
        if (contents.isNull()) {
            PLSetError(error, xmlError ? xmlError : contentsError(PLError()));
            return nullptr;
        }
        // Every node element of ours takes more than this many bytes: the index of ids is
        // made big enough at once instead of growing (and rehashing) step by step.
        constexpr qsizetype MinimumBytesPerNode = 128;
        document->m_nodesById.reserve(contentsSize / MinimumBytesPerNode);

        // The schema check only reads the tree and its verdict is needed only once the nodes
        // are read, so it runs on another core meanwhile. Two threads may read one tree because
        // the check writes nothing into it: libxml2's validator changes a tree only to register
        // the attributes a schema types as ID (or IDREF) with the document, or to add default
        // attributes when asked to, and no schema of ours declares an ID type nor is it asked
        // (a schema that did would have to be checked before the nodes are read). The thread
        // is joined before the tree goes, whatever happens (declared after it, it is destroyed
        // first).
        PLError invalid;
        std::exception_ptr validationFailure;
        std::jthread validation([&contents, &invalid, &validationFailure] {
            try {
                validateXML(contents, &invalid);
            } catch (...) {
                validationFailure = std::current_exception();
            }
        });
        PLError readError;
        const bool read = document->initWithParent(nullptr, contents.rootElement(), &readError);
        validation.join();
        // Nothing reads the tree any more; a large one takes a while to free.
        PLXMLDocument::releaseInBackground(std::move(contents));
        if (validationFailure) std::rethrow_exception(validationFailure);
        if (!read || readError) {
            PLSetError(error, readError ? readError : damagedNodesError());
            return nullptr;
        }
        // A schema violation is the user's to know about, not a reason to refuse the file:
        // the window that shows the document reports its warnings.
        if (invalid) document->warning(IXWarningMessage(QStringLiteral("DocumentSchemaViolation")).arg(invalid.localizedDescription()));
    } catch (const std::bad_alloc&) {
        PLSetError(error, refusal(QStringLiteral("failed to load document file"),
                                  QStringLiteral("The map is too large to open in the memory available.")));
        return nullptr;
    }
    return document;
}

PLXMLDocument IXDocumentNode::loadXML(const QByteArray& data, PLError* error, qint64 maximumElements)
{
    PLXMLDocument document = parseXML(data, error, maximumElements);
    if (document.isNull() || (error && *error)) return document;
    validateXML(document, error);
    return document;
}

PLXMLDocument IXDocumentNode::parseXML(const QByteArray& data, PLError* error, qint64 maximumElements)
{
    PL_ASSERT_PARAM(!data.isEmpty(), "xmldata && [xmldata length] > 0");
    PLError parseError;
    PLXMLDocument document = PLXMLDocument::fromData(data, &parseError, maximumElements);
    if (document.isNull()) PLSetError(error, xmlLoadError(parseError));
    return document;
}

void IXDocumentNode::validateXML(const PLXMLDocument& document, PLError* error)
{
    // The validator loads only the application's own schema files, by full path: the
    // current directory is never changed and no name from the document reaches the disk.
    PLError invalid;
    if (!PLXMLSchemaValidator::validate(document, &invalid)) {
        PLSetError(error, invalid.failureReason().isEmpty() ? applicationError(QStringLiteral("invalid XML content"))
                                                            : invalid);
    }
}

std::optional<QByteArray> IXDocumentNode::xmlPartData(const QString& name, PLError* error) const
{
    const QString partName = name + XmlExtension;
    PLError readError;
    std::optional<QByteArray> data = m_parts.dataNamed(partName, &readError);
    return partData(partName, std::move(data), readError, error);
}

std::optional<QByteArray> IXDocumentNode::partData(const QString& partName, std::optional<QByteArray> data,
                                                   const PLError& readError, PLError* error)
{
    if (!data) {
        if (readError) {
            PLSetError(error, partName == ContentsPart + XmlExtension
                                  ? contentsError(readError)
                                  : refusal(QStringLiteral("failed to load ") + partName,
                                            QStringLiteral("The part is damaged and cannot be unpacked."), readError));
        }
        return std::nullopt;
    }
    // An emptied part (removeDataNamed) is no part.
    if (data->isEmpty()) return std::nullopt;
    return data;
}

PLXMLDocument IXDocumentNode::xmlNamed(const QString& name, PLError* error) const
{
    PL_ASSERT_PARAM(!name.isEmpty(), "name");
    PL_ASSERT_PARAM(error, "outError");
    const std::optional<QByteArray> data = xmlPartData(name, error);
    return data ? loadXML(*data, error) : PLXMLDocument();
}

bool IXDocumentNode::initWithParent(IXNode* parent, const PLXMLElement& element, PLError* error)
{
    PL_ASSERT_PARAM(parent == nullptr, "parent == nil");
    // Content under another root is no document of ours, whatever it holds.
    if (!element.hasName("document")) {
        PLSetError(error, refusal(QStringLiteral("invalid content"),
                                  QStringLiteral("The file's contents are not a map but another kind of document.")));
        return false;
    }
    if (!IXNode::initWithParent(nullptr, element, error)) return false;
    UndoOff undoOff(*this);

    int type = 0;
    if (const PLXMLElement timescale = element.lastChildElement("timescale")) {
        const QString word = timescale.attribute("type");
        for (int index = 0; index < TimeScaleCount; ++index) {
            if (word == QLatin1String(TimeScaleWords[index])) type = index;
        }
    }
    setTimeScaleType(type);
    const QString author = element.attribute("author");
    if (!author.isNull()) m_userName = author;
    const QDateTime modified = dateFromSaveText(element.attribute("modified"));
    if (modified.isValid()) m_modificationDate = modified;

    // Root branches first, whatever their place in the file, so that the floating nodes that
    // point at branches find them.
    const struct {
        const char* elementName;
        NodeList* list;
    } groups[] = {{BranchElement, &m_branches}, {PictureElement, &m_pictures}, {CommentElement, &m_comments}};
    for (const auto& group : groups) {
        PLXMLElement child = element.firstChildElement(group.elementName);
        if (child && !IXNodeElementRegistry::hasFactory(group.elementName)) {
            PLLog::write(QStringLiteral("Document: no reader for \"%1\" elements; they are skipped.")
                             .arg(QLatin1String(group.elementName)));
            continue;
        }
        for (; child; child = child.nextSiblingElement(group.elementName)) {
            const std::shared_ptr<IXNode> node = IXNodeElementRegistry::makeNode(group.elementName);
            PLError nodeError;
            if (!node->initWithParent(this, child, &nodeError) || nodeError) {
                if (node->parentNode() == this) node->setParentNode(nullptr);
                PLSetError(error, nodeError ? nodeError : damagedNodesError());
                return false;
            }
            if (group.list == &m_comments) node->setPlainText(true);
            group.list->append(node);
        }
    }
    return true;
}

// --- Writing ---

PLXMLElement IXDocumentNode::XMLElement(PLXMLElement parent)
{
    PLXMLElement element = parent.addChildElement("document");
    writeXMLContent(element);
    return element;
}

PLXMLDocument IXDocumentNode::XMLDocument()
{
    return XMLDocumentWithSchema("document", ContentsSchema, [this](PLXMLElement root) { writeXMLContent(root); });
}

void IXDocumentNode::writeXMLContent(PLXMLElement element)
{
    writeBaseXMLAttributes(element);
    UTXMLAttributes::setIntValue(element, 1, "version");
    UTXMLAttributes::setIntValue(element, 1, "revision");
    UTXMLAttributes::setStringValue(element, userName(), "author");
    UTXMLAttributes::setStringValue(element, saveTextFromDate(currentDateTime().date()), "modified");

    if (m_timeScaleType >= 0 && m_timeScaleType < TimeScaleCount) {
        PLXMLElement timescale = element.addChildElement("timescale");
        timescale.setAttribute("type", QString::fromLatin1(TimeScaleWords[m_timeScaleType]));
    }
    // Copies: a node writing itself may make ids, which must not disturb the iteration.
    for (const NodeList& list : {NodeList(m_branches), NodeList(m_pictures), NodeList(m_comments)}) {
        for (const auto& node : list) node->XMLElement(element);
    }
}

bool IXDocumentNode::setXml(const PLXMLDocument& document, const QString& name, PLError* error)
{
    PL_ASSERT_PARAM(!name.isEmpty(), "name");
    if (error && *error) return false;
    const QByteArray text = document.xmlData(PLXMLDocument::Format::Compact);
    if (text.isEmpty()) {
        PLSetError(error, applicationError(QStringLiteral("failed to produce XML text")));
        return false;
    }
    return m_parts.setData(text, name + XmlExtension);
}

std::optional<QByteArray> IXDocumentNode::zipData(PLError* outError)
{
    PLError error;
    // The parts this save writes, and those added since the last one, carry its time.
    m_parts.setEntryDate(currentDateTime());
    // 1. The node tree.
    PLXMLDocument contents;
    try {
        contents = XMLDocument();
    } catch (const std::bad_alloc&) {
        contents = PLXMLDocument();
    }
    if (contents.isNull()) {
        error = applicationError(QStringLiteral("failed to create document XML"));
    } else if (!setXml(contents, ContentsPart, &error) && !error) {
        error = applicationError(QStringLiteral("cannot save document XML"));
    }
    // 2. Every option dictionary asked for since opening.
    if (!error) m_parts.saveOptions(&error);
    // 3. The document style sheet.
    if (!error) saveStyleSheet(&error);
    // 4. The parts kept by other nodes (layout style sheets, rich text of notes).
    if (!error) send(IXDocumentNodeSave, this, &error);

    QByteArray bytes;
    if (!error) bytes = m_parts.zipBytes(&error);
    m_parts.setEntryDate(QDateTime());
    if (error || bytes.isEmpty()) {
        PLSetError(outError, error ? error : applicationError(QStringLiteral("cannot save document XML")));
        return std::nullopt;
    }
    return bytes;
}
