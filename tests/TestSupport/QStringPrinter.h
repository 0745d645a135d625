#pragma once

#include <QString>

#include <ostream>

// Lets failed expectations show texts as texts.
inline void PrintTo(const QString& text, std::ostream* stream)
{
    *stream << '"' << text.toStdString() << '"';
}
