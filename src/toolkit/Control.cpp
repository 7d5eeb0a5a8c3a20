#include "toolkit/Control.h"

#include <algorithm>

namespace toolkit {

namespace {

float clampedUnit(float value) { return value > 0.0f ? std::min(value, 1.0f) : 0.0f; }

}  // namespace

Control::Control(const Rect& rect, int tag, ControlListener* listener)
    : View(rect), tag_(tag), listener_(listener) {}

void Control::setValue(float value) {
    value = clampedUnit(value);
    if (value != value_) {
        value_ = value;
        invalidate();
    }
}

void Control::changeValue(float value) {
    const float before = value_;
    setValue(value);
    if (value_ != before) {
        notifyValueChanged();
    }
}

void Control::setDefaultValue(float value) { defaultValue_ = clampedUnit(value); }

void Control::beginEdit() {
    if (editDepth_++ == 0 && listener_ != nullptr) {
        listener_->beginEdit(*this);
    }
}

void Control::endEdit() {
    if (editDepth_ > 0 && --editDepth_ == 0 && listener_ != nullptr) {
        listener_->endEdit(*this);
    }
}

void Control::notifyValueChanged() {
    if (listener_ != nullptr) {
        listener_->valueChanged(*this);
    }
}

void Control::setBitmap(std::shared_ptr<const Bitmap> bitmap) {
    bitmap_ = std::move(bitmap);
    invalidate();
}

void Control::draw(DrawContext& context) {
    if (bitmap_) {
        context.drawBitmapFrame(*bitmap_, bitmap_->frameForValue(value_), rect().topLeft());
    }
}

}  // namespace toolkit
