#include "velkor-bank/ProgramSourceReader.h"

#include <algorithm>

#include "params/ProgramRecord.h"
#include "velkor-bank/DisplayValueParser.h"

namespace bank {

namespace {

constexpr std::string_view kNameKey = "program:";

std::string_view trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

std::string SourceError::text() const {
    return line > 0 ? file + ":" + std::to_string(line) + ": " + message : file + ": " + message;
}

ProgramSource ProgramSourceReader::read(std::string_view text, const std::string& file,
                                        std::vector<SourceError>& errors) {
    ProgramSource source;
    source.file = file;
    int lineNumber = 0;
    const auto fail = [&](std::string message) { errors.push_back({file, lineNumber, std::move(message)}); };
    while (!text.empty()) {
        ++lineNumber;
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        line = trim(line.substr(0, line.find('#')));
        if (line.empty()) {
            continue;
        }
        if (line.starts_with(kNameKey)) {
            const std::string_view name = trim(line.substr(kNameKey.size()));
            if (name.empty() || name.size() > static_cast<std::size_t>(kProgramNameChars)) {
                fail("a program name has 1 to " + std::to_string(kProgramNameChars) + " characters");
            } else if (!source.name.empty()) {
                fail("a second program name");
            } else {
                source.name = name;
            }
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            fail("expected \"Parameter Name = value\" or \"program: Name\"");
            continue;
        }
        const std::string_view name = trim(line.substr(0, equals));
        const std::string_view value = trim(line.substr(equals + 1));
        const int id = DisplayValueParser::findParameter(name);
        if (id < 0 && DisplayValueParser::isParameterName(name)) {
            fail("\"" + std::string(name) + "\" is not a sound value of a program (a global, text, reserved or "
                 "version value)");
            continue;
        }
        if (id < 0) {
            const std::string hint = DisplayValueParser::nameIgnoringCase(name);
            fail("unknown parameter \"" + std::string(name) + "\"" +
                 (hint.empty() ? "" : " (did you mean \"" + hint + "\"?)"));
            continue;
        }
        const auto previous = std::find_if(source.assignments.begin(), source.assignments.end(),
                                           [id](const ProgramSource::Assignment& a) { return a.id == id; });
        if (previous != source.assignments.end()) {
            fail("\"" + std::string(name) + "\" is already set on line " + std::to_string(previous->line));
            continue;
        }
        const DisplayValueParser::Result parsed = DisplayValueParser::parse(id, value);
        if (!parsed.error.empty()) {
            fail(std::string(name) + ": " + parsed.error);
            continue;
        }
        source.assignments.push_back({id, parsed.normalised, lineNumber});
    }
    return source;
}

}  // namespace bank
