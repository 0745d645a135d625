#include "Platform/Core/PLError.h"

const QString PLError::FailureReasonKey = QStringLiteral("LocalizedFailureReason");
const QString PLError::UnderlyingErrorKey = QStringLiteral("UnderlyingError");

PLError::PLError(QString domain, int code, QVariantMap userInfo)
    : m_domain(std::move(domain)), m_code(code), m_userInfo(std::move(userInfo))
{
}

QString PLError::failureReason() const
{
    return m_userInfo.value(FailureReasonKey).toString();
}

QString PLError::localizedDescription() const
{
    const QString reason = failureReason();
    if (!reason.isEmpty()) return reason;
    return QStringLiteral("The operation couldn't be completed. (%1 error %2.)").arg(m_domain).arg(m_code);
}
