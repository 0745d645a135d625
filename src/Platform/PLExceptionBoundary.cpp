#include "Platform/PLExceptionBoundary.h"

#include "Platform/PLLog.h"

#include <exception>

bool PLExceptionBoundary::run(const QString& where, const std::function<void()>& work)
{
    try {
        work();
        return true;
    } catch (const std::exception& exception) {
        PLLog::write(where + QStringLiteral(": ") + QString::fromUtf8(exception.what()));
    } catch (...) {
        PLLog::write(where + QStringLiteral(": unknown exception"));
    }
    return false;
}
