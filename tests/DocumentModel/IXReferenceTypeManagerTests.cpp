#include "DocumentModel/IXReferenceNode.h"
#include "DocumentModel/IXReferenceTypeManager.h"
#include "IXFakeServices.h"

#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(IXReferenceTypeManager, FileTypesOfTheResourceAreDisjointGroups)
{
    const QVariantMap& groups = IXReferenceTypeManager::fileTypeGroups();
    EXPECT_EQ(groups.keys(), (QStringList{"FLASH", "IMAGE", "SOUND", "TEXT", "VIDEO"}));
    QSet<QString> seen;
    for (auto group = groups.begin(); group != groups.end(); ++group) {
        const QStringList extensions = group.value().toStringList();
        EXPECT_GE(extensions.size(), 3) << group.key().toStdString();
        for (const QString& extension : extensions) {
            EXPECT_EQ(extension, extension.toLower());
            EXPECT_FALSE(seen.contains(extension)) << extension.toStdString() << " is listed twice";
            seen.insert(extension);
        }
    }
}

TEST(IXReferenceTypeManager, SubtypesOfFileExtensions)
{
    const struct {
        const char* extension;
        int subtype;
    } cases[] = {
        {"png", IXReferenceNode::SubtypePicture}, {"JPG", IXReferenceNode::SubtypePicture},
        {"mov", IXReferenceNode::SubtypeVideo},   {"Mp4", IXReferenceNode::SubtypeVideo},
        {"mp3", IXReferenceNode::SubtypeSound},   {"WAV", IXReferenceNode::SubtypeSound},
        {"swf", IXReferenceNode::SubtypeFlash},   {"txt", IXReferenceNode::SubtypeText},
        {"rtf", IXReferenceNode::SubtypeText},    {"zip", IXReferenceNode::SubtypeFile},
        {"", IXReferenceNode::SubtypeFile},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IXReferenceTypeManager::referenceTypeForFileType(QString::fromLatin1(c.extension)), c.subtype)
            << c.extension;
    }
    EXPECT_TRUE(IXReferenceTypeManager::fileTypesForReferenceType(IXReferenceNode::SubtypePicture)->contains("png"));
    EXPECT_TRUE(IXReferenceTypeManager::fileTypesForReferenceType(IXReferenceNode::SubtypeText)->contains("txt"));
    EXPECT_FALSE(IXReferenceTypeManager::fileTypesForReferenceType(IXReferenceNode::SubtypeFile).has_value());
    EXPECT_FALSE(IXReferenceTypeManager::fileTypesForReferenceType(IXReferenceNode::SubtypeWeb).has_value());
}

TEST(IXReferenceTypeManager, ChoosingAFileRemembersTheFolder)
{
    EXPECT_TRUE(IXReferenceTypeManager::choosePathForType(IXReferenceNode::SubtypePicture).isEmpty());  // no services

    QTemporaryDir pictures;
    QTemporaryDir chosen;
    FakeApplicationServices services;
    services.defaults.insert(QStringLiteral("IXLastResourceFolder"), pictures.path());
    services.defaults.insert(QStringLiteral("IXLastPictureFolder"), QStringLiteral("/no/such/folder"));

    // Cancelled: nothing chosen, nothing remembered.
    EXPECT_TRUE(IXReferenceTypeManager::choosePathForType(IXReferenceNode::SubtypePicture).isEmpty());
    ASSERT_EQ(services.openPanels.size(), 1);
    const auto& panel = services.openPanels.first();
    EXPECT_EQ(panel.title, QStringLiteral("Select File"));
    EXPECT_EQ(panel.directory, pictures.path());
    EXPECT_TRUE(panel.allowedFileTypes.contains("png"));
    EXPECT_FALSE(panel.canChooseDirectories);
    EXPECT_FALSE(panel.allowsMultipleSelection);
    EXPECT_EQ(services.defaults.value(QStringLiteral("IXLastResourceFolder")).toString(), pictures.path());

    services.panelResult = IXApplicationServices::OpenPanelResult{{chosen.filePath("a.bin"), chosen.filePath("b.bin")}, chosen.path()};
    EXPECT_EQ(IXReferenceTypeManager::choosePathForType(IXReferenceNode::SubtypeFile), chosen.filePath("a.bin"));
    EXPECT_TRUE(services.openPanels.last().directory.isEmpty());  // the remembered folder does not exist
    EXPECT_TRUE(services.openPanels.last().allowedFileTypes.isEmpty());
    EXPECT_EQ(services.defaults.value(QStringLiteral("IXLastPictureFolder")).toString(), chosen.path());
    EXPECT_EQ(services.defaults.value(QStringLiteral("IXLastResourceFolder")).toString(), pictures.path());

    services.panelResult = IXApplicationServices::OpenPanelResult{{}, chosen.path()};
    EXPECT_TRUE(IXReferenceTypeManager::choosePathForType(IXReferenceNode::SubtypeSound).isEmpty());
}
