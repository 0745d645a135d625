#include "DocumentModel/IXDocumentNode.h"
#include "DocumentModel/IXNodeElementRegistry.h"
#include "DocumentModel/IXWarning.h"
#include "IXFakeServices.h"
#include "IXPackageBytes.h"
#include "IXPackageTestNodes.h"
#include "Platform/Core/PLAssert.h"
#include "Platform/XML/PLPropertyList.h"
#include "Platform/System/PLResources.h"
#include "Platform/XML/PLXMLSchemaValidator.h"
#include "TestSupport/QStringPrinter.h"
#include "Utilities/UTZipArchive.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointF>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

namespace {

using Parts = PackageParts;

QStringList entryNames(const QByteArray& package)
{
    QStringList names;
    const std::optional<UTZipArchive> archive = UTZipArchive::fromData(package);
    if (archive) {
        for (const auto& item : archive->items()) names << item.name();
    }
    return names;
}

QStringList titlesOf(const IXDocumentNode::NodeList& nodes)
{
    QStringList titles;
    for (const auto& node : nodes) titles << node->title();
    return titles;
}

// Opens the bytes expecting success and no error shown.
std::shared_ptr<IXDocumentNode> open(const QByteArray& package, FakeApplicationServices& services)
{
    PLError error;
    std::shared_ptr<IXDocumentNode> document = IXDocumentNode::fromZipData(package, &error);
    EXPECT_TRUE(document) << error.failureReason().toStdString();
    EXPECT_FALSE(error);
    return document;
}

QString today()
{
    return QDate::currentDate().toString(u"yyyy-MM-dd");
}

class IXPackage : public ::testing::Test {
protected:
    FakeApplicationServices services;
    PackageTestNodes nodes;

    // A document with the tree that the written-form test expects.
    std::shared_ptr<IXDocumentNode> sampleDocument() { return open(samplePackage(), services); }
};

}  // namespace

// --- Reading and writing the node tree ---

TEST_F(IXPackage, ReadsTheDocumentElement)
{
    const auto document = sampleDocument();
    ASSERT_TRUE(document);
    EXPECT_EQ(document->existingUniqueId(), QStringLiteral("DOC1"));
    EXPECT_EQ(document->timeScaleType(), 2);  // the last "timescale" counts
    EXPECT_EQ(document->userName(), QStringLiteral("Ann Example"));
    EXPECT_EQ(document->modificationDate().date(), QDate(2021, 3, 4));
    // Branches are read before the floating nodes, whatever the order in the file.
    EXPECT_EQ(titlesOf(document->rootBranches()), (QStringList{"Main", "Second"}));
    const auto main = std::static_pointer_cast<XMLTestBranch>(document->rootBranches().first());
    EXPECT_EQ(titlesOf(main->children()), QStringList{"Sub"});
    ASSERT_EQ(document->pictures().size(), 1);
    EXPECT_EQ(document->pictures().first()->floatingTargetNode(), main->children().first());
    ASSERT_EQ(document->comments().size(), 1);
    EXPECT_TRUE(std::static_pointer_cast<XMLTestComment>(document->comments().first())->madePlainText);
    EXPECT_EQ(document->nodeForId(QStringLiteral("B2")), main->children().first());
    // Reading records nothing to undo and leaves undo on.
    EXPECT_TRUE(document->isUndoEnabled());
    EXPECT_TRUE(document->warnings().isEmpty()) << "the contents follow the schema";
}

