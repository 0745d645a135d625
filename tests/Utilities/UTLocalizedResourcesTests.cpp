#include "Platform/System/PLResources.h"
#include "Utilities/UTLocalizedResources.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
void touch(const QString& path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}
}

TEST(UTLocalizedResources, TakesTheFirstLocalizationThatHasTheResource)
{
    QTemporaryDir temp;
    touch(temp.path() + QStringLiteral("/de.lproj/Help/index.html"));
    touch(temp.path() + QStringLiteral("/fr.lproj/Help/index.html"));
    touch(temp.path() + QStringLiteral("/en.lproj/Help/only-english.html"));
    touch(temp.path() + QStringLiteral("/fr.lproj/Warnings.strings"));
    const QString previous = PLResources::directory();
    PLResources::setDirectory(temp.path());

    const QStringList preferred{QStringLiteral("it"), QStringLiteral("fr"), QStringLiteral("de")};
    EXPECT_EQ(UTLocalizedResources::localizedPathForResource(QStringLiteral("index"), QStringLiteral("html"), QStringLiteral("Help"), preferred),
              temp.path() + QStringLiteral("/fr.lproj/Help/index.html"));
    EXPECT_EQ(UTLocalizedResources::localizedPathForResource(QStringLiteral("Warnings"), QStringLiteral("strings"), QString(), preferred),
              temp.path() + QStringLiteral("/fr.lproj/Warnings.strings"));
    EXPECT_EQ(UTLocalizedResources::localizedPathForResource(QStringLiteral("only-english"), QStringLiteral("html"), QStringLiteral("Help"), preferred),
              temp.path() + QStringLiteral("/en.lproj/Help/only-english.html"));
    EXPECT_TRUE(UTLocalizedResources::localizedPathForResource(QStringLiteral("missing"), QStringLiteral("html"), QStringLiteral("Help"), preferred).isEmpty());
    EXPECT_TRUE(UTLocalizedResources::localizedPathForResource(QStringLiteral("../de.lproj/Help/index"), QStringLiteral("html"), QStringLiteral("Help"), preferred).isEmpty());
    EXPECT_TRUE(UTLocalizedResources::localizedPathForResource(QStringLiteral("index"), QStringLiteral("html"), QStringLiteral("../de.lproj/Help"), preferred).isEmpty());

    PLResources::setDirectory(previous);
}
