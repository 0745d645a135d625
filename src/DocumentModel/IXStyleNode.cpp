#include "DocumentModel/IXStyleNode.h"

#include "DocumentModel/IXStyleNodeObserver.h"
#include "DocumentModel/IXStyleSheetNode.h"
#include "Platform/Text/PLFontNames.h"

#include <QFontDatabase>
#include <QStringList>

#include <algorithm>

namespace {
const QString UndoActionName = QStringLiteral("_style");
const IXStyleValue NoValue;

// The smallest font size that a stored font may have; smaller ones give the default font.
constexpr float MinimumFontSize = 4;
// Larger stored sizes are read as this one: a size from a file must not make the text
// system lay out or rasterise glyphs of any size it names.
constexpr float MaximumFontSize = 1000;
// Text colours at or below this alpha are left out of text attributes.
constexpr float VisibleAlpha = 0.1f;
}

IXStyleNode::IXStyleNode() = default;

IXStyleNode::IXStyleNode(const IXStyleNode& other)
    : UTObserver()
    , IXNode(other)
    , m_attributes(other.m_attributes)
    , m_keyedAttributes(other.m_keyedAttributes)
{
}

IXStyleNode::~IXStyleNode() = default;

std::shared_ptr<IXNode> IXStyleNode::copy() const
{
    return std::shared_ptr<IXNode>(new IXStyleNode(*this));
}

void IXStyleNode::setParentNode(IXNode* parent)
{
    // Set first: joining a document sends notices, whose observers may read this style.
    m_styleSheet = dynamic_cast<IXStyleSheetNode*>(parent);
    IXNode::setParentNode(parent);
}

IXStyleValue IXStyleNode::ownAttribute(IXStyleName name) const
{
    return ownValue(name);
}

const IXStyleValue& IXStyleNode::ownValue(IXStyleName name) const
{
    // A key that the style does not hold needs no search.
    if (const int slot = name.slot(); slot >= 0 && !m_keyedAttributes[std::size_t(slot)]) return NoValue;
    const auto own = m_attributes.constFind(name.text());
    return own != m_attributes.constEnd() ? *own : NoValue;
}

IXStyleValue IXStyleNode::attribute(IXStyleName name) const
{
    return shownValue(name);
}

const IXStyleValue& IXStyleNode::shownValue(IXStyleName name) const
{
    const int slot = name.slot();
    // Most reads: a key that a style naming no node does not hold, which the sheet has found
    // before.
    if (slot >= 0 && m_styleSheet && m_refId.isEmpty() && !m_keyedAttributes[std::size_t(slot)]) {
        if (const IXStyleValue* found = m_styleSheet->resolvedBefore(slot, m_master)) return *found;
    }
    // The sheet's look-up starts with the own value.
    if (const IXStyleSheetNode* sheet = styleSheet()) return sheet->shownValue(name, *this);
    return ownValue(name);
}

IXStyleValue IXStyleNode::valueForAttribute(IXStyleName name, const IXStyleValue& defaultValue) const
{
    const auto own = m_attributes.constFind(name.text());
    return own != m_attributes.constEnd() ? *own : defaultValue;
}

bool IXStyleNode::isApplicableAttribute(IXStyleName name) const
{
    if (m_type == IXStyleTypeNode || m_type == IXStyleTypeRootBranch) return true;
    return name.text() != IXStyleKeys::name(IXStyleKey::BranchFrameType);
}

