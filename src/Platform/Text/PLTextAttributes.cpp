#include "Platform/Text/PLTextAttributes.h"

bool PLTextAttributes::isEmpty() const
{
    return !font && !foregroundColor && !backgroundColor && !underlineStyle && !underlineColor && !strikethroughStyle
        && !strikethroughColor && !superscript && !baselineOffset && !paragraphStyle && !link && !attachment;
}

bool PLTextAttributes::has(Key key) const
{
    switch (key) {
    case Key::Font: return font.has_value();
    case Key::ForegroundColor: return foregroundColor.has_value();
    case Key::BackgroundColor: return backgroundColor.has_value();
    case Key::UnderlineStyle: return underlineStyle.has_value();
    case Key::UnderlineColor: return underlineColor.has_value();
    case Key::StrikethroughStyle: return strikethroughStyle.has_value();
    case Key::StrikethroughColor: return strikethroughColor.has_value();
    case Key::Superscript: return superscript.has_value();
    case Key::BaselineOffset: return baselineOffset.has_value();
    case Key::ParagraphStyle: return paragraphStyle.has_value();
    case Key::Link: return link.has_value();
    case Key::Attachment: return attachment != nullptr;
    }
    return false;
}

void PLTextAttributes::remove(Key key)
{
    switch (key) {
    case Key::Font: font.reset(); break;
    case Key::ForegroundColor: foregroundColor.reset(); break;
    case Key::BackgroundColor: backgroundColor.reset(); break;
    case Key::UnderlineStyle: underlineStyle.reset(); break;
    case Key::UnderlineColor: underlineColor.reset(); break;
    case Key::StrikethroughStyle: strikethroughStyle.reset(); break;
    case Key::StrikethroughColor: strikethroughColor.reset(); break;
    case Key::Superscript: superscript.reset(); break;
    case Key::BaselineOffset: baselineOffset.reset(); break;
    case Key::ParagraphStyle: paragraphStyle.reset(); break;
    case Key::Link: link.reset(); break;
    case Key::Attachment: attachment.reset(); break;
    }
}

void PLTextAttributes::merge(const PLTextAttributes& other)
{
    if (other.font) font = other.font;
    if (other.foregroundColor) foregroundColor = other.foregroundColor;
    if (other.backgroundColor) backgroundColor = other.backgroundColor;
    if (other.underlineStyle) underlineStyle = other.underlineStyle;
    if (other.underlineColor) underlineColor = other.underlineColor;
    if (other.strikethroughStyle) strikethroughStyle = other.strikethroughStyle;
    if (other.strikethroughColor) strikethroughColor = other.strikethroughColor;
    if (other.superscript) superscript = other.superscript;
    if (other.baselineOffset) baselineOffset = other.baselineOffset;
    if (other.paragraphStyle) paragraphStyle = other.paragraphStyle;
    if (other.link) link = other.link;
    if (other.attachment) attachment = other.attachment;
}

bool PLTextAttributes::operator==(const PLTextAttributes& other) const
{
    return sameValue(other, Key::Attachment) && font == other.font && foregroundColor == other.foregroundColor
        && backgroundColor == other.backgroundColor && underlineStyle == other.underlineStyle
        && underlineColor == other.underlineColor && strikethroughStyle == other.strikethroughStyle
        && strikethroughColor == other.strikethroughColor && superscript == other.superscript
        && baselineOffset == other.baselineOffset && paragraphStyle == other.paragraphStyle && link == other.link;
}

bool PLTextAttributes::sameValue(const PLTextAttributes& other, Key key) const
{
    switch (key) {
    case Key::Font: return font == other.font;
    case Key::ForegroundColor: return foregroundColor == other.foregroundColor;
    case Key::BackgroundColor: return backgroundColor == other.backgroundColor;
    case Key::UnderlineStyle: return underlineStyle == other.underlineStyle;
    case Key::UnderlineColor: return underlineColor == other.underlineColor;
    case Key::StrikethroughStyle: return strikethroughStyle == other.strikethroughStyle;
    case Key::StrikethroughColor: return strikethroughColor == other.strikethroughColor;
    case Key::Superscript: return superscript == other.superscript;
    case Key::BaselineOffset: return baselineOffset == other.baselineOffset;
    case Key::ParagraphStyle: return paragraphStyle == other.paragraphStyle;
    case Key::Link: return link == other.link;
    case Key::Attachment:
        return attachment == other.attachment || (attachment && other.attachment && *attachment == *other.attachment);
    }
    return false;
}
