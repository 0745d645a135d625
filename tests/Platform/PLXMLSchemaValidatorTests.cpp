#include "Platform/System/PLResources.h"
#include "Platform/XML/PLXMLDocument.h"
#include "Platform/XML/PLXMLSchemaValidator.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {
const char* const Instance = "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"";

QString dataPath(const QString& name)
{
    return PLResources::directory() + QStringLiteral("/../tests/Platform/data/") + name;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Parses as the package reader does, then validates.
bool validateBytes(const QByteArray& bytes, PLError* error)
{
    const PLXMLDocument document = PLXMLDocument::fromData(bytes, error);
    return document && PLXMLSchemaValidator::validate(document, error);
}

QByteArray contentsNaming(const QString& location, const QByteArray& body = "<timescale type=\"daily\"/>")
{
    return QByteArray("<document ") + Instance + " xsi:noNamespaceSchemaLocation=\"" + location.toUtf8() + "\">" + body +
           "</document>";
}

// Runs xmllint on a file against one of the shipped schemas: its exit code, or -1 when
// xmllint is not installed.
int xmllint(const QString& schema, const QString& file)
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
    if (program.isEmpty()) return -1;
    QProcess process;
    process.start(program, {QStringLiteral("--noout"), QStringLiteral("--nonet"), QStringLiteral("--schema"),
                            PLResources::pathFor(schema, PLXMLSchemaValidator::SchemaFolder), file});
    if (!process.waitForFinished(60000)) return -2;
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -3;
}

// A TCP listener on the loopback interface that counts every connection made to it, to
// prove that no URL in a document or schema is ever fetched.
class LoopbackListener {
public:
    LoopbackListener()
    {
        m_socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (m_socket < 0 || ::bind(m_socket, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            ::listen(m_socket, 16) != 0 || ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            return;
        m_port = ntohs(address.sin_port);
        // Connections are accepted and closed at once, so that a client that did connect
        // fails quickly instead of waiting for an answer.
        m_thread = std::thread([this] {
            while (!m_stop) acceptPending(20);
        });
    }
    ~LoopbackListener()
    {
        connections();
        if (m_socket >= 0) ::close(m_socket);
    }

    bool isListening() const { return m_port != 0; }
    QString url(const char* path) const { return QStringLiteral("http://127.0.0.1:%1/%2").arg(m_port).arg(QLatin1String(path)); }

    // Stops listening and answers how many connections were made in all.
    int connections()
    {
        if (m_thread.joinable()) {
            m_stop = true;
            m_thread.join();
            acceptPending(0);
        }
        return m_connections;
    }

private:
    void acceptPending(int timeout)
    {
        pollfd entry{m_socket, POLLIN, 0};
        while (::poll(&entry, 1, timeout) > 0) {
            const int connection = ::accept(m_socket, nullptr, nullptr);
            if (connection < 0) break;
            ++m_connections;
            ::close(connection);
            timeout = 0;
        }
    }

    int m_socket = -1;
    quint16 m_port = 0;
    std::atomic<bool> m_stop = false;
    std::atomic<int> m_connections = 0;
    std::thread m_thread;
};

// A schema that accepts any document whose root is "document": were it ever used instead of
// the shipped one, a document that breaks contents.xsd would pass.
const QByteArray PermissiveSchema =
    "<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\">"
    "<xs:element name=\"document\"><xs:complexType><xs:sequence>"
    "<xs:any processContents=\"skip\" minOccurs=\"0\" maxOccurs=\"unbounded\"/>"
    "</xs:sequence><xs:anyAttribute processContents=\"skip\"/></xs:complexType></xs:element>"
    "</xs:schema>";

// A scratch folder that is also the current directory for the test, with a permissive
// "contents.xsd" and "permissive.xsd" in it.
class SchemaSandbox : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.isValid());
        ASSERT_TRUE(writeFile(m_folder.filePath(QStringLiteral("contents.xsd")), PermissiveSchema));
        ASSERT_TRUE(writeFile(m_folder.filePath(QStringLiteral("permissive.xsd")), PermissiveSchema));
        m_previousDirectory = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(m_folder.path()));
        m_workingDirectory = QDir::currentPath();
    }
    void TearDown() override { QDir::setCurrent(m_previousDirectory); }

    QTemporaryDir m_folder;
    QString m_previousDirectory;
    QString m_workingDirectory;
};
}

