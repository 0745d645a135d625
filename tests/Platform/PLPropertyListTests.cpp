#include "Platform/XML/PLPropertyList.h"

#include <QDateTime>
#include <QPoint>
#include <QStringList>
#include <QTimeZone>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

QDateTime utc(int year, int month, int day, int hour = 0, int minute = 0, int second = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), QTimeZone::utc());
}

QVariant roundTrip(const QVariant& value)
{
    PLError error;
    const QByteArray xml = PLPropertyList::write(value, &error);
    EXPECT_FALSE(error) << error.failureReason().toStdString();
    const QVariant back = PLPropertyList::read(xml, &error);
    EXPECT_FALSE(error) << error.failureReason().toStdString() << "\n" << xml.toStdString();
    return back;
}

QByteArray nested(const char* open, const char* close, int depth)
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\">";
    xml.reserve(xml.size() + depth * qsizetype(std::strlen(open) + std::strlen(close)) + 16);
    for (int i = 0; i < depth; ++i) xml += open;
    for (int i = 0; i < depth; ++i) xml += close;
    return xml + "</plist>";
}

} // namespace

TEST(PLPropertyList, RoundTripsEveryValueType)
{
    QByteArray allBytes;
    for (int i = 0; i < 256; ++i) allBytes.append(char(i));
    const QVariantMap value{
        {QStringLiteral("string"), QStringLiteral("Zweig <&> \"quoted\" \u00e9\u4e2d\U0001F600")},
        {QStringLiteral("control"), QStringLiteral("tab\tline\nbell\x07")},
        {QStringLiteral("empty string"), QString()},
        {QStringLiteral("integers"), QVariantList{qint64(0), qint64(-5), std::numeric_limits<qint64>::min(),
                                                  std::numeric_limits<qint64>::max()}},
        {QStringLiteral("big unsigned"), std::numeric_limits<quint64>::max()},
        {QStringLiteral("reals"), QVariantList{0.1, -2.5, 1e300, 5e-324, std::numeric_limits<double>::infinity()}},
        {QStringLiteral("booleans"), QVariantList{true, false}},
        {QStringLiteral("dates"), QVariantList{utc(2001, 1, 1), utc(2024, 2, 29, 23, 59, 58), utc(1900, 1, 1),
                                               utc(3000, 6, 15, 12), utc(1, 1, 1), utc(9999, 12, 31, 23, 59, 59)}},
        {QStringLiteral("data"), allBytes},
        {QStringLiteral("empty data"), QByteArray()},
        {QStringLiteral("nested"), QVariantList{QVariantList{}, QVariantMap{}, QVariantMap{{QStringLiteral("k"), QVariantList{1LL}}}}},
        {QString(), QStringLiteral("empty key")},
    };
    const QVariant back = roundTrip(value);
    EXPECT_EQ(back, QVariant(value));
    // Types as well as values come back.
    const QVariantMap map = back.toMap();
    EXPECT_EQ(map.value(QStringLiteral("integers")).toList().value(2).typeId(), QMetaType::LongLong);
    EXPECT_EQ(map.value(QStringLiteral("big unsigned")).typeId(), QMetaType::ULongLong);
    EXPECT_EQ(map.value(QStringLiteral("reals")).toList().value(0).typeId(), QMetaType::Double);
    EXPECT_EQ(map.value(QStringLiteral("booleans")).toList().value(0).typeId(), QMetaType::Bool);
    EXPECT_EQ(map.value(QStringLiteral("dates")).toList().value(0).toDateTime().timeZone(), QTimeZone::utc());
    EXPECT_EQ(map.value(QStringLiteral("data")).typeId(), QMetaType::QByteArray);
    EXPECT_TRUE(std::isnan(roundTrip(std::numeric_limits<double>::quiet_NaN()).toDouble()));
}

TEST(PLPropertyList, WritesSelfContainedXML)
{
    const QByteArray xml = PLPropertyList::write(QVariantMap{{QStringLiteral("k"), 1LL}});
    EXPECT_TRUE(xml.startsWith("<?xml")) << xml.constData();
    EXPECT_FALSE(xml.contains("<!DOCTYPE")) << xml.constData();
    EXPECT_TRUE(xml.contains("<plist")) << xml.constData();
}

