#include "editor/ControlFactory.h"

#include <string>
#include <string_view>

#include "editor/BitmapCache.h"
#include "editor/QX_AnimButton.h"
#include "editor/QX_CNumberEntry.h"
#include "editor/QX_COnOffButton.h"
#include "editor/QX_COptionsImage.h"
#include "editor/QX_COptionsText.h"
#include "editor/QX_CTextEntry.h"
#include "editor/QX_ExclusiveButton.h"
#include "editor/QX_GUI_EQ_Window.h"
#include "editor/QX_GUI_Image.h"
#include "editor/QX_GUI_Joystick.h"
#include "editor/QX_GUI_dBMeter.h"
#include "editor/QX_GUI_Multi_Button_Hub.h"
#include "editor/QX_GUI_TextOnly.h"
#include "editor/QX_GlobalNameDisplay.h"
#include "editor/QX_GlobalNumberDisplay.h"
#include "editor/QX_HV_Slider.h"
#include "editor/QX_ImagePopUp.h"
#include "editor/QX_Knob.h"
#include "editor/QX_Multi_Lev.h"
#include "editor/QX_Rotate_Knob.h"
#include "params/ParameterLookups.h"

namespace {

// Sizes of the drawn stand-ins when a row's bitmap is missing, and of text controls whose
// layout gives none.
constexpr int kSwitchWidth = 30;
constexpr int kSwitchHeight = 16;
constexpr int kButtonWidth = 44;
constexpr int kButtonHeight = 18;
constexpr int kTextWidth = 80;
constexpr int kTextHeight = 16;
constexpr int kEqWidth = 200;  // response views without a layout size
constexpr int kEqHeight = 110;
constexpr int kStepsWidth = 160;
constexpr int kStepsHeight = 60;
constexpr int kSliderLength = 80;
constexpr int kSliderThickness = 20;
constexpr int kMeterWidth = 8;
constexpr int kMeterHeight = 60;
constexpr int kPadSize = 80;
constexpr int kImageCellSize = 32;

// A switch's caption: the last word of its name, the one that tells it from its section's other
// switches ("Lfo1 Sync" is "Sync"); an on/off switch reads "On".
std::string switchCaption(std::string_view name) {
    const auto space = name.rfind(' ');
    const std::string_view last = space == std::string_view::npos ? name : name.substr(space + 1);
    if (last == "On/Off" || last == "OnOff") return "On";
    return std::string(last);
}

struct Kinds {
    unsigned first;
    unsigned last;
    bool has(unsigned kind) const { return kind >= first && kind <= last; }
};

// Control kinds by class.
constexpr Kinds kKnobKinds{0, 6};
constexpr Kinds kRotateKnobKinds{7, 12};
constexpr Kinds kSliderKinds{13, 18};
constexpr Kinds kAnimButtonKinds{19, 25};
constexpr Kinds kOnOffKinds{26, 28};
constexpr Kinds kOptionsImageKinds{33, 42};
constexpr Kinds kExclusiveKinds{30, 31};
constexpr Kinds kNumberEntryKinds{43, 52};
constexpr Kinds kTextEntryKinds{57, 64};
constexpr Kinds kImageKinds{78, 82};
constexpr Kinds kMeterKinds{90, 96};
constexpr Kinds kEqWindowKinds{114, 121};
constexpr Kinds kStepEditorKinds{122, 129};
constexpr unsigned kImagePopUpKind = 77;
constexpr unsigned kJoystickKind = 134;

struct Building {
    const ControlDescriptor& row;
    const ControlStyle& style;
    BitmapCache& bitmaps;
    toolkit::ControlListener* listener;

    int tag() const { return static_cast<int>(row.id & control::kIdMask); }

    // The row's bitmap cut into `frames`, or null.
    std::shared_ptr<toolkit::Bitmap> strip(int frames) const {
        auto shared = bitmaps.get(row.bitmap);
        if (!shared) return nullptr;
        auto cut = std::make_shared<toolkit::Bitmap>(*shared);
        cut->setFrames(frames);
        return cut;
    }

    toolkit::Rect box(const std::shared_ptr<toolkit::Bitmap>& bitmap, int width, int height) const {
        if (bitmap) return toolkit::Rect::fromSize(row.x, row.y, bitmap->frameWidth(), bitmap->frameHeight());
        return toolkit::Rect::fromSize(row.x, row.y, width, height);
    }

    toolkit::Rect textBox(int width = kTextWidth, int height = kTextHeight) const {
        return toolkit::Rect::fromSize(row.x, row.y, style.textWidth > 0 ? style.textWidth : width,
                                       style.textHeight > 0 ? style.textHeight : height);
    }

    int curveInversion() const { return (row.id & control::kInvertCurve) != 0 ? kInvertedCurve : 0; }

    template <typename T>
    std::unique_ptr<toolkit::Control> plain(const toolkit::Rect& box) const {
        return std::make_unique<T>(box, tag(), listener);
    }

    template <typename T>
    std::unique_ptr<toolkit::Control> knob(int curve) const {
        auto bitmap = strip(style.frames);
        auto made = std::make_unique<T>(box(bitmap, layout::kKnobSize, layout::kKnobSize), tag(), listener,
                                        curve + curveInversion(), row.name != nullptr ? row.name : "");
        made->setBitmap(std::move(bitmap));
        return made;
    }

