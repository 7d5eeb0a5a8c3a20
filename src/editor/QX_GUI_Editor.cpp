#include "editor/QX_GUI_Editor.h"

#include <cstdio>
#include <string>

#include "editor/EditorBuilder.h"
#include "editor/EditorLayout.h"
#include "editor/EditorPicture.h"
#include "editor/QX_AssignMidiCC.h"
#include "editor/QX_CTextEntry.h"
#include "editor/QX_GUI_TextOnly.h"
#include "editor/QX_GlobalNameDisplay.h"
#include "editor/QX_GlobalNumberDisplay.h"
#include "host/QX_DSP_VST.h"
#include "params/ControlTable.h"
#include "params/ParameterLookups.h"
#include "platform/Platform.h"

namespace {

constexpr int kPanelSelect = 355;  // set to engineering 1.0 at every open
constexpr int kLastTouchedName = 386;
constexpr int kLastTouchedValue = 387;
constexpr int kMidiLearn = 450;

// The plug-in's text call for a row's slot: program 0's record for the one global text
// ("BankFile", slot 0), the current program's otherwise.
int programTextSlot(int id) {
    const int slot = ParameterLookups::get().textSlot(id);
    return (slot & kGlobalTextSlot) != 0 ? -1 : slot;
}
constexpr toolkit::Color kBackgroundWithoutArt{28, 30, 34};

}  // namespace

QX_GUI_Editor::QX_GUI_Editor(QX_DSP_VST& plugin)
    : AEffGUIEditor(&plugin, layout::kEditorWidth, layout::kEditorHeight),
      plugin_(plugin),
      commands_(plugin, chooser_),
      learnTarget_(plugin),
      linkOpener_(platform::openLink) {}

QX_GUI_Editor::~QX_GUI_Editor() { close(); }

bool QX_GUI_Editor::open(void* parentWindow) {
    if (isOpen()) {
        close();
    }
    AEffGUIEditor::open(parentWindow);
    build();
    bringToCurrentProgram();
    plugin_.takeRequestedLink();  // named but not opened before the last close: too late now
    if (parentWindow != nullptr) {
        window_ = platform::openEditorWindow(parentWindow, layout::kEditorWidth, layout::kEditorHeight, *this);
        shownOn_.store(window_.get(), std::memory_order_release);
    }
    return true;
}

void QX_GUI_Editor::close() {
    if (!isOpen()) {
        return;
    }
    // The window's thread is joined here, so nothing touches the views after this line.
    shownOn_.store(nullptr, std::memory_order_release);
    window_.reset();
    chooser_.detach();
    learnPanel_ = nullptr;
    frame_.reset();
    views_.reset();
    creditsLinks_.reset();
    AEffGUIEditor::close();
}

void QX_GUI_Editor::build() {
    const auto table = controlTable();
    frame_ = std::make_unique<toolkit::Frame>(layout::kEditorWidth, layout::kEditorHeight);
    frame_->setBackgroundColor(kBackgroundWithoutArt);
    frame_->setBackgroundBitmap(bitmaps_.get(table[0].bitmap));
    frame_->setTooltipDelay(toolkit::Frame::kTooltipDelayMs);
    views_ = std::make_unique<EditorViews>();
    EditorBuilder(bitmaps_, *this, *views_).build(table, *frame_);
    creditsLinks_ = std::make_unique<CreditsLinks>(plugin_);
    // Added last, so it lies above every panel when it opens.
    learnPanel_ = frame_->addView(
        std::make_unique<QX_AssignMidiCC>(learnTarget_, bitmaps_.get(layout::kLearnPanel.bitmap)));
    if (const ControlDescriptor* row = ParameterLookups::get().descriptor(kMidiLearn); row && row->tooltip) {
        learnPanel_->setTooltip(row->tooltip);
    }
    chooser_.attach(*frame_, views_->menuAnchor, [this](int command) { commands_.command(command, 1.0f); });
    for (int id = 0; id <= control::kLastStoreParameter; ++id) {
        auto* field = dynamic_cast<QX_CTextEntry*>(views_->slots.at(id));
        if (field == nullptr || ParameterLookups::get().textSlot(id) == kNoTextSlot) {
            continue;
        }
        const int slot = programTextSlot(id);
        field->setSource([this, slot] {
            char text[kTextSlotBytes];
            plugin_.getProgramText(text, slot);
            return std::string(text);
        });
        field->setCommitted([this, slot](const std::string& text) { plugin_.setProgramText(text.c_str(), slot); });
    }
    if (auto* preset = dynamic_cast<QX_GUI_TextOnly*>(views_->slots.at(kParamPresetName))) {
        preset->setOnRename([this](const std::string& name) {
            std::string copy = name;
            plugin_.setProgramName(copy.data());
        });
        preset->setPrograms(
            kProgramCount,
            [this](int program) {
                char number[16];
                std::snprintf(number, sizeof number, "%03d ", program + 1);
                return std::string(number) + plugin_.programName(program);
            },
            // The preset name's own command: its value is the program number itself.
            [this](int program) { commands_.command(ProgramCommands::kSelectProgram, static_cast<float>(program)); });
    }
}