TEST_F(IXPackage, WritesTheDocumentElementInItsFixedForm)
{
    const auto document = sampleDocument();
    ASSERT_TRUE(document);
    const QString before = today();
    const std::optional<QByteArray> package = document->zipData();
    ASSERT_TRUE(package);
    const QString after = today();
    const QByteArray contents = *UTZipArchive::fromData(*package)->dataByName(QStringLiteral("contents.xml"));
    const auto expected = [](const QString& date) {
        return QByteArray(R"(<?xml version="1.0" encoding="UTF-8"?>)"
                          "\n"
                          R"(<document uid="DOC1" version="1" revision="1" author="Ann Example" modified=")")
               + date.toLatin1()
               + R"(" xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance" xsi:noNamespaceSchemaLocation="contents.xsd">)"
                 R"(<timescale type="weekly"/>)"
                 R"(<branch uid="B1"><title>Main</title><branch uid="B2"><title>Sub</title></branch></branch>)"
                 R"(<branch uid="B3"><title>Second</title></branch>)"
                 R"(<picture uid="P1" target="branch:B2"/>)"
                 R"(<comment uid="C1"><title>Note</title></comment>)"
                 "</document>\n";
    };
    EXPECT_TRUE(contents == expected(before) || contents == expected(after)) << contents.toStdString();
}

TEST_F(IXPackage, NewDocumentRoundTripsThroughAPackage)
{
    auto document = std::make_shared<IXDocumentNode>();
    document->setUserName(QStringLiteral("Line\nBreak"));
    document->setTimeScaleType(4);
    auto root = std::make_shared<XMLTestBranch>(QStringLiteral("Root <&> \"quoted\""));
    document->addRootBranch(root);
    root->addChild(std::make_shared<XMLTestBranch>(QStringLiteral("Child")));
    auto comment = std::make_shared<XMLTestComment>();
    comment->setTitle(QStringLiteral("Floating"));
    document->addComment(comment);
    document->userInterfaceOptions().insert(QStringLiteral("view"), 3);
    document->packageParts().optionsForName(QStringLiteral("export.html")).insert(QStringLiteral("IXColumns"), QVariantList{1, 2});

    const std::optional<QByteArray> package = document->zipData();
    ASSERT_TRUE(package);
    // The new archive holds the node tree and the options asked for, in the order saved.
    EXPECT_EQ(entryNames(*package), (QStringList{"contents.xml", "export.html.plist", "ui-state.plist"}));

    const auto reread = open(*package, services);
    ASSERT_TRUE(reread);
    EXPECT_EQ(reread->userName(), QStringLiteral("Line Break"));  // attributes hold one line
    EXPECT_EQ(reread->timeScaleType(), 4);
    EXPECT_EQ(titlesOf(reread->rootBranches()), QStringList{"Root <&> \"quoted\""});
    EXPECT_EQ(titlesOf(std::static_pointer_cast<XMLTestBranch>(reread->rootBranches().first())->children()),
              QStringList{"Child"});
    EXPECT_EQ(titlesOf(reread->comments()), QStringList{"Floating"});
    EXPECT_EQ(reread->userInterfaceOptions().value(QStringLiteral("view")).toInt(), 3);
    EXPECT_EQ(reread->packageParts().optionsForName(QStringLiteral("export.html")).value(QStringLiteral("IXColumns")).toList().size(), 2);
    // A new document has no id until asked, and none is written for it.
    EXPECT_TRUE(reread->existingUniqueId().isEmpty());
    EXPECT_EQ(reread->modificationDate().date(), QDate::currentDate());
}

TEST_F(IXPackage, DocumentElementDefaultsAndOddValues)
{
    const struct {
        const char* name;
        QByteArray children;
        QByteArray attributes;
        int timeScale;
        bool hasAuthor;
        QDate modified;
    } cases[] = {
        {"bare", "", "", 0, false, {}},
        {"unknown time scale word", R"(<timescale type="lunar"/>)", "", 0, false, {}},
        {"time scale without type", R"(<timescale type="historic"/><timescale/>)", "", 0, false, {}},
        {"each word", R"(<timescale type="geological"/>)", R"( author="")", 4, true, {}},
        {"impossible date", "", R"( modified="2021-02-30")", 0, false, {}},
        {"date with time", "", R"( modified="2021-02-03 10:00")", 0, false, {}},
        {"short year", "", R"( modified="800-1-2")", 0, false, QDate(800, 1, 2)},
    };
    for (const auto& c : cases) {
        PLError error;
        const auto document = IXDocumentNode::fromZipData(
            packageOf({{QStringLiteral("contents.xml"), contentsXml(c.children, c.attributes)}}), &error);
        ASSERT_TRUE(document) << c.name;
        EXPECT_EQ(document->timeScaleType(), c.timeScale) << c.name;
        if (c.hasAuthor) EXPECT_EQ(document->userName(), QString()) << c.name;
        else EXPECT_FALSE(document->userName().isEmpty()) << c.name;  // the current user
        if (c.modified.isValid()) EXPECT_EQ(document->modificationDate().date(), c.modified) << c.name;
        else EXPECT_EQ(document->modificationDate().date(), QDate::currentDate()) << c.name;
    }
}

