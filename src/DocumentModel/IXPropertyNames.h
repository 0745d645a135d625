#pragma once

#include <QString>
#include <QStringView>

#include <cstddef>

// The name of a property that a node announces in its change notices ("title"), as senders
// pass it to notifyPropertyChange and observers compare it. The program names properties only
// through the constants below, so a misspelt name does not compile. Notices still carry the
// name as text: a style announces the attribute it changed.
class IXProperty {
public:
    consteval explicit IXProperty(const char16_t* text) : m_text(text), m_size(length(text)) {}

    constexpr QStringView view() const { return QStringView(m_text, qsizetype(m_size)); }
    // The name as a string over the constant's own characters (nothing is copied).
    operator QString() const { return QString::fromRawData(reinterpret_cast<const QChar*>(m_text), qsizetype(m_size)); }
    friend bool operator==(const QString& property, const IXProperty& name) { return QStringView(property) == name.view(); }

private:
    static consteval std::size_t length(const char16_t* text)
    {
        std::size_t size = 0;
        while (text[size]) ++size;
        return size;
    }

    const char16_t* m_text;
    std::size_t m_size;
};

namespace IXProperties {
inline constexpr IXProperty BeginDate{u"beginDate"};
inline constexpr IXProperty Branches{u"branches"};
inline constexpr IXProperty Comment{u"comment"};
inline constexpr IXProperty Comments{u"comments"};
inline constexpr IXProperty Connection{u"connection"};
inline constexpr IXProperty ConnectionTargetRef{u"connection.targetRef"};
inline constexpr IXProperty Connections{u"connections"};
inline constexpr IXProperty EndDate{u"endDate"};
inline constexpr IXProperty HtmlOpenInNewWindow{u"htmlOpenInNewWindow"};
inline constexpr IXProperty HtmlShowAsButton{u"htmlShowAsButton"};
inline constexpr IXProperty Icons{u"icons"};
inline constexpr IXProperty IncludeInExport{u"includeInExport"};
inline constexpr IXProperty Level{u"level"};
inline constexpr IXProperty Link{u"link"};
inline constexpr IXProperty Master{u"master"};
inline constexpr IXProperty Picture{u"picture"};
inline constexpr IXProperty Pictures{u"pictures"};
inline constexpr IXProperty References{u"references"};
inline constexpr IXProperty RootBranches{u"rootBranches"};
inline constexpr IXProperty Subtype{u"subtype"};
inline constexpr IXProperty TargetRef{u"targetRef"};
inline constexpr IXProperty Text{u"text"};
inline constexpr IXProperty TimeScaleType{u"timeScaleType"};
inline constexpr IXProperty Title{u"title"};
inline constexpr IXProperty Type{u"type"};
inline constexpr IXProperty UserName{u"userName"};
}  // namespace IXProperties
