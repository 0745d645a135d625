#include "Utilities/UTFileOperations.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
void write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << qPrintable(path);
    file.write(bytes);
}

QByteArray read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
}

TEST(UTFileOperations, CreatesEveryMissingFolder)
{
    QTemporaryDir temp;
    const QString deep = temp.path() + QStringLiteral("/a/b/c");
    EXPECT_TRUE(UTFileOperations::createPathComponentsForPath(deep));
    EXPECT_TRUE(QFileInfo(deep).isDir());
    EXPECT_TRUE(UTFileOperations::createPathComponentsForPath(deep + QLatin1Char('/'))); // all there already

    const QString restricted = temp.path() + QStringLiteral("/r/s");
    EXPECT_TRUE(UTFileOperations::createPathComponentsForPath(restricted, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                                              | QFileDevice::ExeOwner));
    EXPECT_EQ(QFileInfo(restricted).permissions() & (QFileDevice::ReadOther | QFileDevice::ReadGroup), QFileDevice::Permissions());

    // A file in the way is not a folder: no success reported.
    write(temp.path() + QStringLiteral("/file"), "x");
    EXPECT_FALSE(UTFileOperations::createPathComponentsForPath(temp.path() + QStringLiteral("/file")));
    EXPECT_FALSE(UTFileOperations::createPathComponentsForPath(temp.path() + QStringLiteral("/file/sub")));
}

TEST(UTFileOperations, CopiesTreesAndStopsAtTheFirstFailure)
{
    QTemporaryDir temp;
    const QString source = temp.path() + QStringLiteral("/source");
    ASSERT_TRUE(QDir().mkpath(source + QStringLiteral("/sub/deeper")));
    write(source + QStringLiteral("/top.txt"), "top");
    write(source + QStringLiteral("/sub/deeper/leaf.bin"), QByteArray("\0\1\2", 3));
    ASSERT_TRUE(QFile::link(QStringLiteral("top.txt"), source + QStringLiteral("/link")));

    const QString copy = temp.path() + QStringLiteral("/copy");
    EXPECT_TRUE(UTFileOperations::recursiveCopyPath(source, copy));
    EXPECT_EQ(read(copy + QStringLiteral("/top.txt")), QByteArray("top"));
    EXPECT_EQ(read(copy + QStringLiteral("/sub/deeper/leaf.bin")), QByteArray("\0\1\2", 3));
    EXPECT_EQ(QFileInfo(copy + QStringLiteral("/link")).symLinkTarget(), QFileInfo(copy + QStringLiteral("/top.txt")).absoluteFilePath());

    // A single file; an existing destination file is not overwritten.
    EXPECT_TRUE(UTFileOperations::recursiveCopyPath(source + QStringLiteral("/top.txt"), temp.path() + QStringLiteral("/single")));
    EXPECT_FALSE(UTFileOperations::recursiveCopyPath(source + QStringLiteral("/top.txt"), temp.path() + QStringLiteral("/single")));
    // Into an existing folder the entries merge, and a clash fails.
    EXPECT_FALSE(UTFileOperations::recursiveCopyPath(source, copy));

    EXPECT_FALSE(UTFileOperations::recursiveCopyPath(temp.path() + QStringLiteral("/missing"), temp.path() + QStringLiteral("/x")));
    EXPECT_FALSE(QFileInfo::exists(temp.path() + QStringLiteral("/x")));
    // A folder into itself would never end.
    EXPECT_FALSE(UTFileOperations::recursiveCopyPath(source, source + QStringLiteral("/sub/inside")));
    EXPECT_FALSE(QFileInfo::exists(source + QStringLiteral("/sub/inside")));
}

TEST(UTFileOperations, RemovesTreesButNeverFollowsLinks)
{
    QTemporaryDir temp;
    const QString outside = temp.path() + QStringLiteral("/outside");
    ASSERT_TRUE(QDir().mkpath(outside));
    write(outside + QStringLiteral("/precious.txt"), "keep");

    const QString tree = temp.path() + QStringLiteral("/tree");
    ASSERT_TRUE(QDir().mkpath(tree + QStringLiteral("/a/b")));
    write(tree + QStringLiteral("/a/b/file"), "x");
    ASSERT_TRUE(QFile::link(outside, tree + QStringLiteral("/a/linkToOutside")));

    EXPECT_TRUE(UTFileOperations::recursiveRemoveFileAtPath(tree));
    EXPECT_FALSE(QFileInfo::exists(tree));
    EXPECT_EQ(read(outside + QStringLiteral("/precious.txt")), QByteArray("keep"));

    EXPECT_TRUE(UTFileOperations::recursiveRemoveFileAtPath(tree)); // nothing there any more
    const QString link = temp.path() + QStringLiteral("/dangling");
    ASSERT_TRUE(QFile::link(temp.path() + QStringLiteral("/nowhere"), link));
    EXPECT_TRUE(UTFileOperations::recursiveRemoveFileAtPath(link));
    EXPECT_FALSE(QFileInfo(link).isSymLink());
}
