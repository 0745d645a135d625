#include "Platform/Core/PLLog.h"

#include <QSet>

#include <cstdio>

namespace {
PLLog::Sink& currentSink()
{
    static PLLog::Sink sink;
    return sink;
}
}

void PLLog::write(const QString& line)
{
    if (const Sink& sink = currentSink()) {
        sink(line);
        return;
    }
    const QByteArray bytes = line.toUtf8();
    std::fprintf(stderr, "%s\n", bytes.constData());
}

void PLLog::writeOnce(const QString& line)
{
    static QSet<QString> written;
    if (written.contains(line)) return;
    written.insert(line);
    write(line);
}

PLLog::Sink PLLog::setSink(Sink sink)
{
    Sink previous = std::move(currentSink());
    currentSink() = std::move(sink);
    return previous;
}
