#include "Platform/Core/PLExceptionBoundary.h"

#include "Platform/Core/PLLog.h"

#include <atomic>
#include <exception>

namespace {

std::atomic<PLExceptionBoundary::Listener> listener{nullptr};

// The text of the exception being handled.
QString currentWhat()
{
    try {
        throw;
    } catch (const std::exception& exception) {
        return QString::fromUtf8(exception.what());
    } catch (...) {
        return QStringLiteral("unknown exception");
    }
}

QString describe(const PLSourceLocation& location)
{
    QString file = QString::fromUtf8(location.file);
    file = file.mid(file.lastIndexOf(QLatin1Char('/')) + 1);
    return QStringLiteral("%1 (%2:%3)").arg(QString::fromUtf8(location.function), file).arg(location.line);
}

}  // namespace

void PLExceptionBoundary::setListener(Listener newListener)
{
    listener = newListener;
}

bool PLExceptionBoundary::run(const QString& where, const std::function<void()>& work)
{
    try {
        work();
        return true;
    } catch (...) {
        caught(where);
    }
    return false;
}

void PLExceptionBoundary::caught(const QString& where)
{
    const QString what = currentWhat();
    PLLog::write(where + QStringLiteral(": ") + what);
    if (const Listener told = listener) told(where, what);
}

void PLExceptionBoundary::caught(PLSourceLocation location)
{
    caught(describe(location));
}
