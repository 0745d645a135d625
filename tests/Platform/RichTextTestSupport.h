#pragma once

#include "Platform/Text/PLAttributedString.h"
#include "TestSupport/QStringPrinter.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QHash>
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

namespace RichTextTest {

// The text paragraph by paragraph, each led by its cells: "[table row,column rowSpan x
// columnSpan]" outermost first, tables numbered in order of appearance.
inline QString tableOutline(const PLAttributedString& text)
{
    QHash<const PLTextTable*, int> tables;
    QString outline;
    const QString& string = text.string();
    int start = 0;
    while (start < text.length()) {
        int end = int(string.indexOf(QLatin1Char('\n'), start));
        end = end < 0 ? text.length() : end;
        const std::optional<PLParagraphStyle>& style = text.attributesAt(start).paragraphStyle;
        for (const PLTextTableBlock& block : style ? style->textBlocks : QList<PLTextTableBlock>()) {
            const int id = int(tables.size());
            const int table = tables.contains(block.table.get()) ? tables.value(block.table.get()) : (tables.insert(block.table.get(), id), id);
            outline += QStringLiteral("[%1 %2,%3").arg(table).arg(block.row).arg(block.column);
            if (block.rowSpan != 1 || block.columnSpan != 1) outline += QStringLiteral(" %1x%2").arg(block.rowSpan).arg(block.columnSpan);
            outline += QLatin1Char(']');
        }
        outline += string.mid(start, end - start) + QLatin1Char('\n');
        start = end + 1;
    }
    return outline;
}

} // namespace RichTextTest