    std::unique_ptr<toolkit::Control> onOff() const {
        const bool action = row.kind == control::kActionButton;
        auto bitmap = strip(2);
        auto made = std::make_unique<QX_COnOffButton>(
            box(bitmap, action ? kButtonWidth : kSwitchWidth, action ? kButtonHeight : kSwitchHeight), tag(),
            listener, action ? QX_COnOffButton::Mode::Momentary : QX_COnOffButton::Mode::Toggle);
        if (row.name != nullptr) {
            if (action) {
                made->setLabel(row.name);
            } else {
                made->setCaption(switchCaption(row.name));
            }
        }
        made->setBitmap(std::move(bitmap));
        return made;
    }

    template <typename T>
    std::unique_ptr<toolkit::Control> options() const {
        auto made = std::make_unique<T>(textBox(), tag(), listener, row.options != nullptr ? row.options : "");
        if (auto bitmap = strip(static_cast<int>(made->items().size()))) {
            made->setRect(box(bitmap, 0, 0));
            made->setBitmap(std::move(bitmap));
        }
        return made;
    }

    std::unique_ptr<toolkit::Control> exclusive() const {
        auto bitmap = strip(2);
        auto made = std::make_unique<QX_ExclusiveButton>(box(bitmap, kSwitchWidth, kSwitchHeight), tag(), listener);
        // A tab says which page it shows; a small switch has no room for that.
        if (row.name != nullptr) {
            if (made->rect().width() > kSwitchWidth) {
                made->setLabel(row.name);
                made->setLitFrameDark(true);
            } else {
                made->setCaption(switchCaption(row.name));
            }
        }
        made->setBitmap(std::move(bitmap));
        return made;
    }

    std::unique_ptr<toolkit::Control> numberEntry() const {
        const int decimals = row.arg >= 0 ? row.arg : static_cast<int>(row.kind - kNumberEntryKinds.first);
        return std::make_unique<QX_CNumberEntry>(textBox(), tag(), listener, row.min, row.max, decimals);
    }

    std::unique_ptr<toolkit::Control> slider() const {
        auto handle = strip(1);
        const int thickness = handle ? handle->frameWidth() : kSliderThickness;
        auto made = std::make_unique<QX_HV_Slider>(textBox(thickness, kSliderLength), tag(), listener,
                                                   static_cast<int>(row.kind - kSliderKinds.first) + curveInversion());
        made->setBitmap(std::move(handle));
        return made;
    }

    template <typename T>
    std::unique_ptr<toolkit::Control> framed(int width, int height) const {
        auto bitmap = strip(style.frames);
        auto made = std::make_unique<T>(box(bitmap, width, height), tag(), listener, style.frames);
        made->setBitmap(std::move(bitmap));
        return made;
    }

    std::unique_ptr<toolkit::Control> image() const {
        auto bitmap = strip(1);
        auto made = std::make_unique<QX_GUI_Image>(box(bitmap, 0, 0), tag(), listener);
        made->setBitmap(std::move(bitmap));
        return made;
    }

    std::unique_ptr<toolkit::Control> make() const {
        const unsigned kind = row.kind;
        if (kKnobKinds.has(kind)) return knob<QX_Knob>(kind == control::kFrequencyKnob ? 0 : static_cast<int>(kind));
        if (kRotateKnobKinds.has(kind)) return knob<QX_Rotate_Knob>(static_cast<int>(kind - kRotateKnobKinds.first));
        if (kSliderKinds.has(kind)) return slider();
        if (kAnimButtonKinds.has(kind)) return framed<QX_AnimButton>(kSwitchWidth, kSwitchHeight);
        if (kOnOffKinds.has(kind)) return onOff();
        if (kind == control::kOptionsText) return options<QX_COptionsText>();
        if (kOptionsImageKinds.has(kind)) return options<QX_COptionsImage>();
        if (kind == control::kButtonHub) {
            return std::make_unique<QX_GUI_Multi_Button_Hub>(toolkit::Rect::fromSize(row.x, row.y, 0, 0), tag(),
                                                             listener, ParameterLookups::get().optionCount(tag()));
        }
        if (kExclusiveKinds.has(kind)) return exclusive();
        if (kNumberEntryKinds.has(kind)) return numberEntry();
        if (kind == control::kGlobalNumberDisplay) return plain<QX_GlobalNumberDisplay>(textBox());
        if (kind == control::kGlobalNameDisplay) return plain<QX_GlobalNameDisplay>(textBox());
        // Text is no parameter value: the editor collects it through the field's own callback.
        if (kTextEntryKinds.has(kind)) return std::make_unique<QX_CTextEntry>(textBox(), tag(), nullptr);
        if (kind == control::kTextOnly) return plain<QX_GUI_TextOnly>(textBox());
        if (kind == kImagePopUpKind) return framed<QX_ImagePopUp>(kImageCellSize, kImageCellSize);
        if (kImageKinds.has(kind)) return image();
        if (kMeterKinds.has(kind)) return plain<QX_GUI_dBMeter>(textBox(kMeterWidth, kMeterHeight));
        if (kind == kJoystickKind) return plain<QX_GUI_Joystick>(textBox(kPadSize, kPadSize));
        if (kEqWindowKinds.has(kind)) return plain<QX_GUI_EQ_Window>(textBox(kEqWidth, kEqHeight));
        if (kStepEditorKinds.has(kind)) return plain<QX_Multi_Lev>(textBox(kStepsWidth, kStepsHeight));
        return nullptr;
    }
};

}  // namespace

std::unique_ptr<toolkit::Control> makeControl(const ControlDescriptor& row, const ControlStyle& style,
                                              BitmapCache& bitmaps, toolkit::ControlListener* listener) {
    if (row.kind >= control::kFirstDirectiveKind) return nullptr;
    auto made = Building{row, style, bitmaps, listener}.make();
    if (!made) return nullptr;
    if (row.tooltip != nullptr) made->setTooltip(row.tooltip);
    return made;
}
