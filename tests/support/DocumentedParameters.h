// The host parameters as documented in tests/params/data/HostParameters.tsv, a transcription kept apart from
// the control table, for the tests that hold the table and the plug-in to it.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct DocumentedParameter {
    int id = 0;
    std::string name;
    std::string control;
    std::optional<double> min, max, engMin, engMax;
    int curve = 0;  // "-" in the transcription: no curve, linear
    bool global = false;
    std::string optionText;            // the list as written, every item closed by a comma
    std::vector<std::string> options;  // its items

    bool isOptionList() const { return control == "option list" || control == "button hub"; }
    bool isText() const { return control == "text"; }
    bool hasShownRange() const { return min && max; }
    bool hasEngineeringRange() const { return engMin && engMax; }
};

// Every row of the transcription; a test failure for a row that cannot be read or a missing file.
std::vector<DocumentedParameter> loadDocumentedParameters();
