#pragma once

#include <QString>

#include <string_view>

// The class name of a tool, by which the tool manager starts it. The program names tools only
// through the constants below, so a misspelt name does not compile; a new name is made
// explicitly from a literal (tests name the stand-ins they register).
class IXToolName {
public:
    consteval explicit IXToolName(const char* text) : m_text(text) {}

    // Null-terminated, as QObject::inherits wants it.
    constexpr const char* text() const { return m_text; }
    QString toString() const { return QString::fromLatin1(m_text); }
    constexpr bool operator==(const IXToolName& other) const
    {
        return std::string_view(m_text) == std::string_view(other.m_text);
    }

private:
    const char* m_text;
};

namespace IXToolNames {
inline constexpr IXToolName Selection{"IXSelectionTool"};
inline constexpr IXToolName ContextMenu{"IXContextMenuTool"};
inline constexpr IXToolName BranchTitle{"IXBranchTitleTool"};
inline constexpr IXToolName CommentTitle{"IXCommentTitleTool"};
inline constexpr IXToolName DragBranch{"IXDragBranchTool"};
inline constexpr IXToolName DragFloating{"IXDragFloatingTool"};
inline constexpr IXToolName Attachments{"IXAttachmentsTool"};
inline constexpr IXToolName YellowNote{"IXYellowNoteTool"};
inline constexpr IXToolName Connection {"IXConnectionTool"};
inline constexpr IXToolName InplaceOutline{"IXInplaceOutlineTool"};
}  // namespace IXToolNames
