// The instrument's control table in editor order: the background, then section by section the
// controls at their places (inside a panel, relative to the panel), the panels and the links
// between controls, then the rows the editor does not show, and the end row.
#include "params/ControlTable.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace {

// Rows are written with engineering values as modules receive them; the table stores them times ten.
constexpr float timesTen(double engineering) { return static_cast<float>(engineering * 10.0); }

constexpr ControlDescriptor row(std::uint32_t id, std::uint16_t kind, const char* name, double min,
                                double max, double engMin, double engMax,
                                const char* options = nullptr, const char* bitmap = nullptr,
                                const char* tooltip = nullptr) {
    return {.id = id,
            .kind = kind,
            .arg = -1,
            .x = 0,
            .y = 0,
            .bitmap = bitmap,
            .min = static_cast<float>(min),
            .max = static_cast<float>(max),
            .engMin = timesTen(engMin),
            .engMax = timesTen(engMax),
            .name = name,
            .options = options,
            .tooltip = tooltip};
}

constexpr ControlDescriptor global(ControlDescriptor d) {
    d.id |= control::kGlobal;
    return d;
}

// A knob's kind is its curve code.
constexpr ControlDescriptor knob(std::uint32_t id, std::uint16_t curve, const char* name, double min,
                                 double max, double engMin, double engMax) {
    return row(id, curve, name, min, max, engMin, engMax, nullptr, "Knob.png");
}

constexpr ControlDescriptor frequencyKnob(std::uint32_t id, const char* name, double min, double max,
                                          double engMin, double engMax) {
    return row(id, control::kFrequencyKnob, name, min, max, engMin, engMax, nullptr, "Knob.png");
}

constexpr ControlDescriptor onOff(std::uint32_t id, const char* name, double min, double max,
                                  double engMin, double engMax, const char* bitmap = nullptr) {
    return row(id, control::kOnOffSwitch, name, min, max, engMin, engMax, nullptr, bitmap);
}

constexpr ControlDescriptor retrig(std::uint32_t id, const char* name) {
    return onOff(id, name, 0, 10, 0, 1, "Switch_Retrig.png");
}

// Randomise, copy, paste, load, save, preset stepping and the bank menu: a press is a command.
constexpr ControlDescriptor button(std::uint32_t id, const char* name) {
    return row(id, control::kActionButton, name, 0, 10, 0, 1);
}

// An editor-only button: a panel's open and close, a link.
constexpr ControlDescriptor actionButton(std::uint32_t id, const char* name, const char* tooltip) {
    return row(id, control::kActionButton, name, 0, 1, 0, 1, nullptr, nullptr, tooltip);
}

// The target of the bank and preset commands; the bank menu opens at its place.
constexpr ControlDescriptor webLinks(std::uint32_t id, const char* name) {
    return row(id, control::kWebLinks, name, 0, 1, 0, 1);
}

constexpr ControlDescriptor exclusive(std::uint32_t id, const char* name, double min, double max,
                                      double engMin, double engMax) {
    return row(id, control::kExclusiveButton, name, min, max, engMin, engMax);
}

constexpr ControlDescriptor optionList(std::uint32_t id, const char* name, double min, double max,
                                       double engMin, double engMax, const char* options) {
    return row(id, control::kOptionsText, name, min, max, engMin, engMax, options);
}

constexpr ControlDescriptor floatStore(std::uint32_t id, const char* name, double min, double max,
                                       double engMin, double engMax) {
    return row(id, control::kFloatStore, name, min, max, engMin, engMax);
}

constexpr ControlDescriptor zFuture(std::uint32_t id) { return floatStore(id, "zFuture", 0, 10, 0, 1); }

// Slots come from counters walked in id order: kinds 57..66 share the text counter (slots 0..2 =
// ids 0..2); kind 67 counts the 512-byte areas (ids 3 and 4 get 0 and 1); kind 69 has its own
// counter, so id 5 gets slot 0, the program's single 2048-byte area.
constexpr ControlDescriptor textEntry(std::uint32_t id, const char* name) {
    return row(id, control::kTextEntry, name, 0, 1, 0, 1);
}

constexpr ControlDescriptor dataStore(std::uint32_t id, std::uint16_t kind, const char* name) {
    return row(id, kind, name, 0, 1, 0, 1);
}

// Editor-only controls and engine values.
constexpr ControlDescriptor editorControl(std::uint32_t id, std::uint16_t kind, const char* name,
                                          double min, double max, double engMin, double engMax,
                                          const char* bitmap = nullptr, const char* tooltip = nullptr) {
    return row(id, kind, name, min, max, engMin, engMax, nullptr, bitmap, tooltip);
}

// MPE member-channel values. They pass smoothers that multiply by ten times "Bend Depth" (octaves),
// "MPE: LPF Depth" or "MPE: AMP Depth", so a full bend is worth "Bend Depth" in pitch units
// (0.1 per octave) and full pressure or slide at depth 100 % adds 1.0, as the channel-pressure path does.
constexpr ControlDescriptor mpeBend(std::uint32_t id, const char* name) {
    return floatStore(id, name, -1, 1, -0.01, 0.01);
}

constexpr ControlDescriptor mpeAmount(std::uint32_t id, const char* name) {
    return floatStore(id, name, 0, 1, 0, 0.1);
}

constexpr const char* kTargets19 =
    "Main Pitch,Osc1 - Pitch,Osc2 - Pitch,Pulse Width,Osc1 - Level,Osc2 - Level,Sub - Level,"
    "Noise - Level,Filter Cutoff,Panning,Volume,Amp - Attack,Amp - Decay,Filter - Attack,"
    "Filter - Decay,HFO - Pitch,Melt,Echo - Tune,Logic Switch,";
constexpr const char* kLfo3Targets =
    "Main Pitch,Osc1 - Pitch,Osc2 - Pitch,Pulse Width,Osc1 - Level,Osc2 - Level,Sub - Level,"
    "Noise - Level,Filter Cutoff,Panning,Volume,Amp - Attack,Amp - Decay,Filter - Attack,"
    "Filter - Decay,HFO - Pitch,Logic Switch,";
constexpr const char* kEnvTargets =
    "Main Pitch,Osc1 - Pitch,Osc2 - Pitch,HFO - Pitch,Pulse Width,Filter Cutoff,LFO 3 - Depth,"
    "Melt - Circuit,Osc1 - Level,Osc2 - Level,Sub - Level,Noise - Level,Logic Switch,";
constexpr const char* kLfoShapes =
    "Sine,Triangle,Pulse,Saw 1,Saw 2,Saw 3,Ramp 1,Ramp 2,Ramp 3,Peak,Dip,Random,";
constexpr const char* kLfoBeats = "16b,8b,4b,2b,1b,2/1,1/1,1/2,1/4,1/8,1/16,";
constexpr const char* kOscWaves =
    "Sine,Saw,Soft Ramp,Triangle,Peak,Cluster,Organ,Square,Pulse,Inv.Saw,Bell,Vox,Vox2,Vox3,Funk,";
constexpr const char* kSemitones =
    "-12,-11,-10,-9,-8,-7,-6,-5,-4,-3,-2,-1,0,1,2,3,4,5,6,7,8,9,10,11,12,";
constexpr const char* kRates = "x8,x4,x2,1,2,4,8,16,32,";
constexpr const char* kEnvShapes = "Lin,Exp,I.Exp,";

// Where the editor shows a row, in the coordinates of the container it is built into; a bitmap
// given here replaces the row's own.
constexpr ControlDescriptor at(ControlDescriptor d, int x, int y, const char* bitmap = nullptr) {
    d.x = static_cast<std::int16_t>(x);
    d.y = static_cast<std::int16_t>(y);
    if (bitmap != nullptr) {
        d.bitmap = bitmap;
    }
    return d;
}

// An option list shown as a strip of pictures, one frame per item.
constexpr ControlDescriptor pictures(ControlDescriptor d, int x, int y, const char* bitmap) {
    d.kind = control::kOptionsImage;
    return at(d, x, y, bitmap);
}