void IXStyleNode::setValue(const IXStyleValue& value, IXStyleName name)
{
    const QString& text = name.text();
    const auto own = m_attributes.constFind(text);
    const bool hasOwn = own != m_attributes.constEnd();
    if (value.isNull()) {
        if (!hasOwn) return;
    } else {
        if (hasOwn && own->matches(value)) return;
        if (!isApplicableAttribute(name)) return;
    }
    const IXStyleValue old = hasOwn ? *own : IXStyleValue();
    registerUndo(this, UndoActionName, [old, text](IXStyleNode& style) { style.setValue(old, text); });
    if (value.isNull()) {
        m_attributes.remove(text);
    } else {
        m_attributes.insert(text, value);
    }
    const std::optional<IXStyleKey> key = name.slot() >= 0 ? IXStyleKey(name.slot()) : IXStyleKeys::keyForName(text);
    if (key) m_keyedAttributes.set(std::size_t(*key), !value.isNull());
    IXStyleSheetStyles::noteValueChange(*this);
    if (IXStyleSheetNode* sheet = styleSheet()) sheet->styleDidChange();
    notifyPropertyChange(text);
}

void IXStyleNode::setValue(const IXStyleValue& value, IXStyleName name, const IXStyleValue& defaultValue)
{
    if (value.isNull()) {
        if (m_attributes.contains(name.text())) setValue(IXStyleValue(), name);
        return;
    }
    IXStyleValue shown = attribute(name);
    if (shown.isNull()) shown = defaultValue;
    if (shown.isNull() || !value.matches(shown)) setValue(value, name);
}

void IXStyleNode::setAttributes(const IXStyleAttributes& attributes)
{
    for (auto it = attributes.constBegin(); it != attributes.constEnd(); ++it) setValue(it.value(), it.key());
}

void IXStyleNode::clearAttributes()
{
    const QStringList names = m_attributes.keys();
    for (const QString& name : names) setValue(IXStyleValue(), name);
}

void IXStyleNode::notifyPropertyChange(const QString& name)
{
    if (const IXStyleSheetNode* sheet = styleSheet(); sheet && sheet->isLoading()) return;
    send(IXStyleNodeDidChangeProperty, this, name);
}

QString IXStyleNode::description() const
{
    QString text = QStringLiteral("<IXStyleNode");
    if (m_type != IXStyleTypeNode) text += QStringLiteral(" type ") + QString::number(m_type);
    if (!m_refId.isEmpty()) text += QStringLiteral(" ref ") + m_refId;
    text += QStringLiteral("> {");
    for (auto it = m_attributes.constBegin(); it != m_attributes.constEnd(); ++it) {
        text += QLatin1Char(' ') + it.key() + QStringLiteral(" = ") + it.value().description() + QLatin1Char(';');
    }
    return text + QStringLiteral(" }");
}

bool IXStyleNode::initWithParent(IXNode* parent, const PLXMLElement& element, PLError* error)
{
    if (!IXNode::initWithParent(parent, element, error)) return false;
    for (PLXMLElement a = element.firstChildElement("a"); a; a = a.nextSiblingElement("a")) {
        if (error && *error) return false;
        const QString name = a.attribute("n");
        const QString text = a.attribute("v");
        if (name.isEmpty() || text.isEmpty()) continue;
        setValue(IXStyleValue::fromText(a.attribute("t"), text), name);
    }
    return true;
}

PLXMLElement IXStyleNode::XMLElement(PLXMLElement parent)
{
    if (m_attributes.isEmpty()) return PLXMLElement();
    PLXMLElement element;
    if (m_type > IXStyleTypeNode && m_type < IXStyleType_Last) {
        element = parent.addChildElement(IXStyleSheetNode::styleTypeName(m_type).toLatin1());
        writeBaseXMLAttributes(element);
    } else {
        element = parent.addChildElement("style");
        writeBaseXMLAttributes(element);
        element.setAttribute("ref", m_refId);
    }
    for (auto it = m_attributes.constBegin(); it != m_attributes.constEnd(); ++it) {
        PLXMLElement a = element.addChildElement("a");
        a.setAttribute("n", it.key());
        const QString letter = it.value().typeLetter();
        if (!letter.isEmpty()) a.setAttribute("t", letter);
        a.setAttribute("v", it.value().description());
    }
    return element;
}

// --- Typed values ---

bool IXStyleNode::boolValueForAttribute(IXStyleName name, bool defaultValue) const
{
    return shownValue(name).toBool().value_or(defaultValue);
}