TEST(PLXMLSchemaValidator, SampleDocumentsValidate)
{
    const struct {
        const char* file;
        const char* schema;
    } table[] = {
        {"contents-written.xml", "contents.xsd"},
        {"contents-read-forms.xml", "contents.xsd"},
        {"contents-empty.xml", "contents.xsd"},
        {"styles-written.xml", "styles.xsd"},
        {"styles-read-forms.xml", "styles.xsd"},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.file);
        const QString path = dataPath(QLatin1String(row.file));
        const QByteArray bytes = readFile(path);
        ASSERT_FALSE(bytes.isEmpty());
        PLError error;
        EXPECT_TRUE(validateBytes(bytes, &error)) << qPrintable(error.failureReason());
        const int lint = xmllint(QLatin1String(row.schema), path);
        if (lint != -1) {
            EXPECT_EQ(lint, 0);
        }
    }
}

// A document made through the element API, as the package and style writers make theirs.
TEST(PLXMLSchemaValidator, DocumentBuiltInMemoryValidates)
{
    PLXMLDocument document("document");
    PLXMLElement root = document.rootElement();
    root.setAttribute("uid", u"0123456789ABCDEF0123456789ABCDEF");
    root.setAttribute("version", u"1");
    root.setAttribute("revision", u"1");
    root.setAttribute("author", u"Line one\u2028two");
    root.setAttribute("modified", u"2024-12-31");
    root.setAttribute("xmlns:xsi", u"http://www.w3.org/2001/XMLSchema-instance");
    root.setAttribute("xsi:noNamespaceSchemaLocation", u"contents.xsd");
    root.addChildElement("timescale").setAttribute("type", u"geological");
    PLXMLElement branch = root.addChildElement("branch");
    branch.setAttribute("level", u"0");
    branch.setAttribute("start", u"Y-4500000000");
    branch.addChildElement("title").setText(u"Earth <history>");
    PLXMLElement note = branch.addChildElement("note");
    note.setAttribute("target", u"local:ABC");
    note.addChildElement("connection").setAttribute("target", u"branch:DEF");
    PLError error;
    EXPECT_TRUE(PLXMLSchemaValidator::validate(document, &error)) << qPrintable(error.failureReason());

    branch.setAttribute("export", u"maybe");
    EXPECT_FALSE(PLXMLSchemaValidator::validate(document, &error));
    EXPECT_EQ(error.code(), PLXMLSchemaValidator::DocumentInvalid);
    EXPECT_TRUE(error.failureReason().contains(QLatin1String("'export'"))) << qPrintable(error.failureReason());
}

