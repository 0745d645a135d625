#pragma once

#include "Platform/PLAttributedString.h"
#include "TestSupport/QStringPrinter.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include <ostream>

// The runs of a text with the attributes each has, for failure messages.
inline void PrintTo(const PLAttributedString& text, std::ostream* out)
{
    for (int run = 0; run < text.runCount(); ++run) {
        const PLRange range = text.runRange(run);
        const PLTextAttributes& a = text.runAttributes(run);
        QString chars = text.string().mid(range.location, range.length);
        chars.replace(QLatin1Char('\n'), QLatin1String("\\n"));
        *out << "\n  [" << chars.toStdString() << "]";
        if (a.font)
            *out << " font=" << a.font->family.toStdString() << '/' << a.font->pointSize << (a.font->bold ? " bold" : "")
                 << (a.font->italic ? " italic" : "");
        if (a.foregroundColor) *out << " fg=" << a.foregroundColor->name(QColor::HexArgb).toStdString();
        if (a.backgroundColor) *out << " bg=" << a.backgroundColor->name(QColor::HexArgb).toStdString();
        if (a.underlineStyle) *out << " underline=" << *a.underlineStyle;
        if (a.strikethroughStyle) *out << " strike=" << *a.strikethroughStyle;
        if (a.superscript) *out << " superscript=" << *a.superscript;
        if (a.baselineOffset) *out << " baseline=" << *a.baselineOffset;
        if (a.link) *out << " link=" << a.link->toStdString();
        if (a.paragraphStyle) *out << " paragraph(alignment " << int(a.paragraphStyle->alignment) << ")";
        if (a.attachment)
            *out << " attachment=" << a.attachment->fileName().toStdString() << '/' << a.attachment->contents().size() << "B/"
                 << a.attachment->displaySize().width() << 'x' << a.attachment->displaySize().height();
    }
}

namespace RichTextTest {

inline QByteArray fixture(const char* name)
{
    QFile file(QStringLiteral(IX_SOURCE_DIR "/tests/Platform/data/") + QString::fromLatin1(name));
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
