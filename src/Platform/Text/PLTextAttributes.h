#pragma once

#include "Platform/Text/PLFont.h"
#include "Platform/Text/PLParagraphStyle.h"
#include "Platform/Text/PLTextAttachment.h"

#include <QColor>
#include <QString>

#include <optional>

// The attributes of a run of rich text. Every attribute is optional: an absent one means
// the default (no font given, no colour, no underline...).
//
// Underline and strikethrough styles use the common integer encoding of line styles: the
// low byte is the line (1 single, 2 thick, 9 double), a pattern may be added (0x100 dot,
// 0x200 dash, 0x300 dash-dot, 0x400 dash-dot-dot) and 0x8000 draws under words only.
// Superscript is a level (1 superscript, -1 subscript, 2 a second level...); the baseline
// offset is in points, upward.
struct PLTextAttributes {
    enum class Key {
        Font,
        ForegroundColor,
        BackgroundColor,
        UnderlineStyle,
        UnderlineColor,
        StrikethroughStyle,
        StrikethroughColor,
        Superscript,
        BaselineOffset,
        ParagraphStyle,
        Link,
        Attachment,
    };

    enum LineStyle {
        LineStyleNone = 0,
        LineStyleSingle = 0x01,
        LineStyleThick = 0x02,
        LineStyleDouble = 0x09,
        LinePatternSolid = 0x000,
        LinePatternDot = 0x100,
        LinePatternDash = 0x200,
        LinePatternDashDot = 0x300,
        LinePatternDashDotDot = 0x400,
        LineByWord = 0x8000,
    };

    std::optional<PLFont> font;
    std::optional<QColor> foregroundColor;
    std::optional<QColor> backgroundColor;
    std::optional<int> underlineStyle;
    std::optional<QColor> underlineColor;
    std::optional<int> strikethroughStyle;
    std::optional<QColor> strikethroughColor;
    std::optional<int> superscript;
    std::optional<double> baselineOffset;
    std::optional<PLParagraphStyle> paragraphStyle;
    // A link target: a URL as text ("https://...", "mailto:...", "file://...").
    std::optional<QString> link;
    PLTextAttachmentPtr attachment;

    bool isEmpty() const;
    bool has(Key key) const;
    void remove(Key key);
    // Sets every attribute that other has, keeping the others.
    void merge(const PLTextAttributes& other);

    // True when both hold the same value (or both none) for the attribute.
    bool sameValue(const PLTextAttributes& other, Key key) const;

    // Attachments compare by their contents.
    bool operator==(const PLTextAttributes& other) const;
};