TEST(PLXMLSchemaValidator, ViolationsAreRejectedWithTheFirstProblem)
{
    const QByteArray stylesRoot = QByteArray("<styles ") + Instance + " xsi:noNamespaceSchemaLocation=\"styles.xsd\">";
    const struct {
        const char* what;
        QByteArray bytes;
        const char* reasonPart;
    } table[] = {
        {"wrong root", QByteArray("<map ") + Instance + " xsi:noNamespaceSchemaLocation=\"contents.xsd\"/>", "'map'"},
        {"styles root in contents", QByteArray("<styles ") + Instance + " xsi:noNamespaceSchemaLocation=\"contents.xsd\"/>",
         "'styles'"},
        {"timescale word", contentsNaming("contents.xsd", "<timescale type=\"yearly\"/>"), "yearly"},
        {"timescale without type", contentsNaming("contents.xsd", "<timescale/>"), "'type'"},
        {"flag in capitals", contentsNaming("contents.xsd", "<branch export=\"YES\"/>"), "YES"},
        {"flag as number 2", contentsNaming("contents.xsd", "<branch><reference showAsButton=\"2\"/></branch>"), "'2'"},
        {"attachment word", contentsNaming("contents.xsd", "<branch><reference type=\"movie\"/></branch>"), "movie"},
        {"date text", contentsNaming("contents.xsd", "<branch start=\"2008-03-15\"/>"), "2008-03-15"},
        {"date scale letter", contentsNaming("contents.xsd", "<branch end=\"X12\"/>"), "X12"},
        {"hour with day part", contentsNaming("contents.xsd", "<branch end2=\"H12/3\"/>"), "H12/3"},
        {"save date", QByteArray("<document ") + Instance + " modified=\"31.12.2024\" xsi:noNamespaceSchemaLocation=\"contents.xsd\"/>",
         "31.12.2024"},
        {"unknown element", contentsNaming("contents.xsd", "<branch><colour/></branch>"), "'colour'"},
        {"unknown attribute", contentsNaming("contents.xsd", "<branch colour=\"red\"/>"), "'colour'"},
        {"text in a branch", contentsNaming("contents.xsd", "<branch>loose text</branch>"), "'branch'"},
        {"element inside a title", contentsNaming("contents.xsd", "<branch><title><b>x</b></title></branch>"), "'title'"},
        {"note at document level", contentsNaming("contents.xsd", "<note/>"), "'note'"},
        {"no style sheet root", QByteArray("<style ") + Instance + " xsi:noNamespaceSchemaLocation=\"styles.xsd\"/>", "'style'"},
    };
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    for (const auto& row : table) {
        SCOPED_TRACE(row.what);
        PLError error;
        EXPECT_FALSE(validateBytes(row.bytes, &error));
        EXPECT_EQ(error.domain(), PLXMLSchemaValidator::ErrorDomain);
        EXPECT_EQ(error.code(), PLXMLSchemaValidator::DocumentInvalid);
        EXPECT_TRUE(error.failureReason().contains(QLatin1String(row.reasonPart))) << qPrintable(error.failureReason());
        EXPECT_TRUE(error.failureReason().startsWith(QLatin1String("line "))) << qPrintable(error.failureReason());

        const QString file = scratch.filePath(QStringLiteral("case.xml"));
        ASSERT_TRUE(writeFile(file, row.bytes));
        const QString schema = row.bytes.contains("styles.xsd") ? QStringLiteral("styles.xsd") : QStringLiteral("contents.xsd");
        const int lint = xmllint(schema, file);
        if (lint != -1) {
            EXPECT_GT(lint, 0);
        }
    }
}

// The style sheet reader reads over unknown kinds, value kinds and children: so does the schema.
TEST(PLXMLSchemaValidator, StyleSheetsAdmitWhatTheReaderReadsOver)
{
    const QByteArray stylesRoot = QByteArray("<styles ") + Instance + " xsi:noNamespaceSchemaLocation=\"styles.xsd\" version=\"x\">";
    const struct {
        const char* what;
        QByteArray body;
    } table[] = {
        {"unknown master style", "<floating><a n=\"x\" v=\"1\"/></floating>"},
        {"value kind", "<canvas><a n=\"x\" t=\"q\" v=\"1\"/></canvas>"},
        {"attribute without name or value", "<canvas><a v=\"1\"/><a n=\"y\"/></canvas>"},
        {"other children in a style", "<style ref=\"A\"><b/>text</style>"},
        {"attributes the reader ignores", "<rootbranch level=\"2\"><a n=\"x\" v=\"1\" extra=\"e\"/></rootbranch>"},
    };
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    for (const auto& row : table) {
        SCOPED_TRACE(row.what);
        const QByteArray bytes = stylesRoot + row.body + "</styles>";
        PLError error;
        EXPECT_TRUE(validateBytes(bytes, &error)) << qPrintable(error.failureReason());
        const QString file = scratch.filePath(QStringLiteral("case.xml"));
        ASSERT_TRUE(writeFile(file, bytes));
        const int lint = xmllint(QStringLiteral("styles.xsd"), file);
        if (lint != -1) {
            EXPECT_EQ(lint, 0);
        }
    }
}

