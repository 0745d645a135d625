#pragma once

#include <QString>

#include <optional>

// The attributes that IXStyleNode's named getters and setters read and write, with the members
// of their font and text groups, as typed keys. A read by key finds a style's own value by a
// bit and the inherited one in the sheet's table by key, hashing nothing; a misspelt key does
// not compile. Names that come from elsewhere (files, plug-ins) stay text and are found by
// text, which gives the same values.
enum class IXStyleKey : int {
    // Document
    DocumentPageColor,
    DocumentWordWrap,
    DocumentGapVertical,
    DocumentGapHorizontal,
    DocumentBranchMinLength,
    DocumentShowsConnections,
    DocumentLayout,
    DocumentLayoutOrientation,
    DocumentLayoutCustom,
    TimelineLevelDisplay,
    TimelineShowTitle,
    TimelineShowDurationBars,
    TimelineShowTimeBreaks,
    TimelineScale,
    PrintPageOrientation,
    PrintPageVCount,
    PrintPageHCount,
    PrintPageScale,
    PrintPageOffsetX,
    PrintPageOffsetY,
    PrintShowDocInfo,
    DocumentNumbering,
    // Branch
    BranchLayoutType,
    BranchFrameType,
    BranchLineWidth,
    BranchLineType,
    BranchLineColor,
    BranchFrameLineColor,
    BranchFrameLineRoundness,
    BranchFillType,
    BranchFrameFillAngle,
    BranchFrameFillColorCount,
    BranchFrameFillColor,
    BranchFrameFillAltColor,
    BranchPicturePosition,
    BranchLayout,
    BranchBaseline,
    BranchConnectionCap,
    BranchTextColor,
    BranchTextBackgroundColor,
    BranchTextFontSize,
    BranchTextFontName,
    BranchTextFontFamily,
    BranchTextFontBold,
    BranchTextFontItalic,
    BranchTextAlignment,
    BranchCollapsed,
    BranchTextWidth,
    BranchParentOffset,
    BranchCollapserType,
    // Picture
    PictureSize,
    PictureKeepAspect,
    PictureOpacity,
    // Boundary
    BoundaryShow,
    BoundaryLineColor,
    BoundaryFillColor,
    BoundaryLineWidth,
    BoundaryRoundness,
    BoundaryLineDash,
    // Connections and floating objects
    ConnectionHoverColor,
    ConnectionColor,
    ConnectionOffset1,
    ConnectionOffset2,
    ConnectionLineWidth,
    FloatingLineColor,
    FloatingFrameColor,
    FloatingFrameBackgroundColor,
    FloatingFrameWidth,
    FloatingLineWidth,
    CommentTextWidth,
    FloatingTargetOffset,
    FloatingTextColor,
    FloatingTextBackgroundColor,
    FloatingTextFontSize,
    FloatingTextFontName,
    FloatingTextFontFamily,
    FloatingTextFontBold,
    FloatingTextFontItalic,
    FloatingTextAlignment,
};

namespace IXStyleKeys {
inline constexpr int Count = int(IXStyleKey::FloatingTextAlignment) + 1;

// The key's name as files store it ("branch.line.color").
const QString& name(IXStyleKey key);
// The key named by the text, if any.
std::optional<IXStyleKey> keyForName(const QString& name);
}  // namespace IXStyleKeys

// An attribute name as reads and writes take it: a key, or a text (found by text). It refers
// to the caller's string, so it is a parameter type only, never stored.
class IXStyleName {
public:
    constexpr IXStyleName(IXStyleKey key) : m_slot(int(key)) {}
    IXStyleName(const QString& text) : m_text(&text) {}

    const QString& text() const { return m_text ? *m_text : IXStyleKeys::name(IXStyleKey(m_slot)); }
    // The key's index, 0 to IXStyleKeys::Count - 1, or -1 for a name given as text.
    constexpr int slot() const { return m_slot; }

private:
    const QString* m_text = nullptr;
    int m_slot = -1;
};
