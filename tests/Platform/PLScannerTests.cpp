#include "Platform/Core/PLScanner.h"

#include <gtest/gtest.h>

#include <limits>

TEST(PLScanner, ReadsNumbersAndWords)
{
    PLScanner scanner(QStringLiteral("  -42,+7 March/x"));
    int value = 0;
    int digits = 0;
    ASSERT_TRUE(scanner.scanInt(&value, &digits));
    EXPECT_EQ(value, -42);
    EXPECT_EQ(digits, 2);
    EXPECT_FALSE(scanner.scanInt(&value)); // at ","
    EXPECT_EQ(scanner.peek(), QLatin1Char(','));
    EXPECT_TRUE(scanner.scanCharacter(QLatin1Char(',')));
    ASSERT_TRUE(scanner.scanInt(&value));
    EXPECT_EQ(value, 7);
    scanner.skipCharacters([](QChar c) { return c.isSpace(); });
    EXPECT_EQ(scanner.scanUpToCharacters([](QChar c) { return c == u'/'; }), QStringLiteral("March"));
    EXPECT_TRUE(scanner.scanCharacter(QLatin1Char('/')));
    const qsizetype before = scanner.location();
    EXPECT_FALSE(scanner.scanInt(&value));
    EXPECT_EQ(scanner.location(), before);
    EXPECT_EQ(scanner.scanUpToCharacters([](QChar) { return false; }), QStringLiteral("x"));
    EXPECT_TRUE(scanner.isAtEnd());
    EXPECT_TRUE(scanner.peek().isNull());
}

TEST(PLScanner, NumbersBeyondTheTypeSaturate)
{
    const struct {
        const char* text;
        qint64 longLong;
        int integer;
    } table[] = {
        {"9223372036854775807", std::numeric_limits<qint64>::max(), std::numeric_limits<int>::max()},
        {"99999999999999999999", std::numeric_limits<qint64>::max(), std::numeric_limits<int>::max()},
        {"-9223372036854775808", std::numeric_limits<qint64>::min(), std::numeric_limits<int>::min()},
        {"-99999999999999999999", std::numeric_limits<qint64>::min(), std::numeric_limits<int>::min()},
        {"-2147483649", -2147483649LL, std::numeric_limits<int>::min()},
    };
    for (const auto& row : table) {
        qint64 longLong = 0;
        int integer = 0;
        EXPECT_TRUE(PLScanner(QString::fromLatin1(row.text)).scanLongLong(&longLong)) << row.text;
        EXPECT_TRUE(PLScanner(QString::fromLatin1(row.text)).scanInt(&integer)) << row.text;
        EXPECT_EQ(longLong, row.longLong) << row.text;
        EXPECT_EQ(integer, row.integer) << row.text;
    }
    EXPECT_FALSE(PLScanner(QStringLiteral("-")).scanInt(nullptr));
}
