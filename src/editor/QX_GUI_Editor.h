// The plug-in's editor: builds its window from the control table, keeps the controls and the
// plug-in's parameters in step both ways, and carries the editor-only controls (presets, bank
// menu, panels, randomise groups, read-outs of the last touched control).
//
// Threads: the host opens and closes it; the window backend calls it on its own thread; the
// plug-in tells it new values from any thread. Values wait in a mailbox and reach the views on
// the thread that owns them: the window's timer, or the host's idle call when there is no window.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "editor/AEffGUIEditor.h"
#include "editor/BitmapCache.h"
#include "editor/CreditsLinks.h"
#include "editor/DesktopFileChooser.h"
#include "editor/EditorViews.h"
#include "editor/MidiLearnRequests.h"
#include "editor/MidiLearnTargetVst.h"
#include "editor/ParameterMailbox.h"
#include "editor/ProgramCommands.h"
#include "platform/EditorWindow.h"
#include "toolkit/ControlListener.h"
#include "toolkit/Frame.h"

class QX_DSP_VST;
struct EditorPicture;

class QX_AssignMidiCC;

class QX_GUI_Editor : public AEffGUIEditor,
                      public toolkit::ControlListener,
                      public platform::EditorWindowClient,
                      public MidiLearnRequests {
public:
    explicit QX_GUI_Editor(QX_DSP_VST& plugin);
    ~QX_GUI_Editor() override;

    // Without a parent window the editor is built and kept in step all the same (headless).
    bool open(void* parentWindow) override;
    void close() override;
    // The host's idle call: runs the idle pass here when no window runs its own timer.
    void idle() override;

    // Any thread; shown on the next idle pass.
    void setParameter(int index, float value);

    // A user gesture on a control.
    void valueChanged(toolkit::Control& control) override;

    // A right click on a parameter's control opens the learn panel for it.
    void learnRequested(toolkit::Control& control, toolkit::Point where) override;

    // The window backend, on its thread.
    void onTimer() override;
    void onMouseDown(const toolkit::MouseEvent& event) override;
    void onMouseMove(const toolkit::MouseEvent& event) override;
    void onMouseUp(const toolkit::MouseEvent& event) override;
    void onMouseLeft() override;
    void onWheel(const toolkit::MouseEvent& event, float delta) override;
    void onKeyDown(const toolkit::KeyEvent& event) override;
    void onExposed() override;

    // Draws the editor of the current program into `picture`, opening it headless for the
    // purpose when it is closed; false while a window shows it or when the buffer is too small.
    bool drawPicture(EditorPicture& picture);

    // While open (null while closed): the views, for tests and the picture tool.
    toolkit::Frame* frame() const { return frame_.get(); }
    toolkit::Control* control(int tag) const;
    bool isPanelOpen(int number) const;
    QX_AssignMidiCC* learnPanel() const { return learnPanel_; }
    // The file dialogs and menus of the program commands.
    DesktopFileChooser& fileChooser() { return chooser_; }

    // What opens the links the engine asks for (the desktop's browser or mail program); tests put
    // a recorder in before the editor opens.
    using LinkOpener = std::function<void(const std::string& link)>;
    void setLinkOpener(LinkOpener opener) { linkOpener_ = std::move(opener); }

private:
    void build();
    void bringToCurrentProgram();
    void deliver(int index, float value);
    void collectPending();
    void tick();
    void openRequestedLink();
    void runLinks(const toolkit::Control& control);
    void showLastTouched(const toolkit::Control& control);
    void showPresetName(int program);
    void showProgramTexts();

    QX_DSP_VST& plugin_;
    BitmapCache bitmaps_;
    ParameterMailbox mailbox_;
    DesktopFileChooser chooser_;
    ProgramCommands commands_;  // lives as long as the plug-in: its clipboard survives a close
    std::unique_ptr<toolkit::Frame> frame_;
    std::unique_ptr<EditorViews> views_;
    std::unique_ptr<CreditsLinks> creditsLinks_;
    MidiLearnTargetVst learnTarget_;
    QX_AssignMidiCC* learnPanel_ = nullptr;  // the frame's top child while open
    std::unique_ptr<platform::EditorWindow> window_;
    // The window once openEditorWindow has returned; its thread may tick before that.
    std::atomic<platform::EditorWindow*> shownOn_{nullptr};
    LinkOpener linkOpener_;
    bool loading_ = false;  // the sync pass at open: no control change is a user's
    bool deliveredLastTick_ = false;
};
