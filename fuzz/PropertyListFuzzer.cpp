// Feeds arbitrary bytes to the property-list reader and writes back whatever it accepts.
#include "Platform/XML/PLPropertyList.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    PLError error;
    const QVariant value = PLPropertyList::read(bytes, &error);
    if (value.isValid()) {
        const QByteArray written = PLPropertyList::write(value, &error);
        if (!written.isEmpty()) PLPropertyList::read(written, &error);
    }
    return 0;
}
