// Every id's parameter row (everything but where the editor draws it) and the lookups built from
// the table, held to a record (data/ParameterRows.tsv), so reordering the table into editor order
// or adding layout rows cannot change what the host, the programs or the engine see.
// VELKOR_RECORD_PARAMETER_ROWS=1 rewrites the record from the current table.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "params/ParameterLookups.h"

namespace {

std::filesystem::path recordPath() {
    return std::filesystem::path(VELKOR_TESTS_DIR) / "params" / "data" / "ParameterRows.tsv";
}

// Line breaks and tabs in texts are written as \n and \t so one row stays one line.
std::string escaped(const char* text) {
    if (text == nullptr) {
        return "(null)";
    }
    std::string out;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c == '\n') {
            out += "\\n";
        } else if (*c == '\t') {
            out += "\\t";
        } else {
            out += *c;
        }
    }
    return out;
}

// One line per id that has a row: the row's own fields and the lookups derived for the id.
std::map<int, std::string> currentRows() {
    const ParameterLookups& lookups = ParameterLookups::get();
    std::map<int, std::string> rows;
    for (int id = 0; id < kParameterIds; ++id) {
        const ControlDescriptor* d = lookups.descriptor(id);
        if (d == nullptr) {
            continue;
        }
        std::ostringstream line;
        line.precision(9);
        // An option list may be shown as text or as images: the lookups are the same.
        const std::string kind = control::isOptionKind(d->kind) ? "option" : std::to_string(d->kind);
        line << id << '\t' << kind << '\t' << std::hex << d->id << std::dec << '\t' << d->arg << '\t'
             << d->min << '\t' << d->max << '\t' << d->engMin << '\t' << d->engMax << '\t' << escaped(d->name)
             << '\t' << escaped(d->options) << '\t' << escaped(d->tooltip) << '\t' << lookups.curve(id) << '\t'
             << lookups.optionCount(id) << '\t' << lookups.textSlot(id);
        rows[id] = line.str();
    }
    return rows;
}

TEST(ParamsParameterRows, MatchTheRecord) {
    const std::map<int, std::string> current = currentRows();
    if (const char* record = std::getenv("VELKOR_RECORD_PARAMETER_ROWS"); record != nullptr && *record == '1') {
        std::ofstream out(recordPath());
        out << "# id, kind (option lists as \"option\": their control may show text or images), id with flags (hex), arg, min, max, engMin, engMax, name, options, tooltip, curve, "
               "option count, text slot; written by ParamsParameterRows with VELKOR_RECORD_PARAMETER_ROWS=1\n";
        for (const auto& [id, line] : current) {
            out << line << '\n';
        }
        GTEST_SKIP() << "record written";
    }
    std::ifstream in(recordPath());
    ASSERT_TRUE(in.is_open()) << recordPath();
    std::string line;
    int checked = 0;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        const int id = std::stoi(line);
        const auto found = current.find(id);
        ASSERT_NE(found, current.end()) << "id " << id << " lost its row";
        EXPECT_EQ(found->second, line);
        ++checked;
    }
    // The host parameters at least; editor-only ids may be added beside the recorded ones.
    EXPECT_GE(checked, 333);
}

}  // namespace
