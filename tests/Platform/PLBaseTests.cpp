#include "Platform/Core/PLAssert.h"
#include "Platform/Core/PLError.h"
#include "Platform/Core/PLLog.h"
#include "Platform/System/PLResources.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontInfo>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(PLAssert, NamesTheFailedCondition)
{
    try {
        PL_ASSERT_PARAM(static_cast<void*>(nullptr), "observer");
        FAIL() << "no assertion";
    } catch (const PLAssertionFailure& failure) {
        EXPECT_STREQ(failure.what(), "Invalid parameter not satisfying: observer");
        EXPECT_EQ(failure.condition(), "observer");
    }
    const int length = 0;
    EXPECT_THROW(PL_ASSERT(length > 0), PLAssertionFailure);
}

TEST(PLError, CarriesFailureReason)
{
    PLError error(QStringLiteral("Ideaflux"), 1, {{PLError::FailureReasonKey, QStringLiteral("failed to load XML")}});
    EXPECT_TRUE(error);
    EXPECT_EQ(error.failureReason(), QStringLiteral("failed to load XML"));
    EXPECT_EQ(error.localizedDescription(), QStringLiteral("failed to load XML"));
    EXPECT_FALSE(PLError());
    PLError out;
    PLSetError(nullptr, error);
    PLSetError(&out, error);
    EXPECT_EQ(out, error);
}

TEST(PLLog, SinkReceivesPlainLines)
{
    QStringList lines;
    auto previous = PLLog::setSink([&](const QString& line) { lines << line; });
    PLLog::write(QStringLiteral("ZipFile: Cannot load data."));
    PLLog::setSink(previous);
    EXPECT_EQ(lines, QStringList{QStringLiteral("ZipFile: Cannot load data.")});
}

TEST(PLResources, FindsOnlyPlainNamesInsideTheFolder)
{
    EXPECT_TRUE(QFileInfo(PLResources::directory()).isDir());
    EXPECT_TRUE(PLResources::pathFor(QStringLiteral("../CMakeLists.txt")).isEmpty());
    EXPECT_TRUE(PLResources::pathFor(QStringLiteral("no-such-resource")).isEmpty());
}

TEST(PLResources, AnInstalledCopyComesFirstThenTheFolderBesideTheProgramThenTheBuildTree)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString bin = root.filePath(QStringLiteral("prefix/bin"));
    ASSERT_TRUE(QDir().mkpath(bin));
    const auto makeResources = [](const QString& folder) {
        ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/Strings")));
        QFile tables(folder + QStringLiteral("/Strings/Localizable.json"));
        ASSERT_TRUE(tables.open(QIODevice::WriteOnly));
        tables.write("{}");
    };
    // This test's program was built here: with nothing beside it, the build tree's link.
    const QString buildTree = QDir(QStringLiteral(IX_SOURCE_DIR "/resources")).canonicalPath();
    EXPECT_EQ(PLResources::directoryForExecutableIn(bin), buildTree);
    // A folder of that name without the string tables is someone else's.
    ASSERT_TRUE(QDir().mkpath(bin + QStringLiteral("/resources/Help")));
    EXPECT_EQ(PLResources::directoryForExecutableIn(bin), buildTree);
    makeResources(bin + QStringLiteral("/resources"));
    EXPECT_EQ(PLResources::directoryForExecutableIn(bin), QDir(bin + QStringLiteral("/resources")).canonicalPath());
    makeResources(root.filePath(QStringLiteral("prefix/share/ideaflux")));
    EXPECT_EQ(PLResources::directoryForExecutableIn(bin), QDir(root.filePath(QStringLiteral("prefix/share/ideaflux"))).canonicalPath());
}

TEST(PLFontSubstitutions, PinsDocumentFamiliesToLiberationAndDejaVuFonts)
{
    const struct {
        const char* family;
        const char* resolved;
    } table[] = {
        {"Arial", "Liberation Sans"},          {"Helvetica", "Liberation Sans"},
        {"Times", "Liberation Serif"},         {"Times New Roman", "Liberation Serif"},
        {"Courier", "Liberation Mono"},        {"Verdana", "DejaVu Sans"},
        {"Georgia", "DejaVu Serif"},           {"Menlo", "DejaVu Sans Mono"},
    };
    for (const auto& row : table) {
        QFont font(QString::fromLatin1(row.family), 12);
        EXPECT_EQ(QFontInfo(font).family(), QString::fromLatin1(row.resolved)) << row.family;
    }
}
