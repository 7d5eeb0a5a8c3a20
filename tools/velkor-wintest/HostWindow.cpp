#include "HostWindow.h"

HostWindow::HostWindow(const wchar_t* className, int width, int height) : className_(className) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = className;
    RegisterClassExW(&windowClass);
    handle_ = CreateWindowExW(0, className, L"velkor-wintest", WS_OVERLAPPEDWINDOW, 0, 0, width, height, nullptr,
                              nullptr, windowClass.hInstance, nullptr);
}

HostWindow::~HostWindow() {
    if (handle_ != nullptr) {
        DestroyWindow(handle_);
    }
    UnregisterClassW(className_, GetModuleHandleW(nullptr));
}
