#include "velkor-render/NoteList.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <stdexcept>
#include <string>

namespace render {

namespace {

constexpr int kMaxKey = 127;
constexpr int kMinVelocity = 1;
constexpr int kMaxVelocity = 127;
constexpr int kMaxChannel = 16;
constexpr int kMinFields = 3;
constexpr int kMaxFields = 5;
constexpr int kSemitonesPerOctave = 12;
constexpr std::uint8_t kNoteOn = 0x90;
constexpr std::uint8_t kNoteOff = 0x80;
constexpr std::uint8_t kReleaseVelocity = 64;

struct NoteLetter {
    char letter;
    int semitone;  // above C
};
constexpr NoteLetter kNoteLetters[] = {
    {'C', 0}, {'D', 2}, {'E', 4}, {'F', 5}, {'G', 7}, {'A', 9}, {'B', 11},
};

std::string_view trim(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

template <typename T>
bool parseNumber(std::string_view text, T& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

// "C4" = 60, so octave -1 starts at key 0.
bool parseNoteName(std::string_view text, int& key) {
    if (text.empty()) {
        return false;
    }
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    const auto* found = std::find_if(std::begin(kNoteLetters), std::end(kNoteLetters),
                                     [letter](const NoteLetter& n) { return n.letter == letter; });
    if (found == std::end(kNoteLetters)) {
        return false;
    }
    int semitone = found->semitone;
    text.remove_prefix(1);
    if (!text.empty() && (text[0] == '#' || text[0] == 'b')) {
        semitone += text[0] == '#' ? 1 : -1;
        text.remove_prefix(1);
    }
    int octave = 0;
    if (!parseNumber(text, octave)) {
        return false;
    }
    key = (octave + 1) * kSemitonesPerOctave + semitone;
    return true;
}

class EntryParser {
public:
    EntryParser(std::string_view entry, int index) : entry_(entry), index_(index) {}

    [[noreturn]] void fail(const std::string& why) const {
        throw std::invalid_argument("note " + std::to_string(index_) + " \"" + std::string(entry_) +
                                    "\": " + why);
    }

    int key(std::string_view text) const {
        int key = 0;
        if (!parseNumber(text, key) && !parseNoteName(text, key)) {
            fail("key \"" + std::string(text) + "\" is neither a number nor a note name");
        }
        if (key < 0 || key > kMaxKey) {
            fail("key " + std::to_string(key) + " is outside 0..127");
        }
        return key;
    }

    double seconds(std::string_view text, std::string_view field) const {
        double value = 0.0;
        if (!parseNumber(text, value) || !std::isfinite(value)) {
            fail(std::string(field) + " \"" + std::string(text) + "\" is not a number of seconds");
        }
        return value;
    }

    int integer(std::string_view text, std::string_view field, int min, int max) const {
        int value = 0;
        if (!parseNumber(text, value) || value < min || value > max) {
            fail(std::string(field) + " \"" + std::string(text) + "\" is not a whole number in " +
                 std::to_string(min) + ".." + std::to_string(max));
        }
        return value;
    }

private:
    std::string_view entry_;
    int index_;
};

NoteList::Note parseEntry(std::string_view entry, int index) {
    const EntryParser parser(entry, index);
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t colon = entry.find(':', start);
        fields.push_back(trim(entry.substr(start, colon - start)));
        if (colon == std::string_view::npos) {
            break;
        }
        start = colon + 1;
    }
    if (fields.size() < kMinFields || fields.size() > kMaxFields) {
        parser.fail("expected KEY:START:LENGTH[:VELOCITY[:CHANNEL]]");
    }

    NoteList::Note note{parser.key(fields[0]), parser.seconds(fields[1], "start"),
                        parser.seconds(fields[2], "length"), NoteList::kDefaultVelocity,
                        NoteList::kDefaultChannel};
    if (note.startSeconds < 0.0) {
        parser.fail("start must not be negative");
    }
    if (note.lengthSeconds <= 0.0) {
        parser.fail("length must be above 0");
    }
    if (fields.size() > 3) {
        note.velocity = parser.integer(fields[3], "velocity", kMinVelocity, kMaxVelocity);
    }
    if (fields.size() > 4) {
        note.channel = parser.integer(fields[4], "channel", 1, kMaxChannel);
    }
    return note;
}

}  // namespace

NoteList NoteList::parse(std::string_view text) {
    NoteList list;
    std::size_t start = 0;
    int index = 1;
    while (true) {
        const std::size_t comma = text.find(',', start);
        const std::string_view entry = trim(text.substr(start, comma - start));
        if (entry.empty()) {
            throw std::invalid_argument("note " + std::to_string(index) + " is empty");
        }
        list.notes_.push_back(parseEntry(entry, index));
        if (comma == std::string_view::npos) {
            break;
        }
        start = comma + 1;
        ++index;
    }
    return list;
}

Sequence NoteList::toSequence(double bpm) const {
    Sequence sequence;
    sequence.tempo = TempoMap(bpm);
    struct Pending {
        TimedMidiEvent event;
        bool isOn;
    };
    std::vector<Pending> pending;
    for (const Note& note : notes_) {
        const auto channel = static_cast<std::uint8_t>(note.channel - 1);
        const auto key = static_cast<std::uint8_t>(note.key);
        const double end = note.startSeconds + note.lengthSeconds;
        pending.push_back({{note.startSeconds,
                            {static_cast<std::uint8_t>(kNoteOn | channel), key,
                             static_cast<std::uint8_t>(note.velocity)}},
                           true});
        pending.push_back(
            {{end, {static_cast<std::uint8_t>(kNoteOff | channel), key, kReleaseVelocity}}, false});
        sequence.lengthSeconds = std::max(sequence.lengthSeconds, end);
    }
    std::stable_sort(pending.begin(), pending.end(), [](const Pending& a, const Pending& b) {
        if (a.event.seconds != b.event.seconds) return a.event.seconds < b.event.seconds;
        return !a.isOn && b.isOn;
    });
    for (const Pending& p : pending) {
        sequence.events.push_back(p.event);
    }
    return sequence;
}

}  // namespace render
