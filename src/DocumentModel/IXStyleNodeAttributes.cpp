// The named attributes of IXStyleNode, by kind: document, branch, picture, boundary, and
// connection and floating attributes. Each reads through the look-up chain and falls back
// to the default given here; each setter stores through the set-with-default rule.
#include "DocumentModel/IXStyleNode.h"

#include "DocumentModel/IXStyleSheetNode.h"

#include <algorithm>

namespace {
const PLColor White = PLColor::white();
const PLColor Black = PLColor::black();
const PLColor Clear = PLColor::clear();
const PLColor Grey = PLColor::gray();
const PLColor Blue = PLColor::rgb(0, 0, 1);

using enum IXStyleKey;

// The groups whose members have keys; setters write their members by text.
const QString BranchText = QStringLiteral("branch.text");
const QString BranchTextFont = QStringLiteral("branch.text.font");
const QString FloatingText = QStringLiteral("floating.text");
const QString FloatingTextFont = QStringLiteral("floating.text.font");

constexpr int DefaultTimelineScale = 1000;
constexpr int TimelineScaleOffset = 10;
constexpr int MaximumPageSpread = 20;
constexpr PLSize DefaultPictureSize(100, 100);
constexpr PLPoint DefaultConnectionOffset(50, 50);
constexpr PLPoint DefaultTargetOffset(16, 16);

int pageSpread(int count)
{
    return std::clamp(count, 1, MaximumPageSpread);
}
}

// --- Document ---

PLColor IXStyleNode::documentPageColor() const { return colorValueForAttribute(DocumentPageColor, White); }
void IXStyleNode::setDocumentPageColor(const PLColor& color)
{
    setColorValue(color.isNull() || color.alpha() == 1 ? color : color.withAlpha(1), DocumentPageColor, White);
}
bool IXStyleNode::documentWordWrap() const { return boolValueForAttribute(DocumentWordWrap, true); }
void IXStyleNode::setDocumentWordWrap(bool wrap) { setBoolValue(wrap, DocumentWordWrap, true); }
float IXStyleNode::documentGapVertical() const { return floatValueForAttribute(DocumentGapVertical, 24); }
void IXStyleNode::setDocumentGapVertical(float gap) { setFloatValue(gap, DocumentGapVertical, 24); }
float IXStyleNode::documentGapHorizontal() const { return floatValueForAttribute(DocumentGapHorizontal, 24); }
void IXStyleNode::setDocumentGapHorizontal(float gap) { setFloatValue(gap, DocumentGapHorizontal, 24); }
float IXStyleNode::documentBranchMinLength() const { return floatValueForAttribute(DocumentBranchMinLength, 40); }
void IXStyleNode::setDocumentBranchMinLength(float length) { setFloatValue(length, DocumentBranchMinLength, 40); }
bool IXStyleNode::documentShowsBranchConnections() const { return boolValueForAttribute(DocumentShowsConnections, true); }
void IXStyleNode::setDocumentShowsBranchConnections(bool shows) { setBoolValue(shows, DocumentShowsConnections, true); }
int IXStyleNode::documentLayout() const { return intValueForAttribute(DocumentLayout, 0); }
void IXStyleNode::setDocumentLayout(int layout) { setIntValue(layout, DocumentLayout, 0); }
int IXStyleNode::documentLayoutOrientation() const { return intValueForAttribute(DocumentLayoutOrientation, 0); }
void IXStyleNode::setDocumentLayoutOrientation(int orientation) { setIntValue(orientation, DocumentLayoutOrientation, 0); }
bool IXStyleNode::documentLayoutCustom() const { return boolValueForAttribute(DocumentLayoutCustom, false); }
void IXStyleNode::setDocumentLayoutCustom(bool custom) { setBoolValue(custom, DocumentLayoutCustom, false); }
bool IXStyleNode::documentLayoutTimelineLevelDisplay() const { return boolValueForAttribute(TimelineLevelDisplay, false); }
void IXStyleNode::setDocumentLayoutTimelineLevelDisplay(bool display) { setBoolValue(display, TimelineLevelDisplay, false); }
bool IXStyleNode::documentLayoutTimelineShowTitle() const { return boolValueForAttribute(TimelineShowTitle, true); }
void IXStyleNode::setDocumentLayoutTimelineShowTitle(bool show) { setBoolValue(show, TimelineShowTitle, true); }
bool IXStyleNode::documentLayoutTimelineShowDurationBars() const { return boolValueForAttribute(TimelineShowDurationBars, true); }
void IXStyleNode::setDocumentLayoutTimelineShowDurationBars(bool show) { setBoolValue(show, TimelineShowDurationBars, true); }
bool IXStyleNode::documentLayoutTimelineShowTimeBreaks() const { return boolValueForAttribute(TimelineShowTimeBreaks, false); }
void IXStyleNode::setDocumentLayoutTimelineShowTimeBreaks(bool show) { setBoolValue(show, TimelineShowTimeBreaks, false); }
int IXStyleNode::documentLayoutTimelineScale() const { return intValueForAttribute(TimelineScale, DefaultTimelineScale); }
void IXStyleNode::setDocumentLayoutTimelineScale(int scale)
{
    setIntValue(scale < DefaultTimelineScale ? scale + TimelineScaleOffset : scale, TimelineScale, 0);
}
int IXStyleNode::printPageOrientation() const { return intValueForAttribute(PrintPageOrientation, 0); }
void IXStyleNode::setPrintPageOrientation(int orientation) { setIntValue(orientation, PrintPageOrientation, 0); }
int IXStyleNode::printPageSpreadVertical() const { return intValueForAttribute(PrintPageVCount, 1); }
void IXStyleNode::setPrintPageSpreadVertical(int count) { setIntValue(pageSpread(count), PrintPageVCount, 1); }
int IXStyleNode::printPageSpreadHorizontal() const { return intValueForAttribute(PrintPageHCount, 1); }
void IXStyleNode::setPrintPageSpreadHorizontal(int count) { setIntValue(pageSpread(count), PrintPageHCount, 1); }
float IXStyleNode::printMapScale() const { return floatValueForAttribute(PrintPageScale, 1); }
void IXStyleNode::setPrintMapScale(float scale) { setFloatValue(scale, PrintPageScale, 1); }
float IXStyleNode::printMapOffsetX() const { return floatValueForAttribute(PrintPageOffsetX, 0); }
void IXStyleNode::setPrintMapOffsetX(float offset) { setFloatValue(offset, PrintPageOffsetX, 0); }
float IXStyleNode::printMapOffsetY() const { return floatValueForAttribute(PrintPageOffsetY, 0); }
void IXStyleNode::setPrintMapOffsetY(float offset) { setFloatValue(offset, PrintPageOffsetY, 0); }
bool IXStyleNode::printShowDocInfo() const { return boolValueForAttribute(PrintShowDocInfo, false); }
void IXStyleNode::setPrintShowDocInfo(bool show) { setBoolValue(show, PrintShowDocInfo, false); }
int IXStyleNode::outlineBranchNumbering() const { return intValueForAttribute(DocumentNumbering, 0); }
void IXStyleNode::setOutlineBranchNumbering(int numbering) { setIntValue(numbering, DocumentNumbering, 0); }

