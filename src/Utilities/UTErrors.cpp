#include "Utilities/UTErrors.h"

#include "Platform/Core/PLAssert.h"

const QString UTErrors::IXErrorDomain = QStringLiteral("Ideaflux");

PLError UTErrors::errorWithFailureReason(const QString& reason)
{
    if (reason.isEmpty()) PLAssertionFailed("[reason length] > 0");
    return PLError(IXErrorDomain, 1, {{PLError::FailureReasonKey, reason}});
}

PLError UTErrors::errorWithCode(int code, const QVariantMap& userInfo)
{
    // The information is attached: a caller that passes it means it to reach the user.
    return PLError(IXErrorDomain, code, userInfo);
}