TEST_F(IXPackage, AnUnreadableNodeFailsTheWholeDocument)
{
    for (const QByteArray& children : {QByteArray(R"(<branch uid="A"/><branch uid="FAIL"/><branch uid="C"/>)"),
                                       QByteArray(R"(<branch uid="A"><branch uid="FAIL"/></branch>)"),
                                       QByteArray(R"(<comment uid="FAIL"/>)")}) {
        PLError error;
        const auto document = IXDocumentNode::fromZipData(packageOf({{QStringLiteral("contents.xml"), contentsXml(children)}}), &error);
        EXPECT_FALSE(document) << children.toStdString();
        EXPECT_EQ(error.failureReason(), QStringLiteral("unreadable test node"));
    }
}

TEST(IXPackageRegistry, ElementsWithoutAReaderAreSkipped)
{
    FakeApplicationServices services;
    const auto previous = IXNodeElementRegistry::setFactory("branch", nullptr);
    PLError error;
    const auto document = IXDocumentNode::fromZipData(
        packageOf({{QStringLiteral("contents.xml"), contentsXml(R"(<timescale type="daily"/><branch uid="A"/>)")}}), &error);
    IXNodeElementRegistry::setFactory("branch", previous);
    ASSERT_TRUE(document);
    EXPECT_TRUE(document->rootBranches().isEmpty());
    EXPECT_EQ(document->timeScaleType(), 1);
    EXPECT_FALSE(IXNodeElementRegistry::makeNode("no-such-element"));
}

// --- Parts ---

TEST_F(IXPackage, UnknownPartsPassThroughByteForByteAndInPlace)
{
    static const char previewBytes[] = "\xFF\xD8\xFF\xE0 not really a jpeg";
    const QByteArray preview(previewBytes, sizeof previewBytes - 1);
    const Parts parts = {
        {QStringLiteral("preview"), preview},
        {QStringLiteral("contents.xml"), contentsXml(R"(<branch uid="A"><title>Old</title></branch>)")},
        {QStringLiteral("mindmap.styles.xml"), QByteArray("<styles>kept as it is</styles>")},
        {QStringLiteral("ui-state.plist"), PLPropertyList::write(QVariantMap{{"view", 1}})},
        {QStringLiteral("additional_folders.plist"), PLPropertyList::write(QVariantMap{{"untouched", true}})},
        {QStringLiteral("pictures/sun.png"), QByteArray(3000, 'x')},
        {QStringLiteral("0F1E2D3C"), QByteArray("{\\rtf1 note}")},
    };
    const QByteArray original = packageOf(parts);
    auto document = open(original, services);
    ASSERT_TRUE(document);
    document->addRootBranch(std::make_shared<XMLTestBranch>(QStringLiteral("New")));
    document->userInterfaceOptions().insert(QStringLiteral("view"), 2);
    document->packageParts().optionsForName(QStringLiteral("export")).insert(QStringLiteral("IXFormat"), QStringLiteral("rtf"));

    const std::optional<QByteArray> saved = document->zipData();
    ASSERT_TRUE(saved);
    // Known parts are replaced where they were; a new part is appended.
    QStringList expectedNames = entryNames(original);
    expectedNames << QStringLiteral("export.plist");
    EXPECT_EQ(entryNames(*saved), expectedNames);

    const UTZipArchive before = *UTZipArchive::fromData(original);
    const UTZipArchive after = *UTZipArchive::fromData(*saved);
    const QStringList rewritten = {"contents.xml", "ui-state.plist", "export.plist"};
    for (size_t i = 0; i < before.items().size(); ++i) {
        const UTZipArchiveItem& old = before.items()[i];
        if (rewritten.contains(old.name())) continue;
        // The stored (compressed) bytes, and so the content, are the very bytes of the file.
        EXPECT_EQ(after.items()[i].data(), old.data()) << old.name().toStdString();
        // A folder's data repeats its files' headers, whose date 0 becomes the save's.
        if (!old.isDirectory()) EXPECT_EQ(after.dataByPath(old.name()), before.dataByPath(old.name())) << old.name().toStdString();
    }
    EXPECT_EQ(after.dataByName(QStringLiteral("preview")), preview);

    const auto reread = open(*saved, services);
    ASSERT_TRUE(reread);
    EXPECT_EQ(titlesOf(reread->rootBranches()), (QStringList{"Old", "New"}));
    EXPECT_EQ(reread->userInterfaceOptions().value(QStringLiteral("view")).toInt(), 2);
    EXPECT_TRUE(reread->additionalFolders().info().value(QStringLiteral("untouched")).toBool());
}

