#include "Utilities/UTDateTimeInvalid.h"

UTDateTimeInvalid::UTDateTimeInvalid(const QString& reason)
    : std::runtime_error(reason.toStdString()), m_reason(reason)
{
}

PLError UTDateTimeInvalid::errorWithReason(const QString& reason)
{
    return PLError(QStringLiteral("Ideaflux"), ErrorCode, {{PLError::FailureReasonKey, reason}});
}
