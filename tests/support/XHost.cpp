#include "support/XHost.h"

XHost::XHost(const std::string& displayName)
    : variable_(displayName.c_str()), display_(XOpenDisplay(displayName.c_str())) {}

XHost::~XHost() {
    if (display_ != nullptr) {
        XCloseDisplay(display_);
    }
}

Window XHost::makeTopLevel(int x, int y, int width, int height, unsigned long background) {
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = background;
    const Window window = XCreateWindow(display_, DefaultRootWindow(display_), x, y, static_cast<unsigned>(width),
                                        static_cast<unsigned>(height), 0, CopyFromParent, InputOutput,
                                        CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
    XMapWindow(display_, window);
    XSync(display_, False);
    return window;
}