void QX_GUI_Editor::bringToCurrentProgram() {
    loading_ = true;
    // Whatever waits is older than the values read now.
    mailbox_.discardPending();
    // Editor-only controls (tabs, panel buttons) come back as they were left; the first LFO tab
    // is chosen again below.
    mailbox_.forEachKnown([this](int index, float value) {
        if (index >= control::kHostParameterCount) {
            deliver(index, value);
        }
    });
    for (int index = 0; index < control::kHostParameterCount; ++index) {
        deliver(index, plugin_.getParameter(index));
    }
    plugin_.notifyEditor(kParamPresetName, static_cast<float>(plugin_.getProgram()));
    plugin_.setParameterFromModule(kPanelSelect, 1.0f, false);
    collectPending();
    // The values delivered directly above never went through the mailbox.
    views_->panels.refresh(views_->slots);
    loading_ = false;
}

void QX_GUI_Editor::setParameter(int index, float value) { mailbox_.post(index, value); }

void QX_GUI_Editor::deliver(int index, float value) {
    if (index == kParamPresetName) {
        showPresetName(static_cast<int>(value));
        showProgramTexts();
        return;
    }
    if (toolkit::Control* shown = views_->slots.at(index)) {
        shown->setValue(value);
        views_->panels.selected(*shown, views_->slots);
    }
}

void QX_GUI_Editor::collectPending() {
    const bool delivered = mailbox_.collect([this](int index, float value) { deliver(index, value); }) > 0;
    // Panels follow values, and nothing else moves them. Idle hooks answer a value in the pass
    // right after it (a button hub relights its members, which open panels), so the panels
    // follow once more on the next tick.
    if (delivered || deliveredLastTick_) {
        views_->panels.refresh(views_->slots);
    }
    deliveredLastTick_ = delivered;
}

toolkit::Control* QX_GUI_Editor::control(int tag) const { return views_ ? views_->slots.at(tag) : nullptr; }

void QX_GUI_Editor::learnRequested(toolkit::Control& control, toolkit::Point where) {
    int id = control.tag();
    if (id >= control::kHostParameterCount) {
        // An editor-only control learns for the first parameter it works through.
        id = -1;
        if (const auto found = views_->groupMembers.find(control.tag()); found != views_->groupMembers.end()) {
            for (const int member : found->second) {
                if (member >= 1 && member < control::kHostParameterCount) {
                    id = member;
                    break;
                }
            }
        }
        if (id < 0) {
            return;
        }
    }
    learnPanel_->openFor(id, learnTarget_.assignedCode(id), where, frame_->rect());
}

bool QX_GUI_Editor::isPanelOpen(int number) const { return views_ && views_->panels.isOpen(number); }

// ---------------------------------------------------------------- user gestures

void QX_GUI_Editor::valueChanged(toolkit::Control& control) {
    if (loading_) {
        return;
    }
    bool randomises = false;
    for (const CommandLink& link : views_->links) {
        randomises |= link.button == control.tag() && link.command == control::kRandomiseCommand &&
                      views_->randomGroups.contains(link.target);
    }
    // A randomise button works through the members' controls, so the host hears every member;
    // the engine's own randomise path is for when no editor runs. A link control reaches the
    // editor's own link module instead.
    if (!creditsLinks_->deliver(control) && !randomises) {
        plugin_.setParameterAutomated(control.tag(), control.value());
    }
    views_->panels.controlChanged(control, views_->slots);
    showLastTouched(control);
    runLinks(control);
}

void QX_GUI_Editor::runLinks(const toolkit::Control& control) {
    for (const CommandLink& link : views_->links) {
        if (link.button != control.tag()) {
            continue;
        }
        if (const auto group = views_->randomGroups.find(link.target); group != views_->randomGroups.end()) {
            if (link.command == control::kRandomiseCommand) {
                group->second->triggered(control.value(), plugin_.sharedRandom);
            }
        } else if (link.target == views_->commandTarget) {
            commands_.command(link.command, control.value());
        }
    }
}

