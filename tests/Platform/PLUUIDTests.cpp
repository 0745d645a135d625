#include "Platform/Core/PLUUID.h"

#include <QRegularExpression>
#include <QSet>
#include <QUuid>

#include <gtest/gtest.h>

// More ids than one block of random bytes gives, so a refill is crossed.
TEST(PLUUID, NewIdsAre32UpperCaseHexDigitsOfRandomUUIDsAndFresh)
{
    const QRegularExpression form(QStringLiteral("^[0-9A-F]{32}$"));
    QSet<QString> seen;
    constexpr int Count = 1000;
    for (int i = 0; i < Count; ++i) {
        const QString id = PLUUID::newIdString();
        EXPECT_TRUE(form.match(id).hasMatch()) << id.toStdString();
        // The digits of a random UUID in order: its version and variant read back where they belong.
        const QUuid uuid = QUuid::fromString(
            QStringLiteral("%1-%2-%3-%4-%5").arg(id.mid(0, 8), id.mid(8, 4), id.mid(12, 4), id.mid(16, 4), id.mid(20)));
        EXPECT_EQ(uuid.version(), QUuid::Random) << id.toStdString();
        EXPECT_EQ(uuid.variant(), QUuid::DCE) << id.toStdString();
        seen.insert(id);
    }
    EXPECT_EQ(seen.size(), Count);
}
