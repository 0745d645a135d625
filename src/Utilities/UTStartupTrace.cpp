#include "Utilities/UTStartupTrace.h"

#include <QDateTime>
#include <QtGlobal>

#include <cstdio>
#include <unordered_set>

bool UTStartupTrace::isEnabled()
{
    static const bool enabled = qEnvironmentVariableIsSet("IX_STARTUP_TRACE");
    return enabled;
}

void UTStartupTrace::mark(const char* name)
{
    if (!isEnabled()) return;
    static std::unordered_set<const char*> marked;
    if (!marked.insert(name).second) return;
    std::printf("%s %lld\n", name, QDateTime::currentMSecsSinceEpoch());
    std::fflush(stdout);
}