TEST_F(SchemaSandbox, OnlyTheApplicationsSchemasAreUsed)
{
    LoopbackListener listener;
    ASSERT_TRUE(listener.isListening());
    const QString localPermissive = m_folder.filePath(QStringLiteral("permissive.xsd"));
    // Every document breaks contents.xsd but passes the permissive schema it names.
    const QByteArray body = "<anything/>";
    const struct {
        const char* what;
        QByteArray bytes;
        PLXMLSchemaValidator::Code code;
    } table[] = {
        {"no location", QByteArray("<document ") + Instance + ">" + body + "</document>", PLXMLSchemaValidator::NoSchemaNamed},
        {"location without namespace", "<document noNamespaceSchemaLocation=\"contents.xsd\"/>", PLXMLSchemaValidator::NoSchemaNamed},
        {"empty location", contentsNaming(QString(), body), PLXMLSchemaValidator::SchemaRefused},
        {"relative path up", contentsNaming(QStringLiteral("../XMLSchema/contents.xsd"), body), PLXMLSchemaValidator::SchemaRefused},
        {"path inside resources", contentsNaming(QStringLiteral("XMLSchema/contents.xsd"), body), PLXMLSchemaValidator::SchemaRefused},
        {"absolute path", contentsNaming(localPermissive, body), PLXMLSchemaValidator::SchemaRefused},
        {"system path", contentsNaming(QStringLiteral("/etc/x.xsd"), body), PLXMLSchemaValidator::SchemaRefused},
        {"file URL", contentsNaming(QUrl::fromLocalFile(localPermissive).toString(), body), PLXMLSchemaValidator::SchemaRefused},
        {"http URL", contentsNaming(listener.url("contents.xsd"), body), PLXMLSchemaValidator::SchemaRefused},
        {"name in the current directory only", contentsNaming(QStringLiteral("permissive.xsd"), body),
         PLXMLSchemaValidator::SchemaRefused},
        {"file of the folder that is no schema", contentsNaming(QStringLiteral("README.md"), body), PLXMLSchemaValidator::SchemaRefused},
        {"name with a trailing blank", contentsNaming(QStringLiteral("contents.xsd "), body), PLXMLSchemaValidator::SchemaRefused},
        {"name with a query", contentsNaming(QStringLiteral("contents.xsd?x=1"), body), PLXMLSchemaValidator::SchemaRefused},
        {"shipped schema", contentsNaming(QStringLiteral("contents.xsd"), body), PLXMLSchemaValidator::DocumentInvalid},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.what);
        PLError error;
        EXPECT_FALSE(validateBytes(row.bytes, &error));
        EXPECT_EQ(error.domain(), PLXMLSchemaValidator::ErrorDomain);
        EXPECT_EQ(error.code(), row.code) << qPrintable(error.failureReason());
        EXPECT_FALSE(error.failureReason().isEmpty());
    }
    EXPECT_EQ(QDir::currentPath(), m_workingDirectory);
    EXPECT_EQ(listener.connections(), 0);
}

// Hints in a document that would make other validators fetch something are ignored, and
// the current directory (which holds a permissive "contents.xsd") plays no part.
TEST_F(SchemaSandbox, NothingIsFetchedAndTheCurrentDirectoryIsLeftAlone)
{
    LoopbackListener listener;
    ASSERT_TRUE(listener.isListening());
    const QByteArray hintedRoot = QByteArray("<document ") + Instance + " xsi:noNamespaceSchemaLocation=\"contents.xsd\"" +
                                  " xsi:schemaLocation=\"urn:x " + listener.url("x.xsd").toUtf8() + "\">";
    const struct {
        const char* what;
        QByteArray bytes;
        bool valid;
    } table[] = {
        {"schema location hint", hintedRoot + "<timescale type=\"weekly\"/></document>", true},
        {"schema location hint with a foreign element",
         hintedRoot + "<x:extra xmlns:x=\"urn:x\"/></document>", false},
        {"include element", contentsNaming(QStringLiteral("contents.xsd"),
                                           "<xi:include xmlns:xi=\"http://www.w3.org/2001/XInclude\" href=\"" +
                                               listener.url("part.xml").toUtf8() + "\"/>"),
         false},
        {"internal document type",
         "<!DOCTYPE document [<!ELEMENT document ANY><!ATTLIST document extra CDATA \"1\">]>" +
             contentsNaming(QStringLiteral("contents.xsd")),
         true},
        {"external document type",
         "<!DOCTYPE document SYSTEM \"" + listener.url("contents.dtd").toUtf8() + "\">" + contentsNaming(QStringLiteral("contents.xsd")),
         false},
        {"external entity",
         "<!DOCTYPE document [<!ENTITY e SYSTEM \"" + listener.url("e.xml").toUtf8() + "\">]>" +
             contentsNaming(QStringLiteral("contents.xsd"), "<branch>&e;</branch>"),
         false},
        {"document that breaks the shipped schema only", contentsNaming(QStringLiteral("contents.xsd"), "<anything/>"), false},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.what);
        PLError error;
        EXPECT_EQ(validateBytes(row.bytes, &error), row.valid) << qPrintable(error.failureReason());
        EXPECT_EQ(QDir::currentPath(), m_workingDirectory);
    }
    EXPECT_EQ(listener.connections(), 0);
}

