#include "DocumentModel/IXDocumentNode.h"
#include "Platform/Core/PLAssert.h"
#include "Platform/Core/PLError.h"
#include "Platform/XML/PLPropertyList.h"

#include <gtest/gtest.h>

namespace {

QByteArray plistBytes(const QVariant& value)
{
    return PLPropertyList::write(value);
}

std::shared_ptr<IXDocumentNode> documentWithParts(const QList<QPair<QString, QByteArray>>& parts)
{
    auto document = std::make_shared<IXDocumentNode>();
    for (const auto& part : parts) document->packageParts().setData(part.second, part.first);
    return document;
}

}  // namespace

TEST(IXDocumentParts, DataPartsByCaseInsensitiveName)
{
    auto document = std::make_shared<IXDocumentNode>();
    EXPECT_FALSE(document->packageParts().dataNamed(QStringLiteral("preview")).has_value());
    EXPECT_TRUE(document->packageParts().removeDataNamed(QStringLiteral("preview")));  // no archive: nothing to do
    EXPECT_FALSE(document->packageParts().hasZipArchive());

    EXPECT_TRUE(document->packageParts().setData("jpeg", QStringLiteral("preview")));
    EXPECT_TRUE(document->packageParts().hasZipArchive());
    EXPECT_EQ(document->packageParts().dataNamed(QStringLiteral("PREVIEW")), QByteArray("jpeg"));
    document->packageParts().setData("jpeg2", QStringLiteral("Preview"));
    EXPECT_EQ(document->packageParts().dataNamed(QStringLiteral("preview")), QByteArray("jpeg2"));
    EXPECT_EQ(document->packageParts().zipArchive()->items().size(), 1u);

    document->packageParts().removeDataNamed(QStringLiteral("preview"));
    EXPECT_EQ(document->packageParts().dataNamed(QStringLiteral("preview")), QByteArray());
    EXPECT_THROW(document->packageParts().dataNamed(QString()), PLAssertionFailure);
}

TEST(IXDocumentParts, PropertyListPartsReportWhatIsWrong)
{
    auto document = documentWithParts({
        {QStringLiteral("good.plist"), plistBytes(QVariantMap{{"view", 3}})},
        {QStringLiteral("array.plist"), plistBytes(QVariantList{1, 2})},
        {QStringLiteral("garbage.plist"), QByteArray("<plist><dict><key>x</dict")},
    });
    PLError error;
    EXPECT_EQ(document->packageParts().plistNamed(QStringLiteral("good"), &error)->value(QStringLiteral("view")).toInt(), 3);
    EXPECT_FALSE(error);

    EXPECT_FALSE(document->packageParts().plistNamed(QStringLiteral("missing"), &error).has_value());
    EXPECT_FALSE(error);  // missing is no error

    EXPECT_FALSE(document->packageParts().plistNamed(QStringLiteral("array"), &error).has_value());
    EXPECT_EQ(error.failureReason(), QStringLiteral("invalid content"));

    error = PLError();
    EXPECT_FALSE(document->packageParts().plistNamed(QStringLiteral("garbage"), &error).has_value());
    EXPECT_TRUE(error);
    EXPECT_THROW(document->packageParts().plistNamed(QStringLiteral("good"), nullptr), PLAssertionFailure);

    ASSERT_TRUE(document->packageParts().setPlist({{"a", QStringLiteral("b")}}, QStringLiteral("written"), &error));
    EXPECT_EQ(document->packageParts().plistNamed(QStringLiteral("written"), &error)->value(QStringLiteral("a")), QStringLiteral("b"));
}