// --- Branch ---

int IXStyleNode::branchLayoutType() const { return intValueForAttribute(BranchLayoutType, 0); }
void IXStyleNode::setBranchLayoutType(int type) { setIntValue(type, BranchLayoutType, 0); }
int IXStyleNode::branchFrameType() const { return intValueForAttribute(BranchFrameType, 0); }
void IXStyleNode::setBranchFrameType(int type) { setIntValue(type, BranchFrameType, 0); }
float IXStyleNode::branchLineWidth() const { return floatValueForAttribute(BranchLineWidth, 1); }
void IXStyleNode::setBranchLineWidth(float width) { setFloatValue(width, BranchLineWidth, 1); }
int IXStyleNode::branchLineType() const { return intValueForAttribute(BranchLineType, 4); }
void IXStyleNode::setBranchLineType(int type) { setIntValue(type, BranchLineType, 4); }
PLColor IXStyleNode::branchLineColor() const { return colorValueForAttribute(BranchLineColor, Black); }
void IXStyleNode::setBranchLineColor(const PLColor& color) { setColorValue(color, BranchLineColor, Black); }
PLColor IXStyleNode::branchFrameLineColor() const { return colorValueForAttribute(BranchFrameLineColor, Black); }
void IXStyleNode::setBranchFrameLineColor(const PLColor& color) { setColorValue(color, BranchFrameLineColor, Black); }
float IXStyleNode::branchFrameLineRoundness() const { return floatValueForAttribute(BranchFrameLineRoundness, 5); }
void IXStyleNode::setBranchFrameLineRoundness(float roundness) { setFloatValue(roundness, BranchFrameLineRoundness, 5); }
int IXStyleNode::branchFillType() const { return intValueForAttribute(BranchFillType, 0); }
void IXStyleNode::setBranchFillType(int type) { setIntValue(type, BranchFillType, 0); }
float IXStyleNode::branchFrameFillAngle() const { return floatValueForAttribute(BranchFrameFillAngle, 270); }
void IXStyleNode::setBranchFrameFillAngle(float angle) { setFloatValue(angle, BranchFrameFillAngle, 270); }
int IXStyleNode::branchFrameFillColorCount() const { return intValueForAttribute(BranchFrameFillColorCount, 0); }
PLColor IXStyleNode::branchFrameFillColorAtIndex(int index) const
{
    // Callers ask only while the count is positive; without colours there is nothing to wrap.
    const int count = branchFrameFillColorCount();
    if (count <= 0) return PLColor();
    if (index >= count) index %= count;
    return colorValueForAttribute(QStringLiteral("branch.frame.fill.bgcolor.[%1]").arg(index), PLColor());
}
PLColor IXStyleNode::branchFrameFillColor() const { return colorValueForAttribute(BranchFrameFillColor, Clear); }
void IXStyleNode::setBranchFrameFillColor(const PLColor& color) { setColorValue(color, BranchFrameFillColor, Clear); }
PLColor IXStyleNode::branchFrameFillAltColor() const { return colorValueForAttribute(BranchFrameFillAltColor, Clear); }
void IXStyleNode::setBranchFrameFillAltColor(const PLColor& color) { setColorValue(color, BranchFrameFillAltColor, Clear); }
int IXStyleNode::branchPicturePosition() const { return intValueForAttribute(BranchPicturePosition, 0); }
void IXStyleNode::setBranchPicturePosition(int position) { setIntValue(position, BranchPicturePosition, 0); }
int IXStyleNode::branchLayout() const { return intValueForAttribute(BranchLayout, 0); }
int IXStyleNode::branchBaseline() const { return intValueForAttribute(BranchBaseline, branchFrameType() != 0 ? 1 : 0); }
void IXStyleNode::setBranchBaseline(int baseline) { setIntValue(baseline, BranchBaseline, branchFrameType() != 0 ? 1 : 0); }
int IXStyleNode::branchConnectionCap() const { return intValueForAttribute(BranchConnectionCap, 0); }
IXStyleTextAttributes IXStyleNode::branchTextAttributes() const
{
    static constexpr TextNames names{
        {BranchTextFontSize, BranchTextFontName, BranchTextFontFamily, BranchTextFontBold, BranchTextFontItalic},
        BranchTextAlignment, BranchTextColor, BranchTextBackgroundColor};
    return namedTextAttributes(names, IXStyleSheetNode::BranchTextGroup);
}
void IXStyleNode::setBranchTextAttributes(const IXStyleTextAttributes& attributes) { setTextAttributesValue(attributes, BranchText, {}); }
PLColor IXStyleNode::branchTextColor() const { return colorValueForAttribute(BranchTextColor, Black); }
void IXStyleNode::setBranchTextColor(const PLColor& color) { setColorValue(color, BranchTextColor, Black); }
PLColor IXStyleNode::branchTextBackgroundColor() const { return colorValueForAttribute(BranchTextBackgroundColor, Black); }
void IXStyleNode::setBranchTextBackgroundColor(const PLColor& color) { setColorValue(color, BranchTextBackgroundColor, Black); }
std::optional<QFont> IXStyleNode::branchTextFont() const
{
    static constexpr FontNames names{BranchTextFontSize, BranchTextFontName, BranchTextFontFamily, BranchTextFontBold,
                                     BranchTextFontItalic};
    return fontValue(names, std::nullopt);
}
void IXStyleNode::setBranchTextFont(const std::optional<QFont>& font) { setFontValue(font, BranchTextFont, std::nullopt); }
int IXStyleNode::branchTextAlignment() const { return intValueForAttribute(BranchTextAlignment, 0); }
void IXStyleNode::setBranchTextAlignment(int alignment) { setIntValue(alignment, BranchTextAlignment, 0); }
bool IXStyleNode::branchCollapsed() const { return boolValueForAttribute(BranchCollapsed, false); }
void IXStyleNode::setBranchCollapsed(bool collapsed) { setBoolValue(collapsed, BranchCollapsed, false); }
float IXStyleNode::branchTextWidth() const { return floatValueForAttribute(BranchTextWidth, 0); }
void IXStyleNode::setBranchTextWidth(float width) { setFloatValue(width, BranchTextWidth, 0); }
PLPoint IXStyleNode::branchParentOffset() const { return pointValueForAttribute(BranchParentOffset, PLPoint()); }
void IXStyleNode::setBranchParentOffset(PLPoint offset) { setPointValue(offset, BranchParentOffset, PLPoint()); }
int IXStyleNode::branchCollapserType() const { return intValueForAttribute(BranchCollapserType, 2); }
void IXStyleNode::setBranchCollapserType(int type) { setIntValue(type, BranchCollapserType, 2); }