void IXStyleNode::setBoolValue(bool value, IXStyleName name, bool defaultValue)
{
    setValue(IXStyleValue::flag(value), name, defaultValue ? IXStyleValue::flag(true) : IXStyleValue());
}

int IXStyleNode::intValueForAttribute(IXStyleName name, int defaultValue) const
{
    return shownValue(name).toInt().value_or(defaultValue);
}

void IXStyleNode::setIntValue(int value, IXStyleName name, int defaultValue)
{
    setValue(IXStyleValue::integer(value), name, defaultValue != 0 ? IXStyleValue::integer(defaultValue) : IXStyleValue());
}

float IXStyleNode::floatValueForAttribute(IXStyleName name, float defaultValue) const
{
    return shownValue(name).toFloat().value_or(defaultValue);
}

void IXStyleNode::setFloatValue(float value, IXStyleName name, float defaultValue)
{
    setValue(IXStyleValue::real(value), name, defaultValue != 0 ? IXStyleValue::real(defaultValue) : IXStyleValue());
}

PLPoint IXStyleNode::pointValueForAttribute(IXStyleName name, PLPoint defaultValue) const
{
    return shownValue(name).toPoint().value_or(defaultValue);
}

void IXStyleNode::setPointValue(PLPoint value, IXStyleName name, PLPoint defaultValue)
{
    setValue(IXStyleValue::point(value), name, defaultValue != PLPoint() ? IXStyleValue::point(defaultValue) : IXStyleValue());
}

PLSize IXStyleNode::sizeValueForAttribute(IXStyleName name, PLSize defaultValue) const
{
    return shownValue(name).toSize().value_or(defaultValue);
}

void IXStyleNode::setSizeValue(PLSize value, IXStyleName name, PLSize defaultValue)
{
    setValue(IXStyleValue::size(value), name, defaultValue != PLSize() ? IXStyleValue::size(defaultValue) : IXStyleValue());
}

PLRect IXStyleNode::rectValueForAttribute(IXStyleName name, const PLRect& defaultValue) const
{
    return shownValue(name).toRect().value_or(defaultValue);
}

void IXStyleNode::setRectValue(const PLRect& value, IXStyleName name, const PLRect& defaultValue)
{
    setValue(IXStyleValue::rect(value), name, defaultValue != PLRect() ? IXStyleValue::rect(defaultValue) : IXStyleValue());
}

QString IXStyleNode::stringValueForAttribute(IXStyleName name, const QString& defaultValue) const
{
    return shownValue(name).toString().value_or(defaultValue);
}

void IXStyleNode::setStringValue(const QString& value, IXStyleName name, const QString& defaultValue)
{
    setValue(IXStyleValue::text(value), name, IXStyleValue::text(defaultValue));
}

PLColor IXStyleNode::colorValueForAttribute(IXStyleName name, const PLColor& defaultValue) const
{
    return shownValue(name).toColor().value_or(defaultValue);
}

void IXStyleNode::setColorValue(const PLColor& value, IXStyleName name, const PLColor& defaultValue)
{
    setValue(IXStyleValue::color(value), name, IXStyleValue::color(defaultValue));
}

// --- Fonts, paragraphs and text attributes ---

QString IXStyleNode::fontName(const QFont& font)
{
    QString name = font.family();
    const bool bold = font.bold();
    const bool italic = font.italic();
    if (bold && italic) {
        name += QStringLiteral("-BoldItalic");
    } else if (bold) {
        name += QStringLiteral("-Bold");
    } else if (italic) {
        name += QStringLiteral("-Italic");
    }
    return name;
}

std::optional<QFont> IXStyleNode::fontNamed(const QString& name, float pointSize)
{
    // Family names, "Family-Style" names as fontName writes them and PostScript names as
    // other writers store them; a family that is not installed takes its substitute.
    const std::optional<PLFontNames::Face> face = PLFontNames::faceForName(name);
    if (!face) return std::nullopt;
    QFont font(face->family);
    font.setPointSizeF(pointSize);
    font.setBold(face->bold);
    font.setItalic(face->italic);
    return font;
}