// A schema may include its siblings but reaches nothing outside its folder.
TEST(PLXMLSchemaValidator, SchemasReadOnlyFromTheirOwnFolder)
{
    LoopbackListener listener;
    ASSERT_TRUE(listener.isListening());
    QTemporaryDir resources(QDir::tempPath() + QStringLiteral("/schema resources XXXXXX"));
    ASSERT_TRUE(resources.isValid());
    const QString folder = resources.filePath(PLXMLSchemaValidator::SchemaFolder);
    ASSERT_TRUE(QDir().mkpath(folder));
    const QByteArray head = "<xs:schema xmlns:xs=\"http://www.w3.org/2001/XMLSchema\">";
    const QByteArray rootElement = "<xs:element name=\"document\" type=\"Root\"/>";
    const QByteArray rootType = "<xs:complexType name=\"Root\"><xs:attribute name=\"ok\" type=\"xs:string\"/></xs:complexType>";
    ASSERT_TRUE(writeFile(folder + QStringLiteral("/part.xsd"), head + rootType + "</xs:schema>"));
    ASSERT_TRUE(writeFile(resources.filePath(QStringLiteral("outside.xsd")), head + rootType + "</xs:schema>"));
    ASSERT_TRUE(writeFile(folder + QStringLiteral("/sibling.xsd"),
                          head + "<xs:include schemaLocation=\"part.xsd\"/>" + rootElement + "</xs:schema>"));
    ASSERT_TRUE(writeFile(folder + QStringLiteral("/escape.xsd"),
                          head + "<xs:include schemaLocation=\"../outside.xsd\"/>" + rootElement + "</xs:schema>"));
    ASSERT_TRUE(writeFile(folder + QStringLiteral("/remote.xsd"),
                          head + "<xs:include schemaLocation=\"" + listener.url("part.xsd").toUtf8() + "\"/>" + rootElement +
                              "</xs:schema>"));
    ASSERT_TRUE(writeFile(folder + QStringLiteral("/import.xsd"),
                          head + "<xs:import namespace=\"urn:x\" schemaLocation=\"" + listener.url("x.xsd").toUtf8() + "\"/>" +
                              rootElement + rootType + "</xs:schema>"));
    ASSERT_TRUE(writeFile(folder + QStringLiteral("/entity.xsd"),
                          "<!DOCTYPE xs:schema [<!ENTITY e SYSTEM \"" + listener.url("e.xml").toUtf8() + "\">]>" + head +
                              "<xs:annotation><xs:documentation>&e;</xs:documentation></xs:annotation>" + rootElement +
                              rootType + "</xs:schema>"));
    ASSERT_TRUE(writeFile(folder + QStringLiteral("/broken.xsd"), head + "<xs:element"));

    const QString previousResources = PLResources::directory();
    PLResources::setDirectory(resources.path());
    const struct {
        const char* schema;
        bool valid;
        int code;
    } table[] = {
        {"sibling.xsd", true, 0},
        {"escape.xsd", false, PLXMLSchemaValidator::SchemaUnreadable},
        {"remote.xsd", false, PLXMLSchemaValidator::SchemaUnreadable},
        {"import.xsd", false, PLXMLSchemaValidator::SchemaUnreadable},
        {"entity.xsd", false, PLXMLSchemaValidator::SchemaUnreadable},
        {"broken.xsd", false, PLXMLSchemaValidator::SchemaUnreadable},
        // A refused schema is not cached as usable: asking again fails again.
        {"escape.xsd", false, PLXMLSchemaValidator::SchemaUnreadable},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.schema);
        PLError error;
        const QByteArray bytes = QByteArray("<document ") + Instance + " ok=\"1\" xsi:noNamespaceSchemaLocation=\"" + row.schema + "\"/>";
        EXPECT_EQ(validateBytes(bytes, &error), row.valid) << qPrintable(error.failureReason());
        if (!row.valid) {
            EXPECT_EQ(error.code(), row.code);
            EXPECT_TRUE(error.failureReason().contains(QLatin1String(row.schema))) << qPrintable(error.failureReason());
        }
    }
    PLResources::setDirectory(previousResources);
    EXPECT_EQ(listener.connections(), 0);
}