TEST_F(IXPackage, XmlPartsAndTheirErrors)
{
    const QByteArray validStyles = R"(<?xml version="1.0"?>)"
                                   R"(<styles xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance")"
                                   R"( xsi:noNamespaceSchemaLocation="styles.xsd"/>)";
    auto document = std::make_shared<IXDocumentNode>();
    document->packageParts().setData(validStyles, QStringLiteral("document.styles.xml"));
    document->packageParts().setData("<styles><unclosed></styles>", QStringLiteral("broken.styles.xml"));
    document->packageParts().setData(R"(<document xsi:noNamespaceSchemaLocation="contents.xsd")"
                      R"( xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance"><wrong/></document>)",
                      QStringLiteral("invalid.xml"));

    PLError error;
    EXPECT_TRUE(document->xmlNamed(QStringLiteral("missing"), &error).isNull());
    EXPECT_FALSE(error);  // a missing part is no error

    PLXMLDocument styles = document->xmlNamed(QStringLiteral("Document.Styles"), &error);  // any case
    EXPECT_FALSE(styles.isNull());
    EXPECT_FALSE(error) << error.failureReason().toStdString();

    EXPECT_TRUE(document->xmlNamed(QStringLiteral("broken.styles"), &error).isNull());
    EXPECT_EQ(error.failureReason(), QStringLiteral("failed to load XML"));
    EXPECT_FALSE(error.userInfo().value(PLError::UnderlyingErrorKey).toString().isEmpty());

    // A document that breaks its schema still comes back, with the validator's error.
    error = PLError();
    EXPECT_FALSE(document->xmlNamed(QStringLiteral("invalid"), &error).isNull());
    EXPECT_EQ(error.domain(), PLXMLSchemaValidator::ErrorDomain);
    EXPECT_FALSE(error.failureReason().isEmpty());
    // With an error already in the slot, the part is parsed but not validated.
    EXPECT_FALSE(document->xmlNamed(QStringLiteral("invalid"), &error).isNull());

    // An emptied part reads as a missing one.
    error = PLError();
    document->packageParts().removeDataNamed(QStringLiteral("document.styles.xml"));
    EXPECT_TRUE(document->xmlNamed(QStringLiteral("document.styles"), &error).isNull());
    EXPECT_FALSE(error);

    EXPECT_THROW(document->xmlNamed(QString(), &error), PLAssertionFailure);
    EXPECT_THROW(document->xmlNamed(QStringLiteral("x"), nullptr), PLAssertionFailure);
    EXPECT_THROW(IXDocumentNode::loadXML(QByteArray(), &error), PLAssertionFailure);
}

