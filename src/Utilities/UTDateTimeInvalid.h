#pragma once

#include "Platform/Core/PLError.h"

#include <QString>

#include <stdexcept>

// Raised by the value setters of UTDateTime when an argument lies outside its range; the
// value is left as it was. Parsers of user text catch it and hand the reason on as a PLError.
class UTDateTimeInvalid : public std::runtime_error {
public:
    // The exception's name, also the name by which callers recognise it.
    static constexpr const char* Name = "UTDateTimeInvalid";
    // The code of the PLError made from a reason (domain "Ideaflux").
    static constexpr int ErrorCode = 1;

    explicit UTDateTimeInvalid(const QString& reason);

    // The reason, such as "invalid month value".
    const QString& reason() const { return m_reason; }
    // The reason as an error whose failure reason and description are the reason's text.
    PLError error() const { return errorWithReason(m_reason); }
    static PLError errorWithReason(const QString& reason);

private:
    QString m_reason;
};
