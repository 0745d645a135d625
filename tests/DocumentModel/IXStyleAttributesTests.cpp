// The named attributes: each accessor reads and writes its own attribute name, answers its
// default when nothing in the chain holds it, and stores its default only when the setter
// passes none (or the default is the kind's empty value). Then the setters that change a value before storing it.
#include "IXStyleTestNodes.h"
#include "TestSupport/QStringPrinter.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Kind = StyledTestNode::Kind;

// Accessors of one kind: getter, setter, the table's default and another value.
template <typename T, typename SetterArgument = T>
struct Accessor {
    const char* attribute;
    T (IXStyleNode::*get)() const;
    void (IXStyleNode::*set)(SetterArgument);
    T defaultValue;
    T other;
    bool setterPassesDefault = true;
};

template <typename T, typename SetterArgument>
void checkAccessors(const std::vector<Accessor<T, SetterArgument>>& accessors, IXStyleValue (*stored)(T))
{
    for (const auto& row : accessors) {
        SCOPED_TRACE(row.attribute);
        StyledDocument doc;
        // A node of no kind inherits only from the document node's style, which is empty.
        const auto style = doc.documentSheet()->styleForNode(doc.add(Kind::Other).get());
        EXPECT_EQ(((*style).*row.get)(), row.defaultValue);
        // A default of the kind's empty value (false, 0, (0, 0)) counts as no default, so
        // the value is stored then, as it is when the setter passes none.
        ((*style).*row.set)(row.defaultValue);
        EXPECT_EQ(style->attributes().isEmpty(), row.setterPassesDefault && !(row.defaultValue == T{}));
        ((*style).*row.set)(row.other);
        EXPECT_EQ(style->attributes().keys(), QStringList{QString::fromLatin1(row.attribute)});
        EXPECT_TRUE(style->ownAttribute(QString::fromLatin1(row.attribute)).matches(stored(row.other)));
        EXPECT_EQ(((*style).*row.get)(), row.other);
    }
}

IXStyleValue storedFlag(bool value) { return IXStyleValue::flag(value); }
IXStyleValue storedInt(int value) { return IXStyleValue::integer(value); }
IXStyleValue storedFloat(float value) { return IXStyleValue::real(value); }
IXStyleValue storedPoint(PLPoint value) { return IXStyleValue::point(value); }
IXStyleValue storedSize(PLSize value) { return IXStyleValue::size(value); }
IXStyleValue storedColor(PLColor value) { return IXStyleValue::color(value); }

const PLColor White = PLColor::white();
const PLColor Black = PLColor::black();
const PLColor Clear = PLColor::clear();
const PLColor Grey = PLColor::gray();
const PLColor Blue = PLColor::rgb(0, 0, 1);
const PLColor Other = PLColor::rgb(0.25f, 0.5f, 0.75f);

using S = IXStyleNode;

TEST(IXStyleAttributes, FlagsReadAndWriteTheirAttributes)
{
    checkAccessors<bool, bool>({
        {"document.word.wrap", &S::documentWordWrap, &S::setDocumentWordWrap, true, false},
        {"document.connections.show", &S::documentShowsBranchConnections, &S::setDocumentShowsBranchConnections, true, false},
        {"document.layout.custom", &S::documentLayoutCustom, &S::setDocumentLayoutCustom, false, true},
        {"document.layout.timeline.leveldisplay", &S::documentLayoutTimelineLevelDisplay, &S::setDocumentLayoutTimelineLevelDisplay, false, true},
        {"document.layout.timeline.show.title", &S::documentLayoutTimelineShowTitle, &S::setDocumentLayoutTimelineShowTitle, true, false},
        {"document.layout.timeline.show.durationbars", &S::documentLayoutTimelineShowDurationBars, &S::setDocumentLayoutTimelineShowDurationBars, true, false},
        {"document.layout.timeline.show.timebreaks", &S::documentLayoutTimelineShowTimeBreaks, &S::setDocumentLayoutTimelineShowTimeBreaks, false, true},
        {"print.show.docinfo", &S::printShowDocInfo, &S::setPrintShowDocInfo, false, true},
        {"branch.collapsed", &S::branchCollapsed, &S::setBranchCollapsed, false, true},
        {"picture.keepaspect", &S::pictureKeepAspect, &S::setPictureKeepAspect, true, false},
        {"boundary.show", &S::boundaryShow, &S::setBoundaryShow, false, true},
    }, storedFlag);
}