TEST(IXDocumentParts, OptionsAreReadOnceAndCached)
{
    auto document = documentWithParts({
        {QStringLiteral("ui-state.plist"), plistBytes(QVariantMap{{"view", 2}})},
        {QStringLiteral("export.plist"), QByteArray("not a property list")},
    });
    QVariantMap& ui = document->userInterfaceOptions();
    EXPECT_EQ(ui.value(QStringLiteral("view")).toInt(), 2);
    ui.insert(QStringLiteral("IXOutlineAutohideColumns"), true);
    // The part is not read again: the cached dictionary, with the change, is what is kept.
    EXPECT_EQ(&document->packageParts().optionsForName(QStringLiteral("ui-state")), &ui);
    EXPECT_TRUE(document->packageParts().optionsForName(QStringLiteral("ui-state")).value(QStringLiteral("IXOutlineAutohideColumns")).toBool());

    EXPECT_TRUE(document->packageParts().optionsForName(QStringLiteral("export")).isEmpty());  // unreadable: empty
    EXPECT_TRUE(document->packageParts().optionsForName(QStringLiteral("export.word")).isEmpty());
    EXPECT_EQ(document->packageParts().cachedOptionNames(), (QStringList{"export", "export.word", "ui-state"}));
}

TEST(IXDocumentParts, IgnoredWordsRoundTripThroughTheirPart)
{
    auto document = documentWithParts({
        {QStringLiteral("spellchecker.plist"), plistBytes(QVariantMap{{"ignoredwords", QStringList{"Ideaflux", "uid"}}})},
    });
    EXPECT_EQ(document->ignoredWords(), (QStringList{"Ideaflux", "uid"}));
    document->setIgnoredWords({QStringLiteral("mindmap")});
    document->saveIgnoredWords();

    auto reread = std::make_shared<IXDocumentNode>();
    reread->packageParts().setData(*document->packageParts().dataNamed(QStringLiteral("spellchecker.plist")), QStringLiteral("spellchecker.plist"));
    EXPECT_EQ(reread->ignoredWords(), QStringList{"mindmap"});

    // Nothing set and nothing to read: nothing is written.
    auto fresh = std::make_shared<IXDocumentNode>();
    EXPECT_TRUE(fresh->ignoredWords().isEmpty());
    fresh->saveIgnoredWords();
    EXPECT_FALSE(fresh->packageParts().hasZipArchive());

    auto damaged = documentWithParts({
        {QStringLiteral("spellchecker.plist"), plistBytes(QVariantMap{{"ignoredwords", 5}})},
    });
    EXPECT_TRUE(damaged->ignoredWords().isEmpty());
}

TEST(IXAdditionalFolders, EachFolderGetsItsOwnShortestKey)
{
    QVariantMap info;
    const struct {
        const char* path;
        const char* key;
    } steps[] = {
        {"/a/Pictures", "Pictures"},
        {"/b/Pictures", "b/Pictures"},
        {"/a/Pictures", "Pictures"},  // a known folder keeps its key
        {"/c/b/Pictures", "c/b/Pictures"},
        {"/Pictures", "Pictures 2"},  // the path runs out: numbered, never another folder's key
        {"/x/Movies/", "Movies"},
    };
    for (const auto& step : steps) {
        EXPECT_EQ(IXAdditionalFolders::addFolder(QString::fromUtf8(step.path), &info), QString::fromUtf8(step.key))
            << step.path;
    }
    EXPECT_EQ(info.value(IXAdditionalFolders::FoldersKey).toStringList(),
              (QStringList{"Pictures", "b/Pictures", "c/b/Pictures", "Pictures 2", "Movies"}));
    EXPECT_EQ(info.value(QStringLiteral("Pictures 2")).toMap().value(QStringLiteral("path")), QStringLiteral("/Pictures"));
    EXPECT_EQ(IXAdditionalFolders::addFolder(QStringLiteral("/a"), nullptr), QString());
}

