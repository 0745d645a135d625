#include "Platform/XML/PLXMLSchemaValidator.h"

#include "Platform/System/PLResources.h"
#include "Platform/XML/PLXMLDocument.h"

#include <libxml/globals.h>
#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlschemas.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <atomic>
#include <climits>
#include <map>
#include <memory>
#include <mutex>

const QString PLXMLSchemaValidator::ErrorDomain = QStringLiteral("PLXMLSchemaErrorDomain");
const QString PLXMLSchemaValidator::SchemaFolder = QStringLiteral("XMLSchema");

namespace {
#if LIBXML_VERSION >= 21200
using ErrorArgument = const xmlError*;
#else
using ErrorArgument = xmlError*;
#endif

const xmlChar* const InstanceNamespace = reinterpret_cast<const xmlChar*>("http://www.w3.org/2001/XMLSchema-instance");

PLError schemaError(PLXMLSchemaValidator::Code code, const QString& reason)
{
    return PLError(PLXMLSchemaValidator::ErrorDomain, code,
                   reason.isEmpty() ? QVariantMap() : QVariantMap{{PLError::FailureReasonKey, reason}});
}

// What libxml2 may load on this thread while a schema is parsed or a document validated:
// existing files inside `folder` (a canonical path), or nothing when it is empty.
struct LoadPolicy {
    QString folder;
    QString firstRefused;
    QString firstError;
};

thread_local LoadPolicy* t_policy = nullptr;
// The loader that was installed before ours; it serves every load outside our operations.
std::atomic<xmlExternalEntityLoader> g_outerLoader{nullptr};

// The canonical path of a local file named by a libxml2 resource name (a path or a "file:"
// URL), when it lies inside folder; an empty string otherwise.
QString pathInside(const char* resource, const QString& folder)
{
    if (!resource || folder.isEmpty()) return QString();
    const QString name = QString::fromUtf8(resource);
    QString path;
    if (name.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        const QUrl url(name);
        if (url.isLocalFile()) path = url.toLocalFile();
    } else if (name.startsWith(QLatin1Char('/'))) {
        path = name;
        // libxml2 may hand over an absolute path in URI-escaped form.
        if (!QFileInfo::exists(path)) path = QUrl::fromPercentEncoding(name.toUtf8());
    }
    if (path.isEmpty()) return QString();
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    if (canonical.isEmpty() || !info.isFile() || !canonical.startsWith(folder + QLatin1Char('/'))) return QString();
    return canonical;
}

xmlParserInputPtr guardedLoader(const char* resource, const char* id, xmlParserCtxtPtr context)
{
    LoadPolicy* policy = t_policy;
    if (!policy) {
        const xmlExternalEntityLoader outer = g_outerLoader.load();
        return outer ? outer(resource, id, context) : nullptr;
    }
    const QString path = pathInside(resource, policy->folder);
    if (path.isEmpty()) {
        if (policy->firstRefused.isEmpty()) policy->firstRefused = QString::fromUtf8(resource ? resource : "");
        return nullptr;
    }
    return xmlNewInputFromFile(context, QFile::encodeName(path).constData());
}

void installLoaderGuard()
{
    static std::mutex mutex;
    const std::lock_guard lock(mutex);
    const xmlExternalEntityLoader current = xmlGetExternalEntityLoader();
    if (current == guardedLoader) return;
    g_outerLoader.store(current);
    xmlSetExternalEntityLoader(guardedLoader);
}

void collectError(void* context, ErrorArgument error)
{
    auto* policy = static_cast<LoadPolicy*>(context);
    if (!policy || !error || error->level < XML_ERR_ERROR || !policy->firstError.isEmpty()) return;
    const QString message = QString::fromUtf8(error->message ? error->message : "").trimmed();
    if (message.isEmpty()) return;
    policy->firstError = error->line > 0 ? QStringLiteral("line %1: %2").arg(error->line).arg(message) : message;
}

// Puts a load policy and an error collector in force on this thread for its lifetime.
class PolicyScope {
public:
    explicit PolicyScope(const QString& allowedFolder)
    {
        installLoaderGuard();
        m_policy.folder = allowedFolder;
        m_outerPolicy = t_policy;
        t_policy = &m_policy;
        m_outerHandler = xmlStructuredError;
        m_outerContext = xmlStructuredErrorContext;
        xmlSetStructuredErrorFunc(&m_policy, collectError);
    }
    ~PolicyScope()
    {
        xmlSetStructuredErrorFunc(m_outerContext, m_outerHandler);
        t_policy = m_outerPolicy;
    }
    PolicyScope(const PolicyScope&) = delete;
    PolicyScope& operator=(const PolicyScope&) = delete;

    LoadPolicy& policy() { return m_policy; }

private:
    LoadPolicy m_policy;
    LoadPolicy* m_outerPolicy = nullptr;
    xmlStructuredErrorFunc m_outerHandler = nullptr;
    void* m_outerContext = nullptr;
};

// Parsed schemas by canonical path, kept for the life of the process.
class SchemaCache {
public:
    ~SchemaCache()
    {
        for (auto& entry : m_schemas) xmlSchemaFree(entry.second);
    }

