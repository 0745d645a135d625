#include "DocumentWindow/IXShellErrors.h"

#include "Utilities/UTErrors.h"

PLError IXShellErrors::error(const QString& reason, const QString& underlying)
{
    const PLError base = UTErrors::errorWithFailureReason(reason);
    if (underlying.isEmpty()) return base;
    QVariantMap userInfo = base.userInfo();
    userInfo.insert(PLError::UnderlyingErrorKey, underlying);
    return PLError(base.domain(), base.code(), userInfo);
}

PLError IXShellErrors::error(const QString& reason, const PLError& underlying)
{
    return error(reason, underlying.isNull() ? QString() : underlying.localizedDescription());
}
