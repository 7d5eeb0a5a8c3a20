#include "editor/QX_COnOffButton.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <string_view>
#include <utility>
#include <vector>

#include "editor/MidiLearnRequests.h"

namespace {

constexpr int kCornerRadius = 3;
constexpr toolkit::Color kOffFill{58, 60, 66};
constexpr toolkit::Color kOnFill{214, 128, 40};
constexpr toolkit::Color kBorder{20, 20, 22};
constexpr toolkit::Color kLabelOff{220, 220, 220};
constexpr toolkit::Color kLabelOn{20, 20, 20};
constexpr toolkit::Color kLabelOnDark{250, 170, 80};
constexpr toolkit::Color kCaptionColor{190, 190, 190};
constexpr int kLabelPadding = 4;

// Words split at spaces, colons and a lower-to-upper change ("LoadOSC" is "Load", "OSC").
std::vector<std::string> wordsOf(std::string_view text) {
    std::vector<std::string> words;
    std::string current;
    for (const char c : text) {
        const bool breaks = c == ' ' || c == ':';
        const bool upperAfterLower = std::isupper(static_cast<unsigned char>(c)) != 0 && !current.empty() &&
                                     std::islower(static_cast<unsigned char>(current.back())) != 0;
        if ((breaks || upperAfterLower) && !current.empty()) words.push_back(std::exchange(current, {}));
        if (!breaks) current += c;
    }
    if (!current.empty()) words.push_back(current);
    return words;
}

// A word in capitals names the section the button already sits in.
bool namesSection(const std::string& word) {
    return std::none_of(word.begin(), word.end(), [](char c) { return std::islower(static_cast<unsigned char>(c)); });
}

// Stepping words read as arrows on a button too small for them.
std::string arrowFor(const std::string& word) {
    if (word == "Up" || word == "Next") return ">";
    if (word == "Down" || word == "Previous") return "<";
    return word;
}

// A single program's commands read like "Copy P" and "Paste P" beside them: "Load P".
std::string scopeMark(const std::string& word) { return word == "Preset" ? "P" : std::string{}; }

bool isCommand(const std::string& word) {
    for (const char* command : {"Rnd", "Load", "Save", "Copy", "Paste", "Bank"}) {
        if (word == command) return true;
    }
    return false;
}

std::string joined(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words) text += (text.empty() ? "" : " ") + word;
    return text;
}

std::vector<std::string> readingsOf(const std::string& label) {
    const std::vector<std::string> all = wordsOf(label);
    std::vector<std::string> words;
    std::copy_if(all.begin(), all.end(), std::back_inserter(words), [](const std::string& w) { return !namesSection(w); });
    if (words.empty()) words = all;
    std::vector<std::string> readings{label, joined(words)};
    if (words.size() > 2) readings.push_back(words.front() + " " + words.back());
    if (!words.empty()) {
        const auto command = std::find_if(words.begin(), words.end(), isCommand);
        const std::string mark = scopeMark(words.back());
        if (command != words.end() && !mark.empty()) readings.push_back(*command + " " + mark);
        readings.push_back(command != words.end() ? *command : words.front());
        readings.push_back(arrowFor(words.back()));
    }
    return readings;
}

}  // namespace

QX_COnOffButton::QX_COnOffButton(const toolkit::Rect& rect, int tag, toolkit::ControlListener* listener,
                                 Mode mode)
    : Control(rect, tag, listener), mode_(mode) {}

void QX_COnOffButton::setLabel(std::string label) {
    label_ = std::move(label);
    invalidate();
}

std::string QX_COnOffButton::shownLabel() const {
    const toolkit::Font font = toolkit::Font::nearest(kTextFontPx);
    const int room = switchRect().width() - kLabelPadding;
    const std::vector<std::string> readings = readingsOf(label_);
    for (const std::string& reading : readings) {
        if (font.textWidth(reading) <= room) return reading;
    }
    return readings.back();
}

void QX_COnOffButton::setCaption(std::string caption) {
    toolkit::Rect box = switchRect();
    caption_ = std::move(caption);
    captionOverhang_ = 0;
    if (!caption_.empty()) {
        // Half the excess each side, rounded up, keeps the caption centred under the switch.
        const int excess = toolkit::Font::nearest(kTextFontPx).textWidth(caption_) - box.width();
        captionOverhang_ = excess > 0 ? (excess + 1) / 2 : 0;
        box = {box.left - captionOverhang_, box.top, box.right + captionOverhang_, box.bottom + kCaptionHeight};
    }
    setRect(box);
    invalidate();
}

toolkit::Rect QX_COnOffButton::switchRect() const {
    toolkit::Rect box = rect();
    if (!caption_.empty()) {
        box = {box.left + captionOverhang_, box.top, box.right - captionOverhang_, box.bottom - kCaptionHeight};
    }
    return box;
}

toolkit::View* QX_COnOffButton::viewAt(toolkit::Point p) {
    return isVisible() && switchRect().contains(p) ? this : nullptr;
}

void QX_COnOffButton::draw(toolkit::DrawContext& context) {
    const toolkit::Rect box = switchRect();
    if (bitmap()) {
        context.drawBitmapFrame(*bitmap(), isOn() ? bitmap()->frameCount() - 1 : 0, box.topLeft());
    } else {
        context.fillRoundedRect(box, kCornerRadius, isOn() ? kOnFill : kOffFill);
        context.strokeRoundedRect(box, kCornerRadius, kBorder);
    }
    if (!caption_.empty()) {
        const toolkit::Font font = toolkit::Font::nearest(kTextFontPx);
        const toolkit::Rect under{rect().left, box.bottom, rect().right, rect().bottom};
        context.drawText(caption_, under, font, kCaptionColor, toolkit::HAlign::Center);
    }
    if (!label_.empty()) {
        context.drawText(shownLabel(), box, toolkit::Font::nearest(kTextFontPx), isOn() ? (litFrameDark_ ? kLabelOnDark : kLabelOn) : kLabelOff,
                         toolkit::HAlign::Center);
    }
}

bool QX_COnOffButton::onMouseDown(const toolkit::MouseEvent& event) {
    if (event.button == toolkit::MouseButton::Right) return requestMidiLearn(*this, event);
    if (event.button != toolkit::MouseButton::Left) return false;
    beginEdit();
    if (mode_ == Mode::Toggle) {
        changeValue(isOn() ? 0.0f : 1.0f);
        endEdit();
        return true;
    }
    // A command must be heard even when the program left the button at 1.
    setValue(0.0f);
    changeValue(1.0f);
    pressed_ = true;
    return true;
}

void QX_COnOffButton::onMouseUp(const toolkit::MouseEvent&) {
    if (!pressed_) return;
    pressed_ = false;
    changeValue(0.0f);
    endEdit();
}
