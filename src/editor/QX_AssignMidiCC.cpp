#include "editor/QX_AssignMidiCC.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "editor/EditorLayout.h"
#include "params/ControlDescriptor.h"
#include "toolkit/Frame.h"

namespace {

constexpr int kNrpnCodeOffset = 200;  // codes from here on are NRPN numbers
constexpr int kTitleFontPx = 12;
constexpr int kFieldFontPx = 12;
constexpr int kButtonRadius = 3;
constexpr int kCaptionGap = 8;  // between the code field and its caption
constexpr char kConfirmLabel[] = "Assign";
constexpr char kFieldCaption[] = "Controller";
constexpr toolkit::Color kBody{40, 42, 48};
constexpr toolkit::Color kTitleColor{236, 236, 236};
constexpr toolkit::Color kFieldFill{24, 26, 30};
constexpr toolkit::Color kFieldBorder{90, 94, 102};
constexpr toolkit::Color kCodeColor{236, 200, 120};
constexpr toolkit::Color kButtonFill{214, 128, 40};
constexpr toolkit::Color kButtonText{20, 20, 20};

}  // namespace

QX_AssignMidiCC::QX_AssignMidiCC(MidiLearnTarget& target, std::shared_ptr<const toolkit::Bitmap> background)
    : View(toolkit::Rect::fromSize(0, 0, layout::kLearnPanel.width, layout::kLearnPanel.height)),
      target_(target),
      background_(std::move(background)) {
    setVisible(false);
    setWantsIdle(true);
}

void QX_AssignMidiCC::openFor(int id, int code, toolkit::Point clicked, const toolkit::Rect& editorBounds) {
    if (id < 0 || id >= control::kHostParameterCount) return;
    const int width = rect().width();
    const int height = rect().height();
    // Centred on the click, then pushed back inside; the top-left corner wins when it cannot fit.
    const int left = std::max(editorBounds.left, std::min(clicked.x - width / 2, editorBounds.right - width));
    const int top = std::max(editorBounds.top, std::min(clicked.y - height / 2, editorBounds.bottom - height));
    setRect(toolkit::Rect::fromSize(left, top, width, height));
    id_ = id;
    pending_ = code;
    // Only a controller moved from now on is learnt.
    target_.clearLastController();
    setVisible(true);
    invalidate();
}

std::string QX_AssignMidiCC::codeText(int code) {
    if (code < 0) return " None ";
    char text[24];
    if (code >= kControllerNumbers) {
        std::snprintf(text, sizeof text, "nrpn: %d", code - kNrpnCodeOffset);
    } else {
        std::snprintf(text, sizeof text, "CC: %d", code);
    }
    return text;
}

void QX_AssignMidiCC::draw(toolkit::DrawContext& context) {
    if (background_) {
        context.drawBitmap(*background_, background_->bounds(), rect().topLeft());
    } else {
        context.fillRect(rect(), kBody);
    }
    if (id_ != kNone) {
        // At the top of its area, so it sits in the background's title strip, right of the
        // strip's own caption, and clear of the line under the strip.
        context.drawText(target_.parameterName(id_), area(kTitleArea),
                         toolkit::Font::nearest(kTitleFontPx, toolkit::FontWeight::Bold), kTitleColor,
                         toolkit::HAlign::Right, toolkit::VAlign::Top);
    }
    const toolkit::Font font = toolkit::Font::nearest(kFieldFontPx);
    const toolkit::Rect caption{kTitleArea.left, kCodeField.top, kCodeField.left - kCaptionGap, kCodeField.bottom};
    context.drawText(kFieldCaption, area(caption), font, kTitleColor, toolkit::HAlign::Right);
    context.fillRect(area(kCodeField), kFieldFill);
    context.strokeRect(area(kCodeField), kFieldBorder);
    context.drawText(codeText(pending_), area(kCodeField), font, kCodeColor, toolkit::HAlign::Center);
    context.fillRoundedRect(area(kConfirmArea), kButtonRadius, kButtonFill);
    context.drawText(kConfirmLabel, area(kConfirmArea), font, kButtonText, toolkit::HAlign::Center);
}

bool QX_AssignMidiCC::onMouseDown(const toolkit::MouseEvent& event) {
    if (event.button != toolkit::MouseButton::Left || id_ == kNone) return false;
    if (area(kCodeField).contains(event.position)) {
        // The menu opens on the release: it may cover the field, and a release over it would pick
        // the item that happened to be under the pointer.
        fieldPressed_ = true;
        return true;
    }
    if (area(kConfirmArea).contains(event.position)) {
        confirm();
        return true;
    }
    return false;
}

void QX_AssignMidiCC::onMouseUp(const toolkit::MouseEvent& event) {
    if (std::exchange(fieldPressed_, false) && area(kCodeField).contains(event.position)) openMenu();
}

void QX_AssignMidiCC::onIdle() {
    if (id_ == kNone) return;
    const int learnt = target_.lastController();
    if (learnt < 0 || learnt == pending_) return;
    pending_ = learnt;
    invalidate(area(kCodeField));
}

void QX_AssignMidiCC::openMenu() {
    if (frame() == nullptr) return;
    // A controller that moved before the menu must not overwrite the choice made in it.
    target_.clearLastController();
    menu_.clear();
    menu_.addItem("None", pending_ < 0);
    char text[24];
    for (int cc = 0; cc < kControllerNumbers; ++cc) {
        std::snprintf(text, sizeof text, "CC %d", cc);
        menu_.addItem(text, cc == pending_);
    }
    const toolkit::Rect field = area(kCodeField).offset(parentOrigin());
    menu_.popup(*frame(), {field.left, field.bottom}, [this](int item) { choose(item); });
}

void QX_AssignMidiCC::choose(int item) {
    if (item == toolkit::PopupMenu::kDismissed) return;
    pending_ = item - 1;
    invalidate(area(kCodeField));
}

void QX_AssignMidiCC::confirm() {
    target_.assign(id_, pending_);
    id_ = kNone;
    setVisible(false);
}