    // The parsed schema of the file, parsing it on first use; null and an error on failure.
    xmlSchemaPtr schemaFor(const QString& path, const QString& folder, const QString& name, PLError* error)
    {
        const std::lock_guard lock(m_mutex);
        if (const auto found = m_schemas.find(path); found != m_schemas.end()) return found->second;

        PolicyScope scope(folder);
        xmlSchemaParserCtxtPtr context = xmlSchemaNewParserCtxt(QFile::encodeName(path).constData());
        if (!context) throw std::bad_alloc();
        xmlSchemaSetParserStructuredErrors(context, collectError, &scope.policy());
        xmlSchemaPtr schema = xmlSchemaParse(context);
        xmlSchemaFreeParserCtxt(context);

        // A schema that reached for anything outside its folder is not used, even when the
        // parser could do without it.
        const LoadPolicy& policy = scope.policy();
        if (!schema || !policy.firstRefused.isEmpty()) {
            if (schema) xmlSchemaFree(schema);
            const QString why = !policy.firstRefused.isEmpty()
                                    ? QStringLiteral("refused to read \"%1\"").arg(policy.firstRefused)
                                    : policy.firstError;
            PLSetError(error, schemaError(PLXMLSchemaValidator::SchemaUnreadable,
                                          QStringLiteral("the schema \"%1\" cannot be read: %2").arg(name, why)));
            return nullptr;
        }
        m_schemas.emplace(path, schema);
        return schema;
    }

private:
    std::mutex m_mutex;
    std::map<QString, xmlSchemaPtr> m_schemas;
};

SchemaCache& schemaCache()
{
    static SchemaCache cache;
    return cache;
}

// A plain file name of a schema: letters, digits, ".", "_" and "-", ending in ".xsd".
bool isPlainSchemaName(const QString& name)
{
    if (name.size() < 5 || name.size() > 255 || !name.endsWith(QLatin1String(".xsd")) || name.startsWith(QLatin1Char('.')))
        return false;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        const bool allowed = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '.' ||
                             u == '_' || u == '-';
        if (!allowed) return false;
    }
    return true;
}

// The application's schema of that name: its canonical path and folder, or false.
bool locateSchema(const QString& name, QString* path, QString* folder)
{
    if (!isPlainSchemaName(name)) return false;
    const QString found = PLResources::pathFor(name, PLXMLSchemaValidator::SchemaFolder);
    if (found.isEmpty()) return false;
    const QFileInfo info(found);
    *folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    *path = info.canonicalFilePath();
    return info.isFile() && !folder->isEmpty() && path->startsWith(*folder + QLatin1Char('/'));
}

struct DocumentFree {
    void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
struct ParserContextFree {
    void operator()(xmlParserCtxt* context) const { xmlFreeParserCtxt(context); }
};
struct ValidContextFree {
    void operator()(xmlSchemaValidCtxt* context) const { xmlSchemaFreeValidCtxt(context); }
};
}

bool PLXMLSchemaValidator::validate(const PLXMLDocument& document, PLError* error)
{
    if (document.isNull()) {
        PLSetError(error, schemaError(NoSchemaNamed, QStringLiteral("there is no document")));
        return false;
    }
    xmlInitParser();
    PolicyScope scope{QString()};
    // A parsed tree is validated as it is, never written out again (a huge part would cost
    // its size once more). A tree built in memory may carry its namespace declarations as
    // plain attributes, so it is checked as it would be written: its bytes read back with
    // nothing loaded from anywhere (no DTD, no entities, no network).
    std::unique_ptr<xmlDoc, DocumentFree> reparsed;
    xmlDoc* doc = const_cast<xmlDoc*>(document.rawDocument());
    xmlNode* root = xmlDocGetRootElement(doc);
    if (!document.isParsed()
        && (!root || !xmlHasNsProp(root, reinterpret_cast<const xmlChar*>("noNamespaceSchemaLocation"), InstanceNamespace))) {
        const QByteArray bytes = document.xmlData(PLXMLDocument::Format::Compact);
        if (bytes.size() > INT_MAX) {
            PLSetError(error, schemaError(DocumentInvalid, QStringLiteral("the document is too large")));
            return false;
        }
        const std::unique_ptr<xmlParserCtxt, ParserContextFree> parser(xmlNewParserCtxt());
        if (!parser) throw std::bad_alloc();
        const int options = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
        reparsed.reset(xmlCtxtReadMemory(parser.get(), bytes.constData(), int(bytes.size()), nullptr, nullptr, options));
        doc = reparsed.get();
        root = doc ? xmlDocGetRootElement(doc) : nullptr;
    }
    if (!root) {
        PLSetError(error, schemaError(DocumentInvalid, scope.policy().firstError));
        return false;
    }

    xmlChar* location = xmlGetNsProp(root, reinterpret_cast<const xmlChar*>("noNamespaceSchemaLocation"), InstanceNamespace);
    if (!location) {
        PLSetError(error, schemaError(NoSchemaNamed, QStringLiteral("the document names no schema")));
        return false;
    }
    const QString name = QString::fromUtf8(reinterpret_cast<const char*>(location));
    xmlFree(location);

    QString path;
    QString folder;
    if (!locateSchema(name, &path, &folder)) {
        PLSetError(error, schemaError(SchemaRefused,
                                      QStringLiteral("the schema \"%1\" is not one of the application's schemas").arg(name)));
        return false;
    }
    xmlSchemaPtr schema = schemaCache().schemaFor(path, folder, name, error);
    if (!schema) return false;

    const std::unique_ptr<xmlSchemaValidCtxt, ValidContextFree> validator(xmlSchemaNewValidCtxt(schema));
    if (!validator) throw std::bad_alloc();
    xmlSchemaSetValidStructuredErrors(validator.get(), collectError, &scope.policy());
    scope.policy().firstError.clear();
    if (xmlSchemaValidateDoc(validator.get(), doc) == 0) return true;
    PLSetError(error, schemaError(DocumentInvalid, scope.policy().firstError));
    return false;
}