// --- Picture ---

PLSize IXStyleNode::pictureSize() const { return sizeValueForAttribute(PictureSize, DefaultPictureSize); }
void IXStyleNode::setPictureSize(PLSize size) { setSizeValue(size, PictureSize, PLSize()); }
float IXStyleNode::pictureSizeWidth() const { return pictureSize().width; }
void IXStyleNode::setPictureSizeWidth(float width)
{
    const PLSize size = pictureSize();
    float height = size.height;
    // Without a positive width there is no proportion to keep.
    if (pictureKeepAspect() && size.width > 0) height = width / size.width * size.height;
    setPictureSize(PLSize(width, height));
}
float IXStyleNode::pictureSizeHeight() const { return pictureSize().height; }
void IXStyleNode::setPictureSizeHeight(float height)
{
    const PLSize size = pictureSize();
    float width = size.width;
    if (pictureKeepAspect() && size.height > 0) width = height / size.height * size.width;
    setPictureSize(PLSize(width, height));
}
bool IXStyleNode::pictureKeepAspect() const { return boolValueForAttribute(PictureKeepAspect, true); }
void IXStyleNode::setPictureKeepAspect(bool keep) { setBoolValue(keep, PictureKeepAspect, true); }
float IXStyleNode::pictureOpacity() const { return floatValueForAttribute(PictureOpacity, 1); }
void IXStyleNode::setPictureOpacity(float opacity) { setFloatValue(opacity, PictureOpacity, 0); }

