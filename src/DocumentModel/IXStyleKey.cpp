#include "DocumentModel/IXStyleKey.h"

#include <QHash>

#include <array>
#include <string_view>
#include <utility>

namespace {
// Each key with its name, in the enum's order (checked below, so a key out of place does not
// compile).
constexpr std::array<std::pair<IXStyleKey, std::u16string_view>, IXStyleKeys::Count> Names = {{
    {IXStyleKey::DocumentPageColor, u"document.bgcolor"},
    {IXStyleKey::DocumentWordWrap, u"document.word.wrap"},
    {IXStyleKey::DocumentGapVertical, u"document.gap.vertical"},
    {IXStyleKey::DocumentGapHorizontal, u"document.gap.horizontal"},
    {IXStyleKey::DocumentBranchMinLength, u"document.branch.minlength"},
    {IXStyleKey::DocumentShowsConnections, u"document.connections.show"},
    {IXStyleKey::DocumentLayout, u"document.layout"},
    {IXStyleKey::DocumentLayoutOrientation, u"document.layout.orientation"},
    {IXStyleKey::DocumentLayoutCustom, u"document.layout.custom"},
    {IXStyleKey::TimelineLevelDisplay, u"document.layout.timeline.leveldisplay"},
    {IXStyleKey::TimelineShowTitle, u"document.layout.timeline.show.title"},
    {IXStyleKey::TimelineShowDurationBars, u"document.layout.timeline.show.durationbars"},
    {IXStyleKey::TimelineShowTimeBreaks, u"document.layout.timeline.show.timebreaks"},
    {IXStyleKey::TimelineScale, u"document.layout.timeline.scale"},
    {IXStyleKey::PrintPageOrientation, u"print.page.orientation"},
    {IXStyleKey::PrintPageVCount, u"print.page.vcount"},
    {IXStyleKey::PrintPageHCount, u"print.page.hcount"},
    {IXStyleKey::PrintPageScale, u"print.page.scale"},
    {IXStyleKey::PrintPageOffsetX, u"print.page.offset.x"},
    {IXStyleKey::PrintPageOffsetY, u"print.page.offset.y"},
    {IXStyleKey::PrintShowDocInfo, u"print.show.docinfo"},
    {IXStyleKey::DocumentNumbering, u"document.numbering"},
    {IXStyleKey::BranchLayoutType, u"branch.layout.type"},
    {IXStyleKey::BranchFrameType, u"branch.frame.type"},
    {IXStyleKey::BranchLineWidth, u"branch.line.width"},
    {IXStyleKey::BranchLineType, u"branch.line.type"},
    {IXStyleKey::BranchLineColor, u"branch.line.color"},
    {IXStyleKey::BranchFrameLineColor, u"branch.frame.line.color"},
    {IXStyleKey::BranchFrameLineRoundness, u"branch.frame.line.roundness"},
    {IXStyleKey::BranchFillType, u"branch.fill.type"},
    {IXStyleKey::BranchFrameFillAngle, u"branch.frame.fill.angle"},
    {IXStyleKey::BranchFrameFillColorCount, u"branch.frame.fill.bgcolor.count"},
    {IXStyleKey::BranchFrameFillColor, u"branch.frame.fill.bgcolor1"},
    {IXStyleKey::BranchFrameFillAltColor, u"branch.frame.fill.bgcolor2"},
    {IXStyleKey::BranchPicturePosition, u"branch.picture.position"},
    {IXStyleKey::BranchLayout, u"branch.layout"},
    {IXStyleKey::BranchBaseline, u"branch.baseline"},
    {IXStyleKey::BranchConnectionCap, u"branch.connection.cap"},
    {IXStyleKey::BranchTextColor, u"branch.text.fgcolor"},
    {IXStyleKey::BranchTextBackgroundColor, u"branch.text.bgcolor"},
    {IXStyleKey::BranchTextFontSize, u"branch.text.font.size"},
    {IXStyleKey::BranchTextFontName, u"branch.text.font.name"},
    {IXStyleKey::BranchTextFontFamily, u"branch.text.font.family"},
    {IXStyleKey::BranchTextFontBold, u"branch.text.font.bold"},
    {IXStyleKey::BranchTextFontItalic, u"branch.text.font.italic"},
    {IXStyleKey::BranchTextAlignment, u"branch.text.alignment"},
    {IXStyleKey::BranchCollapsed, u"branch.collapsed"},
    {IXStyleKey::BranchTextWidth, u"branch.text.width"},
    {IXStyleKey::BranchParentOffset, u"branch.parentOffset"},
    {IXStyleKey::BranchCollapserType, u"branch.collapser.type"},
    {IXStyleKey::PictureSize, u"picture.size"},
    {IXStyleKey::PictureKeepAspect, u"picture.keepaspect"},
    {IXStyleKey::PictureOpacity, u"picture.opacity"},
    {IXStyleKey::BoundaryShow, u"boundary.show"},
    {IXStyleKey::BoundaryLineColor, u"boundary.line.color"},
    {IXStyleKey::BoundaryFillColor, u"boundary.fill.bgcolor"},
    {IXStyleKey::BoundaryLineWidth, u"boundary.line.width"},
    {IXStyleKey::BoundaryRoundness, u"boundary.roundness"},
    {IXStyleKey::BoundaryLineDash, u"boundary.line.dash"},
    {IXStyleKey::ConnectionHoverColor, u"connection.hover.color"},
    {IXStyleKey::ConnectionColor, u"connection.line.color"},
    {IXStyleKey::ConnectionOffset1, u"connection.offset1"},
    {IXStyleKey::ConnectionOffset2, u"connection.offset2"},
    {IXStyleKey::ConnectionLineWidth, u"connection.line.width"},
    {IXStyleKey::FloatingLineColor, u"floating.line.color"},
    {IXStyleKey::FloatingFrameColor, u"floating.frame.fgcolor"},
    {IXStyleKey::FloatingFrameBackgroundColor, u"floating.frame.bgcolor"},
    {IXStyleKey::FloatingFrameWidth, u"floating.frame.width"},
    {IXStyleKey::FloatingLineWidth, u"floating.line.width"},
    {IXStyleKey::CommentTextWidth, u"comment.text.width"},
    {IXStyleKey::FloatingTargetOffset, u"floating.targetOffset"},
    {IXStyleKey::FloatingTextColor, u"floating.text.fgcolor"},
    {IXStyleKey::FloatingTextBackgroundColor, u"floating.text.bgcolor"},
    {IXStyleKey::FloatingTextFontSize, u"floating.text.font.size"},
    {IXStyleKey::FloatingTextFontName, u"floating.text.font.name"},
    {IXStyleKey::FloatingTextFontFamily, u"floating.text.font.family"},
    {IXStyleKey::FloatingTextFontBold, u"floating.text.font.bold"},
    {IXStyleKey::FloatingTextFontItalic, u"floating.text.font.italic"},
    {IXStyleKey::FloatingTextAlignment, u"floating.text.alignment"},
}};

constexpr bool inEnumOrder()
{
    for (std::size_t index = 0; index < Names.size(); ++index) {
        if (Names[index].first != IXStyleKey(index)) return false;
    }
    return true;
}
static_assert(inEnumOrder(), "the name table lists every key once, in the enum's order");

const std::array<QString, IXStyleKeys::Count>& texts()
{
    static const std::array<QString, IXStyleKeys::Count> made = [] {
        std::array<QString, IXStyleKeys::Count> strings;
        for (std::size_t index = 0; index < Names.size(); ++index)
            strings[index] = QString::fromRawData(reinterpret_cast<const QChar*>(Names[index].second.data()),
                                                  qsizetype(Names[index].second.size()));
        return strings;
    }();
    return made;
}
}  // namespace

const QString& IXStyleKeys::name(IXStyleKey key)
{
    return texts()[std::size_t(key)];
}

std::optional<IXStyleKey> IXStyleKeys::keyForName(const QString& name)
{
    static const QHash<QString, IXStyleKey> byName = [] {
        QHash<QString, IXStyleKey> table;
        for (const auto& [key, text] : Names) table.insert(IXStyleKeys::name(key), key);
        return table;
    }();
    const auto found = byName.constFind(name);
    if (found == byName.constEnd()) return std::nullopt;
    return *found;
}
