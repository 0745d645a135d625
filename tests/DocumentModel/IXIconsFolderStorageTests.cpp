#include "DocumentModel/IXIconsFolderStorage.h"

#include "Platform/Drawing/PLNamedImages.h"
#include "Platform/XML/PLPropertyList.h"
#include "Platform/System/PLResources.h"
#include "TestSupport/QStringPrinter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QImage square(int pixels, QColor color)
{
    QImage image(pixels, pixels, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

// A library folder with a list of the given names and files.
struct LibraryFolder {
    QTemporaryDir dir;
    void writeList(const QVariant& list)
    {
        QFile file(dir.filePath(QStringLiteral("icons_list.plist")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(PLPropertyList::write(list));
    }
    static QVariantMap info(const QString& file, const QString& tooltip)
    {
        return {{QStringLiteral("ICON_FILE"), file}, {QStringLiteral("ICON_TOOLTIP"), tooltip}};
    }
};

}

TEST(IXIconsFolderStorage, ShippedIconsLoadByNameAtSixteenPoints)
{
    IXIconsFolderStorage library(QDir(PLResources::directory()).filePath(QStringLiteral("branch_icons")));
    const QStringList names = library.names();
    ASSERT_GE(names.size(), 24);
    for (const QString& name : names) {
        const QImage icon = library.iconForName(name);
        ASSERT_FALSE(icon.isNull()) << name.toStdString();
        EXPECT_EQ(icon.deviceIndependentSize(), QSizeF(16, 16)) << name.toStdString();
        EXPECT_EQ(icon.devicePixelRatio(), 2.0) << name.toStdString();
        EXPECT_FALSE(library.tooltipForName(name).isEmpty()) << name.toStdString();
    }
    EXPECT_TRUE(library.iconForName(QStringLiteral("no such icon")).isNull());
    EXPECT_EQ(library.iconsForNames({names[0], QStringLiteral("no such icon"), names[1]}).size(), 2);
    EXPECT_EQ(IXIconsStorage::iconSize(), PLSize(16, 16));
}

TEST(IXIconsFolderStorage, SharedLibraryIsInstalledOnce)
{
    IXIconsFolderStorage& shared = IXIconsFolderStorage::installShared();
    EXPECT_EQ(IXIconsStorage::sharedStorage(), &shared);
    EXPECT_EQ(&IXIconsFolderStorage::installShared(), &shared);
    {
        IXIconsFolderStorage other(QStringLiteral("/nonexistent"));
        IXIconsStorage::install(&other);
        EXPECT_EQ(IXIconsStorage::sharedStorage(), &other);
    }
    // A library destroyed while installed uninstalls itself.
    EXPECT_EQ(IXIconsStorage::sharedStorage(), nullptr);
    IXIconsFolderStorage::installShared();
    EXPECT_FALSE(IXIconsStorage::sharedStorage()->iconForName(shared.names().value(0)).isNull());
}

TEST(IXIconsFolderStorage, ReadsTheListAndPicturesOfItsFolder)
{
    LibraryFolder folder;
    ASSERT_TRUE(square(16, Qt::red).save(folder.dir.filePath(QStringLiteral("red.png"))));
    ASSERT_TRUE(square(16, Qt::blue).save(folder.dir.filePath(QStringLiteral("blue.png"))));
    ASSERT_TRUE(square(32, Qt::green).save(folder.dir.filePath(QStringLiteral("blue@2x.png"))));
    QFile broken(folder.dir.filePath(QStringLiteral("broken.png")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a picture");
    broken.close();
    folder.writeList(QVariantMap{
        {QStringLiteral("ID_STORAGE"), QVariantList{QStringLiteral("red"), QStringLiteral("blue"), QStringLiteral("red"), 7,
                                                    QStringLiteral("missing"), QStringLiteral("broken"), QStringLiteral("escape"),
                                                    QStringLiteral("noinfo")}},
        {QStringLiteral("INFO_STORAGE"),
         QVariantMap{{QStringLiteral("red"), LibraryFolder::info(QStringLiteral("red.png"), QStringLiteral("Red"))},
                     {QStringLiteral("blue"), LibraryFolder::info(QStringLiteral("blue.png"), QStringLiteral("Blue"))},
                     {QStringLiteral("missing"), LibraryFolder::info(QStringLiteral("gone.png"), QStringLiteral("Gone"))},
                     {QStringLiteral("broken"), LibraryFolder::info(QStringLiteral("broken.png"), QString())},
                     {QStringLiteral("escape"), LibraryFolder::info(QStringLiteral("../red.png"), QString())}}},
    });
    IXIconsFolderStorage library(folder.dir.path());
    // Names keep their order, once each; entries that are not names are skipped.
    EXPECT_EQ(library.names(), (QStringList{QStringLiteral("red"), QStringLiteral("blue"), QStringLiteral("missing"),
                                            QStringLiteral("broken"), QStringLiteral("escape"), QStringLiteral("noinfo")}));
    EXPECT_EQ(library.tooltipForName(QStringLiteral("blue")), QStringLiteral("Blue"));

    const QImage red = library.iconForName(QStringLiteral("red"));
    EXPECT_EQ(red.pixel(8, 8), QColor(Qt::red).rgb());
    EXPECT_EQ(red.devicePixelRatio(), 1.0);
    const QImage blue = library.iconForName(QStringLiteral("blue"));
    EXPECT_EQ(blue.pixel(8, 8), QColor(Qt::green).rgb()); // the high-resolution picture wins
    EXPECT_EQ(blue.deviceIndependentSize(), QSizeF(16, 16));
    // Known names without a readable picture inside the folder show a blank 22 x 22 picture.
    for (const char* name : {"missing", "broken", "escape", "noinfo"}) {
        const QImage blank = library.iconForName(QString::fromLatin1(name));
        EXPECT_EQ(blank.size(), QSize(22, 22)) << name;
        EXPECT_EQ(qAlpha(blank.pixel(11, 11)), 0) << name;
    }
    // Pictures are read once.
    ASSERT_TRUE(QFile::remove(folder.dir.filePath(QStringLiteral("red.png"))));
    EXPECT_EQ(library.iconForName(QStringLiteral("red")).pixel(8, 8), QColor(Qt::red).rgb());
}

TEST(IXIconsFolderStorage, MissingFolderOrListLeavesTheLibraryEmpty)
{
    LibraryFolder unreadable;
    QFile list(unreadable.dir.filePath(QStringLiteral("icons_list.plist")));
    ASSERT_TRUE(list.open(QIODevice::WriteOnly));
    list.write("<plist><dict><key>ID_STORAGE</key>");
    list.close();
    LibraryFolder notADictionary;
    notADictionary.writeList(QVariantList{QStringLiteral("red")});
    LibraryFolder noList;
    for (const QString& path : {QStringLiteral("/nonexistent/branch_icons"), unreadable.dir.path(), notADictionary.dir.path(), noList.dir.path()}) {
        IXIconsFolderStorage library(path);
        EXPECT_TRUE(library.names().isEmpty()) << path.toStdString();
        EXPECT_TRUE(library.iconForName(QStringLiteral("red")).isNull()) << path.toStdString();
    }
}

TEST(IXIconsFolderStorage, MapIndicatorPicturesShipBesideTheIcons)
{
    // The branch cell sizes its indicators from these pictures' 20 x 16 aspect.
    for (const char* name : {"canvas_attachment_indicator", "canvas_branch_note_indicator", "canvas_outline_indicator"}) {
        const QImage image = PLNamedImages::imageNamed(QString::fromLatin1(name));
        ASSERT_FALSE(image.isNull()) << name;
        EXPECT_EQ(image.deviceIndependentSize(), QSizeF(20, 16)) << name;
        EXPECT_EQ(image.devicePixelRatio(), 2.0) << name;
    }
}
