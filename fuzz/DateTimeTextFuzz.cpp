// Feeds arbitrary text to the stored date reader and to every style's parser of typed text:
// nothing may throw or crash, and every stored text that reads writes back to a text that
// reads as the same value.
#include "Utilities/UTDateTime.h"
#include "Utilities/UTDateTimeFormatter.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    PLError error;
    if (const std::optional<UTDateTime> value = UTDateTime::fromString(text, &error)) {
        const std::optional<UTDateTime> again = UTDateTime::fromString(value->stringRepresentation());
        if (!again || !again->isEqual(*value) || again->baseSeconds() != value->baseSeconds()) std::abort();
        for (int style = UTDateTimeFormatter::CommonEra; style <= UTDateTimeFormatter::Daily; ++style) {
            UTDateTimeFormatter formatter(style);
            formatter.setYearScale(3, QStringLiteral(" ty"));
            formatter.stringForObjectValue(value);
            formatter.editingStringForObjectValue(value);
        }
    }
    for (int style = UTDateTimeFormatter::CommonEra; style <= UTDateTimeFormatter::Daily; ++style) {
        std::optional<UTDateTime> parsed;
        UTDateTimeFormatter formatter(style);
        formatter.setYearScale(static_cast<int>(size % 8), QString());
        if (formatter.getObjectValue(&parsed, text, &error) && parsed) formatter.stringForObjectValue(parsed);
    }
    return 0;
}