TEST_F(IXPackage, SetXmlWritesTheTextUnlessAnErrorIsPending)
{
    auto document = std::make_shared<IXDocumentNode>();
    PLXMLDocument xml("styles");
    xml.rootElement().setAttribute("name", u"a");
    PLError error;
    EXPECT_TRUE(document->setXml(xml, QStringLiteral("document.styles"), &error));
    EXPECT_EQ(document->packageParts().dataNamed(QStringLiteral("document.styles.xml")),
              QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<styles name=\"a\"/>\n"));

    error = UTErrors::errorWithFailureReason(QStringLiteral("earlier"));
    EXPECT_FALSE(document->setXml(xml, QStringLiteral("other"), &error));
    EXPECT_FALSE(document->packageParts().dataNamed(QStringLiteral("other.xml")));
    EXPECT_EQ(error.failureReason(), QStringLiteral("earlier"));

    error = PLError();
    EXPECT_FALSE(document->setXml(PLXMLDocument(), QStringLiteral("other"), &error));
    EXPECT_EQ(error.failureReason(), QStringLiteral("failed to produce XML text"));
    EXPECT_FALSE(document->packageParts().dataNamed(QStringLiteral("other.xml")));
}

TEST_F(IXPackage, PropertyListPartsEmptiedOrUnreadable)
{
    auto document = std::make_shared<IXDocumentNode>();
    document->packageParts().setPlist({{"ignoredwords", QStringList{"a"}}}, QStringLiteral("spellchecker"), nullptr);
    document->packageParts().removeDataNamed(QStringLiteral("spellchecker.plist"));
    PLError error;
    EXPECT_FALSE(document->packageParts().plistNamed(QStringLiteral("spellchecker"), &error));
    EXPECT_FALSE(error);  // emptied: as if missing
    EXPECT_TRUE(document->ignoredWords().isEmpty());

    // A part holding what the writer would refuse (a NUL character in a string) is
    // unreadable: caching it would make every later save fail.
    QByteArray nul = PLPropertyList::write(QVariantMap{{"ignoredwords", QStringList{"abc"}}});
    nul.replace("abc", QByteArray("a\0c", 3));
    document->packageParts().setData(nul, QStringLiteral("spellchecker.plist"));
    EXPECT_FALSE(document->packageParts().plistNamed(QStringLiteral("spellchecker"), &error));
    EXPECT_EQ(error.domain(), PLPropertyList::ErrorDomain);
    EXPECT_FALSE(error.failureReason().isEmpty());
    EXPECT_TRUE(document->packageParts().optionsForName(QStringLiteral("spellchecker")).isEmpty());
    EXPECT_TRUE(document->zipData());

    // A value no property list can hold fails the save with the plist error, handed back.
    document->packageParts().optionsForName(QStringLiteral("export")).insert(QStringLiteral("bad"), QVariant::fromValue(QPointF(1, 2)));
    EXPECT_FALSE(document->zipData(&error));
    EXPECT_EQ(error.failureReason(), QStringLiteral("failed to generate plist"));
}

// --- Opening and saving: errors ---

namespace {

class FailingSaveObserver : public IXDocumentNodeObserver {
public:
    int calls = 0;
    bool respondsToSelector(std::string_view selector) const override
    {
        return selector == IXDocumentNodeSave;
    }
    void notifiedOfDocumentNodeSave(IXDocumentNode* document, PLError* error) override
    {
        ++calls;
        if (*error) return;  // a part is stored only while no error is set
        document->packageParts().setData("layout styles", QStringLiteral("mindmap.styles.xml"));
        if (fail) *error = UTErrors::errorWithFailureReason(QStringLiteral("cannot write the layout"));
    }
    bool fail = false;
};

}  // namespace

TEST_F(IXPackage, SaveBroadcastStoresPartsOrFailsTheSave)
{
    auto document = std::make_shared<IXDocumentNode>();
    FailingSaveObserver observer;
    document->addToObservers(&observer);
    std::optional<QByteArray> package = document->zipData();
    ASSERT_TRUE(package);
    EXPECT_EQ(entryNames(*package), (QStringList{"contents.xml", "mindmap.styles.xml"}));

    observer.fail = true;
    PLError error;
    EXPECT_FALSE(document->zipData(&error));
    EXPECT_EQ(error.failureReason(), QStringLiteral("cannot write the layout"));
    document->removeFromObservers(&observer);
}

