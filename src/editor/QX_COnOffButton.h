// A two-state switch, or an action button whose press is a command: value 1 while pressed, 0 on
// release, both reported so the editor can run the command. The label, when set, is drawn on it.
#pragma once

#include <string>

#include "toolkit/Control.h"

class QX_COnOffButton : public toolkit::Control {
public:
    enum class Mode { Toggle, Momentary };

    QX_COnOffButton(const toolkit::Rect& rect, int tag, toolkit::ControlListener* listener, Mode mode);

    Mode mode() const { return mode_; }
    const std::string& label() const { return label_; }
    void setLabel(std::string label);
    // The label as drawn: the whole of it when it fits, else the shortest reading that still tells
    // the command apart.
    std::string shownLabel() const;
    // A caption under the switch, for switches too small to carry their name; a word wider than
    // the switch runs past both its sides, whole. Only the switch itself takes clicks.
    static constexpr int kCaptionHeight = 10;
    static constexpr int kTextFontPx = 9;  // labels and captions
    void setCaption(std::string caption);
    const std::string& caption() const { return caption_; }
    // The switch without its caption.
    toolkit::Rect switchRect() const;
    // A lit switch is light, so its label turns dark; art whose selected frame stays dark keeps
    // the label light.
    void setLitFrameDark(bool dark) { litFrameDark_ = dark; }
    toolkit::View* viewAt(toolkit::Point p) override;
    bool isOn() const { return value() >= 0.5f; }

    void draw(toolkit::DrawContext& context) override;
    bool onMouseDown(const toolkit::MouseEvent& event) override;
    void onMouseUp(const toolkit::MouseEvent& event) override;

private:
    Mode mode_;
    std::string label_;
    std::string caption_;
    int captionOverhang_ = 0;  // pixels each side the caption runs past the switch
    bool litFrameDark_ = false;
    bool pressed_ = false;
};
