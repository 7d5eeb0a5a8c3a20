// Turns a parameter value written the way the display shows it ("0.35", "Triangle", "On") into
// the normalised value a program stores, using the same lookups the display is drawn from.
#pragma once

#include <string>
#include <string_view>

namespace bank {

class DisplayValueParser {
public:
    struct Result {
        float normalised = 0.0f;
        std::string error;  // empty on success
    };

    // The id of the program parameter with this name, or -1. Global values, text and data
    // stores, "Version" and the reserved "zFuture" ids are not program parameters here.
    static int findParameter(std::string_view name);
    // Whether any parameter of the table, stored in programs or not, has this name.
    static bool isParameterName(std::string_view name);
    // The program parameter whose name differs from `name` only in case, or an empty text.
    static std::string nameIgnoringCase(std::string_view name);

    // Option lists take an item's text; on/off switches also "On" and "Off"; every other
    // parameter takes a number in shown units, optionally followed by the unit its name carries.
    // A number must read back unchanged on the display, so it can only be as precise as the display.
    static Result parse(int id, std::string_view text);
};

}  // namespace bank