TEST(IXStyleAttributes, IntegersReadAndWriteTheirAttributes)
{
    checkAccessors<int, int>({
        {"document.layout", &S::documentLayout, &S::setDocumentLayout, 0, 2},
        {"document.layout.orientation", &S::documentLayoutOrientation, &S::setDocumentLayoutOrientation, 0, 1},
        {"document.layout.timeline.scale", &S::documentLayoutTimelineScale, &S::setDocumentLayoutTimelineScale, 1000, 2000, false},
        {"print.page.orientation", &S::printPageOrientation, &S::setPrintPageOrientation, 0, 1},
        {"print.page.vcount", &S::printPageSpreadVertical, &S::setPrintPageSpreadVertical, 1, 3},
        {"print.page.hcount", &S::printPageSpreadHorizontal, &S::setPrintPageSpreadHorizontal, 1, 4},
        {"document.numbering", &S::outlineBranchNumbering, &S::setOutlineBranchNumbering, 0, 120},
        {"branch.layout.type", &S::branchLayoutType, &S::setBranchLayoutType, 0, 3},
        {"branch.frame.type", &S::branchFrameType, &S::setBranchFrameType, 0, 5},
        {"branch.line.type", &S::branchLineType, &S::setBranchLineType, 4, 1},
        {"branch.fill.type", &S::branchFillType, &S::setBranchFillType, 0, 2},
        {"branch.picture.position", &S::branchPicturePosition, &S::setBranchPicturePosition, 0, 1},
        {"branch.text.alignment", &S::branchTextAlignment, &S::setBranchTextAlignment, 0, 2},
        {"branch.collapser.type", &S::branchCollapserType, &S::setBranchCollapserType, 2, 0},
        {"boundary.line.dash", &S::boundaryLineDash, &S::setBoundaryLineDash, 0, 3},
        {"floating.text.alignment", &S::floatingTextAlignment, &S::setFloatingTextAlignment, 0, 1},
    }, storedInt);
}

TEST(IXStyleAttributes, FloatsReadAndWriteTheirAttributes)
{
    checkAccessors<float, float>({
        {"document.gap.vertical", &S::documentGapVertical, &S::setDocumentGapVertical, 24, 12},
        {"document.gap.horizontal", &S::documentGapHorizontal, &S::setDocumentGapHorizontal, 24, 30},
        {"document.branch.minlength", &S::documentBranchMinLength, &S::setDocumentBranchMinLength, 40, 48},
        {"print.page.scale", &S::printMapScale, &S::setPrintMapScale, 1, 0.5f},
        {"print.page.offset.x", &S::printMapOffsetX, &S::setPrintMapOffsetX, 0, 10},
        {"print.page.offset.y", &S::printMapOffsetY, &S::setPrintMapOffsetY, 0, -10},
        {"branch.line.width", &S::branchLineWidth, &S::setBranchLineWidth, 1, 2.5f},
        {"branch.frame.line.roundness", &S::branchFrameLineRoundness, &S::setBranchFrameLineRoundness, 5, 9},
        {"branch.frame.fill.angle", &S::branchFrameFillAngle, &S::setBranchFrameFillAngle, 270, 90},
        {"branch.text.width", &S::branchTextWidth, &S::setBranchTextWidth, 0, 200},
        {"picture.opacity", &S::pictureOpacity, &S::setPictureOpacity, 1, 0.5f, false},
        {"boundary.line.width", &S::boundaryLineWidth, &S::setBoundaryLineWidth, 5, 2},
        {"boundary.roundness", &S::boundaryLineRoundness, &S::setBoundaryLineRoundness, 5, 20},
        {"connection.line.width", &S::connectionLineWidth, &S::setConnectionLineWidth, 1, 2},
        {"floating.frame.width", &S::floatingFrameWidth, &S::setFloatingFrameWidth, 1, 2},
        {"floating.line.width", &S::floatingLineWidth, &S::setFloatingLineWidth, 1, 2},
        {"comment.text.width", &S::commentTextWidth, &S::setCommentTextWidth, 0, 150},
    }, storedFloat);
}

