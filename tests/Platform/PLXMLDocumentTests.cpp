#include "Platform/Core/PLAssert.h"
#include "Platform/XML/PLXMLDocument.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <iterator>
#include <vector>

namespace {
PLXMLDocument parse(const QByteArray& bytes, PLError* error = nullptr)
{
    return PLXMLDocument::fromData(bytes, error);
}
}

TEST(PLXMLDocument, BuildSerializeParseRoundTrip)
{
    PLXMLDocument document("document");
    PLXMLElement root = document.rootElement();
    root.setAttribute("version", u"2");
    PLXMLElement branch = root.addChildElement("branch");
    branch.setAttribute("title", u"Fish & Chips <\"quoted\"> 'single' \u00e9\u4e2d\U0001F600");
    branch.setAttribute("empty", u"");
    branch.addChildElement("note").setText(u"line one\nline two\t&amp; <b>not markup</b>");
    root.addChildElement("branch").setAttribute("title", u"second");

    for (auto format : {PLXMLDocument::Format::Compact, PLXMLDocument::Format::Indented}) {
        const QByteArray bytes = document.xmlData(format);
        EXPECT_TRUE(bytes.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>")) << bytes.constData();
        PLError error;
        const PLXMLDocument reread = parse(bytes, &error);
        ASSERT_TRUE(reread) << qPrintable(error.failureReason());
        const PLXMLElement readRoot = reread.rootElement();
        EXPECT_EQ(readRoot.name(), QStringLiteral("document"));
        EXPECT_EQ(readRoot.attribute("version"), QStringLiteral("2"));
        const QList<PLXMLElement> branches = readRoot.childElements("branch");
        ASSERT_EQ(branches.size(), 2);
        EXPECT_EQ(branches[0].attribute("title"), branch.attribute("title"));
        EXPECT_EQ(branches[0].attribute("title"),
                  QString::fromUtf8("Fish & Chips <\"quoted\"> 'single' \u00e9\u4e2d\U0001F600"));
        EXPECT_TRUE(branches[0].hasAttribute("empty"));
        EXPECT_EQ(branches[0].firstChildElement("note").text(),
                  QStringLiteral("line one\nline two\t&amp; <b>not markup</b>"));
        EXPECT_EQ(branches[1].attribute("title"), QStringLiteral("second"));
        // Serialising the re-read document gives the same bytes again.
        EXPECT_EQ(reread.xmlData(format), bytes);
    }
}

namespace {

struct HostileInput {
    const char* what;
    QByteArray bytes;
    const char* reasonPart;
};

const std::vector<HostileInput>& hostileInputs()
{
    static const HostileInput table[] = {
        {"empty", "", "empty"},
        {"not XML", "hello", "line 1"},
        {"unclosed element", "<a><b></a>", "line 1"},
        {"truncated", "<a attr=\"1", "line 1"},
        {"no root", "<?xml version=\"1.0\"?>\n", "line"},
        {"entity bomb",
         "<?xml version=\"1.0\"?>\n<!DOCTYPE lolz [\n <!ENTITY lol \"lol\">\n"
         " <!ENTITY lol2 \"&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;&lol;\">\n"
         " <!ENTITY lol3 \"&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;&lol2;\">\n"
         " <!ENTITY lol4 \"&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;&lol3;\">\n"
         " <!ENTITY lol5 \"&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;&lol4;\">\n"
         " <!ENTITY lol6 \"&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;&lol5;\">\n"
         " <!ENTITY lol7 \"&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;&lol6;\">\n"
         " <!ENTITY lol8 \"&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;&lol7;\">\n"
         " <!ENTITY lol9 \"&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;&lol8;\">\n"
         "]>\n<lolz a=\"&lol9;\">&lol9;</lolz>\n",
         "entity declarations are not allowed"},
        {"external entity", "<!DOCTYPE a [<!ENTITY x SYSTEM \"file:///etc/passwd\">]><a>&x;</a>",
         "entity declarations are not allowed"},
        {"parameter entity", "<!DOCTYPE a [<!ENTITY % p SYSTEM \"http://127.0.0.1/x.dtd\"> %p;]><a/>",
         "entity declarations are not allowed"},
        {"unparsed entity", "<!DOCTYPE a [<!NOTATION n SYSTEM \"n\"><!ENTITY u SYSTEM \"u\" NDATA n>]><a/>",
         "entity declarations are not allowed"},
        {"external DOCTYPE", "<!DOCTYPE a SYSTEM \"http://127.0.0.1/a.dtd\"><a/>",
         "external document type definitions are not allowed"},
        {"public DOCTYPE", "<!DOCTYPE a PUBLIC \"-//x//y\" \"file:///etc/passwd\"><a/>",
         "external document type definitions are not allowed"},
        {"undeclared entity", "<a>&nope;</a>", "nope"},
        {"forbidden character", QByteArray("<a>\x01</a>", 8), "line 1"},
        {"deep nesting", QByteArray("<a>").repeated(100000) + QByteArray("</a>").repeated(100000),
         "line 1: elements are nested more than 256 levels deep"},
        {"more elements than any map", "<a>" + QByteArray("<b/>").repeated(10'000'001) + "</a>",
         "the document holds more elements than any map"},
        {"undecodable bytes", "<?xml version=\"1.0\" encoding=\"EUC-JP\"?><a>\xff\xff\xff\xff</a>", "conversion failed"},
        {"unknown encoding", "<?xml version=\"1.0\" encoding=\"no-such-encoding\"?><a/>", "no-such-encoding"},
        {"bad UTF-8", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a>\xc3\x28</a>", "line 1"},
    };
    static const std::vector<HostileInput> inputs(std::begin(table), std::end(table));
    return inputs;
}

}  // namespace

TEST(PLXMLDocument, RefusesHostileOrBrokenInputWithAnError)
{
    const std::vector<HostileInput>& table = hostileInputs();
    for (const auto& row : table) {
        PLError error;
        testing::internal::CaptureStderr();
        const PLXMLDocument document = parse(row.bytes, &error);
        // The reason goes into the error only: the parser prints nothing.
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "") << row.what;
        EXPECT_FALSE(document) << row.what;
        EXPECT_TRUE(document.rootElement().isNull()) << row.what;
        EXPECT_EQ(error.domain(), PLXMLDocument::ErrorDomain) << row.what;
        EXPECT_TRUE(error.failureReason().contains(QLatin1String(row.reasonPart)))
            << row.what << ": " << qPrintable(error.failureReason());
    }
}

// A reader of small parts passes a lower limit on elements: a document at it is read, one
// past it refused with its own code, whether parsed from memory or as read.
TEST(PLXMLDocument, ElementLimitOfTheParseIsKept)
{
    const auto fromReader = [](const QByteArray& bytes, PLError* error, qint64 limit) {
        qsizetype at = 0;
        return PLXMLDocument::fromReader(
            [&](char* buffer, int length) {
                const int count = int(std::min<qsizetype>(std::min(length, 7), bytes.size() - at));
                std::memcpy(buffer, bytes.constData() + at, size_t(count));
                at += count;
                return count;
            },
            error, limit);
    };
    const auto fromData = [](const QByteArray& bytes, PLError* error, qint64 limit) {
        return PLXMLDocument::fromData(bytes, error, limit);
    };
    for (const auto& read : {std::function<PLXMLDocument(const QByteArray&, PLError*, qint64)>(fromData),
                             std::function<PLXMLDocument(const QByteArray&, PLError*, qint64)>(fromReader)}) {
        const QByteArray hundred = "<a>" + QByteArray("<b/>").repeated(99) + "</a>";
        PLError error;
        EXPECT_TRUE(read(hundred, &error, 100)) << qPrintable(error.failureReason());
        const PLXMLDocument refused = read(hundred, &error, 99);
        EXPECT_FALSE(refused);
        EXPECT_EQ(error.code(), PLXMLDocument::TooManyElementsError);
        EXPECT_EQ(error.failureReason(), QStringLiteral("the document holds more elements than any map"));
    }
}

TEST(PLXMLDocument, AcceptsAPlainDoctypeAndOtherEncodings)
{
    PLError error;
    PLXMLDocument html = parse("<!DOCTYPE html><html><body>x</body></html>", &error);
    ASSERT_TRUE(html) << qPrintable(error.failureReason());
    EXPECT_EQ(html.rootElement().firstChildElement("body").text(), QStringLiteral("x"));

    PLXMLDocument latin1 = parse("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a t=\"caf\xe9\"/>", &error);
    ASSERT_TRUE(latin1) << qPrintable(error.failureReason());
    EXPECT_EQ(latin1.rootElement().attribute("t"), QString::fromUtf8("caf\u00e9"));
    EXPECT_EQ(parse("<a>&amp;&lt;&#65;</a>").rootElement().text(), QStringLiteral("&<A"));
}

TEST(PLXMLDocument, OwnsItsTreeAcrossMovesAndRootReplacement)
{
    PLXMLDocument first("one");
    PLXMLElement child = first.rootElement().addChildElement("child");
    child.setAttribute("k", u"v");
    PLXMLDocument moved(std::move(first));
    EXPECT_TRUE(first.isNull());
    EXPECT_EQ(child.attribute("k"), QStringLiteral("v"));
    EXPECT_EQ(moved.rootElement().firstChildElement(), child);

    PLXMLDocument assigned;
    assigned = std::move(moved);
    const PLXMLElement newRoot = assigned.setRootElement("two");
    EXPECT_EQ(assigned.rootElement(), newRoot);
    EXPECT_EQ(newRoot.name(), QStringLiteral("two"));
    EXPECT_TRUE(newRoot.firstChildElement().isNull());
    EXPECT_TRUE(PLXMLDocument().xmlData().isEmpty());
    EXPECT_THROW(PLXMLDocument("not a name"), PLAssertionFailure);
}

TEST(PLXMLDocument, ReleasedInTheBackgroundWhileOthersAreParsed)
{
    PLXMLDocument none;
    PLXMLDocument::releaseInBackground(std::move(none));
    for (int round = 0; round < 50; ++round) {
        PLXMLDocument document = PLXMLDocument::fromData("<a><b c=\"1\"/>text</a>");
        ASSERT_FALSE(document.isNull());
        PLXMLDocument::releaseInBackground(std::move(document));
        EXPECT_TRUE(document.isNull());  // NOLINT(bugprone-use-after-move): the handle is emptied
        // Parsing goes on while trees are freed.
        EXPECT_EQ(PLXMLDocument::fromData("<x y=\"2\"/>").rootElement().attribute("y"), QStringLiteral("2"));
    }
}

// The reader gives the bytes a few at a time: the parse must end as fromData's does, with
// the same reason, for every hostile or broken input, and build the same tree from good ones.
TEST(PLXMLDocument, ReadingInPiecesGivesWhatParsingAllAtOnceGives)
{
    const auto pieces = [](const QByteArray& bytes, int step) {
        return [bytes, step, at = qsizetype(0)](char* buffer, int length) mutable {
            const int count = int(std::min<qsizetype>({qsizetype(length), qsizetype(step), bytes.size() - at}));
            std::memcpy(buffer, bytes.constData() + at, size_t(count));
            at += count;
            return count;
        };
    };
    for (const HostileInput& row : hostileInputs()) {
        PLError whole;
        PLError inPieces;
        EXPECT_FALSE(PLXMLDocument::fromData(row.bytes, &whole)) << row.what;
        EXPECT_FALSE(PLXMLDocument::fromReader(pieces(row.bytes, 7), &inPieces)) << row.what;
        EXPECT_EQ(inPieces.code(), whole.code()) << row.what;
        EXPECT_EQ(inPieces.failureReason(), whole.failureReason()) << row.what;
    }
    const QByteArray good = "<?xml version=\"1.0\"?><a x=\"1\"><b>t&amp;u</b>" + QByteArray("<c/>").repeated(5000) + "</a>";
    const PLXMLDocument read = PLXMLDocument::fromReader(pieces(good, 1000));
    ASSERT_TRUE(read);
    EXPECT_EQ(read.xmlData(), PLXMLDocument::fromData(good).xmlData());

    // A reader that fails stops the parse, however much was well-formed so far.
    PLError error;
    auto failing = [inner = pieces(good, 1000), calls = 0](char* buffer, int length) mutable {
        return ++calls < 3 ? inner(buffer, length) : -1;
    };
    EXPECT_FALSE(PLXMLDocument::fromReader(failing, &error));
    EXPECT_EQ(error.domain(), PLXMLDocument::ErrorDomain);
}