IXStyleNode::FontTexts::FontTexts(const QString& font)
    : size(font + QStringLiteral(".size"))
    , name(font + QStringLiteral(".name"))
    , family(font + QStringLiteral(".family"))
    , bold(font + QStringLiteral(".bold"))
    , italic(font + QStringLiteral(".italic"))
{
}

IXStyleNode::TextTexts::TextTexts(const QString& group)
    : font(group + QStringLiteral(".font"))
    , alignment(group + QStringLiteral(".alignment"))
    , foreground(group + QStringLiteral(".fgcolor"))
    , background(group + QStringLiteral(".bgcolor"))
{
}

std::optional<QFont> IXStyleNode::fontValueForAttribute(const QString& name, const std::optional<QFont>& defaultValue) const
{
    const FontTexts texts(name);
    return fontValue(texts.names(), defaultValue);
}

std::optional<QFont> IXStyleNode::fontValue(const FontNames& names, const std::optional<QFont>& defaultValue) const
{
    const float defaultSize = defaultValue ? float(std::max(0.0, defaultValue->pointSizeF())) : 0.0f;
    float size = floatValueForAttribute(names.size, defaultSize);
    if (!(size >= MinimumFontSize)) return defaultValue;
    size = std::min(size, MaximumFontSize);
    const QString fontNameText = stringValueForAttribute(names.name, QString());
    if (!fontNameText.isEmpty()) return fontNamed(fontNameText, size);
    const QString family = stringValueForAttribute(names.family, QString());
    if (!family.isEmpty()) {
        QFont font(family);
        font.setPointSizeF(size);
        font.setWeight(QFont::Normal);
        font.setBold(boolValueForAttribute(names.bold, false));
        font.setItalic(boolValueForAttribute(names.italic, false));
        return font;
    }
    QFont font = defaultValue ? *defaultValue : QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(size);
    return font;
}

void IXStyleNode::setFontValue(const std::optional<QFont>& value, const QString& name,
                               const std::optional<QFont>& defaultValue)
{
    const QString sizeName = name + QStringLiteral(".size");
    const QString nameName = name + QStringLiteral(".name");
    const QString familyName = name + QStringLiteral(".family");
    const QString boldName = name + QStringLiteral(".bold");
    const QString italicName = name + QStringLiteral(".italic");
    if (!value) {
        for (const QString& member : {sizeName, nameName, familyName, boldName, italicName}) setValue(IXStyleValue(), member);
        return;
    }
    setFloatValue(float(value->pointSizeF()), sizeName, defaultValue ? float(defaultValue->pointSizeF()) : 0.0f);
    // The name shown stays when it names this very face ("ArialMT" read as Liberation Sans),
    // so that a file keeps its names through editing and saving.
    QString written = fontName(*value);
    const QString shown = stringValueForAttribute(nameName, QString());
    if (!shown.isEmpty() && shown != written) {
        const std::optional<PLFontNames::Face> face = PLFontNames::faceForName(shown);
        if (face && face->family.compare(value->family(), Qt::CaseInsensitive) == 0 && face->bold == value->bold()
            && face->italic == value->italic())
            written = shown;
    }
    setStringValue(written, nameName, defaultValue ? fontName(*defaultValue) : QString());
    setValue(IXStyleValue(), familyName);
    setBoolValue(value->bold(), boldName, defaultValue && defaultValue->bold());
    setBoolValue(value->italic(), italicName, defaultValue && defaultValue->italic());
}

int IXStyleNode::alignmentNumber(Qt::Alignment alignment)
{
    const Qt::Alignment horizontal = alignment & Qt::AlignHorizontal_Mask;
    if (horizontal & Qt::AlignJustify) return 3;
    if (horizontal & Qt::AlignHCenter) return 2;
    if (horizontal & Qt::AlignRight) return 1;
    if (horizontal & Qt::AlignLeft) return (horizontal & Qt::AlignAbsolute) ? 0 : 4;
    return -1;
}