constexpr ControlDescriptor directive(std::uint16_t kind, int id, int arg, int x, int y,
                                      const char* bitmap = nullptr) {
    return {.id = static_cast<std::uint32_t>(id),
            .kind = kind,
            .arg = static_cast<std::int16_t>(arg),
            .x = static_cast<std::int16_t>(x),
            .y = static_cast<std::int16_t>(y),
            .bitmap = bitmap,
            .min = 0,
            .max = 0,
            .engMin = 0,
            .engMax = 0,
            .name = nullptr,
            .options = nullptr,
            .tooltip = nullptr};
}

// Text controls built after this are `width` x `height`.
constexpr ControlDescriptor textSize(int width, int height) {
    return directive(control::kTextSize, 0, 0, width, height);
}

// Panel `number` at (x, y), hidden until a button or an option opens it; the rows up to its
// closePanel() are built into it.
constexpr ControlDescriptor panel(std::uint16_t kind, int number, int x, int y, const char* bitmap = nullptr) {
    return directive(kind, number, -1, x, y, bitmap);
}

constexpr ControlDescriptor closePanel() { return directive(control::kClosePanel, 0, -1, 0, 0); }

// clang-format off
constexpr ControlDescriptor kRows[] = {
    {.id = 0, .kind = 0, .arg = -1, .x = 0, .y = 0, .bitmap = "BG.png", .min = 0, .max = 0,
     .engMin = 0, .engMax = 0, .name = nullptr, .options = nullptr, .tooltip = nullptr},

    // Top bar, right of the logo: preset name and stepping, single presets, the bank menu, program
    // copy and paste, the credits, and the read-outs of the last touched control.
    textSize(200, 20),
    at(editorControl(401, control::kTextOnly, "Preset Name", 0, 127, 0, 127, nullptr, "Preset Selection\nRight Click To Change Preset Name"), 356, 11),
    at(button(393, "Preset Down"), 560, 12, "Button_Small.png"),
    at(button(392, "Preset Up"), 580, 12, "Button_Small.png"),
    at(button(398, "Load Single Sound Preset"), 606, 3, "Button.png"),
    at(button(399, "Save Single Sound Preset"), 652, 3, "Button.png"),
    at(button(400, "Bank and Midi:CC Options"), 698, 3, "Button.png"),
    at(button(368, "Copy P"), 606, 22, "Button.png"),
    at(button(369, "Paste P"), 652, 22, "Button.png"),
    at(actionButton(394, "Credits", "Click to Open Credits and Links Panel"), 698, 22, "Button.png"),
    at(webLinks(396, "Bank Menu"), 698, 40),
    textSize(140, 16),
    at(editorControl(386, control::kGlobalNameDisplay, "GlobalNm", 0, 1, 0, 1), 750, 4),
    textSize(60, 16),
    at(editorControl(387, control::kGlobalNumberDisplay, "Global#", 0, 1, 0, 1), 750, 22),

    // OSC
    at(global(button(212, "OSC Rnd")), 84, 46, "Button.png"),
    at(button(370, "Copy"), 128, 46, "Button.png"),
    at(button(371, "Paste"), 172, 46, "Button.png"),
    at(button(376, "LoadOSC"), 216, 46, "Button.png"),
    at(button(377, "SaveOSC"), 260, 46, "Button.png"),
    pictures(optionList(64, "Osc1 Wave", 0, 14, 0, 1.4, kOscWaves), 12, 70, "Wave_Options.png"),
    pictures(optionList(65, "Osc2 Wave", 0, 14, 0, 1.4, kOscWaves), 12, 112, "Wave_Options.png"),
    pictures(optionList(73, "SubOsc Wave", 0, 6, 0, 0.6, "Sine,Square,Triangle,Vox,Vox2,Vox3,Funk,"), 12, 154, "SubWave_Options.png"),
    textSize(50, 16),
    at(optionList(66, "Osc Mode", 0, 6, 0, 0.6, "Mix,And,Or,Xor,Ring,Sync,X-wave,"), 78, 70),
    at(optionList(67, "Osc Octave", -2, 3, -0.2, 0.3, "-2,-1,0,1,2,3,"), 78, 98),
    at(optionList(68, "Wave 2 Semi", -12, 12, -0.1, 0.1, kSemitones), 78, 126),
    at(optionList(230, "Osc Harmonics", 0, 37, 0, 3.7, "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,29,30,31,32," "48,64,96,128,512,1024,"), 78, 154),
    textSize(60, 16),
    at(knob(69, 0, "Wave 2 Tune", -50, 50, -0.00416667, 0.00416667), 140, 70),
    at(knob(70, 0, "Osc Drift", 0, 100, 0, 0.008333), 197, 70),
    at(knob(71, 0, "Osc Width %", 0, 95, 0, 0.95), 254, 70),
    at(knob(72, 3, "Portamento (ms)", 0, 1000, 0, 100), 140, 136),
    at(retrig(164, "Osc Retrig"), 202, 148),
    panel(control::kHiddenPanel, 1, 246, 136),
    at(knob(177, 0, "Logic Switch", 0, 50, 0, 0.5), 8, 0),
    closePanel(),
    directive(control::kOptionPanel, 66, 1, 1, 0),
    directive(control::kOptionPanel, 66, 1, 2, 0),
    directive(control::kOptionPanel, 66, 1, 3, 0),

    // MIXER: the oscillators on large knobs, the noise on small ones
    at(knob(75, 0, "Osc1 Mix", 0, 100, 0, 1), 322, 68),
    at(knob(76, 0, "Osc2 Mix", 0, 100, 0, 1), 379, 68),
    at(knob(77, 0, "SubOsc Mix", 0, 100, 0, 1), 436, 68),
    at(knob(78, 0, "Noise Mix", 0, 100, 0, 1), 322, 130, "Knob_Small.png"),
    at(knob(79, 0, "Noise LPF", 0, 100, 1, 0), 367, 130, "Knob_Small.png"),
    at(knob(80, 0, "Noise HPF", 0, 100, 0, 1), 412, 130, "Knob_Small.png"),
    at(knob(234, 3, "Noise Tone", 0, 100, 0, 50), 457, 130, "Knob_Small.png"),
    at(onOff(74, "Ext Input", 0, 1, 0, 0.1), 316, 178, "Switch.png"),

    // FILTER
    at(global(button(213, "Filter Rnd")), 568, 46, "Button.png"),
    at(button(372, "Copy"), 612, 46, "Button.png"),
    at(button(373, "Paste"), 656, 46, "Button.png"),
    at(button(378, "LoadFILTER"), 700, 46, "Button.png"),
    at(button(379, "SaveFILTER"), 744, 46, "Button.png"),
    textSize(46, 16),
    at(optionList(82, "LPF Type", 1, 10, 0.1, 1, "A,B,C,D,E,F,G,H,Acid,Milk,"), 510, 70),
    at(optionList(180, "LPF Mode", 0, 1, 0.1, 0, "24dB,12dB,"), 510, 97),
    at(optionList(81, "Filter %", 5, -2.5, 0.5, -0.25, "100%,87%,75%,62%,50%,37%,25%,"), 510, 124),
    at(optionList(181, "Gain Mode", 0, 2, 0, 0.2, "Post,Pre,Off,"), 510, 151),
    at(optionList(182, "Env Source", 0, 1, 0, 0.1, "LPF,AMP,"), 510, 178),
    textSize(60, 16),
    at(knob(83, 0, "LPF Cutoff", 0, 100, 0, 1), 566, 68),
    at(knob(84, 0, "LPF Resonance", 0, 100, 0, 0.9), 623, 68),
    at(knob(85, 0, "HPF Cutoff", 0, 100, 0, 0.7), 680, 68),
    at(knob(86, 0, "Filter Track", -100, 100, -1, 1), 737, 68),
    at(knob(178, 0, "Filter2 Offset (Semi)", 0, 24, 0, -0.2), 566, 124),
    at(knob(208, 0, "Filter Saturation %", 0, 100, 0, 1), 623, 124),
    at(knob(209, 0, "Filter Drive %", -50, 100, 0.5, 2), 680, 124),
    at(knob(121, 0, "Gain", 0, 100, 1, 10), 737, 124),
    at(onOff(87, "Filter Invert", 0, 2, 0, 0.2), 566, 178, "Switch.png"),
    at(onOff(179, "Filter2 Active", 0, 1, 0, 0.1), 623, 178, "Switch.png"),
    at(onOff(183, "HPF Res", 0, 10, 0, 1), 680, 178, "Switch.png"),

    // MASTER
    at(knob(123, 0, "Master Volume %", 0, 100, 0, 1), 806, 68),
    at(knob(122, 0, "Master Pan", -100, 100, -0.5, 0.5), 866, 68),
    at(knob(193, 0, "Pan Tracking %", -100, 100, -2, 2), 926, 68),
    at(optionList(120, "Play Mode", 0, 2, 0, 0.2, "Mono,Legato,Poly,"), 800, 128),
    at(optionList(222, "Mono Note Mode", 0, 1, 0, 0.1, "OFF,Last Note,"), 866, 128),
    at(optionList(184, "Bend Depth", 1, 48, 0.0833333, 4, "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,29,30,31,32," "33,34,35,36,37,38,39,40,41,42,43,44,45,46,47,48,"), 800, 154),
    at(optionList(185, "ModToAft", 0, 1, 0, 1, "Normal,Aftertouch,"), 866, 154),
    textSize(100, 16),
    at(optionList(211, "Midi Channel", -1, 15, -0.1, 1.5, "Channel: All,Channel: 1,Channel: 2,Channel: 3,Channel: 4,Channel: 5,Channel: 6," "Channel: 7,Channel: 8,Channel: 9,Channel: 10,Channel: 11,Channel: 12,Channel: 13," "Channel: 14,Channel: 15,Channel: 16,"), 800, 180),
    textSize(60, 16),

    // AMP ENV
    at(knob(114, 3, "Amp Attack (s)", 0.001, 10, 0.0001, 1), 20, 232),
    at(knob(115, 3, "Amp Decay (s)", 0.001, 10, 0.0001, 1), 82, 232),
    at(knob(116, 3, "Amp Sustain %", 0, 100, 0, 1), 144, 232),
    at(knob(117, 3, "Amp Release (s)", 0.001, 10, 0.0001, 1), 20, 290),
    at(knob(118, 3, "Amp Time Scale %", 25, 400, 0.025, 0.4), 82, 290),
    at(knob(119, 0, "Amp Velocity %", 0, 100, 0, 1), 144, 290),
    at(optionList(176, "Amp Shape", 0, 2, 0, 0.2, kEnvShapes), 20, 349),

    // FILTER ENV
    at(knob(88, 3, "LPF Attack (s)", 0, 10, 0, 1), 230, 232),
    at(knob(89, 3, "LPF Decay (s)", 0, 10, 0, 1), 287, 232),
    at(knob(90, 3, "LPF Sustain %", 0, 100, 0, 1), 344, 232),
    at(knob(91, 3, "LPF Release (s)", 0.001, 10, 0.0001, 1), 401, 232),
    at(knob(94, 0, "Filter Env Level", 0, 100, 0, 1), 230, 290),
    at(knob(92, 3, "LPF Time Scale %", 25, 400, 0.025, 0.4), 287, 290),
    at(knob(93, 0, "LPF Velocity %", 0, 100, 0, 1), 344, 290),
    at(optionList(174, "LPF Shape", 0, 2, 0, 0.2, kEnvShapes), 400, 302),

    // ENV 1 / ENV 2: one tab each, the envelopes in panels that share the space
    at(global(button(219, "Env Rnd")), 684, 210, "Button.png"),
    at(exclusive(358, "ENV 1", 0, 1, 0, 1), 480, 232, "Button_Tab.png"),
    at(exclusive(359, "ENV 2", 0, 1, 0, 1), 530, 232, "Button_Tab.png"),
    at(onOff(95, "Env On/Off", 0, 10, 0, 1), 590, 233, "Switch.png"),
    panel(control::kHiddenPanel, 2, 474, 254),
    at(knob(96, 3, "Env1 Attack (s)", 0, 10, 0, 1), 12, 2),
    at(knob(97, 3, "Env1 Decay (s)", 0, 10, 0, 1), 69, 2),
    at(knob(98, 3, "Env1 Sustain %", 0, 100, 0, 1), 126, 2),
    at(knob(99, 3, "Env1 Release (s)", 0.001, 10, 0.0001, 1), 183, 2),
    at(knob(102, 3, "Env1 Level", 0, 100, 0, 1), 12, 58),
    at(knob(100, 3, "Env1 Time Scale %", 25, 400, 0.025, 0.4), 69, 58),
    at(knob(101, 0, "Env1 Velocity %", 0, 100, 0, 1), 126, 58),
    textSize(76, 16),
    at(optionList(104, "Env1 Target", 0, 12, 0, 1.2, kEnvTargets), 178, 64),
    textSize(44, 16),
    at(optionList(235, "Env1 Shape", 0, 2, 0, 0.2, kEnvShapes), 178, 88),
    textSize(60, 16),
    at(onOff(103, "Env1 Invert", 0, 1, 0, 0.1), 224, 88, "Switch.png"),
    closePanel(),
    panel(control::kHiddenPanel, 3, 474, 254),
    at(knob(105, 3, "Env2 Attack (s)", 0, 10, 0, 1), 12, 2),
    at(knob(106, 3, "Env2 Decay (s)", 0, 10, 0, 1), 69, 2),
    at(knob(107, 3, "Env2 Sustain %", 0, 100, 0, 1), 126, 2),
    at(knob(108, 3, "Env2 Release (s)", 0.001, 10, 0.0001, 1), 183, 2),
    at(knob(111, 3, "Env2 Level", 0, 100, 0, 1), 12, 58),
    at(knob(109, 3, "Env2 Time Scale %", 25, 400, 0.025, 0.4), 69, 58),
    at(knob(110, 0, "Env2 Velocity %", 0, 100, 0, 1), 126, 58),
    textSize(76, 16),
    at(optionList(113, "Env2 Target", 0, 12, 0, 1.2, kEnvTargets), 178, 64),
    textSize(44, 16),
    at(optionList(236, "Env2 Shape", 0, 2, 0, 0.2, kEnvShapes), 178, 88),
    textSize(60, 16),
    at(onOff(112, "Env2 Invert", 0, 1, 0, 0.1), 224, 88, "Switch.png"),
    closePanel(),
    directive(control::kExclusiveSet, 358, 359, -1, -1),
    directive(control::kPanelButton, 358, 2, -1, -1),
    directive(control::kPanelButton, 359, 3, -1, -1),

    // LFO 1-3: one tab each, the oscillators in panels that share the space
    at(editorControl(355, control::kExclusiveButton, "LFO 1", 0, 1, 0, 1), 740, 232, "Button_Tab.png"),
    at(exclusive(356, "LFO 2", 0, 1, 0, 1), 790, 232, "Button_Tab.png"),
    at(exclusive(357, "LFO 3", 0, 1, 0, 1), 840, 232, "Button_Tab.png"),
    panel(control::kHiddenPanel, 4, 734, 254),
    at(knob(11, 3, "Lfo1 Rate(Hz)", 0.02, 20, 0.002, 2), 12, 2),
    at(knob(15, 0, "Lfo1 Depth", 0, 10, 0, 1), 69, 2),
    at(knob(14, 0, "Lfo1 Phase %", -50, 50, -0.5, 0.5), 126, 2),
    at(knob(9, 0, "Lfo1 Intro (s)", 0, 10, 0, 1000), 183, 2),
    pictures(optionList(8, "Lfo1 Shape", 0, 11, 0, 1.1, kLfoShapes), 6, 60, "LfoShape_Options.png"),
    textSize(100, 16),
    at(optionList(10, "Lfo1 Target", 0, 18, 0, 1.8, kTargets19), 72, 60),
    textSize(60, 16),
    at(optionList(12, "Lfo1 Beat", 0, 10, 0, 1, kLfoBeats), 72, 84),
    at(exclusive(13, "Lfo1 Sync", 0, 10, 0, 1), 136, 86, "Switch.png"),
    at(onOff(6, "Lfo1 On/Off", 0, 10, 0, 1), 178, 60, "Switch.png"),
    at(retrig(7, "Lfo1 Retrig"), 212, 60),
    at(onOff(16, "Lfo1 Subtle", 10, 1, 1, 0.1), 178, 86, "Switch.png"),
    at(global(button(215, "LFO1 Rnd")), 6, 94, "Button.png"),
    closePanel(),
    panel(control::kHiddenPanel, 5, 734, 254),
    at(knob(22, 3, "Lfo2 Rate", 0.02, 20, 0.002, 2), 12, 2),
    at(knob(26, 0, "Lfo2 Depth", 0, 10, 0, 1), 69, 2),
    at(knob(25, 0, "Lfo2 Phase %", -50, 50, -0.5, 0.5), 126, 2),
    at(knob(20, 0, "Lfo2 Intro (s)", 0, 10, 0, 1000), 183, 2),
    pictures(optionList(19, "Lfo2 Shape", 0, 11, 0, 1.1, kLfoShapes), 6, 60, "LfoShape_Options.png"),
    textSize(100, 16),
    at(optionList(21, "Lfo2 Target", 0, 18, 0, 1.8, kTargets19), 72, 60),
    textSize(60, 16),
    at(optionList(23, "Lfo2 Beat", 0, 10, 0, 1, kLfoBeats), 72, 84),
    at(exclusive(24, "Lfo2 Sync", 0, 10, 0, 1), 136, 86, "Switch.png"),
    at(onOff(17, "Lfo2 On/Off", 0, 10, 0, 1), 178, 60, "Switch.png"),
    at(retrig(18, "Lfo2 Retrig"), 212, 60),
    at(onOff(27, "Lfo2 Subtle", 10, 1, 1, 0.1), 178, 86, "Switch.png"),
    at(global(button(216, "LFO2 Rnd")), 6, 94, "Button.png"),
    closePanel(),
    panel(control::kHiddenPanel, 6, 734, 254),
    at(knob(33, 3, "Lfo3 Rate", 0.02, 20, 0.002, 2), 12, 2),
    at(knob(37, 0, "Lfo3 Depth", 0, 10, 0, 1), 69, 2),
    at(knob(36, 0, "Lfo3 Phase %", -50, 50, -0.5, 0.5), 126, 2),
    at(knob(31, 0, "Lfo3 Intro (s)", 0, 10, 0, 1000), 183, 2),
    pictures(optionList(30, "Lfo3 Shape", 0, 11, 0, 1.1, kLfoShapes), 6, 60, "LfoShape_Options.png"),
    textSize(100, 16),
    at(optionList(32, "Lfo3 Target", 0, 16, 0, 1.6, kLfo3Targets), 72, 60),
    textSize(60, 16),
    at(optionList(34, "Lfo3 Beat", 0, 10, 0, 1, kLfoBeats), 72, 84),
    at(exclusive(35, "Lfo3 Sync", 0, 10, 0, 1), 136, 86, "Switch.png"),
    at(onOff(28, "Lfo3 On/Off", 0, 10, 0, 1), 178, 60, "Switch.png"),
    at(retrig(29, "Lfo3 Retrig"), 212, 60),
    at(onOff(38, "Lfo3 Subtle", 10, 1, 1, 0.1), 178, 86, "Switch.png"),
    at(onOff(39, "Lfo3 Track", 0, 10, 0, 1), 212, 86, "Switch.png"),
    at(global(button(217, "LFO3 Rnd")), 6, 94, "Button.png"),
    closePanel(),
    directive(control::kExclusiveSet, 355, 356, 357, -1),
    directive(control::kPanelButton, 355, 4, -1, -1),
    directive(control::kPanelButton, 356, 5, -1, -1),
    directive(control::kPanelButton, 357, 6, -1, -1),

    // HFO
    at(global(button(218, "HFO Rnd")), 284, 374, "Button.png"),
    at(knob(47, 3, "HFO Attack (s)", 0, 10, 0, 1), 18, 396),
    at(knob(48, 3, "HFO Decay (s)", 0, 10, 0, 1), 75, 396),
    at(knob(49, 3, "HFO Sustain %", 0, 100, 0, 1), 132, 396),
    at(knob(50, 3, "HFO Release (s)", 0.001, 10, 0.0001, 1), 189, 396),
    at(knob(51, 3, "HFO Time Scale %", 25, 400, 0.025, 0.4), 246, 396),
    at(knob(52, 0, "HFO Velocity %", 0, 100, 0, 1), 18, 454),
    at(knob(43, 3, "HFO Depth", 0, 100, 0, 1), 75, 454),
    at(knob(46, 0, "HFO Tune (cents)", -100, 100, -0.00833333, 0.00833333), 132, 454),
    at(knob(53, 3, "HFO Level", 0, 100, 0, 1), 189, 454),
    at(onOff(40, "Hfo On/Off", 0, 10, 0, 1), 298, 400, "Switch.png"),
    textSize(82, 16),
    at(optionList(41, "HFO Target", 0, 12, 0, 1.2, "Main Pitch,Osc1 - Pitch,Osc2 - Pitch,Sub - Pitch,Filter Cutoff,Main FM,Osc1 - FM," "Osc2 - FM,Sub - FM,Main - AM,Osc1 - AM,Osc2 - AM,Pulse Width,"), 244, 458),
    at(optionList(42, "HFO Shape", 0, 6, 0, 0.6, "Sine,Triangle,Pulse,Saw,Trap,Peak,Random,"), 244, 482),
    textSize(40, 16),
    at(optionList(44, "HFO Oct", -3, 3, -0.3, 0.3, "-3,-2,-1,0,1,2,3,"), 244, 506),
    at(optionList(45, "HFO Semi", -12, 12, -0.1, 0.1, kSemitones), 288, 506),
    textSize(60, 16),

    // AFTERTOUCH / MPE
    at(global(button(220, "AFT Rnd")), 548, 374, "Button.png"),
    at(knob(55, 0, "Aft to Tune", 0, 100, 0, 0.00416667), 344, 396, "Knob_Small.png"),
    at(knob(56, 0, "Aft to Width", 0, 100, 0, 1), 394, 396, "Knob_Small.png"),
    at(knob(57, 0, "Aft to Cut", 0, 100, 0, 1), 444, 396, "Knob_Small.png"),
    at(knob(58, 0, "Aft to Noise", 0, 100, 0, 1), 494, 396, "Knob_Small.png"),
    at(knob(59, 0, "Aft to Gain", 0, 100, 0, 6), 344, 440, "Knob_Small.png"),
    at(knob(60, 0, "Aft to Melt", 0, 100, 0, 1), 394, 440, "Knob_Small.png"),
    at(knob(61, 0, "Aft Lfo3 Depth", 0, 100, 0, 1), 444, 440, "Knob_Small.png"),
    at(knob(62, 0, "Aft Lfo3 Rate", 0, 100, 0, 1), 494, 440, "Knob_Small.png"),
    at(knob(63, 0, "Aft HFO Depth", 0, 100, 0, 1), 344, 484, "Knob_Small.png"),
    at(knob(239, 0, "Aft HFO Rate", -3, 3, -0.3, 0.3), 394, 484, "Knob_Small.png"),
    at(knob(240, 0, "MPE: LPF Depth", 0, 100, 0, 1), 444, 484, "Knob_Small.png"),
    at(knob(241, 0, "MPE: AMP Depth", 0, 100, 0, 5), 494, 484, "Knob_Small.png"),
    at(onOff(54, "Aft On/Off", 0, 10, 0, 1), 548, 400, "Switch.png"),
    at(global(onOff(232, "MPE Active", 0, 1, 0, 0.1)), 548, 430, "Switch.png"),
    at(global(onOff(233, "MPE A:74", 0, 1, 0, 0.1)), 548, 460, "Switch.png"),

    // ARP
    textSize(100, 16),
    at(optionList(126, "Arp Mode", 1, 5, 0.1, 0.5, "Cycle Up,Cycle Down,Cycle Up/Dn,Cycle Up/Dn2,Random,"), 604, 398),
    textSize(50, 16),
    at(optionList(128, "Arp Rate", 0, 8, 0, 0.8, kRates), 604, 424),
    textSize(40, 16),
    at(optionList(127, "Arp Range", 0, 3, 0, 0.3, "1,2,3,4,"), 662, 424),
    textSize(80, 16),
    at(optionList(129, "Arp Vel", 0, 1, 0, 0.1, "Note,Constant,"), 604, 450),
    textSize(60, 16),
    at(onOff(124, "Arp OnOff", 0, 1, 0, 0.1), 722, 398, "Switch.png"),
    at(onOff(125, "Arp Hold", 0, 1, 0, 0.1), 722, 424, "Switch.png"),
    at(onOff(194, "Arp Half", 0, 1, 1, 1.5), 722, 450, "Switch.png"),
    at(knob(130, 0, "Arp Gate %", 5, 95, 0.05, 0.95), 612, 474),

    // EQ
    at(frequencyKnob(196, "EQ 1 Freq Hz", 20, 20480, 2, 2048), 776, 394, "Knob_Small.png"),
    at(frequencyKnob(199, "EQ 2 Freq Hz", 20, 20480, 2, 2048), 821, 394, "Knob_Small.png"),
    at(frequencyKnob(202, "EQ 3 Freq Hz", 20, 20480, 2, 2048), 866, 394, "Knob_Small.png"),
    at(knob(197, 0, "EQ 1 Gain dB", -18, 18, -1.8, 1.8), 776, 436, "Knob_Small.png"),
    at(knob(200, 0, "EQ 2 Gain dB", -18, 18, -1.8, 1.8), 821, 436, "Knob_Small.png"),
    at(knob(203, 0, "EQ 3 Gain dB", -18, 18, -1.8, 1.8), 866, 436, "Knob_Small.png"),
    at(knob(198, 0, "EQ 1 Width", 100, 10, 10, 1), 776, 478, "Knob_Small.png"),
    at(knob(201, 0, "EQ 2 Width", 100, 10, 10, 1), 821, 478, "Knob_Small.png"),
    at(knob(204, 0, "EQ 3 Width", 100, 10, 10, 1), 866, 478, "Knob_Small.png"),
    textSize(76, 80),
    at(editorControl(360, control::kEqWindow, "EQ Display", 0, 1, 0, 1), 906, 396),
    textSize(60, 16),
    at(onOff(205, "EQ Active", 0, 10, 0, 1), 906, 484, "Switch.png"),
    textSize(40, 16),
    at(optionList(206, "Pre-Post EQ", 0, 1, 0, 0.1, "Pre,Post,"), 942, 484),
    textSize(60, 16),

    // SEQ: the A steps switch notes on and off, the B steps set levels
    at(global(button(214, "SEQ Rnd")), 208, 538, "Button.png"),
    at(button(366, "Copy"), 252, 538, "Button.png"),
    at(button(367, "Paste"), 296, 538, "Button.png"),
    at(button(374, "LoadSEQ"), 340, 538, "Button.png"),
    at(button(375, "SaveSEQ"), 384, 538, "Button.png"),
    textSize(70, 16),
    at(optionList(132, "Seq Dir", 0, 4, 0, 0.4, "Forward,Back,Fwd/Back,Back/Fwd,Random,"), 10, 560),
    textSize(44, 16),
    at(optionList(133, "Seq Rate", 0, 8, 0, 0.8, kRates), 84, 560),
    textSize(36, 16),
    at(optionList(134, "Seq Length", 0, 7, 0, 0.7, "1,2,3,4,5,6,7,8,"), 132, 560),
    textSize(44, 16),
    at(optionList(143, "Seq Range", -24, 24, -0.2, 0.2, "-24,-23,-22,-21,-20,-19,-18,-17,-16,-15,-14,-13,-12,-11,-10,-9,-8,-7,-6,-5,-4,-3,-2,-1," "0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,"), 172, 560),
    textSize(60, 16),
    at(onOff(131, "Seq OnOff", 0, 1, 0, 0.1), 222, 560, "Switch.png"),
    at(onOff(195, "Seq Half", 0, 1, 1, 1.5), 258, 560, "Switch.png"),
    at(knob(175, 0, "Seq Glide", 1, 250, 0.1, 25), 299, 558, "Knob_Small.png"),
    at(knob(152, 0, "Seq Filter", -100, 100, -1, 1), 344, 558, "Knob_Small.png"),
    at(knob(153, 0, "Seq Amp", -100, 100, -1, 1), 389, 558, "Knob_Small.png"),
    textSize(360, 12),
    at(editorControl(402, control::kMultiLevel, "Seq A", 0, 7, 0, 7), 38, 600),
    at(onOff(135, "SeqA 1", 0, 10, 0, 1), 45, 614, "Switch.png"),
    at(onOff(136, "SeqA 2", 0, 10, 0, 1), 90, 614, "Switch.png"),
    at(onOff(137, "SeqA 3", 0, 10, 0, 1), 135, 614, "Switch.png"),
    at(onOff(138, "SeqA 4", 0, 10, 0, 1), 180, 614, "Switch.png"),
    at(onOff(139, "SeqA 5", 0, 10, 0, 1), 225, 614, "Switch.png"),
    at(onOff(140, "SeqA 6", 0, 10, 0, 1), 270, 614, "Switch.png"),
    at(onOff(141, "SeqA 7", 0, 10, 0, 1), 315, 614, "Switch.png"),
    at(onOff(142, "SeqA 8", 0, 10, 0, 1), 360, 614, "Switch.png"),
    at(knob(144, 0, "SeqB 1", 0, 100, 0, 1), 46, 641, "Knob_Small.png"),
    at(knob(145, 0, "SeqB 2", 0, 100, 0, 1), 91, 641, "Knob_Small.png"),
    at(knob(146, 0, "SeqB 3", 0, 100, 0, 1), 136, 641, "Knob_Small.png"),
    at(knob(147, 0, "SeqB 4", 0, 100, 0, 1), 181, 641, "Knob_Small.png"),
    at(knob(148, 0, "SeqB 5", 0, 100, 0, 1), 226, 641, "Knob_Small.png"),
    at(knob(149, 0, "SeqB 6", 0, 100, 0, 1), 271, 641, "Knob_Small.png"),
    at(knob(150, 0, "SeqB 7", 0, 100, 0, 1), 316, 641, "Knob_Small.png"),
    at(knob(151, 0, "SeqB 8", 0, 100, 0, 1), 361, 641, "Knob_Small.png"),
    textSize(360, 14),
    at(editorControl(403, control::kMultiLevel, "Seq B", 0, 7, 0, 7), 38, 683),
    textSize(60, 16),

    // MELT: the two systems in panels chosen by "Melt System", depth and buffer beside them
    at(exclusive(352, "A", 0, 1, 0, 1), 440, 560, "Button_Tab.png"),
    at(exclusive(353, "B", 0, 1, 0, 1), 490, 560, "Button_Tab.png"),
    textSize(40, 18),
    at(row(223, control::kButtonHub, "Melt System", 0, 1, 0, 0.1, "A,B,"), 542, 560),
    textSize(60, 16),
    at(knob(155, 0, "Melt Depth", 0, 100, 0, 1), 442, 584, "Knob_Small.png"),
    at(knob(161, 0, "Melt Buffer", 0, 100, 2.5, 7.5), 442, 636, "Knob_Small.png"),
    panel(control::kHiddenPanel, 7, 480, 580),
    textSize(56, 16),
    at(optionList(154, "Melt A Mode", 0, 1, 0, 0.1, "Circuit,Tape,"), 6, 2),
    textSize(60, 16),
    at(onOff(237, "Melt A Cutoff", 0, 10, 0, 8), 66, 2, "Switch.png"),
    at(global(button(221, "Melt:A Rnd")), 102, 2, "Button.png"),
    at(knob(156, 0, "Melt A Pitch", 0, 100, 0.5, 1.5), 14, 28, "Knob_Small.png"),
    at(knob(157, 0, "Melt A Blend", 100, 750, 10, 75), 59, 28, "Knob_Small.png"),
    at(knob(158, 0, "Melt A Jump", 0, 100, 0, 0.5), 104, 28, "Knob_Small.png"),
    at(knob(159, 3, "Melt A Speed (Hz)", 3, 30, 3, 30), 14, 70, "Knob_Small.png"),
    at(knob(160, 0, "Melt A Amp", 0, 100, 0, 2), 59, 70, "Knob_Small.png"),
    closePanel(),
    panel(control::kHiddenPanel, 8, 480, 580),
    at(onOff(238, "Melt B Cutoff", 0, 10, 0, 15), 6, 2, "Switch.png"),
    at(global(button(231, "Melt:B Rnd")), 102, 2, "Button.png"),
    at(knob(224, 3, "Melt B Wow (Hz)", 1, 15, 1, 15), 14, 28, "Knob_Small.png"),
    at(knob(225, 3, "Melt B Flutter (Hz)", 15, 30, 15, 30), 59, 28, "Knob_Small.png"),
    at(knob(226, 0, "Melt B Speed Mix %", 0, 100, -0.5, 0.5), 104, 28, "Knob_Small.png"),
    at(knob(227, 3, "Melt B to Pitch %", 0, 100, 0, 0.0166667), 14, 70, "Knob_Small.png"),
    at(knob(228, 0, "Melt B to Amp %", 0, 100, 0, 1.25), 59, 70, "Knob_Small.png"),
    at(knob(229, 0, "Melt B to HFO", 0, 100, 0, 0.025), 104, 70, "Knob_Small.png"),
    closePanel(),
    directive(control::kExclusiveSet, 352, 353, -1, -1),
    directive(control::kPanelButton, 352, 7, -1, -1),
    directive(control::kPanelButton, 353, 8, -1, -1),

    // CHORUS
    at(knob(187, 3, "Chorus Depth (ms)", 0, 5, 0, 0.5), 656, 560, "Knob_Small.png"),
    at(knob(188, 3, "Chorus Rate (Hz)", 0.1, 15, 0.01, 1.5), 706, 560, "Knob_Small.png"),
    at(knob(189, 0, "Chorus Sep %", 0, 100, 1, 0.25), 756, 560, "Knob_Small.png"),
    at(knob(190, 0, "Chorus Melt %", 0, 100, 0, 1), 656, 608, "Knob_Small.png"),
    at(knob(191, 0, "Chorus Mix %", 0, 100, -0.5, 0.5), 706, 608, "Knob_Small.png"),
    at(knob(192, 3, "Chorus Spread (ms)", 0, 50, 0, 5), 756, 608, "Knob_Small.png"),
    at(onOff(186, "Cho Mode", 0, 1, 0, 0.1), 650, 660, "Switch.png"),

    // ECHO
    at(button(380, "LoadECHO"), 895, 538, "Button.png"),
    at(button(381, "SaveECHO"), 939, 538, "Button.png"),
    at(knob(166, 0, "Echo Shift", -100, 100, -0.1, 0.1), 813, 560, "Knob_Small.png"),
    at(knob(167, 0, "Echo Phase", 0, 100, 0.5, 0), 858, 560, "Knob_Small.png"),
    at(knob(168, 0, "Echo Length", 1, 8, 1, 8), 903, 560, "Knob_Small.png"),
    at(knob(169, 0, "Echo FBK", 0, 100, 0, 1), 948, 560, "Knob_Small.png"),
    at(knob(170, 0, "Echo LPF", 50, 100, 0.5, 1), 813, 608, "Knob_Small.png"),
    at(knob(171, 0, "Echo HPF", 0, 50, 0, 0.5), 858, 608, "Knob_Small.png"),
    at(knob(172, 0, "Echo Level", 0, 100, 0, 1), 903, 608, "Knob_Small.png"),
    at(onOff(162, "Echo OnOff", 0, 10, 0, 1), 810, 660, "Switch.png"),
    at(onOff(163, "Echo Pong", 0, 10, 0, 1), 846, 660, "Switch.png"),
    at(onOff(173, "Echo Step", 0, 10, 0, 1), 882, 660, "Switch.png"),
    at(onOff(210, "Echo Dotted", 0, 10, 0, 1), 918, 660, "Switch.png"),
    textSize(30, 16),
    at(optionList(165, "Echo Rate", 0, 4, 0, 0.4, "1b,1/2,1/4,1/8,1/16,"), 952, 660),
    textSize(60, 16),

    // Credits, over everything else, with the bank file last loaded and the program's two notes,
    // and the links: the web page, a mail to us, and the guide page chosen in the list
    panel(control::kHiddenPanel, 9, 285, 230, "Credits_Panel.png"),
    textSize(388, 16),
    at(global(textEntry(0, "BankFile")), 16, 40),
    at(textEntry(1, "text1"), 16, 64),
    at(textEntry(2, "text2"), 16, 88),
    at(actionButton(361, "Website", "Opens the Velkor web page in your browser"), 16, 124, "Button.png"),
    at(actionButton(362, "Contact", "Writes an e-mail to the Velkor team"), 68, 124, "Button.png"),
    textSize(80, 16),
    at(row(363, control::kOptionsText, "Guide Page", 0, 2, 0, 0.2, "Manual,Sounds,Updates,", nullptr, "Chooses the guide page that Open shows"), 16, 152),
    at(actionButton(364, "Open", "Opens the chosen guide page in your browser"), 104, 151, "Button.png"),
    textSize(60, 16),
    at(actionButton(395, "Close", "Close Panel"), 368, 212, "Button.png"),
    closePanel(),
    directive(control::kPanelButton, 394, 9, -1, -1),
    directive(control::kPanelButton, 395, 9, -1, -1),

    // Command links: buttons and the bank menu send their commands to the command target
    directive(control::kCommandLink, 398, 55, 396, 0),
    directive(control::kCommandLink, 399, 56, 396, 0),
    directive(control::kCommandLink, 400, 59, 396, 0),
    directive(control::kCommandLink, 392, 61, 396, 0),
    directive(control::kCommandLink, 393, 62, 396, 0),
    directive(control::kCommandLink, 368, 63, 396, 0),
    directive(control::kCommandLink, 369, 64, 396, 0),
    directive(control::kCommandLink, 374, 70, 396, 0),
    directive(control::kCommandLink, 376, 71, 396, 0),
    directive(control::kCommandLink, 378, 72, 396, 0),
    directive(control::kCommandLink, 380, 73, 396, 0),
    directive(control::kCommandLink, 375, 80, 396, 0),
    directive(control::kCommandLink, 377, 81, 396, 0),
    directive(control::kCommandLink, 379, 82, 396, 0),
    directive(control::kCommandLink, 381, 83, 396, 0),

    // Randomise groups: the button, its group, the members in order
    editorControl(341, control::kMemoryBanks, "OSC Rnd Group", 0, 1, 0, 1),
    directive(control::kCommandLink, 212, control::kRandomiseCommand, 341, 0),
    directive(control::kGroupMember, 341, 0, 64, 0),
    directive(control::kGroupMember, 341, 1, 65, 0),
    directive(control::kGroupMember, 341, 2, 73, 0),
    directive(control::kGroupMember, 341, 3, 66, 0),
    directive(control::kGroupMember, 341, 4, 71, 0),
    editorControl(342, control::kMemoryBanks, "Filter Rnd Group", 0, 1, 0, 1),
    directive(control::kCommandLink, 213, control::kRandomiseCommand, 342, 0),
    directive(control::kGroupMember, 342, 0, 83, 0),
    directive(control::kGroupMember, 342, 1, 84, 0),
    directive(control::kGroupMember, 342, 2, 85, 0),
    directive(control::kGroupMember, 342, 3, 82, 0),
    directive(control::kGroupMember, 342, 4, 88, 0),
    directive(control::kGroupMember, 342, 5, 89, 0),
    directive(control::kGroupMember, 342, 6, 90, 0),
    directive(control::kGroupMember, 342, 7, 91, 0),
    directive(control::kGroupMember, 342, 8, 178, 0),
    editorControl(343, control::kMemoryBanks, "SEQ Rnd Group", 0, 1, 0, 1),
    directive(control::kCommandLink, 214, control::kRandomiseCommand, 343, 0),
    directive(control::kGroupMember, 343, 0, 135, 0),
    directive(control::kGroupMember, 343, 1, 136, 0),
    directive(control::kGroupMember, 343, 2, 137, 0),
    directive(control::kGroupMember, 343, 3, 138, 0),
    directive(control::kGroupMember, 343, 4, 139, 0),
    directive(control::kGroupMember, 343, 5, 140, 0),
    directive(control::kGroupMember, 343, 6, 141, 0),
    directive(control::kGroupMember, 343, 7, 142, 0),
    directive(control::kGroupMember, 343, 8, 144, 0),
    directive(control::kGroupMember, 343, 9, 145, 0),
    directive(control::kGroupMember, 343, 10, 146, 0),
    directive(control::kGroupMember, 343, 11, 147, 0),
    directive(control::kGroupMember, 343, 12, 148, 0),
    directive(control::kGroupMember, 343, 13, 149, 0),
    directive(control::kGroupMember, 343, 14, 150, 0),
    directive(control::kGroupMember, 343, 15, 151, 0),
    editorControl(344, control::kMemoryBanks, "LFO1 Rnd Group", 0, 1, 0, 1),
    directive(control::kCommandLink, 215, control::kRandomiseCommand, 344, 0),
    directive(control::kGroupMember, 344, 0, 8, 0),
    directive(control::kGroupMember, 344, 1, 10, 0),
    directive(control::kGroupMember, 344, 2, 11, 0),
    directive(control::kGroupMember, 344, 3, 12, 0),
    directive(control::kGroupMember, 344, 4, 14, 0),
    editorControl(345, control::kMemoryBanks, "LFO2 Rnd Group", 0, 1, 0, 1),
    directive(control::kCommandLink, 216, control::kRandomiseCommand, 345, 0),
    directive(control::kGroupMember, 345, 0, 19, 0),
    directive(control::kGroupMember, 345, 1, 21, 0),
    directive(control::kGroupMember, 345, 2, 22, 0),
    directive(control::kGroupMember, 345, 3, 23, 0),
    directive(control::kGroupMember, 345, 4, 25, 0),
    editorControl(346, control::kMemoryBanks, "LFO3 Rnd Group", 0, 1, 0, 1),
    directive(control::kCommandLink, 217, control::kRandomiseCommand, 346, 0),
    directive(control::kGroupMember, 346, 0, 30, 0),
    directive(control::kGroupMember, 346, 1, 32, 0),
    directive(control::kGroupMember, 346, 2, 33, 0),
    directive(control::kGroupMember, 346, 3, 34, 0),
    directive(control::kGroupMember, 346, 4, 36, 0),
    directive(control::kGroupMember, 346, 5, 39, 0),
    editorControl(347, control::kMemoryBanks, "HFO Rnd Group", 0, 1, 0, 1),
    directive(control::kCommandLink, 218, control::kRandomiseCommand, 347, 0),
    directive(control::kGroupMember, 347, 0, 41, 0),
    directive(control::kGroupMember, 347, 1, 42, 0),
    directive(control::kGroupMember, 347, 2, 44, 0),
    directive(control::kGroupMember, 347, 3, 45, 0),
    directive(control::kGroupMember, 347, 4, 46, 0),
    directive(control::kGroupMember, 347, 5, 47, 0),
    directive(control::kGroupMember, 347, 6, 48, 0),
    directive(control::kGroupMember, 347, 7, 49, 0),
    directive(control::kGroupMember, 347, 8, 50, 0),
    directive(control::kGroupMember, 347, 9, 53, 0),
    editorControl(348, control::kMemoryBanks, "Env Rnd Group", 0, 1, 0, 1),
    directive(control::kCommandLink, 219, control::kRandomiseCommand, 348, 0),
    directive(control::kGroupMember, 348, 0, 104, 0),
    directive(control::kGroupMember, 348, 1, 103, 0),
    directive(control::kGroupMember, 348, 2, 96, 0),
    directive(control::kGroupMember, 348, 3, 97, 0),
    directive(control::kGroupMember, 348, 4, 98, 0),
    directive(control::kGroupMember, 348, 5, 99, 0),
    directive(control::kGroupMember, 348, 6, 102, 0),
    directive(control::kGroupMember, 348, 7, 113, 0),
    directive(control::kGroupMember, 348, 8, 112, 0),
    directive(control::kGroupMember, 348, 9, 105, 0),
    directive(control::kGroupMember, 348, 10, 106, 0),
    directive(control::kGroupMember, 348, 11, 107, 0),
    directive(control::kGroupMember, 348, 12, 108, 0),
    directive(control::kGroupMember, 348, 13, 111, 0),
    editorControl(349, control::kMemoryBanks, "AFT Rnd Group", 0, 1, 0, 1),
    directive(control::kCommandLink, 220, control::kRandomiseCommand, 349, 0),
    directive(control::kGroupMember, 349, 0, 55, 0),
    directive(control::kGroupMember, 349, 1, 56, 0),
    directive(control::kGroupMember, 349, 2, 57, 0),
    directive(control::kGroupMember, 349, 3, 58, 0),
    directive(control::kGroupMember, 349, 4, 59, 0),
    directive(control::kGroupMember, 349, 5, 60, 0),
    directive(control::kGroupMember, 349, 6, 61, 0),
    directive(control::kGroupMember, 349, 7, 62, 0),
    directive(control::kGroupMember, 349, 8, 63, 0),
    editorControl(350, control::kMemoryBanks, "Melt:A Rnd Group", 0, 1, 0, 1),
    directive(control::kCommandLink, 221, control::kRandomiseCommand, 350, 0),
    directive(control::kGroupMember, 350, 0, 156, 0),
    directive(control::kGroupMember, 350, 1, 158, 0),
    directive(control::kGroupMember, 350, 2, 160, 0),
    directive(control::kGroupMember, 350, 3, 157, 0),
    directive(control::kGroupMember, 350, 4, 159, 0),
    directive(control::kGroupMember, 350, 5, 161, 0),
    editorControl(351, control::kMemoryBanks, "Melt:B Rnd Group", 0, 1, 0, 1),
    directive(control::kCommandLink, 231, control::kRandomiseCommand, 351, 0),
    directive(control::kGroupMember, 351, 0, 224, 0),
    directive(control::kGroupMember, 351, 1, 225, 0),
    directive(control::kGroupMember, 351, 2, 226, 0),
    directive(control::kGroupMember, 351, 3, 227, 0),
    directive(control::kGroupMember, 351, 4, 228, 0),
    directive(control::kGroupMember, 351, 5, 229, 0),

    // Controls that work through others
    directive(control::kGroupMember, 223, 0, 352, 0),
    directive(control::kGroupMember, 223, 1, 353, 0),
    directive(control::kGroupMember, 360, 0, 196, 0),
    directive(control::kGroupMember, 360, 1, 199, 0),
    directive(control::kGroupMember, 360, 2, 202, 0),
    directive(control::kGroupMember, 360, 5, 197, 0),
    directive(control::kGroupMember, 360, 6, 200, 0),
    directive(control::kGroupMember, 360, 7, 203, 0),
    directive(control::kGroupMember, 360, 10, 198, 0),
    directive(control::kGroupMember, 360, 11, 201, 0),
    directive(control::kGroupMember, 360, 12, 204, 0),
    directive(control::kGroupMember, 402, 0, 135, 0),
    directive(control::kGroupMember, 402, 1, 136, 0),
    directive(control::kGroupMember, 402, 2, 137, 0),
    directive(control::kGroupMember, 402, 3, 138, 0),
    directive(control::kGroupMember, 402, 4, 139, 0),
    directive(control::kGroupMember, 402, 5, 140, 0),
    directive(control::kGroupMember, 402, 6, 141, 0),
    directive(control::kGroupMember, 402, 7, 142, 0),
    directive(control::kGroupMember, 403, 0, 144, 0),
    directive(control::kGroupMember, 403, 1, 145, 0),
    directive(control::kGroupMember, 403, 2, 146, 0),
    directive(control::kGroupMember, 403, 3, 147, 0),
    directive(control::kGroupMember, 403, 4, 148, 0),
    directive(control::kGroupMember, 403, 5, 149, 0),
    directive(control::kGroupMember, 403, 6, 150, 0),
    directive(control::kGroupMember, 403, 7, 151, 0),

    // Stored values, engine values and the program record stores: no control
    dataStore(3, control::kDataStore512, "zDataStorage1"),
    dataStore(4, control::kDataStore512, "zDataStorage2"),
    dataStore(5, control::kDataStore2048, "zDataStore2k1"),
    floatStore(207, "Version", 0, 10, 0, 1),
    zFuture(242),
    zFuture(243),
    zFuture(244),
    zFuture(245),
    zFuture(246),
    zFuture(247),
    zFuture(248),
    zFuture(249),
    zFuture(250),
    zFuture(251),
    zFuture(252),
    zFuture(253),
    zFuture(254),
    zFuture(255),
    zFuture(256),
    zFuture(257),
    zFuture(258),
    zFuture(259),
    zFuture(260),
    zFuture(261),
    zFuture(262),
    zFuture(263),
    zFuture(264),
    zFuture(265),
    zFuture(266),
    zFuture(267),
    zFuture(268),
    zFuture(269),
    zFuture(270),
    zFuture(271),
    zFuture(272),
    zFuture(273),
    zFuture(274),
    zFuture(275),
    zFuture(276),
    zFuture(277),
    zFuture(278),
    zFuture(279),
    zFuture(280),
    zFuture(281),
    zFuture(282),
    zFuture(283),
    zFuture(284),
    zFuture(285),
    zFuture(286),
    zFuture(287),
    zFuture(288),
    zFuture(289),
    zFuture(290),
    zFuture(291),
    zFuture(292),
    zFuture(293),
    zFuture(294),
    zFuture(295),
    zFuture(296),
    zFuture(297),
    zFuture(298),
    zFuture(299),
    zFuture(300),
    zFuture(301),
    zFuture(302),
    zFuture(303),
    zFuture(304),
    zFuture(305),
    zFuture(306),
    zFuture(307),
    zFuture(308),
    zFuture(309),
    zFuture(310),
    zFuture(311),
    zFuture(312),
    zFuture(313),
    zFuture(314),
    zFuture(315),
    zFuture(316),
    zFuture(317),
    zFuture(318),
    zFuture(319),
    zFuture(320),
    zFuture(321),
    zFuture(322),
    zFuture(323),
    zFuture(324),
    zFuture(325),
    zFuture(326),
    zFuture(327),
    zFuture(328),
    zFuture(329),
    zFuture(330),
    zFuture(331),
    zFuture(332),
    floatStore(334, "Midi Keyboard", 0, 1, 0, 0),
    floatStore(335, "Midi In", 0, 1, 0, 0),
    floatStore(338, "Channel Pressure", 0, 1, 0, 1),
    floatStore(339, "Pitch Bend", -1, 1, -0.1, 0.1),
    floatStore(340, "Mod Wheel", 0, 1, 0, 1),
    floatStore(385, "Block ms", 0, 1000, 0, 1000),
    mpeBend(404, "MPE:Bend#1"),
    mpeBend(405, "MPE:Bend#2"),
    mpeBend(406, "MPE:Bend#3"),
    mpeBend(407, "MPE:Bend#4"),
    mpeBend(408, "MPE:Bend#5"),
    mpeBend(409, "MPE:Bend#6"),
    mpeBend(410, "MPE:Bend#7"),
    mpeBend(411, "MPE:Bend#8"),
    mpeBend(412, "MPE:Bend#9"),
    mpeBend(413, "MPE:Bend#10"),
    mpeBend(414, "MPE:Bend#11"),
    mpeBend(415, "MPE:Bend#12"),
    mpeBend(416, "MPE:Bend#13"),
    mpeBend(417, "MPE:Bend#14"),
    mpeBend(418, "MPE:Bend#15"),
    mpeAmount(419, "MPE:Aft#1"),
    mpeAmount(420, "MPE:Aft#2"),
    mpeAmount(421, "MPE:Aft#3"),
    mpeAmount(422, "MPE:Aft#4"),
    mpeAmount(423, "MPE:Aft#5"),
    mpeAmount(424, "MPE:Aft#6"),
    mpeAmount(425, "MPE:Aft#7"),
    mpeAmount(426, "MPE:Aft#8"),
    mpeAmount(427, "MPE:Aft#9"),
    mpeAmount(428, "MPE:Aft#10"),
    mpeAmount(429, "MPE:Aft#11"),
    mpeAmount(430, "MPE:Aft#12"),
    mpeAmount(431, "MPE:Aft#13"),
    mpeAmount(432, "MPE:Aft#14"),
    mpeAmount(433, "MPE:Aft#15"),
    mpeAmount(434, "MPE:CC74#1"),
    mpeAmount(435, "MPE:CC74#2"),
    mpeAmount(436, "MPE:CC74#3"),
    mpeAmount(437, "MPE:CC74#4"),
    mpeAmount(438, "MPE:CC74#5"),
    mpeAmount(439, "MPE:CC74#6"),
    mpeAmount(440, "MPE:CC74#7"),
    mpeAmount(441, "MPE:CC74#8"),
    mpeAmount(442, "MPE:CC74#9"),
    mpeAmount(443, "MPE:CC74#10"),
    mpeAmount(444, "MPE:CC74#11"),
    mpeAmount(445, "MPE:CC74#12"),
    mpeAmount(446, "MPE:CC74#13"),
    mpeAmount(447, "MPE:CC74#14"),
    mpeAmount(448, "MPE:CC74#15"),
    editorControl(450, control::kAssignMidiCC, "Midi Learn", 0, 1, 0, 1, "AsnMidiCC.png", "Midi Learn:\nMove External Controller\nSupports NRPN"),

    {.id = 0, .kind = control::kEndOfTable, .arg = -1, .x = 0, .y = 0, .bitmap = nullptr, .min = 0,
     .max = 0, .engMin = 0, .engMax = 0, .name = nullptr, .options = nullptr, .tooltip = nullptr},
};
// clang-format on

constexpr bool isParameterRow(const ControlDescriptor& d) {
    return d.kind < control::kFirstDirectiveKind;
}

// Each host id has exactly one parameter row.
constexpr bool hostIdsCoveredOnce() {
    std::array<int, control::kHostParameterCount> rows{};
    for (std::size_t i = 1; i < std::size(kRows); ++i) {
        const std::uint32_t id = kRows[i].id & control::kIdMask;
        if (isParameterRow(kRows[i]) && id < rows.size()) {
            ++rows[id];
        }
    }
    for (const int count : rows) {
        if (count != 1) {
            return false;
        }
    }
    return true;
}

// Every panel the editor opens is closed again, and never more often than opened.
constexpr bool panelsBalanced() {
    int open = 0;
    for (const ControlDescriptor& d : kRows) {
        if (d.kind == control::kHiddenPanel || d.kind == control::kSubPanel) {
            ++open;
        } else if (d.kind == control::kClosePanel && --open < 0) {
            return false;
        }
    }
    return open == 0;
}

static_assert(hostIdsCoveredOnce());
static_assert(panelsBalanced());
static_assert(kRows[std::size(kRows) - 1].kind == control::kEndOfTable);

}  // namespace

std::span<const ControlDescriptor> controlTable() { return kRows; }
