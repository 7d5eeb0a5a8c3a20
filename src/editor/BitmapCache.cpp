#include "editor/BitmapCache.h"

#include "platform/Platform.h"

std::shared_ptr<const toolkit::Bitmap> BitmapCache::get(const char* name) {
    if (name == nullptr || *name == '\0') return nullptr;
    if (const auto found = bitmaps_.find(name); found != bitmaps_.end()) return found->second;
    std::shared_ptr<const toolkit::Bitmap> bitmap;
    if (auto decoded = toolkit::Bitmap::fromPng(platform::findResource(name))) {
        bitmap = std::make_shared<const toolkit::Bitmap>(std::move(*decoded));
    }
    bitmaps_.emplace(name, bitmap);
    return bitmap;
}