Qt::Alignment IXStyleNode::alignmentFromNumber(int number)
{
    switch (number) {
    case 0: return Qt::AlignLeft | Qt::AlignAbsolute;
    case 1: return Qt::AlignRight | Qt::AlignAbsolute;
    case 2: return Qt::AlignHCenter;
    case 3: return Qt::AlignJustify;
    case 4: return Qt::AlignLeading;
    default: return Qt::Alignment();
    }
}

QTextOption IXStyleNode::paragraphStyleValueForAttribute(const QString& name,
                                                         const std::optional<QTextOption>& defaultValue) const
{
    return paragraphStyleValue(name + QStringLiteral(".alignment"), defaultValue);
}

QTextOption IXStyleNode::paragraphStyleValue(IXStyleName alignmentName, const std::optional<QTextOption>& defaultValue) const
{
    QTextOption paragraph = defaultValue.value_or(QTextOption());
    paragraph.setAlignment(alignmentFromNumber(intValueForAttribute(alignmentName, -1)));
    return paragraph;
}

void IXStyleNode::setParagraphStyleValue(const std::optional<QTextOption>& value, const QString& name,
                                         const std::optional<QTextOption>& defaultValue)
{
    const QString alignmentName = name + QStringLiteral(".alignment");
    if (!value) {
        setValue(IXStyleValue(), alignmentName);
        return;
    }
    setIntValue(alignmentNumber(value->alignment()), alignmentName,
                defaultValue ? alignmentNumber(defaultValue->alignment()) : -1);
}

IXStyleTextAttributes IXStyleNode::textAttributesValueForAttribute(const QString& name,
                                                                   const IXStyleTextAttributes& defaultValue) const
{
    const TextTexts texts(name);
    return textAttributesValue(texts.names(), defaultValue);
}

IXStyleTextAttributes IXStyleNode::namedTextAttributes(const TextNames& names, int group) const
{
    // A style that holds nothing and names no node with a style in the master sheet shows
    // what its master type shows, which the sheet makes once: a font costs more to make
    // than all the reads it needs.
    if (m_styleSheet && m_attributes.isEmpty() && !m_styleSheet->masterSheetStyle(*this)) {
        if (std::optional<IXStyleTextAttributes>& made = m_styleSheet->resolvedTextAttributes(group, m_master); made) return *made;
        IXStyleTextAttributes attributes = textAttributesValue(names, {});
        m_styleSheet->resolvedTextAttributes(group, m_master) = attributes;
        return attributes;
    }
    return textAttributesValue(names, {});
}

IXStyleTextAttributes IXStyleNode::textAttributesValue(const TextNames& names, const IXStyleTextAttributes& defaultValue) const
{
    IXStyleTextAttributes result;
    result.font = fontValue(names.font, defaultValue.font);
    result.paragraphStyle = paragraphStyleValue(names.alignment, defaultValue.paragraphStyle);
    const PLColor foreground = colorValueForAttribute(names.foreground, defaultValue.foregroundColor);
    const PLColor background = colorValueForAttribute(names.background, defaultValue.backgroundColor);
    if (foreground.alpha() > VisibleAlpha) result.foregroundColor = foreground;
    if (background.alpha() > VisibleAlpha) result.backgroundColor = background;
    return result;
}

void IXStyleNode::setTextAttributesValue(const IXStyleTextAttributes& value, const QString& name,
                                         const IXStyleTextAttributes& defaultValue)
{
    setFontValue(value.font, name + QStringLiteral(".font"), defaultValue.font);
    setParagraphStyleValue(value.paragraphStyle, name, defaultValue.paragraphStyle);
    setColorValue(value.foregroundColor, name + QStringLiteral(".fgcolor"), defaultValue.foregroundColor);
    setColorValue(value.backgroundColor, name + QStringLiteral(".bgcolor"), defaultValue.backgroundColor);
}