TEST(IXStyleAttributes, PointsSizesAndColoursReadAndWriteTheirAttributes)
{
    checkAccessors<PLPoint, PLPoint>({
        {"branch.parentOffset", &S::branchParentOffset, &S::setBranchParentOffset, PLPoint(), PLPoint(5, -5)},
        {"connection.offset1", &S::connectionOffset1, &S::setConnectionOffset1, PLPoint(50, 50), PLPoint(10, 20)},
        {"connection.offset2", &S::connectionOffset2, &S::setConnectionOffset2, PLPoint(50, 50), PLPoint(-10, 0)},
        {"floating.targetOffset", &S::floatingTargetOffset, &S::setFloatingTargetOffset, PLPoint(16, 16), PLPoint(8, 8)},
    }, storedPoint);
    checkAccessors<PLSize, PLSize>({
        {"picture.size", &S::pictureSize, &S::setPictureSize, PLSize(100, 100), PLSize(64, 48), false},
    }, storedSize);
    checkAccessors<PLColor, const PLColor&>({
        {"document.bgcolor", &S::documentPageColor, &S::setDocumentPageColor, White, Other},
        {"branch.line.color", &S::branchLineColor, &S::setBranchLineColor, Black, Other},
        {"branch.frame.line.color", &S::branchFrameLineColor, &S::setBranchFrameLineColor, Black, Other},
        {"branch.frame.fill.bgcolor1", &S::branchFrameFillColor, &S::setBranchFrameFillColor, Clear, Other},
        {"branch.frame.fill.bgcolor2", &S::branchFrameFillAltColor, &S::setBranchFrameFillAltColor, Clear, Other},
        {"branch.text.fgcolor", &S::branchTextColor, &S::setBranchTextColor, Black, Other},
        {"branch.text.bgcolor", &S::branchTextBackgroundColor, &S::setBranchTextBackgroundColor, Black, Other},
        {"boundary.line.color", &S::boundaryLineColor, &S::setBoundaryLineColor, Black, Other},
        {"boundary.fill.bgcolor", &S::boundaryFillColor, &S::setBoundaryFillColor, Clear, Other},
        {"connection.hover.color", &S::connectionHoverColor, &S::setConnectionHoverColor, Blue, Other},
        {"connection.line.color", &S::connectionColor, &S::setConnectionColor, Blue, Other},
        {"floating.line.color", &S::floatingLineColor, &S::setFloatingLineColor, Grey, Other},
        {"floating.frame.fgcolor", &S::floatingFrameColor, &S::setFloatingFrameColor, Black, Other},
        {"floating.frame.bgcolor", &S::floatingFrameBackgroundColor, &S::setFloatingFrameBackgroundColor, Clear, Other},
        {"floating.text.fgcolor", &S::floatingTextColor, &S::setFloatingTextColor, Black, Other},
        {"floating.text.bgcolor", &S::floatingTextBackgroundColor, &S::setFloatingTextBackgroundColor, Black, Other},
    }, storedColor);
}

TEST(IXStyleAttributes, AccessorsWithoutSetterAndFontDefaults)
{
    StyledDocument doc;
    const auto style = doc.documentSheet()->styleForNode(doc.add(Kind::Other).get());
    EXPECT_EQ(style->branchLayout(), 0);
    EXPECT_EQ(style->branchConnectionCap(), 0);
    EXPECT_EQ(style->branchFrameFillColorCount(), 0);
    // No size stored anywhere: no font, and text attributes without one.
    EXPECT_FALSE(style->branchTextFont());
    EXPECT_FALSE(style->floatingTextFont());
    EXPECT_FALSE(style->branchTextAttributes().font);
    style->setValue(IXStyleValue::integer(2), QStringLiteral("branch.layout"));
    style->setValue(IXStyleValue::integer(1), QStringLiteral("branch.connection.cap"));
    EXPECT_EQ(style->branchLayout(), 2);
    EXPECT_EQ(style->branchConnectionCap(), 1);
}

// --- Setters that change the value before storing it ---

