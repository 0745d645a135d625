#include "Platform/Core/PLNotificationCenter.h"

#include "TestSupport/QStringPrinter.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {
const QString Name = QStringLiteral("IXSpellCheckingIgnoreWord");

struct Recorder {
    QStringList received;
    void observe(PLNotificationCenter& center, const void* sender, const QString& tag)
    {
        center.addObserver(this, Name, sender, [this, tag](const PLNotification& n) {
            received.append(tag + QLatin1Char(':') + n.userInfo.value(QStringLiteral("string")).toString());
        });
    }
};
}

TEST(PLNotificationCenter, DeliversByNameAndSender)
{
    PLNotificationCenter center;
    int panel = 0, otherPanel = 0;
    Recorder any, onlyPanel;
    any.observe(center, nullptr, QStringLiteral("any"));
    onlyPanel.observe(center, &panel, QStringLiteral("panel"));

    center.post(Name, &panel, {{QStringLiteral("string"), QStringLiteral("teh")}});
    center.post(Name, &otherPanel, {{QStringLiteral("string"), QStringLiteral("wrod")}});
    center.post(Name, nullptr, {{QStringLiteral("string"), QStringLiteral("nil")}});
    center.post(QStringLiteral("SomethingElse"), &panel, {{QStringLiteral("string"), QStringLiteral("x")}});

    EXPECT_EQ(any.received, (QStringList{QStringLiteral("any:teh"), QStringLiteral("any:wrod"), QStringLiteral("any:nil")}));
    EXPECT_EQ(onlyPanel.received, QStringList{QStringLiteral("panel:teh")});
}

TEST(PLNotificationCenter, RemovalByObserverNameAndSender)
{
    PLNotificationCenter center;
    int panel = 0, otherPanel = 0;
    Recorder r;
    r.observe(center, &panel, QStringLiteral("p"));
    r.observe(center, &otherPanel, QStringLiteral("o"));
    EXPECT_TRUE(center.isObserving(&r, Name));

    center.removeObserver(&r, Name, &panel);
    center.post(Name, &panel, {{QStringLiteral("string"), QStringLiteral("1")}});
    center.post(Name, &otherPanel, {{QStringLiteral("string"), QStringLiteral("2")}});
    EXPECT_EQ(r.received, QStringList{QStringLiteral("o:2")});

    center.removeObserver(&r);
    EXPECT_FALSE(center.isObserving(&r, Name));
    center.post(Name, &otherPanel, {{QStringLiteral("string"), QStringLiteral("3")}});
    EXPECT_EQ(r.received, QStringList{QStringLiteral("o:2")});
}

TEST(PLNotificationCenter, ObserversMayUnregisterDuringDelivery)
{
    PLNotificationCenter center;
    QStringList calls;
    int first = 0, second = 0, third = 0, late = 0;
    // The first removes itself and the third; a registration made during delivery waits.
    center.addObserver(&first, Name, nullptr, [&](const PLNotification&) {
        calls.append(QStringLiteral("first"));
        center.removeObserver(&first);
        center.removeObserver(&third);
        center.addObserver(&late, Name, nullptr, [&](const PLNotification&) { calls.append(QStringLiteral("late")); });
    });
    center.addObserver(&second, Name, nullptr, [&](const PLNotification&) { calls.append(QStringLiteral("second")); });
    center.addObserver(&third, Name, nullptr, [&](const PLNotification&) { calls.append(QStringLiteral("third")); });

    center.post(Name, nullptr);
    EXPECT_EQ(calls, (QStringList{QStringLiteral("first"), QStringLiteral("second")}));
    calls.clear();
    center.post(Name, nullptr);
    EXPECT_EQ(calls, (QStringList{QStringLiteral("second"), QStringLiteral("late")}));
}
