#include "editor/AEffGUIEditor.h"

AEffGUIEditor::AEffGUIEditor(AudioEffect* effect, int width, int height) : AEffEditor(effect) {
    rect_.top = 0;
    rect_.left = 0;
    rect_.bottom = static_cast<vst::int16>(height);
    rect_.right = static_cast<vst::int16>(width);
}

bool AEffGUIEditor::getRect(vst::ERect** rect) {
    *rect = &rect_;
    return true;
}

bool AEffGUIEditor::open(void* parentWindow) {
    AEffEditor::open(parentWindow);
    open_ = true;
    return true;
}

void AEffGUIEditor::close() {
    AEffEditor::close();
    open_ = false;
}