// --- Boundary ---

bool IXStyleNode::boundaryShow() const { return boolValueForAttribute(BoundaryShow, false); }
void IXStyleNode::setBoundaryShow(bool show) { setBoolValue(show, BoundaryShow, false); }
PLColor IXStyleNode::boundaryLineColor() const { return colorValueForAttribute(BoundaryLineColor, Black); }
void IXStyleNode::setBoundaryLineColor(const PLColor& color) { setColorValue(color, BoundaryLineColor, Black); }
PLColor IXStyleNode::boundaryFillColor() const { return colorValueForAttribute(BoundaryFillColor, Clear); }
void IXStyleNode::setBoundaryFillColor(const PLColor& color) { setColorValue(color, BoundaryFillColor, Clear); }
float IXStyleNode::boundaryLineWidth() const { return floatValueForAttribute(BoundaryLineWidth, 5); }
void IXStyleNode::setBoundaryLineWidth(float width) { setFloatValue(std::clamp(width, 1.0f, 5.0f), BoundaryLineWidth, 5); }
float IXStyleNode::boundaryLineRoundness() const { return floatValueForAttribute(BoundaryRoundness, 5); }
void IXStyleNode::setBoundaryLineRoundness(float roundness)
{
    setFloatValue(std::clamp(roundness, 0.0f, 50.0f), BoundaryRoundness, 5);
}
int IXStyleNode::boundaryLineDash() const { return intValueForAttribute(BoundaryLineDash, 0); }
void IXStyleNode::setBoundaryLineDash(int dash) { setIntValue(dash, BoundaryLineDash, 0); }

// --- Connections and floating objects ---

