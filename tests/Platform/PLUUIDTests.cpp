#include "Platform/Core/PLUUID.h"

#include <QRegularExpression>
#include <QSet>

#include <gtest/gtest.h>

TEST(PLUUID, NewIdsAre32UpperCaseHexDigitsAndFresh)
{
    const QRegularExpression form(QStringLiteral("^[0-9A-F]{32}$"));
    QSet<QString> seen;
    for (int i = 0; i < 100; ++i) {
        const QString id = PLUUID::newIdString();
        EXPECT_TRUE(form.match(id).hasMatch()) << id.toStdString();
        seen.insert(id);
    }
    EXPECT_EQ(seen.size(), 100);
}
