#include "Platform/XML/PLXMLDocument.h"
#include "Platform/XML/PLXMLSchemaValidator.h"
#include "Utilities/UTDateTime.h"

#include <gtest/gtest.h>

// Every stored date text that the writer produces is one that the package schema accepts as
// a branch's "start", "end" or "end2".
TEST(UTDateTime, StoredTextsPassThePackageSchema)
{
    const auto moved = [](UTDateTime value, qint64 seconds) {
        value.addSeconds(seconds);
        return value;
    };
    const auto timed = [](UTDateTime value, int hour, int minute, int second) {
        value.setHour(hour);
        value.setMinute(minute);
        value.setSecond(second);
        return value;
    };
    const UTDateTime values[] = {
        UTDateTime(),
        UTDateTime::fromYears(-500),
        UTDateTime::fromYears(-4'500'000'000),
        UTDateTime::fromYears(2008, 2, 0),
        timed(UTDateTime::fromYears(2008, 3, 15), 14, 30, 0),
        timed(UTDateTime::fromYears(2008), 0, 0, 1),
        UTDateTime::fromMonths(5, 3),
        timed(UTDateTime::fromMonths(-7, 0), 23, 59, 59),
        UTDateTime::fromWeeks(12, 3),
        moved(UTDateTime::fromWeeks(0, 0), -90061),
        moved(UTDateTime::fromDays(10), 90061),
        moved(UTDateTime::fromDays(0), -1),
        UTDateTime::fromHours(100),
        moved(UTDateTime::fromHours(100), 1800),
        moved(UTDateTime::fromHours(0), -61),
    };
    for (const UTDateTime& value : values) {
        const QString text = value.stringRepresentation();
        SCOPED_TRACE(text.toStdString());
        PLXMLDocument document("document");
        PLXMLElement root = document.rootElement();
        root.setAttribute("xmlns:xsi", u"http://www.w3.org/2001/XMLSchema-instance");
        root.setAttribute("xsi:noNamespaceSchemaLocation", u"contents.xsd");
        PLXMLElement branch = root.addChildElement("branch");
        for (const char* name : {"start", "end", "end2"}) branch.setAttribute(name, text);
        PLError error;
        EXPECT_TRUE(PLXMLSchemaValidator::validate(document, &error)) << error.failureReason().toStdString();
    }
}
