#pragma once

#include "Platform/Drawing/PLColor.h"

#include <QFont>
#include <QTextOption>

#include <optional>

// The text attributes that a style keeps for a group such as "branch.text": the font, the
// paragraph (only its alignment is stored), and the foreground and background colours. Each
// member is optional; a default PLColor means "no colour".
struct IXStyleTextAttributes {
    std::optional<QFont> font;
    std::optional<QTextOption> paragraphStyle;
    PLColor foregroundColor;
    PLColor backgroundColor;
};
