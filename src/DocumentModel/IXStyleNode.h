#pragma once

#include "DocumentModel/IXNode.h"
#include "DocumentModel/IXStyleKey.h"
#include "DocumentModel/IXStyleSheetStyles.h"
#include "DocumentModel/IXStyleTextAttributes.h"
#include "DocumentModel/IXStyleValue.h"

#include <QFont>
#include <QString>
#include <QTextOption>

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>

class IXStyleSheetNode;

// The kinds of master style of a style sheet; a style's type is its index in the list of
// names ";canvas;rootbranch;mainbranch;subbranch;subsubbranch;picture;comment;connection".
// Node styles have type 0.
enum IXStyleType : int {
    IXStyleTypeNode = 0,
    IXStyleTypeCanvas = 1,
    IXStyleTypeRootBranch = 2,
    IXStyleTypeMainBranch = 3,
    IXStyleTypeSubBranch = 4,
    IXStyleTypeSubSubBranch = 5,
    IXStyleTypePicture = 6,
    IXStyleTypeComment = 7,
    IXStyleTypeConnection = 8,
    IXStyleType_Last = 9,
};

// One style: attribute name ("branch.line.color") -> value. A style is either one of the
// master styles of a style sheet (type 1-8) or the node style of one node of the document,
// which it names by the node's id (refId). Its parent is its style sheet, which resolves an
// attribute that the style does not hold through the sheet's look-up chain.
//
// Setters follow the set-with-default rule: a value equal to what the style already shows
// (its own value, else the inherited one, else the given default) is not stored, so that a
// style keeps only what differs from its inheritance. Every change is undoable ("_style")
// and announced by attribute name (IXStyleNodeObserver), except while the sheet loads.
//
// Ownership: styles live in std::shared_ptr and are owned by their sheet.
class IXStyleNode : public IXNode {
public:
    IXStyleNode();
    ~IXStyleNode() override;

    // A style with the same own attributes (values are shared); type, master and ref are
    // left to the sheet that takes the copy.
    std::shared_ptr<IXNode> copy() const override;

    int type() const { return m_type; }
    void setType(int type)
    {
        m_type = type;
        IXStyleSheetStyles::noteChange();
    }
    // The type of the master style this style inherits from; 0 for none.
    int master() const { return m_master; }
    void setMaster(int master)
    {
        m_master = master;
        IXStyleSheetStyles::noteChange();
    }
    // The id of the styled node; empty for master styles.
    const QString& refId() const { return m_refId; }
    void setRefId(const QString& refId)
    {
        m_refId = refId;
        IXStyleSheetStyles::noteChange();
    }

    // The parent node as a style sheet, or null.
    IXStyleSheetNode* styleSheet() const { return m_styleSheet; }
    // Keeps styleSheet() with the parent: every read asks it.
    void setParentNode(IXNode* parent) override;

    // Attributes are named by key (IXStyleKey, the named getters' own) or by text (names from
    // files and plug-ins); both find the same values, a key without hashing.
    // The style's own value, or none.
    IXStyleValue ownAttribute(IXStyleName name) const;
    // The own value, else the value the sheet's look-up chain finds, else none.
    IXStyleValue attribute(IXStyleName name) const;
    // The own value, else the default (no inheritance).
    IXStyleValue valueForAttribute(IXStyleName name, const IXStyleValue& defaultValue) const;
    // Stores the value (none removes the own attribute). Nothing happens when the own value
    // already matches or the attribute does not apply to this style (isApplicableAttribute).
    void setValue(const IXStyleValue& value, IXStyleName name);
    // The set-with-default rule: none removes the own attribute; a value is stored only when
    // it differs from what the style shows (attribute(), else the default).
    void setValue(const IXStyleValue& value, IXStyleName name, const IXStyleValue& defaultValue);
    // Node styles and the root-branch master take every attribute; the other masters refuse
    // "branch.frame.type".
    bool isApplicableAttribute(IXStyleName name) const;
    const IXStyleAttributes& attributes() const { return m_attributes; }
    // setValue for each entry; own attributes that the dictionary lacks stay.
    void setAttributes(const IXStyleAttributes& attributes);
    // Removes every own attribute (each removal undoable and announced).
    void clearAttributes();
    // Announces a change of the attribute, unless the sheet is loading.
    void notifyPropertyChange(const QString& name) override;
    // A line for logs: the kind, the ref and the own attributes.
    QString description() const;

    // Reads the "a" children: name "n", value "v", type letter "t" (IXStyleValue::fromText).
    // Entries with an empty name or value are skipped. Stops with false when *error holds an
    // error.
    bool initWithParent(IXNode* parent, const PLXMLElement& element, PLError* error) override;
    // Appends the style's element (named by its master type, or "style" with "ref" for a
    // node style) with one "a" child per own attribute in ascending order of names; nothing
    // is appended (a null element is returned) when the style holds no attribute.
    PLXMLElement XMLElement(PLXMLElement parent) override;