TEST_F(IXPackage, SchemaViolationIsAWarningAndTheDocumentOpens)
{
    const QString before = QDir::currentPath();
    const QByteArray contents = contentsXml(R"(<timescale type="weekly"/><branch uid="A"><title>Kept</title><unknown/></branch>)",
                                            R"( modified="yesterday")");
    PLError error;
    const auto document = IXDocumentNode::fromZipData(packageOf({{QStringLiteral("contents.xml"), contents}}), &error);
    ASSERT_TRUE(document);
    EXPECT_FALSE(error);
    ASSERT_EQ(document->warnings().size(), 1);
    EXPECT_EQ(document->warnings().first()->title(), QStringLiteral("Document"));
    // The validator's own text names what is wrong.
    EXPECT_TRUE(document->warnings().first()->message().contains(QStringLiteral("'yesterday'"))) << document->warnings().first()->message().toStdString();
    EXPECT_EQ(titlesOf(document->rootBranches()), QStringList{"Kept"});
    EXPECT_EQ(document->timeScaleType(), 2);
    // Validation works without changing the current directory.
    EXPECT_EQ(QDir::currentPath(), before);
}

TEST_F(IXPackage, SchemaNamedByThePartIsNeverLoadedFromElsewhere)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    // A schema that would accept anything, next to the current directory and by absolute path.
    const QByteArray permissive = R"(<xs:schema xmlns:xs="http://www.w3.org/2001/XMLSchema">)"
                                  R"(<xs:element name="document"/></xs:schema>)";
    QFile file(folder.filePath(QStringLiteral("evil.xsd")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(permissive);
    file.close();
    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder.path());
    for (const QString& location : {QStringLiteral("evil.xsd"), file.fileName(), QStringLiteral("http://127.0.0.1:9/x.xsd"),
                                    QStringLiteral("../XMLSchema/contents.xsd")}) {
        QByteArray contents = contentsXml("<unknown/>");
        contents.replace("\"contents.xsd\"", "\"" + location.toUtf8() + "\"");
        PLError error;
        const auto document = IXDocumentNode::fromZipData(packageOf({{QStringLiteral("contents.xml"), contents}}), &error);
        ASSERT_TRUE(document) << location.toStdString();
        // Refused, so the document is reported as not validated rather than passing.
        ASSERT_EQ(document->warnings().size(), 1) << location.toStdString();
        EXPECT_EQ(document->warnings().first()->title(), QStringLiteral("Document")) << location.toStdString();
    }
    QDir::setCurrent(previous);
}

namespace {

// The offset of the local header of the entry with that name.
qsizetype localHeaderOf(const QByteArray& package, const QByteArray& name)
{
    for (qsizetype at = package.indexOf("PK\x03\x04"); at >= 0; at = package.indexOf("PK\x03\x04", at + 1)) {
        const quint16 nameLength = qFromLittleEndian<quint16>(package.constData() + at + 26);
        if (package.mid(at + 30, nameLength) == name) return at;
    }
    return -1;
}

QByteArray withPatch(QByteArray package, const QByteArray& name, qsizetype offsetInHeader, quint32 value)
{
    const qsizetype at = localHeaderOf(package, name);
    if (at >= 0) qToLittleEndian(value, package.data() + at + offsetInHeader);
    return package;
}

QByteArray withDamagedData(QByteArray package, const QByteArray& name)
{
    const qsizetype at = localHeaderOf(package, name);
    if (at < 0) return package;
    const qsizetype data = at + 30 + name.size();
    for (qsizetype i = 0; i < 8; ++i) package[data + i] = char(0xFF);
    return package;
}

QByteArray nested(int depth)
{
    return QByteArray("<branch>").repeated(depth) + QByteArray("</branch>").repeated(depth);
}

}  // namespace

