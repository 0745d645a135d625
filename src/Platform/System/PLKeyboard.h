#pragma once

#include <QFlags>
#include <Qt>

#include <cstdint>

// The keyboard as the editor's key tables see it. The tables name keys by their classic
// codes and modifiers by four flags: Command is the shortcut key (Ctrl here), Option is Alt
// and Control is the other control key (Meta). Delete is the key left of the text cursor
// (Backspace); forward delete is the Delete key. The flag values are those of PLMouseEvent.
class PLKeyboard {
public:
    enum KeyCode : int {
        NoKeyCode = -1,
        Return = 36,
        Tab = 48,
        Space = 49,
        Delete = 51,
        Escape = 53,
        Enter = 76,
        ForwardDelete = 117,
        F2 = 120,
        LeftArrow = 123,
        RightArrow = 124,
        DownArrow = 125,
        UpArrow = 126,
    };

    // The code of a Qt key, NoKeyCode for keys without one. Enter is the keypad's key.
    static KeyCode keyCode(int qtKey);
    // The flags (PLMouseEvent::Modifier) of Qt's modifiers.
    static std::uint32_t modifierFlags(Qt::KeyboardModifiers modifiers);
    // Qt's modifiers for the flags.
    static Qt::KeyboardModifiers qtModifiers(std::uint32_t flags);
};