    // --- Typed values. A getter reads attribute() (so inheritance applies) and converts,
    // answering the default when nothing is found or the value cannot be read as the kind.
    // A setter stores its value through the set-with-default rule; its default counts as
    // none when it equals the kind's empty value (false, 0, (0, 0), no text, no colour, no
    // font). ---
    bool boolValueForAttribute(IXStyleName name, bool defaultValue) const;
    void setBoolValue(bool value, IXStyleName name, bool defaultValue);
    int intValueForAttribute(IXStyleName name, int defaultValue) const;
    void setIntValue(int value, IXStyleName name, int defaultValue);
    float floatValueForAttribute(IXStyleName name, float defaultValue) const;
    void setFloatValue(float value, IXStyleName name, float defaultValue);
    PLPoint pointValueForAttribute(IXStyleName name, PLPoint defaultValue) const;
    void setPointValue(PLPoint value, IXStyleName name, PLPoint defaultValue);
    PLSize sizeValueForAttribute(IXStyleName name, PLSize defaultValue) const;
    void setSizeValue(PLSize value, IXStyleName name, PLSize defaultValue);
    PLRect rectValueForAttribute(IXStyleName name, const PLRect& defaultValue) const;
    void setRectValue(const PLRect& value, IXStyleName name, const PLRect& defaultValue);
    // A null string is "no text".
    QString stringValueForAttribute(IXStyleName name, const QString& defaultValue) const;
    void setStringValue(const QString& value, IXStyleName name, const QString& defaultValue);
    // A default PLColor is "no colour".
    PLColor colorValueForAttribute(IXStyleName name, const PLColor& defaultValue) const;
    void setColorValue(const PLColor& value, IXStyleName name, const PLColor& defaultValue);

    // Fonts are kept in five attributes: name + ".size", ".name", ".family", ".bold",
    // ".italic". A size below 4 gives the default font; sizes above 1000 are read as 1000.
    // Otherwise the font of ".name" (none
    // when the system has no such family), else the family of ".family" with the stored
    // traits, else the default font, else the system font, at the stored size. Writing
    // stores size, name (the family, with "-Bold", "-Italic" or "-BoldItalic" for the
    // traits) and traits, and removes ".family".
    std::optional<QFont> fontValueForAttribute(const QString& name, const std::optional<QFont>& defaultValue) const;
    void setFontValue(const std::optional<QFont>& value, const QString& name, const std::optional<QFont>& defaultValue);
    // Only the alignment is kept, as the integer name + ".alignment" (alignmentNumber);
    // -1 (none) when nothing in the chain holds it.
    QTextOption paragraphStyleValueForAttribute(const QString& name, const std::optional<QTextOption>& defaultValue) const;
    void setParagraphStyleValue(const std::optional<QTextOption>& value, const QString& name,
                                const std::optional<QTextOption>& defaultValue);
    // The group name + ".font", the paragraph (name + ".alignment"), name + ".fgcolor" and
    // name + ".bgcolor"; the result leaves out a colour whose alpha is 0.1 or less.
    IXStyleTextAttributes textAttributesValueForAttribute(const QString& name,
                                                          const IXStyleTextAttributes& defaultValue) const;
    void setTextAttributesValue(const IXStyleTextAttributes& value, const QString& name,
                                const IXStyleTextAttributes& defaultValue);

    // Stored paragraph alignments: 0 left, 1 right, 2 centre, 3 justified, 4 natural; -1 none.
    static int alignmentNumber(Qt::Alignment alignment);
    static Qt::Alignment alignmentFromNumber(int number);
    // The name under which a font is stored ("Liberation Sans-Bold"), and the font it names
    // (none when the system has no such family).
    static QString fontName(const QFont& font);
    static std::optional<QFont> fontNamed(const QString& name, float pointSize);

