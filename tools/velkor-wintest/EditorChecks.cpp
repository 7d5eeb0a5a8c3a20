#include "EditorChecks.h"

#include <windows.h>

#include <string>

#include "HostWindow.h"
#include "PluginInstance.h"

namespace {

constexpr wchar_t kHostClassName[] = L"VelkorWintestHost";
constexpr ULONGLONG kPumpMs = 100;    // about six of the editor's 16 ms ticks
constexpr int kFewestTicks = 3;       // wine's timers may run late, never fail to run
constexpr DWORD kWaitSliceMs = 5;

// Runs the host's message loop for `ms` and counts the timer messages posted to `window`.
int pumpCountingTicks(HWND window, ULONGLONG ms) {
    int ticks = 0;
    const ULONGLONG end = GetTickCount64() + ms;
    while (GetTickCount64() < end) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != 0) {
            ticks += message.message == WM_TIMER && message.hwnd == window ? 1 : 0;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kWaitSliceMs, QS_ALLINPUT);
    }
    return ticks;
}

}  // namespace

EditorChecks::EditorChecks(const PluginLibrary& library, CheckLog& log)
    : entry_(library.entry("VSTPluginMain")), log_(log) {}

void EditorChecks::opensTicksAndCloses() {
    const HostWindow hostWindow(kHostClassName, 1200, 800);
    const HWND host = hostWindow.handle();
    if (!log_.check(host != nullptr, "editor: the host's window opens", std::to_string(GetLastError()))) {
        return;
    }
    {
        PluginInstance instance(entry_);
        // Shown, so the editor's window is painted as well as ticked.
        ShowWindow(host, SW_SHOWNOACTIVATE);
        const vst::intptr opened = instance.dispatch(vst::effEditOpen, 0, 0, host);
        log_.check(opened != 0, "editor: effEditOpen on a window answers true");
        const HWND editor = GetWindow(host, GW_CHILD);
        if (log_.check(editor != nullptr, "editor: effEditOpen puts a child window in the host's")) {
            const int ticks = pumpCountingTicks(editor, kPumpMs);
            log_.check(ticks >= kFewestTicks, "editor: timer ticks reach the editor's window while the host pumps",
                       std::to_string(ticks) + " ticks in " + std::to_string(kPumpMs) + " ms");
        }
        instance.dispatch(vst::effEditClose);
        log_.check(GetWindow(host, GW_CHILD) == nullptr && (editor == nullptr || IsWindow(editor) == 0),
                   "editor: effEditClose leaves no window behind");
    }
}