TEST_F(IXPackage, DamagedPackagesFailWithAClearError)
{
    const QByteArray valid = packageOf({{QStringLiteral("contents.xml"), contentsXml(R"(<branch uid="A"/>)")},
                                        {QStringLiteral("preview"), QByteArray(5000, 'p')}});
    const QByteArray bomb = R"(<?xml version="1.0"?><!DOCTYPE document [<!ENTITY a "aaaaaaaaaaaaaaaa">)"
                            R"(<!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;">)"
                            R"(<!ENTITY c "&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;">)"
                            R"(<!ENTITY d "&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;">)"
                            R"(]><document author="&d;&d;&d;&d;&d;&d;&d;&d;&d;"/>)";
    const QByteArray external = R"(<?xml version="1.0"?><!DOCTYPE document SYSTEM "http://127.0.0.1:9/contents.dtd">)"
                                R"(<document/>)";
    const QByteArray externalEntity = R"(<?xml version="1.0"?><!DOCTYPE document [<!ENTITY e SYSTEM "file:///etc/passwd">]>)"
                                      R"(<document author="&e;"/>)";
    const auto withContents = [](const QByteArray& contents) {
        return packageOf({{QStringLiteral("contents.xml"), contents}});
    };
    const struct {
        const char* name;
        QByteArray package;
        const char* reason;
        const char* words = nullptr;
    } cases[] = {
        {"empty bytes", QByteArray(), "failed to load document file"},
        {"not a zip", QByteArray("This is plain text, not an archive.").repeated(20), "failed to load contents.xml"},
        {"no contents part", packageOf({{QStringLiteral("preview"), "p"}}), "failed to load contents.xml"},
        {"empty contents part", withContents(QByteArray()), "failed to load contents.xml"},
        {"truncated inside the contents", valid.left(60), "failed to load contents.xml"},
        {"truncated after the contents", valid.left(valid.indexOf("preview") + 100), nullptr},
        {"contents fails to inflate", withDamagedData(valid, "contents.xml"), "failed to load contents.xml"},
        {"contents marked as Zip64", withPatch(valid, "contents.xml", 22, 0xFFFFFFFFu), "failed to load document file"},
        {"contents declares a huge size", withPatch(valid, "contents.xml", 22, 0xFFFFFF00u), "failed to load contents.xml"},
        {"contents declares 1 GiB", withPatch(valid, "contents.xml", 22, 1u << 30), "failed to load contents.xml"},
        {"contents declares a short size", withPatch(valid, "contents.xml", 22, 3), "failed to load contents.xml"},
        {"contents declares a huge compressed size", withPatch(valid, "contents.xml", 18, 0x7FFFFFFFu), "failed to load contents.xml"},
        {"unknown compression", withPatch(valid, "contents.xml", 8, 0x0063u), "failed to load contents.xml"},
        {"another root element", withContents(R"(<?xml version="1.0"?><map><branch uid="A"><title>T</title></branch></map>)"),
         "invalid content"},
        {"a style sheet as contents", withContents(R"(<?xml version="1.0"?><styles xmlns:xsi="http://www.w3.org/2001/XMLSchema-instance")"
                                                   R"( xsi:noNamespaceSchemaLocation="styles.xsd"><canvas/></styles>)"),
         "invalid content"},
        {"not XML", withContents("{\"json\": true}"), "failed to load XML"},
        {"not well-formed", withContents("<document><branch></document>"), "failed to load XML"},
        {"entity bomb", withContents(bomb), "failed to load XML"},
        {"external DOCTYPE", withContents(external), "failed to load XML"},
        {"external entity", withContents(externalEntity), "failed to load XML"},
        {"nesting beyond the parser's limit", withContents(contentsXml(nested(100000))), "failed to load XML",
         "The map is nested too deeply"},
        // Refused at its first bytes, not after inflating them all.
        {"junk that inflates far", withContents("{" + QByteArray(48 << 20, ' ')), "failed to load XML",
         "not well-formed XML"},
    };
    for (const auto& c : cases) {
        PLError error;
        const auto document = IXDocumentNode::fromZipData(c.package, &error);
        if (!c.reason) {
            EXPECT_TRUE(document) << c.name << ": " << error.failureReason().toStdString();
            continue;
        }
        EXPECT_FALSE(document) << c.name;
        EXPECT_EQ(error.failureReason(), QString::fromLatin1(c.reason)) << c.name;
        // Every refusal says in words what is wrong, under the fixed reason.
        const QString words = error.userInfo().value(PLError::UnderlyingErrorKey).toString();
        EXPECT_TRUE(words.startsWith(QLatin1String("The "))) << c.name << ": " << words.toStdString();
        if (c.words) EXPECT_TRUE(words.contains(QLatin1String(c.words))) << c.name << ": " << words.toStdString();
    }
    EXPECT_THROW(IXDocumentNode::fromZipData(valid, nullptr), PLAssertionFailure);
}

