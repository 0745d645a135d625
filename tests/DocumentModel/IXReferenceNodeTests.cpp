#include "DocumentModel/IXReferenceNode.h"
#include "IXFakeServices.h"
#include "IXReferenceTestSupport.h"
#include "Platform/Core/PLUndoManager.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

std::shared_ptr<IXReferenceNode> referenceTo(const QString& targetRef)
{
    auto reference = std::make_shared<IXReferenceNode>();
    reference->setTargetRef(targetRef);
    return reference;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace

TEST(IXReferenceTargets, PrefixesGiveLocationKindsAndValues)
{
    FakeCatalog catalog;
    catalog.addItem(QStringLiteral("ITEM"), QStringLiteral("/catalog/item.png"));
    const struct {
        const char* targetRef;
        int location;
        IXTargetValue::Kind kind;
        const char* value;  // text, URL or catalog file path
    } cases[] = {
        {"file:/a/b.png", IXReferenceNode::LocationFile, IXTargetValue::Kind::Text, "/a/b.png"},
        {"file:relative/b:c.png", IXReferenceNode::LocationFile, IXTargetValue::Kind::Text, "relative/b:c.png"},
        {"local:PART", IXReferenceNode::LocationLocal, IXTargetValue::Kind::Text, "PART"},
        {"mmc:ITEM", IXReferenceNode::LocationCatalog, IXTargetValue::Kind::CatalogItem, "/catalog/item.png"},
        {"mmc:UNKNOWN", IXReferenceNode::LocationCatalog, IXTargetValue::Kind::None, ""},
        {"http://example.org/a?b=c", IXReferenceNode::LocationWeb, IXTargetValue::Kind::URL, "http://example.org/a?b=c"},
        {"https://example.org/", IXReferenceNode::LocationWeb, IXTargetValue::Kind::URL, "https://example.org/"},
        {"ftp://files.example.org/f.zip", IXReferenceNode::LocationWeb, IXTargetValue::Kind::URL, "ftp://files.example.org/f.zip"},
        {"http://bad url", IXReferenceNode::LocationWeb, IXTargetValue::Kind::None, ""},
        {"mailto:ann@example.org", IXReferenceNode::LocationMail, IXTargetValue::Kind::Text, "ann@example.org"},
        {"notes.txt", IXReferenceNode::LocationNone, IXTargetValue::Kind::Text, "notes.txt"},
        {"other:thing", IXReferenceNode::LocationNone, IXTargetValue::Kind::Text, "thing"},
        {"File:/a", IXReferenceNode::LocationNone, IXTargetValue::Kind::Text, "/a"},  // prefixes are case-sensitive
        {"", IXReferenceNode::LocationNone, IXTargetValue::Kind::None, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.targetRef);
        auto reference = referenceTo(QString::fromUtf8(c.targetRef));
        EXPECT_EQ(reference->targetLocation(), c.location);
        EXPECT_EQ(IXReferenceNode::locationForTargetRef(QString::fromUtf8(c.targetRef)), c.location);
        const IXTargetValue value = reference->targetValue();
        EXPECT_EQ(value.kind(), c.kind);
        switch (c.kind) {
        case IXTargetValue::Kind::Text: EXPECT_EQ(value.text(), QString::fromUtf8(c.value)); break;
        case IXTargetValue::Kind::URL: EXPECT_EQ(value.url().toString(), QString::fromUtf8(c.value)); break;
        case IXTargetValue::Kind::CatalogItem: EXPECT_EQ(value.catalogItem()->filePath(), QString::fromUtf8(c.value)); break;
        default: EXPECT_TRUE(value.isNull()); break;
        }
    }
}

TEST(IXReferenceTargets, TargetRefWithLocation)
{
    const struct {
        int location;
        const char* text;
        const char* expected;  // null: no target
    } cases[] = {
        {IXReferenceNode::LocationFile, "/p/a.png", "file:/p/a.png"},
        {IXReferenceNode::LocationFile, "file:/p/a.png", "file:/p/a.png"},
        {IXReferenceNode::LocationMail, "ann@example.org", "mailto:ann@example.org"},
        {IXReferenceNode::LocationLocal, "PART", "local:PART"},
        {IXReferenceNode::LocationCatalog, "ITEM", "mmc:ITEM"},
        {IXReferenceNode::LocationBranch, "UID", "branch:UID"},
        {IXReferenceNode::LocationBranch, "branch:UID", "branch:UID"},
        {IXReferenceNode::LocationWeb, "http://example.org/x", "http://example.org/x"},
        {IXReferenceNode::LocationWeb, "not a url", nullptr},
        {IXReferenceNode::LocationWeb, "", nullptr},
        {IXReferenceNode::LocationNone, "file:/p", "file:/p"},
        {7, "anything", "anything"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const QString made = IXReferenceNode::targetRefWithLocation(c.location, QString::fromUtf8(c.text));
        if (c.expected) {
            EXPECT_EQ(made, QString::fromUtf8(c.expected));
        } else {
            EXPECT_TRUE(made.isNull());
        }
    }
}

TEST(IXReferenceTargets, BranchTargetsResolveInTheGivenDocument)
{
    DocumentWithBranch fixture;
    auto target = makeBranch(QStringLiteral("target"));
    fixture.document->addRootBranch(target);
    auto reference = fixture.add(std::make_shared<IXReferenceNode>());
    reference->setTargetRef(IXReferenceNode::targetRefWithLocation(IXReferenceNode::LocationBranch, target->uniqueId()));

    EXPECT_EQ(reference->targetValue().node(), target);
    auto other = std::make_shared<IXDocumentNode>();
    EXPECT_TRUE(reference->targetValueWithDocumentNode(other.get()).isNull());

    fixture.document->removeRootBranch(target);
    EXPECT_TRUE(reference->targetValue().isNull());
    other->addRootBranch(target);
    EXPECT_EQ(reference->targetValueWithDocumentNode(other.get()).node(), target);
}

TEST(IXReferenceTargets, TargetDataByLocation)
{
    QTemporaryDir folder;
    ASSERT_TRUE(writeFile(folder.filePath("a.txt"), "file bytes"));
    ASSERT_TRUE(writeFile(folder.filePath("item.png"), "catalog bytes"));
    FakeCatalog catalog;
    catalog.addItem(QStringLiteral("ITEM"), folder.filePath("item.png"));
    catalog.addItem(QStringLiteral("GONE"), folder.filePath("gone.png"));
    DocumentWithBranch fixture;
    fixture.document->packageParts().setData("part bytes", QStringLiteral("PART"));

    const struct {
        QString targetRef;
        std::optional<QByteArray> data;
    } cases[] = {
        {QStringLiteral("local:PART"), QByteArray("part bytes")},
        {QStringLiteral("local:part"), QByteArray("part bytes")},  // parts are named case-insensitively
        {QStringLiteral("local:MISSING"), std::nullopt},
        {QStringLiteral("local:"), std::nullopt},
        {"file:" + folder.filePath("a.txt"), QByteArray("file bytes")},
        {"file:" + folder.filePath("missing.txt"), std::nullopt},
        {"file:" + folder.path(), std::nullopt},  // a folder has no bytes
        {QStringLiteral("file:/dev/zero"), std::nullopt},  // nor has a device
        {QStringLiteral("mmc:ITEM"), QByteArray("catalog bytes")},
        {QStringLiteral("mmc:GONE"), std::nullopt},
        {QStringLiteral("http://example.org/"), std::nullopt},
        {QStringLiteral("mailto:ann@example.org"), std::nullopt},
        {folder.filePath("a.txt"), std::nullopt},  // no location
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.targetRef.toStdString());
        auto reference = fixture.add(referenceTo(c.targetRef));
        EXPECT_EQ(reference->targetData(), c.data);
    }

    auto detached = referenceTo(QStringLiteral("local:PART"));
    EXPECT_EQ(detached->targetData(), std::nullopt);
}

TEST(IXReferenceTargets, LocatingFilesThatMovedWithTheDocument)
{
    QTemporaryDir root;
    const QString documentFolder = root.filePath("moved/maps");
    ASSERT_TRUE(writeFile(documentFolder + "/pics/a.png", "a"));
    ASSERT_TRUE(writeFile(root.filePath("elsewhere/b.png"), "b"));
    DocumentWithBranch fixture;
    auto reference = fixture.add(std::make_shared<IXReferenceNode>());
    auto locate = [&](const QString& path) { return reference->locateFileWithPath(path); };

    // Without a document file only an existing absolute path is found.
    EXPECT_EQ(locate(QStringLiteral("/old/home/maps/pics/a.png")), QStringLiteral("/old/home/maps/pics/a.png"));

    fixture.document->setWorkingPath(documentFolder + "/plan.ixd");
    const struct {
        QString path;
        QString found;
    } cases[] = {
        {QString(), QString()},
        {root.filePath("elsewhere/b.png"), root.filePath("elsewhere/b.png")},  // exists where it says
        {QStringLiteral("/old/home/maps/pics/a.png"), documentFolder + "/pics/a.png"},  // the tail beside the document
        {QStringLiteral("pics/a.png"), documentFolder + "/pics/a.png"},  // relative to the document
        {QStringLiteral("./pics/../pics/a.png"), documentFolder + "/pics/a.png"},
        {QStringLiteral("/old/home/nothing.png"), QStringLiteral("/old/home/nothing.png")},  // unchanged
        {QStringLiteral("missing/a.txt"), QStringLiteral("missing/a.txt")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString());
        EXPECT_EQ(locate(c.path), c.found);
    }

    // A relative path is never taken from the current folder.
    const QString previous = QDir::currentPath();
    QDir::setCurrent(root.filePath("elsewhere"));
    EXPECT_EQ(locate(QStringLiteral("b.png")), QStringLiteral("b.png"));
    QDir::setCurrent(previous);

    // targetData reads the located file.
    reference->setFilePath(QStringLiteral("/old/home/maps/pics/a.png"));
    EXPECT_EQ(reference->targetData(), QByteArray("a"));
}

TEST(IXReferenceNode, SettersAreUndoableAndAnnounced)
{
    DocumentWithBranch fixture;
    PLUndoManager undo;
    fixture.document->setUndoManager(&undo);
    ReferenceRecorder recorder;
    fixture.document->addToObservers(&recorder);
    auto reference = fixture.add(std::make_shared<IXReferenceNode>());

    const struct {
        const char* property;
        const char* actionName;  // empty: not shown
        std::function<void()> change;
        std::function<bool()> changed;
    } cases[] = {
        {"title", "Title", [&] { reference->setTitle(QStringLiteral("Plan")); },
         [&] { return reference->title() == QStringLiteral("Plan"); }},
        {"type", "", [&] { reference->setType(IXReferenceNode::TypePicture); },
         [&] { return reference->type() == IXReferenceNode::TypePicture; }},
        {"subtype", "", [&] { reference->setSubtype(IXReferenceNode::SubtypeWeb); },
         [&] { return reference->subtype() == IXReferenceNode::SubtypeWeb; }},
        {"includeInExport", "Include In Export", [&] { reference->setIncludeInExport(false); },
         [&] { return !reference->includeInExport(); }},
        {"htmlOpenInNewWindow", "Open In New Window", [&] { reference->setHtmlOpenInNewWindow(true); },
         [&] { return reference->htmlOpenInNewWindow(); }},
        {"htmlShowAsButton", "Open In New Window", [&] { reference->setHtmlShowAsButton(true); },
         [&] { return reference->htmlShowAsButton(); }},
        {"targetRef", "Target Path", [&] { reference->setTargetRef(QStringLiteral("http://example.org/")); },
         [&] { return reference->targetLocation() == IXReferenceNode::LocationWeb; }},
        {"link", "", [&] { reference->addRelatedLink(); }, [&] { return reference->relatedLink() != nullptr; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.property);
        recorder.take();
        c.change();
        QCoreApplication::processEvents();
        EXPECT_TRUE(c.changed());
        EXPECT_EQ(recorder.take(), QStringList{QStringLiteral("reference ") + c.property});
        EXPECT_EQ(undo.undoActionName(), QString::fromUtf8(c.actionName));
        c.change();  // the same value again changes nothing
        EXPECT_TRUE(recorder.take().isEmpty());
        undo.undo();
        EXPECT_FALSE(c.changed());
        EXPECT_EQ(recorder.take(), QStringList{QStringLiteral("reference ") + c.property});
        undo.redo();
        EXPECT_TRUE(c.changed());
    }
    EXPECT_EQ(reference->relatedLink()->parentNode(), reference.get());
    EXPECT_EQ(reference->relatedLink()->documentNode(), fixture.document.get());
    undo.removeAllActions();
}

TEST(IXReferenceNode, UntitledReferencesKeepTheDefaultTitle)
{
    auto reference = std::make_shared<IXReferenceNode>();
    PLXMLDocument before("document");
    reference->XMLElement(before.rootElement());
    EXPECT_FALSE(before.rootElement().firstChildElement().hasAttribute("title"));

    EXPECT_EQ(reference->title(), QStringLiteral("(untitled)"));
    PLXMLDocument after("document");
    reference->XMLElement(after.rootElement());
    EXPECT_EQ(after.rootElement().firstChildElement().attribute("title"), QStringLiteral("(untitled)"));
}

TEST(IXReferenceNode, CopiesTakeTheirOwnIdAndACopyOfTheLink)
{
    auto reference = std::make_shared<IXReferenceNode>();
    reference->setTitle(QStringLiteral("Site"));
    reference->setSubtype(IXReferenceNode::SubtypeWeb);
    reference->setTargetRef(QStringLiteral("https://example.org/"));
    reference->setHtmlShowAsButton(true);
    reference->setIncludeInExport(false);
    reference->addRelatedLink()->setTargetRef(QStringLiteral("file:/other.ixd"));
    const QString id = reference->uniqueId();

    auto copy = std::static_pointer_cast<IXReferenceNode>(reference->copy());
    EXPECT_NE(copy->uniqueId(), id);
    EXPECT_EQ(reference->uniqueId(), id);
    EXPECT_EQ(copy->title(), QStringLiteral("Site"));
    EXPECT_EQ(copy->subtype(), IXReferenceNode::SubtypeWeb);
    EXPECT_EQ(copy->targetLocation(), IXReferenceNode::LocationWeb);
    EXPECT_TRUE(copy->htmlShowAsButton());
    EXPECT_FALSE(copy->includeInExport());
    ASSERT_TRUE(copy->relatedLink());
    EXPECT_NE(copy->relatedLink(), reference->relatedLink());
    EXPECT_EQ(copy->relatedLink()->parentNode(), copy.get());
    EXPECT_EQ(copy->relatedLink()->targetRef(), QStringLiteral("file:/other.ixd"));
}

TEST(IXReferenceNode, FileTargetsAreRegisteredWithTheAdditionalFolders)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("docs/report.txt");
    ASSERT_TRUE(writeFile(path, "report"));
    DocumentWithBranch fixture;
    auto reference = std::make_shared<IXReferenceNode>();
    reference->setFilePath(path);
    const QString id = reference->uniqueId();
    auto registered = [&] {
        return fixture.document->additionalFolders().info().value(IXAdditionalFolders::ReferencesKey).toMap().value(id).toString();
    };

    fixture.branch->addChild(reference);  // joining registers the file
    EXPECT_EQ(registered(), path);
    EXPECT_TRUE(fixture.document->additionalFolders().info().value(QStringLiteral("docs")).toMap()
                    .value(QStringLiteral("files")).toStringList().contains(path));

    reference->setTargetRef(QStringLiteral("http://example.org/"));
    EXPECT_TRUE(registered().isEmpty());
    EXPECT_FALSE(fixture.document->additionalFolders().info().contains(QStringLiteral("docs")));

    reference->setFilePath(path);
    fixture.document->additionalFolders().removeReference(id);
    reference->validateContent();
    EXPECT_EQ(registered(), path);

    fixture.branch->removeChild(reference);  // leaving forgets it
    EXPECT_TRUE(registered().isEmpty());
}

TEST(IXReferenceNode, PackToGoWritesCatalogMediaAsRegisteredFiles)
{
    FakeCatalog catalog;
    catalog.addItem(QStringLiteral("ITEM"), QStringLiteral("/catalog/Media/clip.mov"));
    DocumentWithBranch fixture;
    auto reference = fixture.add(referenceTo(QStringLiteral("mmc:ITEM")));

    XMLRoundTrip plain;
    EXPECT_EQ(plain.write(*reference).attribute("target"), QStringLiteral("mmc:ITEM"));

    fixture.document->setSaveOptions(IXDocumentNode::SaveOptionCopyCatalogMedia);
    XMLRoundTrip packed;
    EXPECT_EQ(packed.write(*reference).attribute("target"), QStringLiteral("file:Media/clip.mov"));
    EXPECT_EQ(reference->targetRef(), QStringLiteral("mmc:ITEM"));
    EXPECT_EQ(fixture.document->additionalFolders().info().value(IXAdditionalFolders::ReferencesKey).toMap()
                  .value(reference->uniqueId()).toString(),
              QStringLiteral("/catalog/Media/clip.mov"));
}

TEST(IXReferenceNode, NamesWhatOpeningItMeans)
{
    using Kind = IXReferenceOpening::Kind;
    const QString gone = QDir::tempPath() + QStringLiteral("/ix-gone/a.pdf");
    struct Case {
        int type;
        int subtype;
        QString targetRef;
        Kind kind;
        QUrl url;
        QString path;
    };
    const QList<Case> cases{
        {0, IXReferenceNode::SubtypeWeb, QStringLiteral("http://example.org/"), Kind::WebAddress, QUrl("http://example.org/"), {}},
        {0, IXReferenceNode::SubtypeMail, QStringLiteral("mailto:ann@example.org"), Kind::WebAddress,
         QUrl("mailto:ann@example.org"), {}},
        // A file is named even when it is gone: the window reports that.
        {0, IXReferenceNode::SubtypeFile, "file:" + gone, Kind::File, {}, gone},
        // A picture attachment opens as a file whatever its location: a package part is no file.
        {0, IXReferenceNode::SubtypePicture, QStringLiteral("local:PART"), Kind::File, {}, QStringLiteral("PART")},
        {IXReferenceNode::TypeComment, IXReferenceNode::SubtypeTextNote, QStringLiteral("local:NOTE"), Kind::TextNote, {}, {}},
        // Package parts and catalog items are not opened on their own.
        {0, IXReferenceNode::SubtypeNone, QStringLiteral("local:PART"), Kind::Nothing, {}, {}},
        {0, IXReferenceNode::SubtypeFile, QStringLiteral("mmc:ITEM"), Kind::Nothing, {}, {}},
    };
    DocumentWithBranch fixture;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.targetRef.toStdString());
        auto reference = fixture.add(std::make_shared<IXReferenceNode>());
        reference->setType(c.type);
        reference->setSubtype(c.subtype);
        reference->setTargetRef(c.targetRef);
        const IXReferenceOpening opening = reference->referenceToOpen();
        EXPECT_EQ(opening.kind, c.kind);
        EXPECT_EQ(opening.reference, reference);
        EXPECT_EQ(opening.url, c.url);
        EXPECT_EQ(opening.path, c.path);
        EXPECT_EQ(opening.branch, nullptr);
    }
}

