// Mouse and keyboard input as window backends forward it to the frame.
#pragma once

#include "toolkit/Point.h"

namespace toolkit {

enum class MouseButton { None, Left, Right, Middle };

struct Modifiers {
    bool shift = false;
    bool control = false;
    bool alt = false;
};

struct MouseEvent {
    MouseEvent() = default;
    explicit MouseEvent(Point position, MouseButton button = MouseButton::Left,
                        Modifiers modifiers = {}, int clickCount = 1)
        : position(position), button(button), modifiers(modifiers), clickCount(clickCount) {}

    Point position;  // the frame's coordinates from a backend; a view gets its parent's
    MouseButton button = MouseButton::Left;
    Modifiers modifiers;
    int clickCount = 1;  // 2 for a double click
};

enum class Key { Character, Backspace, Delete, Left, Right, Up, Down, Home, End, Enter, Escape, Tab };

struct KeyEvent {
    KeyEvent() = default;
    explicit KeyEvent(Key key, char32_t character = 0, Modifiers modifiers = {})
        : key(key), character(character), modifiers(modifiers) {}

    Key key = Key::Character;
    char32_t character = 0;  // for Key::Character
    Modifiers modifiers;
};

}  // namespace toolkit
