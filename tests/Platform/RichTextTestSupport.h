#pragma once

#include "Platform/PLAttributedString.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include <ostream>

// Readable strings in failure messages.
inline void PrintTo(const QString& string, std::ostream* out)
{
    *out << '"' << string.toStdString() << '"';
}

namespace RichTextTest {

inline QByteArray fixture(const char* name)
{
    QFile file(qEnvironmentVariable("IX_SOURCE_DIR") + QStringLiteral("/tests/Platform/data/") + QString::fromLatin1(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

inline QByteArray pngBytes(int width, int height, QColor color)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// The run that holds the first occurrence of a text, for checking its attributes.
inline const PLTextAttributes& attributesOf(const PLAttributedString& text, const QString& needle)
{
    const int index = int(text.string().indexOf(needle));
    EXPECT_GE(index, 0) << needle.toStdString();
    return text.attributesAt(std::max(index, 0));
}

} // namespace RichTextTest