TEST(IXAdditionalFolders, FilesAndReferencesComeAndGo)
{
    QVariantMap info;
    EXPECT_EQ(IXAdditionalFolders::addFilePath(QStringLiteral("/a/Pictures/sun.png"), QByteArray("png"),
                                                             QStringLiteral("REF1"), &info),
              QStringLiteral("Pictures/sun.png"));
    EXPECT_EQ(IXAdditionalFolders::addFilePath(QStringLiteral("/a/Pictures/sun.png"), QByteArray(), QString(), &info),
              QStringLiteral("Pictures/sun.png"));
    EXPECT_EQ(IXAdditionalFolders::addFilePath(QStringLiteral("/b/Pictures/moon.png"), QByteArray(), QString(), &info),
              QStringLiteral("b/Pictures/moon.png"));
    const QVariantMap entry = info.value(QStringLiteral("Pictures")).toMap();
    EXPECT_EQ(entry.value(QStringLiteral("files")).toStringList(), QStringList{"/a/Pictures/sun.png"});
    EXPECT_EQ(entry.value(QStringLiteral("datas")).toMap().value(QStringLiteral("/a/Pictures/sun.png")), QByteArray("png"));
    EXPECT_EQ(info.value(IXAdditionalFolders::ReferencesKey).toMap().value(QStringLiteral("REF1")),
              QStringLiteral("/a/Pictures/sun.png"));

    // The reference's file is found through the reference; its folder, now empty, goes.
    IXAdditionalFolders::removeFilePath(QString(), QStringLiteral("REF1"), &info);
    EXPECT_FALSE(info.contains(QStringLiteral("Pictures")));
    EXPECT_TRUE(info.value(IXAdditionalFolders::ReferencesKey).toMap().isEmpty());

    // With the short key free, the other folder's key shortens.
    IXAdditionalFolders::optimize(&info);
    EXPECT_EQ(info.value(IXAdditionalFolders::FoldersKey).toStringList(), QStringList{"Pictures"});
    EXPECT_EQ(info.value(QStringLiteral("Pictures")).toMap().value(QStringLiteral("path")), QStringLiteral("/b/Pictures"));

    // A folder the user selected stays when its last file goes.
    QVariantMap selected = info.value(QStringLiteral("Pictures")).toMap();
    selected.insert(QStringLiteral("selected"), 1);
    info.insert(QStringLiteral("Pictures"), selected);
    IXAdditionalFolders::removeFilePath(QStringLiteral("/b/Pictures/moon.png"), QString(), &info);
    EXPECT_TRUE(info.value(QStringLiteral("Pictures")).toMap().value(QStringLiteral("files")).toStringList().isEmpty());
    EXPECT_EQ(info.value(IXAdditionalFolders::FoldersKey).toStringList(), QStringList{"Pictures"});
}

TEST(IXAdditionalFolders, OptimizingLeavesEmptyFoldersAndTakenKeys)
{
    QVariantMap info;
    IXAdditionalFolders::addFolder(QStringLiteral("/a/Docs"), &info);
    IXAdditionalFolders::addFilePath(QStringLiteral("/b/Docs/x.txt"), QByteArray(), QString(), &info);
    IXAdditionalFolders::addFolder(QStringLiteral("/c/d/Empty"), &info);
    IXAdditionalFolders::addFolder(QStringLiteral("/e/d/Empty"), &info);  // "d/Empty" after "Empty"
    IXAdditionalFolders::removeFolder(QStringLiteral("Empty"), &info);
    IXAdditionalFolders::optimize(&info);
    // "b/Docs" has files but "Docs" is taken; "d/Empty" has no files.
    EXPECT_EQ(info.value(IXAdditionalFolders::FoldersKey).toStringList(), (QStringList{"Docs", "b/Docs", "d/Empty"}));
}

TEST(IXAdditionalFolders, DocumentKeepsThemAsAnOptionPart)
{
    auto document = std::make_shared<IXDocumentNode>();
    EXPECT_EQ(document->additionalFolders().addFilePath(QStringLiteral("/a/Pictures/sun.png"), QStringLiteral("R")),
              QStringLiteral("Pictures/sun.png"));
    QVariantMap copy = document->additionalFolders().info();
    copy.remove(QStringLiteral("Pictures"));  // a copy: the document's stays
    EXPECT_TRUE(document->additionalFolders().info().contains(QStringLiteral("Pictures")));
    document->additionalFolders().removeReference(QStringLiteral("R"));
    EXPECT_FALSE(document->additionalFolders().info().contains(QStringLiteral("Pictures")));
    document->additionalFolders().setInfo(copy);
    EXPECT_EQ(document->additionalFolders().info(), copy);
    EXPECT_TRUE(document->packageParts().cachedOptionNames().contains(QStringLiteral("additional_folders")));
}