    // --- Document attributes: set on the document node's style, found from any style of a
    // sheet through the look-up chain. ---
    PLColor documentPageColor() const;
    // A colour that is not opaque is stored opaque.
    void setDocumentPageColor(const PLColor& color);
    bool documentWordWrap() const;
    void setDocumentWordWrap(bool wrap);
    float documentGapVertical() const;
    void setDocumentGapVertical(float gap);
    float documentGapHorizontal() const;
    void setDocumentGapHorizontal(float gap);
    float documentBranchMinLength() const;
    void setDocumentBranchMinLength(float length);
    bool documentShowsBranchConnections() const;
    void setDocumentShowsBranchConnections(bool shows);
    int documentLayout() const;
    void setDocumentLayout(int layout);
    int documentLayoutOrientation() const;
    void setDocumentLayoutOrientation(int orientation);
    bool documentLayoutCustom() const;
    void setDocumentLayoutCustom(bool custom);
    bool documentLayoutTimelineLevelDisplay() const;
    void setDocumentLayoutTimelineLevelDisplay(bool display);
    bool documentLayoutTimelineShowTitle() const;
    void setDocumentLayoutTimelineShowTitle(bool show);
    bool documentLayoutTimelineShowDurationBars() const;
    void setDocumentLayoutTimelineShowDurationBars(bool show);
    bool documentLayoutTimelineShowTimeBreaks() const;
    void setDocumentLayoutTimelineShowTimeBreaks(bool show);
    int documentLayoutTimelineScale() const;
    // Values up to 999 are stored plus 10, larger ones as they are; no default is passed.
    void setDocumentLayoutTimelineScale(int scale);
    int printPageOrientation() const;
    void setPrintPageOrientation(int orientation);
    int printPageSpreadVertical() const;
    // Pinned to 1-20.
    void setPrintPageSpreadVertical(int count);
    int printPageSpreadHorizontal() const;
    // Pinned to 1-20.
    void setPrintPageSpreadHorizontal(int count);
    float printMapScale() const;
    void setPrintMapScale(float scale);
    float printMapOffsetX() const;
    void setPrintMapOffsetX(float offset);
    float printMapOffsetY() const;
    void setPrintMapOffsetY(float offset);
    bool printShowDocInfo() const;
    void setPrintShowDocInfo(bool show);
    int outlineBranchNumbering() const;
    void setOutlineBranchNumbering(int numbering);

    // --- Branch attributes ---
    int branchLayoutType() const;
    void setBranchLayoutType(int type);
    int branchFrameType() const;
    void setBranchFrameType(int type);
    float branchLineWidth() const;
    void setBranchLineWidth(float width);
    int branchLineType() const;
    void setBranchLineType(int type);
    PLColor branchLineColor() const;
    void setBranchLineColor(const PLColor& color);
    PLColor branchFrameLineColor() const;
    void setBranchFrameLineColor(const PLColor& color);
    float branchFrameLineRoundness() const;
    void setBranchFrameLineRoundness(float roundness);
    int branchFillType() const;
    void setBranchFillType(int type);
    float branchFrameFillAngle() const;
    void setBranchFrameFillAngle(float angle);
    int branchFrameFillColorCount() const;
    // The colour "branch.frame.fill.bgcolor.[i]", i taken modulo the count when it is not
    // below it; no colour when absent or when the count is not positive.
    PLColor branchFrameFillColorAtIndex(int index) const;
    PLColor branchFrameFillColor() const;
    void setBranchFrameFillColor(const PLColor& color);
    PLColor branchFrameFillAltColor() const;
    void setBranchFrameFillAltColor(const PLColor& color);
    int branchPicturePosition() const;
    void setBranchPicturePosition(int position);
    int branchLayout() const;
    // Default: 1 for a branch whose frame type is not 0, else 0.
    int branchBaseline() const;
    void setBranchBaseline(int baseline);
    int branchConnectionCap() const;
    IXStyleTextAttributes branchTextAttributes() const;
    void setBranchTextAttributes(const IXStyleTextAttributes& attributes);
    PLColor branchTextColor() const;
    void setBranchTextColor(const PLColor& color);
    PLColor branchTextBackgroundColor() const;
    void setBranchTextBackgroundColor(const PLColor& color);
    // The system font of the stored size when no font is stored; none below size 4.
    std::optional<QFont> branchTextFont() const;
    void setBranchTextFont(const std::optional<QFont>& font);
    int branchTextAlignment() const;
    void setBranchTextAlignment(int alignment);
    bool branchCollapsed() const;
    void setBranchCollapsed(bool collapsed);
    float branchTextWidth() const;
    void setBranchTextWidth(float width);
    PLPoint branchParentOffset() const;
    void setBranchParentOffset(PLPoint offset);
    int branchCollapserType() const;
    void setBranchCollapserType(int type);

    // --- Picture attributes ---
    PLSize pictureSize() const;
    // No default is passed: the size is stored unless the chain shows it already.
    void setPictureSize(PLSize size);
    float pictureSizeWidth() const;
    // With keep-aspect on, the height follows in proportion (only from a positive width).
    void setPictureSizeWidth(float width);
    float pictureSizeHeight() const;
    // With keep-aspect on, the width follows in proportion (only from a positive height).
    void setPictureSizeHeight(float height);
    bool pictureKeepAspect() const;
    void setPictureKeepAspect(bool keep);
    float pictureOpacity() const;
    // No default is passed.
    void setPictureOpacity(float opacity);