TEST(PLPropertyList, WritesOtherContainerAndNumberTypes)
{
    QVariantHash hash{{QStringLiteral("b"), 2}, {QStringLiteral("a"), QStringList{QStringLiteral("x")}}};
    const QVariant back = roundTrip(QVariantList{hash, 7u, 1.5f, QDateTime(QDate(2020, 5, 1), QTime(10, 0), QTimeZone(3600))});
    const QVariantList list = back.toList();
    ASSERT_EQ(list.size(), 4);
    EXPECT_EQ(list[0], QVariant(QVariantMap{{QStringLiteral("a"), QVariantList{QStringLiteral("x")}}, {QStringLiteral("b"), qint64(2)}}));
    EXPECT_EQ(list[1], QVariant(qint64(7)));
    EXPECT_EQ(list[2], QVariant(1.5));
    EXPECT_EQ(list[3], QVariant(utc(2020, 5, 1, 9)));
    // The text is an XML property list.
    const QByteArray xml = PLPropertyList::write(QVariantMap{{QStringLiteral("key"), true}});
    EXPECT_TRUE(xml.startsWith("<?xml"));
    EXPECT_TRUE(xml.contains("<plist version=\"1.0\">"));
    EXPECT_TRUE(xml.contains("<key>key</key>"));
    EXPECT_TRUE(xml.contains("<true/>"));
}

TEST(PLPropertyList, RefusesValuesThatItCannotWrite)
{
    QVariant deep = QVariantList{};
    for (int i = 0; i < PLPropertyList::MaxDepth; ++i) deep = QVariantList{deep};
    const struct {
        const char* label;
        QVariant value;
    } cases[] = {
        {"invalid", QVariant()},
        {"other type", QPoint(1, 2)},
        {"NUL in string", QString(QStringLiteral("a") + QChar(u'\0') + QStringLiteral("b"))},
        {"NUL in key", QVariantMap{{QString(QStringLiteral("k") + QChar(u'\0')), 1}}},
        {"invalid date", QDateTime()},
        {"year 10000", utc(10000, 1, 1)},
        {"unsupported inside", QVariantMap{{QStringLiteral("ok"), 1}, {QStringLiteral("point"), QPoint()}}},
        {"too deep", deep},
    };
    for (const auto& c : cases) {
        PLError error;
        EXPECT_TRUE(PLPropertyList::write(c.value, &error).isEmpty()) << c.label;
        EXPECT_EQ(error.domain(), PLPropertyList::ErrorDomain) << c.label;
        EXPECT_FALSE(error.failureReason().isEmpty()) << c.label;
    }
}

TEST(PLPropertyList, ReportsMalformedInputAsErrors)
{
    const QByteArray head = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\">";
    const struct {
        const char* label;
        QByteArray data;
    } cases[] = {
        {"empty", QByteArray()},
        {"garbage", "not a property list"},
        {"truncated", head + "<dict><key>a</key><string>b"},
        {"unclosed array", head + "<array>"},
        {"no value", head + "</plist>"},
        {"binary", QByteArray("bplist00\xd1\x01\x02", 11)},
        {"too deep arrays", nested("<array>", "</array>", 1'000'000)},
        {"too deep dictionaries", nested("<dict><key>k</key>", "</dict>", 300'000)},
        {"too deep mixed", nested("<array><dict><key>k</key><array>", "</array></dict></array>", 200'000)},
        {"too large", QByteArray(PLPropertyList::MaxDataSize + 1, ' ')},
        // What the writer refuses is refused here too, so that what was read can be saved.
        {"NUL in string", head + QByteArray("<string>a\0b</string></plist>", 28)},
        {"NUL in key", head + QByteArray("<dict><key>k\0x</key><true/></dict></plist>", 42)},
        {"NUL as reference", head + "<string>a&#0;b</string></plist>"},
        {"year 0", head + "<date>0000-01-01T00:00:00Z</date></plist>"},
    };
    for (const auto& c : cases) {
        PLError error;
        EXPECT_FALSE(PLPropertyList::read(c.data, &error).isValid()) << c.label;
        EXPECT_EQ(error.domain(), PLPropertyList::ErrorDomain) << c.label;
        EXPECT_FALSE(error.failureReason().isEmpty()) << c.label;
    }
    EXPECT_FALSE(PLPropertyList::read("garbage").isValid()); // no error asked for
}

TEST(PLPropertyList, AcceptsNestingUpToTheLimit)
{
    const QVariant value = PLPropertyList::read(nested("<array>", "</array>", PLPropertyList::MaxDepth));
    ASSERT_TRUE(value.isValid());
    int depth = 0;
    for (QVariant level = value; level.typeId() == QMetaType::QVariantList && !level.toList().isEmpty(); level = level.toList().first()) ++depth;
    EXPECT_EQ(depth, PLPropertyList::MaxDepth - 1);
    EXPECT_FALSE(PLPropertyList::read(nested("<array>", "</array>", PLPropertyList::MaxDepth + 1)).isValid());
}
