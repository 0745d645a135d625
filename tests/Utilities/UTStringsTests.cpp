#include "Utilities/UTStrings.h"

#include <gtest/gtest.h>

TEST(UTStrings, TargetPrefixes)
{
    EXPECT_TRUE(UTStrings::isMMCPath(QStringLiteral("mmc:1234")));
    EXPECT_FALSE(UTStrings::isMMCPath(QStringLiteral("MMC:1234")));
    EXPECT_FALSE(UTStrings::isMMCPath(QStringLiteral("file:mmc:")));
    EXPECT_TRUE(UTStrings::isLocalPath(QStringLiteral("local:picture.png")));
    EXPECT_FALSE(UTStrings::isLocalPath(QStringLiteral("local")));
}

namespace {
struct PathCase {
    const char* path;
    const char* base;
    const char* result;
};

template <std::size_t N>
void expectPaths(const PathCase (&table)[N], QString (*function)(const QString&, const QString&))
{
    for (const PathCase& row : table)
        EXPECT_EQ(function(QLatin1String(row.path), QLatin1String(row.base)), QLatin1String(row.result))
            << row.path << " against " << row.base;
}
}

TEST(UTStrings, StandardizingAgainstABase)
{
    const PathCase table[] = {
        {"../b/c.txt", "/x/y", "/x/b/c.txt"},
        {"media/image1.png", "/word", "/word/media/image1.png"},
        {"./media//a.png", "word/", "word/media/a.png"},
        {"/ppt/media/a.png", "/ppt/slides", "/ppt/media/a.png"}, // absolute: from the root
        {"../../../../etc/passwd", "/word", "/etc/passwd"},      // never above the root
        {"..", "a", ""},
        {"a", "", "a"},
        {"", "/x", "/x"},
    };
    expectPaths(table, UTStrings::stringByStandardizingPathForBasePath);
}

TEST(UTStrings, RelativePaths)
{
    const PathCase table[] = {
        {"/a/x/c", "/a/y/c", "../../x/c"},
        {"/a/b/f", "/a/b", "f"},
        {"/a", "/a/b", "../"},
        {"/a/b", "/a/b", ""},
        {"/a/b/", "/a/b", ""},
        {"/p/q", "/r", "../p/q"},
        {"x/y", "x", "y"},
        {"/abs", "rel", "/abs"}, // nothing in common: unchanged
    };
    expectPaths(table, UTStrings::stringByGeneratingRelativePathForBasePath);
}

TEST(UTStrings, LineEndingsBecomeSingleSpaces)
{
    const struct {
        QString text;
        QString result;
    } table[] = {
        {QStringLiteral("  Title\r\n\tsecond line \n"), QStringLiteral("Title second line")},
        {QStringLiteral("a") + QChar(0x2028) + QChar(0x2029) + QChar(0x85) + QStringLiteral("b"), QStringLiteral("a b")},
        {QStringLiteral("a\x01\x1f" "b\x7f" "c"), QStringLiteral("a b c")},
        {QStringLiteral("a") + QChar(0x00A0) + QChar(0x3000) + QStringLiteral("b"), QStringLiteral("a b")},
        {QStringLiteral("\n\r\t "), QString()},
        {QString::fromUtf8("\U0001F600 x\u200Dy"), QString::fromUtf8("\U0001F600 x\u200Dy")},
    };
    for (const auto& row : table)
        EXPECT_EQ(UTStrings::stringByReplacingLineEndingsWithSpace(row.text), row.result) << qPrintable(row.text);
}
