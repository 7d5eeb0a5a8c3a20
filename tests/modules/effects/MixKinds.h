// The level, mix and pan module classes as the property tests see them: how to make one, which
// pins carry signals and how many outputs it has.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "modules/effects/QX_DSP_Adder.h"
#include "modules/effects/QX_DSP_Dual_Level.h"
#include "modules/effects/QX_DSP_FadeIn.h"
#include "modules/effects/QX_DSP_Level_ABxC.h"
#include "modules/effects/QX_DSP_Level_ABxCxD.h"
#include "modules/effects/QX_DSP_Level_AxB_CD.h"
#include "modules/effects/QX_DSP_Level_FX_BUS.h"
#include "modules/effects/QX_DSP_Panner.h"
#include "modules/effects/QX_DSP_ST_Level.h"
#include "modules/effects/QX_DSP_XMix.h"
#include "modules/effects/QX_DSP_XMixVol.h"
#include "support/TestEngine.h"

namespace mix_test {

struct Kind {
    std::string name;
    std::function<QX_ModuleBase*(TestEngine&)> add;
    std::vector<int> signalPins;
    int outputs;
    std::vector<int> controlPins;  // switches and values that are not signals
};

// Names the kind in test output instead of its bytes.
inline void PrintTo(const Kind& kind, std::ostream* os) { *os << kind.name; }

template <class Module>
std::function<QX_ModuleBase*(TestEngine&)> maker() {
    return [](TestEngine& engine) -> QX_ModuleBase* { return engine.add<Module>(false); };
}

inline const std::vector<Kind>& kinds() {
    static const std::vector<Kind> all = {
        {"Adder", maker<QX_DSP_Adder>(), {0, 1, 2, 3}, 1, {20, 40, 56, 59, 60, 61, 62}},
        {"Level_ABxC", maker<QX_DSP_Level_ABxC>(), {0, 1, 2}, 1, {9, 10, 19, 20}},
        {"Level_ABxCxD", maker<QX_DSP_Level_ABxCxD>(), {0, 1, 2, 3}, 1, {9, 10, 19, 20}},
        {"Level_AxB_CD", maker<QX_DSP_Level_AxB_CD>(), {0, 1, 2, 3}, 1, {9, 10, 19, 20}},
        {"Level_FX_BUS", maker<QX_DSP_Level_FX_BUS>(), {0, 1, 2, 3, 4}, 3, {9, 10, 19}},
        {"ST_Level", maker<QX_DSP_ST_Level>(), {0, 1, 2}, 2, {3, 9}},
        {"Dual_Level", maker<QX_DSP_Dual_Level>(), {0, 1, 2, 3}, 2, {9, 10}},
        {"XMix", maker<QX_DSP_XMix>(), {0, 1, 2}, 1, {3}},
        {"XMixVol", maker<QX_DSP_XMixVol>(), {0, 1, 2, 4}, 1, {3}},
        {"Panner", maker<QX_DSP_Panner>(), {0, 1, 2}, 2, {3, 4}},
        {"FadeIn", maker<QX_DSP_FadeIn>(), {0, 1}, 2, {3, 2, 9}},  // the fade time before the trigger
    };
    return all;
}

}  // namespace mix_test
