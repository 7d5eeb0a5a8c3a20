#include "editor/QX_Multi_Lev.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int kBarGap = 2;  // pixels between bars
constexpr toolkit::Color kBackground{22, 24, 28};
constexpr toolkit::Color kBar{214, 128, 40};
constexpr toolkit::Color kRunningBar{250, 196, 90};
constexpr toolkit::Color kFrame{90, 94, 102};
constexpr toolkit::Color kSlot{54, 57, 64};  // each step's outline, seen even at level 0

}  // namespace

QX_Multi_Lev::QX_Multi_Lev(const toolkit::Rect& rect, int tag, toolkit::ControlListener* listener)
    : Control(rect, tag, listener) {
    setWantsIdle(true);
}

void QX_Multi_Lev::addMember(int position, toolkit::Control& member) {
    if (position < 0 || position >= kMaxSteps) return;
    members_[static_cast<std::size_t>(position)] = &member;
    steps_ = std::max(steps_, position + 1);
    invalidate();
}

int QX_Multi_Lev::stepAt(int x) const {
    if (steps_ == 0) return 0;
    const int step = (x - rect().left) * steps_ / std::max(1, rect().width());
    return std::clamp(step, 0, steps_ - 1);
}

float QX_Multi_Lev::levelAt(int y) const {
    const int span = std::max(1, rect().height() - 1);
    return std::clamp(static_cast<float>(rect().bottom - 1 - y) / static_cast<float>(span), 0.0f, 1.0f);
}

int QX_Multi_Lev::runningStep() const {
    return static_cast<int>(std::lround(value() * static_cast<float>(kMaxSteps - 1)));
}

void QX_Multi_Lev::draw(toolkit::DrawContext& context) {
    context.fillRect(rect(), kBackground);
    for (int i = 0; i < steps_; ++i) {
        const toolkit::Control* member = members_[static_cast<std::size_t>(i)];
        const float level = member != nullptr ? member->value() : 0.0f;
        drawn_[static_cast<std::size_t>(i)] = level;
        const int left = rect().left + i * rect().width() / steps_;
        const int right = rect().left + (i + 1) * rect().width() / steps_ - kBarGap;
        const int top = rect().bottom - static_cast<int>(std::lround(level * static_cast<float>(rect().height())));
        context.strokeRect({left + 1, rect().top + 1, right, rect().bottom - 1}, kSlot);
        context.fillRect({left, top, right, rect().bottom}, i == runningStep() ? kRunningBar : kBar);
    }
    context.strokeRect(rect(), kFrame);
}

bool QX_Multi_Lev::onMouseDown(const toolkit::MouseEvent& event) {
    if (event.button != toolkit::MouseButton::Left || steps_ == 0) return false;
    dragging_ = true;
    last_ = event.position;
    sweepTo(event.position);
    return true;
}

void QX_Multi_Lev::onMouseMove(const toolkit::MouseEvent& event) {
    if (dragging_) sweepTo(event.position);
    readOut(stepAt(event.position.x));
}

void QX_Multi_Lev::onMouseUp(const toolkit::MouseEvent&) { dragging_ = false; }

void QX_Multi_Lev::sweepTo(toolkit::Point p) {
    const int from = stepAt(last_.x);
    const int to = stepAt(p.x);
    const float fromLevel = levelAt(last_.y);
    const float toLevel = levelAt(p.y);
    const int direction = to >= from ? 1 : -1;
    for (int step = from;; step += direction) {
        const float along = to == from ? 1.0f : static_cast<float>(step - from) / static_cast<float>(to - from);
        setStep(step, fromLevel + (toLevel - fromLevel) * along);
        if (step == to) break;
    }
    last_ = p;
    readOut(to);
    invalidate();
}

void QX_Multi_Lev::setStep(int step, float level) {
    toolkit::Control* member = members_[static_cast<std::size_t>(step)];
    if (member == nullptr) return;
    member->beginEdit();
    member->changeValue(level);
    member->endEdit();
}

void QX_Multi_Lev::readOut(int step) {
    const toolkit::Control* member = members_[static_cast<std::size_t>(step)];
    if (member == nullptr) return;
    char text[48];
    std::snprintf(text, sizeof text, "Level %d: %3.3f", step + 1, static_cast<double>(member->value()));
    setTooltip(text);
}

void QX_Multi_Lev::onIdle() {
    for (int i = 0; i < steps_; ++i) {
        const toolkit::Control* member = members_[static_cast<std::size_t>(i)];
        if (member != nullptr && member->value() != drawn_[static_cast<std::size_t>(i)]) {
            invalidate();
            return;
        }
    }
}