// Threads that start together share the first parse of each schema and validate at once.
TEST(PLXMLSchemaValidator, ValidatesFromSeveralThreadsAtOnce)
{
    QTemporaryDir resources;
    ASSERT_TRUE(resources.isValid());
    const QString folder = resources.filePath(PLXMLSchemaValidator::SchemaFolder);
    ASSERT_TRUE(QDir().mkpath(folder));
    for (const char* name : {"contents.xsd", "styles.xsd"}) {
        ASSERT_TRUE(QFile::copy(PLResources::pathFor(QLatin1String(name), PLXMLSchemaValidator::SchemaFolder),
                                folder + QLatin1Char('/') + QLatin1String(name)));
    }
    const QByteArray valid[] = {readFile(dataPath(QStringLiteral("contents-written.xml"))),
                                readFile(dataPath(QStringLiteral("styles-written.xml")))};
    const QByteArray invalid = contentsNaming(QStringLiteral("contents.xsd"), "<timescale type=\"hourly\"/>");

    const QString previousResources = PLResources::directory();
    PLResources::setDirectory(resources.path());
    std::atomic<int> failures = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 10; ++i) {
                PLError error;
                if (!validateBytes(valid[(t + i) % 2], &error)) ++failures;
                if (validateBytes(invalid, &error) || !error.failureReason().contains(QLatin1String("hourly"))) ++failures;
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    PLResources::setDirectory(previousResources);
    EXPECT_EQ(failures, 0);
}

// A package's nodes are read from a tree while another thread checks it against its schema.
// Checking writes into a tree only to register the attributes a schema types as ID, so no
// shipped schema may declare such a type.
TEST(PLXMLSchemaValidator, NoShippedSchemaDeclaresAnIdType)
{
    const QDir folder(PLResources::directory() + QLatin1Char('/') + PLXMLSchemaValidator::SchemaFolder);
    const QStringList schemas = folder.entryList({QStringLiteral("*.xsd")}, QDir::Files);
    ASSERT_GE(schemas.size(), 2);
    const QStringList idTypes{QStringLiteral("ID"), QStringLiteral("IDREF"), QStringLiteral("IDREFS")};
    for (const QString& name : schemas) {
        SCOPED_TRACE(name.toStdString());
        PLError error;
        const PLXMLDocument schema = PLXMLDocument::fromData(readFile(folder.filePath(name)), &error);
        ASSERT_FALSE(schema.isNull()) << qPrintable(error.failureReason());
        int walked = 0;
        std::vector<PLXMLElement> pending{schema.rootElement()};
        while (!pending.empty()) {
            const PLXMLElement element = pending.back();
            pending.pop_back();
            ++walked;
            for (const char* attribute : {"type", "base", "itemType"}) {
                if (!element.hasAttribute(attribute)) continue;
                const QString type = element.attribute(attribute).section(QLatin1Char(':'), -1);
                EXPECT_FALSE(idTypes.contains(type)) << qPrintable(element.attribute("name"));
            }
            for (const PLXMLElement& child : element.childElements()) pending.push_back(child);
        }
        EXPECT_GT(walked, 1);
    }
}