    // --- Boundary attributes ---
    bool boundaryShow() const;
    void setBoundaryShow(bool show);
    PLColor boundaryLineColor() const;
    void setBoundaryLineColor(const PLColor& color);
    PLColor boundaryFillColor() const;
    void setBoundaryFillColor(const PLColor& color);
    float boundaryLineWidth() const;
    // Pinned to 1-5.
    void setBoundaryLineWidth(float width);
    float boundaryLineRoundness() const;
    // Pinned to 0-50.
    void setBoundaryLineRoundness(float roundness);
    int boundaryLineDash() const;
    void setBoundaryLineDash(int dash);

    // --- Connection and floating attributes ---
    PLColor connectionHoverColor() const;
    void setConnectionHoverColor(const PLColor& color);
    PLColor connectionColor() const;
    void setConnectionColor(const PLColor& color);
    PLPoint connectionOffset1() const;
    void setConnectionOffset1(PLPoint offset);
    PLPoint connectionOffset2() const;
    void setConnectionOffset2(PLPoint offset);
    float connectionLineWidth() const;
    void setConnectionLineWidth(float width);
    PLColor floatingLineColor() const;
    void setFloatingLineColor(const PLColor& color);
    PLColor floatingFrameColor() const;
    void setFloatingFrameColor(const PLColor& color);
    PLColor floatingFrameBackgroundColor() const;
    void setFloatingFrameBackgroundColor(const PLColor& color);
    float floatingFrameWidth() const;
    void setFloatingFrameWidth(float width);
    float floatingLineWidth() const;
    void setFloatingLineWidth(float width);
    float commentTextWidth() const;
    void setCommentTextWidth(float width);
    PLPoint floatingTargetOffset() const;
    void setFloatingTargetOffset(PLPoint offset);
    IXStyleTextAttributes floatingTextAttributes() const;
    void setFloatingTextAttributes(const IXStyleTextAttributes& attributes);
    PLColor floatingTextColor() const;
    void setFloatingTextColor(const PLColor& color);
    PLColor floatingTextBackgroundColor() const;
    void setFloatingTextBackgroundColor(const PLColor& color);
    std::optional<QFont> floatingTextFont() const;
    void setFloatingTextFont(const std::optional<QFont>& font);
    int floatingTextAlignment() const;
    void setFloatingTextAlignment(int alignment);

protected:
    IXStyleNode(const IXStyleNode& other);

private:
    friend class IXStyleSheetNode;

    // The attribute names of a font and of a text group: keys for the named getters, texts
    // below a name given as text (FontTexts, TextTexts hold those).
    struct FontNames {
        IXStyleName size, name, family, bold, italic;
    };
    struct TextNames {
        FontNames font;
        IXStyleName alignment, foreground, background;
    };
    struct FontTexts {
        explicit FontTexts(const QString& font);
        FontNames names() const { return {size, name, family, bold, italic}; }
        QString size, name, family, bold, italic;
    };
    struct TextTexts {
        explicit TextTexts(const QString& group);
        TextNames names() const { return {font.names(), alignment, foreground, background}; }
        FontTexts font;
        QString alignment, foreground, background;
    };
    // What the style shows, and its own value, without copying: the reference holds until the
    // next look-up or change.
    const IXStyleValue& shownValue(IXStyleName name) const;
    const IXStyleValue& ownValue(IXStyleName name) const;
    std::optional<QFont> fontValue(const FontNames& names, const std::optional<QFont>& defaultValue) const;
    QTextOption paragraphStyleValue(IXStyleName alignmentName, const std::optional<QTextOption>& defaultValue) const;
    IXStyleTextAttributes textAttributesValue(const TextNames& names, const IXStyleTextAttributes& defaultValue) const;
    // The text attributes of a named getter (group: IXStyleSheetNode::TextGroup), without default.
    IXStyleTextAttributes namedTextAttributes(const TextNames& names, int group) const;

    IXStyleSheetNode* m_styleSheet = nullptr;
    int m_type = IXStyleTypeNode;
    int m_master = 0;
    QString m_refId;
    IXStyleAttributes m_attributes;
    // The keys among the own attributes' names.
    std::bitset<IXStyleKeys::Count> m_keyedAttributes;
    // For a node's style: the master sheet's style of the same node as the sheet last found
    // it (or none), while the change count is m_masterSheetStyleAt. Kept by the sheet; owned,
    // so that a change the count missed could give a stale answer but never a released style.
    mutable std::shared_ptr<const IXStyleNode> m_masterSheetStyle;
    mutable std::uint64_t m_masterSheetStyleAt = ~std::uint64_t(0);
};
