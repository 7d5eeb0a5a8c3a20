#include "editor/QX_Knob.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "params/ParameterLookups.h"

namespace {

constexpr int kCaptionFontPx = 9;
constexpr float kSweepRadians = 1.5f * std::numbers::pi_v<float>;  // 270 degrees of travel
constexpr toolkit::Color kDialFill{60, 62, 68};
constexpr toolkit::Color kDialRim{120, 124, 132};
constexpr toolkit::Color kPointer{235, 235, 235};
constexpr toolkit::Color kCaptionColor{210, 210, 210};

toolkit::Rect withCaption(const toolkit::Rect& dial, bool captioned) {
    if (!captioned) return dial;
    return {dial.left - QX_Knob::kCaptionOverhang, dial.top, dial.right + QX_Knob::kCaptionOverhang,
            dial.bottom + QX_Knob::kCaptionHeight};
}

constexpr int kCaptionGap = 2;  // keeps neighbouring captions apart

bool isUnit(std::string_view word) { return word == "%" || word == "Hz" || word == "dB" || word.starts_with('('); }

// A trailing unit goes first, then leading words, until the caption fits: "Portamento (ms)"
// reads "Portamento", "Lfo1 Rate" under a small dial "Rate".
std::string_view fitted(std::string_view text, const toolkit::Font& font, int width) {
    while (font.textWidth(text) > width) {
        const auto lastSpace = text.rfind(' ');
        if (lastSpace == std::string_view::npos) break;
        if (isUnit(text.substr(lastSpace + 1))) {
            text.remove_suffix(text.size() - lastSpace);
        } else {
            text.remove_prefix(text.find(' ') + 1);
        }
    }
    return text;
}

}  // namespace

QX_Knob::QX_Knob(const toolkit::Rect& dial, int tag, toolkit::ControlListener* listener, int curve,
                 std::string caption)
    : DragControl(withCaption(dial, !caption.empty()), tag, listener),
      dial_(dial),
      curve_(curve),
      caption_(std::move(caption)) {}

float QX_Knob::shownPosition() const { return ParameterLookups::applyCurve(curve_, value()); }

int QX_Knob::shownFrame() const { return bitmap() ? bitmap()->frameForValue(shownPosition()) : 0; }

toolkit::View* QX_Knob::viewAt(toolkit::Point p) {
    // The caption overhangs the neighbours' space; only the dial takes input.
    return isVisible() && dial_.contains(p) ? this : nullptr;
}

void QX_Knob::draw(toolkit::DrawContext& context) {
    if (bitmap()) {
        context.drawBitmapFrame(*bitmap(), shownFrame(), dial_.topLeft());
    } else {
        drawDial(context);
    }
    if (!caption_.empty()) drawCaption(context);
}

void QX_Knob::drawDial(toolkit::DrawContext& context) {
    const int size = std::min(dial_.width(), dial_.height());
    const toolkit::Rect disc = toolkit::Rect::fromSize(dial_.left, dial_.top, size, size).inset(1, 1);
    context.fillRoundedRect(disc, disc.width() / 2, kDialFill);
    context.strokeRoundedRect(disc, disc.width() / 2, kDialRim);
    // Zero points down-left, full down-right.
    const float angle = (shownPosition() - 0.5f) * kSweepRadians;
    const float radius = static_cast<float>(disc.width()) * 0.4f;
    const toolkit::Point centre{(disc.left + disc.right) / 2, (disc.top + disc.bottom) / 2};
    const toolkit::Point tip{centre.x + static_cast<int>(std::lround(radius * std::sin(angle))),
                             centre.y - static_cast<int>(std::lround(radius * std::cos(angle)))};
    context.drawLine(centre, tip, kPointer);
}

void QX_Knob::drawCaption(toolkit::DrawContext& context) {
    const toolkit::Font font = toolkit::Font::nearest(kCaptionFontPx);
    const toolkit::Rect box{rect().left, dial_.bottom, rect().right, rect().bottom};
    context.drawText(fitted(caption_, font, box.width() - kCaptionGap), box, font, kCaptionColor, toolkit::HAlign::Center);
}

void QX_Knob::startDrag(const toolkit::MouseEvent& event) { drag_.start(event.position.y, value()); }

float QX_Knob::dragValue(const toolkit::MouseEvent& event) {
    return drag_.moveTo(event.position.y, event.modifiers.shift);
}
