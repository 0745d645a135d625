#pragma once

#include "Platform/Text/PLTextTableBlock.h"

#include <QList>
#include <QMetaType>
#include <QString>

// The layout of a paragraph as rich text keeps it. Lengths are in points. Indents are
// measured from the margins: the first line starts at firstLineIndent, the other lines at
// leftIndent (both from the left margin), and every line ends rightIndent before the right
// margin. Line height: lineHeightMultiple (0 = single), minimum and maximum line heights
// (0 = none) and extra leading between lines (lineSpacing).
struct PLParagraphStyle {
    enum class Alignment { Left, Right, Center, Justified, Natural };
    enum class WritingDirection { Natural, LeftToRight, RightToLeft };

    struct TabStop {
        enum class Kind { Left, Right, Center, Decimal };
        double location = 0;
        Kind kind = Kind::Left;
        bool operator==(const TabStop&) const = default;
    };

    // One level of a list. The marker format is a text in which one of the placeholders
    // "{disc}", "{circle}", "{square}", "{hyphen}", "{check}", "{diamond}", "{box}",
    // "{decimal}", "{decimal-leading-zero}", "{lower-alpha}", "{upper-alpha}", "{lower-latin}",
    // "{upper-latin}", "{lower-roman}", "{upper-roman}", "{lower-hexadecimal}",
    // "{upper-hexadecimal}", "{octal}" stands for the item's marker; "{decimal}." gives 1., 2.
    struct TextList {
        QString markerFormat;
        int startingItemNumber = 1;
        bool operator==(const TextList&) const = default;

        // The marker of an item, its number counted from startingItemNumber.
        QString marker(int itemNumber) const;
        // True when the format numbers items (rather than showing one symbol for all).
        bool isOrdered() const;
    };

    Alignment alignment = Alignment::Natural;
    WritingDirection writingDirection = WritingDirection::Natural;
    double firstLineIndent = 0;
    double leftIndent = 0;
    double rightIndent = 0;
    double lineHeightMultiple = 0;
    double minimumLineHeight = 0;
    double maximumLineHeight = 0;
    double lineSpacing = 0;
    double spacingBefore = 0;
    double spacingAfter = 0;
    // Interval of the tab stops after the last explicit one (0 = the document's default).
    double defaultTabInterval = 0;
    QList<TabStop> tabStops;
    // The lists the paragraph belongs to, outermost first; empty for a paragraph outside lists.
    QList<TextList> textLists;
    // The table cells the paragraph is in, outermost first; empty outside tables.
    QList<PLTextTableBlock> textBlocks;

    bool operator==(const PLParagraphStyle&) const = default;

    // True when every field holds its default.
    bool isDefault() const { return *this == PLParagraphStyle(); }
};

Q_DECLARE_METATYPE(PLParagraphStyle)
