#include "support/DocumentedParameters.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <utility>

namespace {

constexpr std::size_t kColumns = 10;

std::vector<std::string> split(const std::string& line, char separator) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = line.find(separator, start);
        fields.push_back(line.substr(start, end - start));
        if (end == std::string::npos) {
            return fields;
        }
        start = end + 1;
    }
}

std::optional<double> number(const std::string& field) {
    return field == "-" ? std::nullopt : std::optional<double>(std::stod(field));
}

}  // namespace

std::vector<DocumentedParameter> loadDocumentedParameters() {
    const auto path = std::filesystem::path(VELKOR_TESTS_DIR) / "params" / "data" / "HostParameters.tsv";
    std::ifstream in(path);
    EXPECT_TRUE(in.is_open()) << path;
    std::vector<DocumentedParameter> parameters;
    std::string line;
    bool headerSeen = false;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        if (!std::exchange(headerSeen, true)) {
            continue;
        }
        const auto f = split(line, '\t');
        if (f.size() != kColumns) {
            ADD_FAILURE() << line;
            continue;
        }
        DocumentedParameter p;
        p.id = std::stoi(f[0]);
        p.name = f[1];
        p.control = f[2];
        p.min = number(f[3]);
        p.max = number(f[4]);
        p.engMin = number(f[5]);
        p.engMax = number(f[6]);
        p.curve = f[7] == "-" ? 0 : std::stoi(f[7]);
        p.global = f[8] == "1";
        p.optionText = f[9];
        if (!f[9].empty()) {
            p.options = split(f[9], ',');
            p.options.pop_back();  // every item ends with a comma
        }
        parameters.push_back(p);
    }
    return parameters;
}