PLColor IXStyleNode::connectionHoverColor() const { return colorValueForAttribute(ConnectionHoverColor, Blue); }
void IXStyleNode::setConnectionHoverColor(const PLColor& color) { setColorValue(color, ConnectionHoverColor, Blue); }
PLColor IXStyleNode::connectionColor() const { return colorValueForAttribute(ConnectionColor, Blue); }
void IXStyleNode::setConnectionColor(const PLColor& color) { setColorValue(color, ConnectionColor, Blue); }
PLPoint IXStyleNode::connectionOffset1() const { return pointValueForAttribute(ConnectionOffset1, DefaultConnectionOffset); }
void IXStyleNode::setConnectionOffset1(PLPoint offset) { setPointValue(offset, ConnectionOffset1, DefaultConnectionOffset); }
PLPoint IXStyleNode::connectionOffset2() const { return pointValueForAttribute(ConnectionOffset2, DefaultConnectionOffset); }
void IXStyleNode::setConnectionOffset2(PLPoint offset) { setPointValue(offset, ConnectionOffset2, DefaultConnectionOffset); }
float IXStyleNode::connectionLineWidth() const { return floatValueForAttribute(ConnectionLineWidth, 1); }
void IXStyleNode::setConnectionLineWidth(float width) { setFloatValue(width, ConnectionLineWidth, 1); }
PLColor IXStyleNode::floatingLineColor() const { return colorValueForAttribute(FloatingLineColor, Grey); }
void IXStyleNode::setFloatingLineColor(const PLColor& color) { setColorValue(color, FloatingLineColor, Grey); }
PLColor IXStyleNode::floatingFrameColor() const { return colorValueForAttribute(FloatingFrameColor, Black); }
void IXStyleNode::setFloatingFrameColor(const PLColor& color) { setColorValue(color, FloatingFrameColor, Black); }
PLColor IXStyleNode::floatingFrameBackgroundColor() const { return colorValueForAttribute(FloatingFrameBackgroundColor, Clear); }
void IXStyleNode::setFloatingFrameBackgroundColor(const PLColor& color) { setColorValue(color, FloatingFrameBackgroundColor, Clear); }
float IXStyleNode::floatingFrameWidth() const { return floatValueForAttribute(FloatingFrameWidth, 1); }
void IXStyleNode::setFloatingFrameWidth(float width) { setFloatValue(width, FloatingFrameWidth, 1); }
float IXStyleNode::floatingLineWidth() const { return floatValueForAttribute(FloatingLineWidth, 1); }
void IXStyleNode::setFloatingLineWidth(float width) { setFloatValue(width, FloatingLineWidth, 1); }
float IXStyleNode::commentTextWidth() const { return floatValueForAttribute(CommentTextWidth, 0); }
void IXStyleNode::setCommentTextWidth(float width) { setFloatValue(width, CommentTextWidth, 0); }
PLPoint IXStyleNode::floatingTargetOffset() const { return pointValueForAttribute(FloatingTargetOffset, DefaultTargetOffset); }
void IXStyleNode::setFloatingTargetOffset(PLPoint offset) { setPointValue(offset, FloatingTargetOffset, DefaultTargetOffset); }
IXStyleTextAttributes IXStyleNode::floatingTextAttributes() const
{
    static constexpr TextNames names{
        {FloatingTextFontSize, FloatingTextFontName, FloatingTextFontFamily, FloatingTextFontBold, FloatingTextFontItalic},
        FloatingTextAlignment, FloatingTextColor, FloatingTextBackgroundColor};
    return namedTextAttributes(names, IXStyleSheetNode::FloatingTextGroup);
}
void IXStyleNode::setFloatingTextAttributes(const IXStyleTextAttributes& attributes) { setTextAttributesValue(attributes, FloatingText, {}); }
PLColor IXStyleNode::floatingTextColor() const { return colorValueForAttribute(FloatingTextColor, Black); }
void IXStyleNode::setFloatingTextColor(const PLColor& color) { setColorValue(color, FloatingTextColor, Black); }
PLColor IXStyleNode::floatingTextBackgroundColor() const { return colorValueForAttribute(FloatingTextBackgroundColor, Black); }
void IXStyleNode::setFloatingTextBackgroundColor(const PLColor& color) { setColorValue(color, FloatingTextBackgroundColor, Black); }
std::optional<QFont> IXStyleNode::floatingTextFont() const
{
    static constexpr FontNames names{FloatingTextFontSize, FloatingTextFontName, FloatingTextFontFamily,
                                     FloatingTextFontBold, FloatingTextFontItalic};
    return fontValue(names, std::nullopt);
}
void IXStyleNode::setFloatingTextFont(const std::optional<QFont>& font) { setFontValue(font, FloatingTextFont, std::nullopt); }
int IXStyleNode::floatingTextAlignment() const { return intValueForAttribute(FloatingTextAlignment, 0); }
void IXStyleNode::setFloatingTextAlignment(int alignment) { setIntValue(alignment, FloatingTextAlignment, 0); }
