// The keyboard as the key tables see it: key codes and modifier flags of Qt's keys.
#include "Platform/System/PLKeyboard.h"

#include "Platform/System/PLMouseEvent.h"

#include <gtest/gtest.h>

TEST(PLKeyboard, KeysAndModifiersOfTheKeyTables)
{
    const struct {
        int qtKey;
        PLKeyboard::KeyCode code;
    } keys[] = {
        {Qt::Key_Return, PLKeyboard::Return}, {Qt::Key_Enter, PLKeyboard::Enter},
        {Qt::Key_Tab, PLKeyboard::Tab},       {Qt::Key_Space, PLKeyboard::Space},
        {Qt::Key_Backspace, PLKeyboard::Delete}, {Qt::Key_Delete, PLKeyboard::ForwardDelete},
        {Qt::Key_Escape, PLKeyboard::Escape}, {Qt::Key_F2, PLKeyboard::F2},
        {Qt::Key_Left, PLKeyboard::LeftArrow}, {Qt::Key_Right, PLKeyboard::RightArrow},
        {Qt::Key_Down, PLKeyboard::DownArrow}, {Qt::Key_Up, PLKeyboard::UpArrow},
        {Qt::Key_A, PLKeyboard::NoKeyCode},
    };
    for (const auto& k : keys) EXPECT_EQ(PLKeyboard::keyCode(k.qtKey), k.code) << k.qtKey;
    EXPECT_EQ(int(PLKeyboard::Delete), 51);
    EXPECT_EQ(int(PLKeyboard::ForwardDelete), 117);

    const struct {
        Qt::KeyboardModifiers qt;
        std::uint32_t flags;
    } modifiers[] = {
        {Qt::ControlModifier, PLMouseEvent::Command},
        {Qt::AltModifier, PLMouseEvent::Option},
        {Qt::MetaModifier, PLMouseEvent::Control},
        {Qt::ShiftModifier | Qt::AltModifier, PLMouseEvent::Shift | PLMouseEvent::Option},
        {Qt::KeypadModifier, 0},
    };
    for (const auto& m : modifiers) {
        EXPECT_EQ(PLKeyboard::modifierFlags(m.qt), m.flags) << m.flags;
        EXPECT_EQ(PLKeyboard::qtModifiers(m.flags), m.qt & ~Qt::KeypadModifier) << m.flags;
    }
}
