#include "Platform/System/PLKeyboard.h"

#include "Platform/System/PLMouseEvent.h"

PLKeyboard::KeyCode PLKeyboard::keyCode(int qtKey)
{
    switch (qtKey) {
    case Qt::Key_Return: return Return;
    case Qt::Key_Enter: return Enter;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return Tab;
    case Qt::Key_Space: return Space;
    case Qt::Key_Backspace: return Delete;
    case Qt::Key_Escape: return Escape;
    case Qt::Key_Delete: return ForwardDelete;
    case Qt::Key_F2: return F2;
    case Qt::Key_Left: return LeftArrow;
    case Qt::Key_Right: return RightArrow;
    case Qt::Key_Down: return DownArrow;
    case Qt::Key_Up: return UpArrow;
    default: return NoKeyCode;
    }
}

namespace {
struct ModifierPair {
    Qt::KeyboardModifier qt;
    std::uint32_t flag;
};
constexpr ModifierPair Pairs[] = {
    {Qt::ShiftModifier, PLMouseEvent::Shift},
    {Qt::ControlModifier, PLMouseEvent::Command},
    {Qt::AltModifier, PLMouseEvent::Option},
    {Qt::MetaModifier, PLMouseEvent::Control},
};
}

std::uint32_t PLKeyboard::modifierFlags(Qt::KeyboardModifiers modifiers)
{
    std::uint32_t flags = 0;
    for (const ModifierPair& pair : Pairs)
        if (modifiers.testFlag(pair.qt)) flags |= pair.flag;
    return flags;
}

Qt::KeyboardModifiers PLKeyboard::qtModifiers(std::uint32_t flags)
{
    Qt::KeyboardModifiers modifiers;
    for (const ModifierPair& pair : Pairs)
        if (flags & pair.flag) modifiers |= pair.qt;
    return modifiers;
}
