// A view with a tag and a value 0..1 that reports user changes to a listener. setValue is for
// the program side (no report); changeValue is for user gestures. With a frame-strip bitmap the
// control draws the frame that shows its value.
#pragma once

#include <memory>

#include "toolkit/Bitmap.h"
#include "toolkit/ControlListener.h"
#include "toolkit/View.h"

namespace toolkit {

class Control : public View {
public:
    Control(const Rect& rect, int tag, ControlListener* listener = nullptr);

    int tag() const { return tag_; }
    ControlListener* listener() const { return listener_; }
    void setListener(ControlListener* listener) { listener_ = listener; }

    float value() const { return value_; }
    // Clamped to 0..1 (NaN reads as 0); redraws when the value changes; tells nobody.
    void setValue(float value);
    // A user gesture: sets the value and tells the listener when it changed.
    void changeValue(float value);

    float defaultValue() const { return defaultValue_; }
    void setDefaultValue(float value);

    // Gesture bracket; nested calls are counted, the listener hears the outermost pair only.
    void beginEdit();
    void endEdit();
    bool isEditing() const { return editDepth_ > 0; }

    const std::shared_ptr<const Bitmap>& bitmap() const { return bitmap_; }
    void setBitmap(std::shared_ptr<const Bitmap> bitmap);

    void draw(DrawContext& context) override;

protected:
    void notifyValueChanged();

private:
    int tag_;
    ControlListener* listener_;
    float value_ = 0.0f;
    float defaultValue_ = 0.0f;
    int editDepth_ = 0;
    std::shared_ptr<const Bitmap> bitmap_;
};

}  // namespace toolkit