TEST(IXReferenceNode, IconsByTypeAndSubtype)
{
    const struct {
        int type;
        int subtype;
        const char* icon;
    } cases[] = {
        {0, 0, "object_nolink"},         {0, 1, "object_link_folder"},  {0, 2, "object_link_file"},
        {0, 3, "object_link_web"},       {0, 4, "object_link_mail"},    {0, 5, "object_link_textfile"},
        {0, 6, "object_link_picture"},   {0, 7, "object_link_video"},   {0, 8, "object_link_sound"},
        {0, 9, "object_link_flash"},     {1, 11, "object_text_note"},   {2, 0, "object_picture"},
        {3, 0, "object_branch_connection"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.icon);
        IXReferenceNode reference;
        reference.setType(c.type);
        reference.setSubtype(c.subtype);
        EXPECT_EQ(reference.referenceIconName(), QString::fromLatin1(c.icon));
        const QImage icon = reference.referenceIcon();
        ASSERT_FALSE(icon.isNull());
        EXPECT_EQ(icon.deviceIndependentSize(), QSizeF(16, 16));
        EXPECT_EQ(icon.devicePixelRatio(), 2.0);
    }
    EXPECT_EQ(IXReferenceNode::iconNameForType(0), QStringLiteral("object_link_textfile"));
    EXPECT_TRUE(IXReferenceNode::iconNameForType(4).isEmpty());
    EXPECT_TRUE(IXReferenceNode::iconForAttachmentType(10).isNull());
    EXPECT_TRUE(IXReferenceNode::iconForAttachmentType(-1).isNull());
}
