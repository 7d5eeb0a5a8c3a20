// The instrument's links and which message opens which: pin 5 chooses a guide page, pin 4 opens
// the chosen page, any other pin opens its own fixed link. Shared by the link module and the
// editor's link controls, so both open the same pages.
#pragma once

#include <cstdint>

class LinkMessages {
public:
    static constexpr int kPinOpenChosen = 4;
    static constexpr int kPinChoose = 5;

    // They go to a command interpreter as they stand, so they hold no spaces, quotes or
    // characters a shell treats specially. An empty entry opens nothing. By the pin pressed:
    static constexpr const char* kPinLinks[] = {
        "https://quillmont.example/velkor/",               // 0: web page
        "",                                                // 1
        "",                                                // 2
        "mailto:velkor@quillmont.example?subject=Velkor",  // 3: e-mail form
    };
    // By the page chosen on pin 5, opened from pin 4:
    static constexpr const char* kChosenLinks[] = {
        "https://quillmont.example/velkor/manual/",
        "https://quillmont.example/velkor/sounds/",
        "https://quillmont.example/velkor/updates/",
    };

    // The link a message opens; null for a choice, a release (0) or an empty or unknown entry.
    const char* receive(int pin, std::int32_t value);

private:
    int chosen_ = 0;
};