// --- What other tools make of a written package ---

TEST_F(IXPackage, WrittenPackagePassesUnzipAndTheSchema)
{
    const QString unzip = QStandardPaths::findExecutable(QStringLiteral("unzip"));
    const QString xmllint = QStandardPaths::findExecutable(QStringLiteral("xmllint"));
    if (unzip.isEmpty() || xmllint.isEmpty()) GTEST_SKIP() << "unzip or xmllint is not installed";

    auto document = sampleDocument();
    ASSERT_TRUE(document);
    document->addRootBranch(std::make_shared<XMLTestBranch>(QStringLiteral("Ünïcödé & <markup>\x01")));
    document->userInterfaceOptions().insert(QStringLiteral("view"), 1);
    document->packageParts().setData(QByteArray(10000, 'z'), QStringLiteral("preview"));
    const std::optional<QByteArray> package = document->zipData();
    ASSERT_TRUE(package);

    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString packagePath = folder.filePath(QStringLiteral("Document.ixd"));
    QFile file(packagePath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(*package);
    file.close();

    QProcess test;
    test.start(unzip, {QStringLiteral("-t"), packagePath});
    ASSERT_TRUE(test.waitForFinished(60000));
    EXPECT_EQ(test.exitCode(), 0) << test.readAllStandardOutput().toStdString();

    const QString contentsPath = folder.filePath(QStringLiteral("contents.xml"));
    QFile contents(contentsPath);
    ASSERT_TRUE(contents.open(QIODevice::WriteOnly));
    contents.write(*UTZipArchive::fromData(*package)->dataByName(QStringLiteral("contents.xml")));
    contents.close();
    QProcess lint;
    lint.start(xmllint, {QStringLiteral("--noout"), QStringLiteral("--nonet"), QStringLiteral("--schema"),
                         PLResources::pathFor(QStringLiteral("contents.xsd"), QStringLiteral("XMLSchema")), contentsPath});
    ASSERT_TRUE(lint.waitForFinished(60000));
    EXPECT_EQ(lint.exitCode(), 0) << lint.readAllStandardError().toStdString();
}

// --- The fuzzer's seed packages (fuzz/corpus/package) ---

namespace {

QString seedFolder()
{
    // resources/ is the source tree's (or a link to it in the build tree).
    return QDir::cleanPath(QFileInfo(PLResources::directory()).canonicalFilePath() + QStringLiteral("/../fuzz/corpus/package"));
}

}  // namespace

// The seeds are written by tools/PackageSeeds.
TEST_F(IXPackage, SeedPackagesOpen)
{
    const QStringList seeds = QDir(seedFolder()).entryList({QStringLiteral("*.ixd")}, QDir::Files);
    ASSERT_GE(seeds.size(), 4);
    for (const QString& seed : seeds) {
        QFile file(seedFolder() + QLatin1Char('/') + seed);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        PLError error;
        EXPECT_TRUE(IXDocumentNode::fromZipData(file.readAll(), &error)) << seed.toStdString();
    }
}
