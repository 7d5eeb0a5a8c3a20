// The editor's on-screen keyboard as the core reports to it: keys played from MIDI and "clear".
#pragma once

class KeyboardView {
public:
    virtual ~KeyboardView() = default;
    // note + 256 for a key going down, note for a key going up, -1 to release every key.
    virtual void showKey(int code) = 0;
};