void QX_GUI_Editor::showLastTouched(const toolkit::Control& control) {
    const ParameterLookups& lookups = ParameterLookups::get();
    const ControlDescriptor* row = lookups.descriptor(control.tag());
    if (row == nullptr || row->name == nullptr) {
        return;
    }
    if (auto* name = dynamic_cast<QX_GlobalNameDisplay*>(views_->slots.at(kLastTouchedName))) {
        name->setText(row->name);
    }
    if (auto* number = dynamic_cast<QX_GlobalNumberDisplay*>(views_->slots.at(kLastTouchedValue))) {
        const float shaped = ParameterLookups::applyCurve(lookups.curve(control.tag()), control.value());
        number->setShownValue(row->min + (row->max - row->min) * shaped);
    }
}

void QX_GUI_Editor::showPresetName(int program) {
    auto* preset = dynamic_cast<QX_GUI_TextOnly*>(views_->slots.at(kParamPresetName));
    if (preset != nullptr) {
        preset->showProgram(program);
    }
}

void QX_GUI_Editor::showProgramTexts() {
    for (int id = 0; id <= control::kLastStoreParameter; ++id) {
        if (auto* field = dynamic_cast<QX_CTextEntry*>(views_->slots.at(id))) {
            field->refresh();
        }
    }
}

bool QX_GUI_Editor::drawPicture(EditorPicture& picture) {
    picture.width = layout::kEditorWidth;
    picture.height = layout::kEditorHeight;
    const std::int64_t bytes = std::int64_t{4} * picture.width * picture.height;
    if (window_ != nullptr || picture.rgba == nullptr || picture.capacity < bytes) {
        return false;
    }
    const bool wasOpen = isOpen();
    if (!wasOpen) {
        open(nullptr);
    }
    tick();
    std::uint8_t* out = picture.rgba;
    for (const toolkit::Pixel& p : frame_->framebuffer().pixels()) {
        // Premultiplied in memory, straight in the picture.
        const auto straight = [&](std::uint8_t c) {
            return static_cast<std::uint8_t>(p.a == 0 ? 0 : (c * 255 + p.a / 2) / p.a);
        };
        *out++ = straight(p.r);
        *out++ = straight(p.g);
        *out++ = straight(p.b);
        *out++ = p.a;
    }
    if (!wasOpen) {
        close();
    }
    return true;
}

// ---------------------------------------------------------------- idle passes

void QX_GUI_Editor::tick() {
    collectPending();
    openRequestedLink();
    chooser_.idle();
    const std::vector<toolkit::Rect>& regions = frame_->idle();
    if (platform::EditorWindow* window = shownOn_.load(std::memory_order_acquire)) {
        for (const toolkit::Rect& region : regions) {
            window->show(frame_->framebuffer(), region);
        }
    }
}

// Runs on the window's timer thread or the host's idle call, never on the audio thread.
void QX_GUI_Editor::openRequestedLink() {
    if (const char* link = plugin_.takeRequestedLink()) {
        linkOpener_(link);
    }
}

void QX_GUI_Editor::idle() {
    if (frame_ != nullptr && window_ == nullptr) {
        tick();
    }
}

void QX_GUI_Editor::onTimer() {
    // Ticks before openEditorWindow has returned wait: their pixels would have nowhere to go.
    if (shownOn_.load(std::memory_order_acquire) != nullptr) {
        tick();
    }
}

void QX_GUI_Editor::onMouseDown(const toolkit::MouseEvent& event) { frame_->mouseDown(event); }

void QX_GUI_Editor::onMouseMove(const toolkit::MouseEvent& event) { frame_->mouseMove(event); }

void QX_GUI_Editor::onMouseUp(const toolkit::MouseEvent& event) { frame_->mouseUp(event); }

void QX_GUI_Editor::onMouseLeft() { frame_->mouseLeft(); }

void QX_GUI_Editor::onWheel(const toolkit::MouseEvent& event, float delta) { frame_->wheel(event, delta); }

void QX_GUI_Editor::onKeyDown(const toolkit::KeyEvent& event) { frame_->keyDown(event); }

void QX_GUI_Editor::onExposed() { frame_->invalidateRegion(frame_->framebuffer().bounds()); }