TEST(IXStyleAttributes, SettersPinAndAdjustTheirValues)
{
    StyledDocument doc;
    const auto style = doc.documentSheet()->styleForNode(doc.document.get());

    style->setDocumentPageColor(PLColor::rgb(1, 0, 0, 0.5f));
    EXPECT_EQ(style->documentPageColor(), PLColor::rgb(1, 0, 0));

    const struct {
        void (IXStyleNode::*set)(int);
        int (IXStyleNode::*get)() const;
        int given;
        int stored;
    } integers[] = {
        {&S::setPrintPageSpreadVertical, &S::printPageSpreadVertical, 0, 1},
        {&S::setPrintPageSpreadVertical, &S::printPageSpreadVertical, -7, 1},
        {&S::setPrintPageSpreadVertical, &S::printPageSpreadVertical, 25, 20},
        {&S::setPrintPageSpreadHorizontal, &S::printPageSpreadHorizontal, 21, 20},
        {&S::setPrintPageSpreadHorizontal, &S::printPageSpreadHorizontal, 20, 20},
        {&S::setDocumentLayoutTimelineScale, &S::documentLayoutTimelineScale, 500, 510},
        {&S::setDocumentLayoutTimelineScale, &S::documentLayoutTimelineScale, 999, 1009},
        {&S::setDocumentLayoutTimelineScale, &S::documentLayoutTimelineScale, 1500, 1500},
    };
    for (const auto& row : integers) {
        SCOPED_TRACE(row.given);
        ((*style).*row.set)(row.given);
        EXPECT_EQ(((*style).*row.get)(), row.stored);
    }

    const struct {
        void (IXStyleNode::*set)(float);
        float (IXStyleNode::*get)() const;
        float given;
        float stored;
    } floats[] = {
        {&S::setBoundaryLineRoundness, &S::boundaryLineRoundness, 80, 50},
        {&S::setBoundaryLineRoundness, &S::boundaryLineRoundness, -3, 0},
        {&S::setBoundaryLineWidth, &S::boundaryLineWidth, 0.5f, 1},
        {&S::setBoundaryLineWidth, &S::boundaryLineWidth, 9, 5},
        {&S::setBoundaryLineWidth, &S::boundaryLineWidth, 2.5f, 2.5f},
    };
    for (const auto& row : floats) {
        SCOPED_TRACE(row.given);
        ((*style).*row.set)(row.given);
        EXPECT_EQ(((*style).*row.get)(), row.stored);
    }
}

TEST(IXStyleAttributes, GradientColoursByIndex)
{
    StyledDocument doc;
    const auto style = doc.documentSheet()->styleForNode(doc.add(Kind::Branch, 1).get());
    // Without colours there is nothing to take an index modulo.
    EXPECT_TRUE(style->branchFrameFillColorAtIndex(4).isNull());
    style->setValue(IXStyleValue::integer(3), QStringLiteral("branch.frame.fill.bgcolor.count"));
    for (int i = 0; i < 3; ++i) {
        style->setValue(IXStyleValue::color(PLColor::grey(float(i) / 4)), QStringLiteral("branch.frame.fill.bgcolor.[%1]").arg(i));
    }
    EXPECT_EQ(style->branchFrameFillColorAtIndex(1), PLColor::grey(0.25f));
    EXPECT_EQ(style->branchFrameFillColorAtIndex(4), PLColor::grey(0.25f));
    EXPECT_EQ(style->branchFrameFillColorAtIndex(3), PLColor::grey(0));
    EXPECT_TRUE(style->branchFrameFillColorAtIndex(-1).isNull());
}

TEST(IXStyleAttributes, BaselineFollowsTheFrameType)
{
    StyledDocument doc;
    const auto style = doc.documentSheet()->styleForNode(doc.add(Kind::Branch, 1).get());
    EXPECT_EQ(style->branchBaseline(), 0);
    doc.documentSheet()->styleForMaster(IXStyleTypeRootBranch)->setBranchFrameType(2);
    EXPECT_EQ(style->branchBaseline(), 1);
    style->setBranchBaseline(1);
    EXPECT_TRUE(style->attributes().isEmpty());
    style->setBranchBaseline(0);
    EXPECT_EQ(style->branchBaseline(), 0);
}

TEST(IXStyleAttributes, PictureSizeKeepsItsAspect)
{
    StyledDocument doc;
    const auto style = doc.documentSheet()->styleForNode(doc.add(Kind::Picture).get());
    style->setPictureSize(PLSize(100, 50));
    style->setPictureSizeWidth(200);
    EXPECT_EQ(style->pictureSize(), PLSize(200, 100));
    style->setPictureSizeHeight(25);
    EXPECT_EQ(style->pictureSize(), PLSize(50, 25));
    EXPECT_EQ(style->pictureSizeWidth(), 50);
    EXPECT_EQ(style->pictureSizeHeight(), 25);

    style->setPictureKeepAspect(false);
    style->setPictureSizeWidth(80);
    EXPECT_EQ(style->pictureSize(), PLSize(80, 25));

    // A zero side has no proportion: the other side is kept instead of becoming infinite.
    style->setPictureKeepAspect(true);
    style->setPictureSize(PLSize(0, 40));
    style->setPictureSizeWidth(60);
    EXPECT_EQ(style->pictureSize(), PLSize(60, 40));
}

}  // namespace
