#include "editor/ControlFactory.h"

#include "editor/BitmapCache.h"

// Until the control classes exist every visible row shows its bitmap as a plain control.
std::unique_ptr<toolkit::Control> makeControl(const ControlDescriptor& row, const ControlStyle& style,
                                              BitmapCache& bitmaps, toolkit::ControlListener* listener) {
    if (row.kind >= control::kFirstDirectiveKind || row.kind == control::kFloatStore) return nullptr;
    auto bitmap = bitmaps.get(row.bitmap);
    if (!bitmap) return nullptr;
    auto strip = std::make_shared<toolkit::Bitmap>(*bitmap);
    strip->setFrames(style.frames);
    const int tag = static_cast<int>(row.id & control::kIdMask);
    auto made = std::make_unique<toolkit::Control>(
        toolkit::Rect::fromSize(row.x, row.y, strip->frameWidth(), strip->frameHeight()), tag, listener);
    made->setBitmap(std::move(strip));
    if (row.tooltip != nullptr) made->setTooltip(row.tooltip);
    return made;
}
