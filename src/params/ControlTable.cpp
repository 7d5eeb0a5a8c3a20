// The instrument's control table: the background, host parameters 0..332 in id order, the
// editor-only controls and engine values 333..450, and the end row. Editor positions are 0 until
// the editor layout rows are added.
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

// clang-format off
constexpr ControlDescriptor kRows[] = {
    {.id = 0, .kind = 0, .arg = -1, .x = 0, .y = 0, .bitmap = "BG.png", .min = 0, .max = 0,
     .engMin = 0, .engMax = 0, .name = nullptr, .options = nullptr, .tooltip = nullptr},

    global(textEntry(0, "BankFile")),
    textEntry(1, "text1"),
    textEntry(2, "text2"),
    dataStore(3, control::kDataStore512, "zDataStorage1"),
    dataStore(4, control::kDataStore512, "zDataStorage2"),
    dataStore(5, control::kDataStore2048, "zDataStore2k1"),

    onOff(6, "Lfo1 On/Off", 0, 10, 0, 1),
    retrig(7, "Lfo1 Retrig"),
    optionList(8, "Lfo1 Shape", 0, 11, 0, 1.1, kLfoShapes),
    knob(9, 0, "Lfo1 Intro (s)", 0, 10, 0, 1000),
    optionList(10, "Lfo1 Target", 0, 18, 0, 1.8, kTargets19),
    knob(11, 3, "Lfo1 Rate(Hz)", 0.02, 20, 0.002, 2),
    optionList(12, "Lfo1 Beat", 0, 10, 0, 1, kLfoBeats),
    exclusive(13, "Lfo1 Sync", 0, 10, 0, 1),
    knob(14, 0, "Lfo1 Phase %", -50, 50, -0.5, 0.5),
    knob(15, 0, "Lfo1 Depth", 0, 10, 0, 1),
    onOff(16, "Lfo1 Subtle", 10, 1, 1, 0.1),

    onOff(17, "Lfo2 On/Off", 0, 10, 0, 1),
    retrig(18, "Lfo2 Retrig"),
    optionList(19, "Lfo2 Shape", 0, 11, 0, 1.1, kLfoShapes),
    knob(20, 0, "Lfo2 Intro (s)", 0, 10, 0, 1000),
    optionList(21, "Lfo2 Target", 0, 18, 0, 1.8, kTargets19),
    knob(22, 3, "Lfo2 Rate", 0.02, 20, 0.002, 2),
    optionList(23, "Lfo2 Beat", 0, 10, 0, 1, kLfoBeats),
    exclusive(24, "Lfo2 Sync", 0, 10, 0, 1),
    knob(25, 0, "Lfo2 Phase %", -50, 50, -0.5, 0.5),
    knob(26, 0, "Lfo2 Depth", 0, 10, 0, 1),
    onOff(27, "Lfo2 Subtle", 10, 1, 1, 0.1),

    onOff(28, "Lfo3 On/Off", 0, 10, 0, 1),
    retrig(29, "Lfo3 Retrig"),
    optionList(30, "Lfo3 Shape", 0, 11, 0, 1.1, kLfoShapes),
    knob(31, 0, "Lfo3 Intro (s)", 0, 10, 0, 1000),
    optionList(32, "Lfo3 Target", 0, 16, 0, 1.6, kLfo3Targets),
    knob(33, 3, "Lfo3 Rate", 0.02, 20, 0.002, 2),
    optionList(34, "Lfo3 Beat", 0, 10, 0, 1, kLfoBeats),
    exclusive(35, "Lfo3 Sync", 0, 10, 0, 1),
    knob(36, 0, "Lfo3 Phase %", -50, 50, -0.5, 0.5),
    knob(37, 0, "Lfo3 Depth", 0, 10, 0, 1),
    onOff(38, "Lfo3 Subtle", 10, 1, 1, 0.1),
    onOff(39, "Lfo3 Track", 0, 10, 0, 1),

    onOff(40, "Hfo On/Off", 0, 10, 0, 1),
    optionList(41, "HFO Target", 0, 12, 0, 1.2,
               "Main Pitch,Osc1 - Pitch,Osc2 - Pitch,Sub - Pitch,Filter Cutoff,Main FM,Osc1 - FM,"
               "Osc2 - FM,Sub - FM,Main - AM,Osc1 - AM,Osc2 - AM,Pulse Width,"),
    optionList(42, "HFO Shape", 0, 6, 0, 0.6, "Sine,Triangle,Pulse,Saw,Trap,Peak,Random,"),
    knob(43, 3, "HFO Depth", 0, 100, 0, 1),
    optionList(44, "HFO Oct", -3, 3, -0.3, 0.3, "-3,-2,-1,0,1,2,3,"),
    optionList(45, "HFO Semi", -12, 12, -0.1, 0.1, kSemitones),
    knob(46, 0, "HFO Tune (cents)", -100, 100, -0.00833333, 0.00833333),
    knob(47, 3, "HFO Attack (s)", 0, 10, 0, 1),
    knob(48, 3, "HFO Decay (s)", 0, 10, 0, 1),
    knob(49, 3, "HFO Sustain %", 0, 100, 0, 1),
    knob(50, 3, "HFO Release (s)", 0.001, 10, 0.0001, 1),
    knob(51, 3, "HFO Time Scale %", 25, 400, 0.025, 0.4),
    knob(52, 0, "HFO Velocity %", 0, 100, 0, 1),
    knob(53, 3, "HFO Level", 0, 100, 0, 1),

    onOff(54, "Aft On/Off", 0, 10, 0, 1),
    knob(55, 0, "Aft to Tune", 0, 100, 0, 0.00416667),
    knob(56, 0, "Aft to Width", 0, 100, 0, 1),
    knob(57, 0, "Aft to Cut", 0, 100, 0, 1),
    knob(58, 0, "Aft to Noise", 0, 100, 0, 1),
    knob(59, 0, "Aft to Gain", 0, 100, 0, 6),
    knob(60, 0, "Aft to Melt", 0, 100, 0, 1),
    knob(61, 0, "Aft Lfo3 Depth", 0, 100, 0, 1),
    knob(62, 0, "Aft Lfo3 Rate", 0, 100, 0, 1),
    knob(63, 0, "Aft HFO Depth", 0, 100, 0, 1),

    optionList(64, "Osc1 Wave", 0, 14, 0, 1.4, kOscWaves),
    optionList(65, "Osc2 Wave", 0, 14, 0, 1.4, kOscWaves),
    optionList(66, "Osc Mode", 0, 6, 0, 0.6, "Mix,And,Or,Xor,Ring,Sync,X-wave,"),
    optionList(67, "Osc Octave", -2, 3, -0.2, 0.3, "-2,-1,0,1,2,3,"),
    optionList(68, "Wave 2 Semi", -12, 12, -0.1, 0.1, kSemitones),
    knob(69, 0, "Wave 2 Tune", -50, 50, -0.00416667, 0.00416667),
    knob(70, 0, "Osc Drift", 0, 100, 0, 0.008333),
    knob(71, 0, "Osc Width %", 0, 95, 0, 0.95),
    knob(72, 3, "Portamento (ms)", 0, 1000, 0, 100),
    optionList(73, "SubOsc Wave", 0, 6, 0, 0.6, "Sine,Square,Triangle,Vox,Vox2,Vox3,Funk,"),
    onOff(74, "Ext Input", 0, 1, 0, 0.1),
    knob(75, 0, "Osc1 Mix", 0, 100, 0, 1),
    knob(76, 0, "Osc2 Mix", 0, 100, 0, 1),
    knob(77, 0, "SubOsc Mix", 0, 100, 0, 1),
    knob(78, 0, "Noise Mix", 0, 100, 0, 1),
    knob(79, 0, "Noise LPF", 0, 100, 1, 0),
    knob(80, 0, "Noise HPF", 0, 100, 0, 1),

    optionList(81, "Filter %", 5, -2.5, 0.5, -0.25, "100%,87%,75%,62%,50%,37%,25%,"),
    optionList(82, "LPF Type", 1, 10, 0.1, 1, "A,B,C,D,E,F,G,H,Acid,Milk,"),
    knob(83, 0, "LPF Cutoff", 0, 100, 0, 1),
    knob(84, 0, "LPF Resonance", 0, 100, 0, 0.9),
    knob(85, 0, "HPF Cutoff", 0, 100, 0, 0.7),
    knob(86, 0, "Filter Track", -100, 100, -1, 1),
    onOff(87, "Filter Invert", 0, 2, 0, 0.2),
    knob(88, 3, "LPF Attack (s)", 0, 10, 0, 1),
    knob(89, 3, "LPF Decay (s)", 0, 10, 0, 1),
    knob(90, 3, "LPF Sustain %", 0, 100, 0, 1),
    knob(91, 3, "LPF Release (s)", 0.001, 10, 0.0001, 1),
    knob(92, 3, "LPF Time Scale %", 25, 400, 0.025, 0.4),
    knob(93, 0, "LPF Velocity %", 0, 100, 0, 1),
    knob(94, 0, "Filter Env Level", 0, 100, 0, 1),

    onOff(95, "Env On/Off", 0, 10, 0, 1),
    knob(96, 3, "Env1 Attack (s)", 0, 10, 0, 1),
    knob(97, 3, "Env1 Decay (s)", 0, 10, 0, 1),
    knob(98, 3, "Env1 Sustain %", 0, 100, 0, 1),
    knob(99, 3, "Env1 Release (s)", 0.001, 10, 0.0001, 1),
    knob(100, 3, "Env1 Time Scale %", 25, 400, 0.025, 0.4),
    knob(101, 0, "Env1 Velocity %", 0, 100, 0, 1),
    knob(102, 3, "Env1 Level", 0, 100, 0, 1),
    onOff(103, "Env1 Invert", 0, 1, 0, 0.1),
    optionList(104, "Env1 Target", 0, 12, 0, 1.2, kEnvTargets),
    knob(105, 3, "Env2 Attack (s)", 0, 10, 0, 1),
    knob(106, 3, "Env2 Decay (s)", 0, 10, 0, 1),
    knob(107, 3, "Env2 Sustain %", 0, 100, 0, 1),
    knob(108, 3, "Env2 Release (s)", 0.001, 10, 0.0001, 1),
    knob(109, 3, "Env2 Time Scale %", 25, 400, 0.025, 0.4),
    knob(110, 0, "Env2 Velocity %", 0, 100, 0, 1),
    knob(111, 3, "Env2 Level", 0, 100, 0, 1),
    onOff(112, "Env2 Invert", 0, 1, 0, 0.1),
    optionList(113, "Env2 Target", 0, 12, 0, 1.2, kEnvTargets),

    knob(114, 3, "Amp Attack (s)", 0.001, 10, 0.0001, 1),
    knob(115, 3, "Amp Decay (s)", 0.001, 10, 0.0001, 1),
    knob(116, 3, "Amp Sustain %", 0, 100, 0, 1),
    knob(117, 3, "Amp Release (s)", 0.001, 10, 0.0001, 1),
    knob(118, 3, "Amp Time Scale %", 25, 400, 0.025, 0.4),
    knob(119, 0, "Amp Velocity %", 0, 100, 0, 1),
    optionList(120, "Play Mode", 0, 2, 0, 0.2, "Mono,Legato,Poly,"),
    knob(121, 0, "Gain", 0, 100, 1, 10),
    knob(122, 0, "Master Pan", -100, 100, -0.5, 0.5),
    knob(123, 0, "Master Volume %", 0, 100, 0, 1),

    onOff(124, "Arp OnOff", 0, 1, 0, 0.1),
    onOff(125, "Arp Hold", 0, 1, 0, 0.1),
    optionList(126, "Arp Mode", 1, 5, 0.1, 0.5, "Cycle Up,Cycle Down,Cycle Up/Dn,Cycle Up/Dn2,Random,"),
    optionList(127, "Arp Range", 0, 3, 0, 0.3, "1,2,3,4,"),
    optionList(128, "Arp Rate", 0, 8, 0, 0.8, kRates),
    optionList(129, "Arp Vel", 0, 1, 0, 0.1, "Note,Constant,"),
    knob(130, 0, "Arp Gate %", 5, 95, 0.05, 0.95),

    onOff(131, "Seq OnOff", 0, 1, 0, 0.1),
    optionList(132, "Seq Dir", 0, 4, 0, 0.4, "Forward,Back,Fwd/Back,Back/Fwd,Random,"),
    optionList(133, "Seq Rate", 0, 8, 0, 0.8, kRates),
    optionList(134, "Seq Length", 0, 7, 0, 0.7, "1,2,3,4,5,6,7,8,"),
    onOff(135, "SeqA 1", 0, 10, 0, 1),
    onOff(136, "SeqA 2", 0, 10, 0, 1),
    onOff(137, "SeqA 3", 0, 10, 0, 1),
    onOff(138, "SeqA 4", 0, 10, 0, 1),
    onOff(139, "SeqA 5", 0, 10, 0, 1),
    onOff(140, "SeqA 6", 0, 10, 0, 1),
    onOff(141, "SeqA 7", 0, 10, 0, 1),
    onOff(142, "SeqA 8", 0, 10, 0, 1),
    optionList(143, "Seq Range", -24, 24, -0.2, 0.2,
               "-24,-23,-22,-21,-20,-19,-18,-17,-16,-15,-14,-13,-12,-11,-10,-9,-8,-7,-6,-5,-4,-3,-2,-1,"
               "0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,"),
    knob(144, 0, "SeqB 1", 0, 100, 0, 1),
    knob(145, 0, "SeqB 2", 0, 100, 0, 1),
    knob(146, 0, "SeqB 3", 0, 100, 0, 1),
    knob(147, 0, "SeqB 4", 0, 100, 0, 1),
    knob(148, 0, "SeqB 5", 0, 100, 0, 1),
    knob(149, 0, "SeqB 6", 0, 100, 0, 1),
    knob(150, 0, "SeqB 7", 0, 100, 0, 1),
    knob(151, 0, "SeqB 8", 0, 100, 0, 1),
    knob(152, 0, "Seq Filter", -100, 100, -1, 1),
    knob(153, 0, "Seq Amp", -100, 100, -1, 1),

    optionList(154, "Melt A Mode", 0, 1, 0, 0.1, "Circuit,Tape,"),
    knob(155, 0, "Melt Depth", 0, 100, 0, 1),
    knob(156, 0, "Melt A Pitch", 0, 100, 0.5, 1.5),
    knob(157, 0, "Melt A Blend", 100, 750, 10, 75),
    knob(158, 0, "Melt A Jump", 0, 100, 0, 0.5),
    knob(159, 3, "Melt A Speed (Hz)", 3, 30, 3, 30),
    knob(160, 0, "Melt A Amp", 0, 100, 0, 2),
    knob(161, 0, "Melt Buffer", 0, 100, 2.5, 7.5),

    onOff(162, "Echo OnOff", 0, 10, 0, 1),
    onOff(163, "Echo Pong", 0, 10, 0, 1),
    retrig(164, "Osc Retrig"),
    optionList(165, "Echo Rate", 0, 4, 0, 0.4, "1b,1/2,1/4,1/8,1/16,"),
    knob(166, 0, "Echo Shift", -100, 100, -0.1, 0.1),
    knob(167, 0, "Echo Phase", 0, 100, 0.5, 0),
    knob(168, 0, "Echo Length", 1, 8, 1, 8),
    knob(169, 0, "Echo FBK", 0, 100, 0, 1),
    knob(170, 0, "Echo LPF", 50, 100, 0.5, 1),
    knob(171, 0, "Echo HPF", 0, 50, 0, 0.5),
    knob(172, 0, "Echo Level", 0, 100, 0, 1),
    onOff(173, "Echo Step", 0, 10, 0, 1),

    optionList(174, "LPF Shape", 0, 2, 0, 0.2, kEnvShapes),
    knob(175, 0, "Seq Glide", 1, 250, 0.1, 25),
    optionList(176, "Amp Shape", 0, 2, 0, 0.2, kEnvShapes),
    knob(177, 0, "Logic Switch", 0, 50, 0, 0.5),
    knob(178, 0, "Filter2 Offset (Semi)", 0, 24, 0, -0.2),
    onOff(179, "Filter2 Active", 0, 1, 0, 0.1),
    optionList(180, "LPF Mode", 0, 1, 0.1, 0, "24dB,12dB,"),
    optionList(181, "Gain Mode", 0, 2, 0, 0.2, "Post,Pre,Off,"),
    optionList(182, "Env Source", 0, 1, 0, 0.1, "LPF,AMP,"),
    onOff(183, "HPF Res", 0, 10, 0, 1),
    optionList(184, "Bend Depth", 1, 48, 0.0833333, 4,
               "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,29,30,31,32,"
               "33,34,35,36,37,38,39,40,41,42,43,44,45,46,47,48,"),
    optionList(185, "ModToAft", 0, 1, 0, 1, "Normal,Aftertouch,"),

    onOff(186, "Cho Mode", 0, 1, 0, 0.1),
    knob(187, 3, "Chorus Depth (ms)", 0, 5, 0, 0.5),
    knob(188, 3, "Chorus Rate (Hz)", 0.1, 15, 0.01, 1.5),
    knob(189, 0, "Chorus Sep %", 0, 100, 1, 0.25),
    knob(190, 0, "Chorus Melt %", 0, 100, 0, 1),
    knob(191, 0, "Chorus Mix %", 0, 100, -0.5, 0.5),
    knob(192, 3, "Chorus Spread (ms)", 0, 50, 0, 5),
    knob(193, 0, "Pan Tracking %", -100, 100, -2, 2),
    onOff(194, "Arp Half", 0, 1, 1, 1.5),
    onOff(195, "Seq Half", 0, 1, 1, 1.5),

    frequencyKnob(196, "EQ 1 Freq Hz", 20, 20480, 2, 2048),
    knob(197, 0, "EQ 1 Gain dB", -18, 18, -1.8, 1.8),
    knob(198, 0, "EQ 1 Width", 100, 10, 10, 1),
    frequencyKnob(199, "EQ 2 Freq Hz", 20, 20480, 2, 2048),
    knob(200, 0, "EQ 2 Gain dB", -18, 18, -1.8, 1.8),
    knob(201, 0, "EQ 2 Width", 100, 10, 10, 1),
    frequencyKnob(202, "EQ 3 Freq Hz", 20, 20480, 2, 2048),
    knob(203, 0, "EQ 3 Gain dB", -18, 18, -1.8, 1.8),
    knob(204, 0, "EQ 3 Width", 100, 10, 10, 1),
    onOff(205, "EQ Active", 0, 10, 0, 1),
    optionList(206, "Pre-Post EQ", 0, 1, 0, 0.1, "Pre,Post,"),
    floatStore(207, "Version", 0, 10, 0, 1),
    knob(208, 0, "Filter Saturation %", 0, 100, 0, 1),
    knob(209, 0, "Filter Drive %", -50, 100, 0.5, 2),
    onOff(210, "Echo Dotted", 0, 10, 0, 1),
    optionList(211, "Midi Channel", -1, 15, -0.1, 1.5,
               "Channel: All,Channel: 1,Channel: 2,Channel: 3,Channel: 4,Channel: 5,Channel: 6,"
               "Channel: 7,Channel: 8,Channel: 9,Channel: 10,Channel: 11,Channel: 12,Channel: 13,"
               "Channel: 14,Channel: 15,Channel: 16,"),

    global(button(212, "OSC Rnd")),
    global(button(213, "Filter Rnd")),
    global(button(214, "SEQ Rnd")),
    global(button(215, "LFO1 Rnd")),
    global(button(216, "LFO2 Rnd")),
    global(button(217, "LFO3 Rnd")),
    global(button(218, "HFO Rnd")),
    global(button(219, "Env Rnd")),
    global(button(220, "AFT Rnd")),
    global(button(221, "Melt:A Rnd")),
    optionList(222, "Mono Note Mode", 0, 1, 0, 0.1, "OFF,Last Note,"),
    row(223, control::kButtonHub, "Melt System", 0, 1, 0, 0.1, "A,B,"),
    knob(224, 3, "Melt B Wow (Hz)", 1, 15, 1, 15),
    knob(225, 3, "Melt B Flutter (Hz)", 15, 30, 15, 30),
    knob(226, 0, "Melt B Speed Mix %", 0, 100, -0.5, 0.5),
    knob(227, 3, "Melt B to Pitch %", 0, 100, 0, 0.0166667),
    knob(228, 0, "Melt B to Amp %", 0, 100, 0, 1.25),
    knob(229, 0, "Melt B to HFO", 0, 100, 0, 0.025),
    optionList(230, "Osc Harmonics", 0, 37, 0, 3.7,
               "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,23,24,25,26,27,28,29,30,31,32,"
               "48,64,96,128,512,1024,"),
    global(button(231, "Melt:B Rnd")),
    global(onOff(232, "MPE Active", 0, 1, 0, 0.1)),
    global(onOff(233, "MPE A:74", 0, 1, 0, 0.1)),
    knob(234, 3, "Noise Tone", 0, 100, 0, 50),
    optionList(235, "Env1 Shape", 0, 2, 0, 0.2, kEnvShapes),
    optionList(236, "Env2 Shape", 0, 2, 0, 0.2, kEnvShapes),
    onOff(237, "Melt A Cutoff", 0, 10, 0, 8),
    onOff(238, "Melt B Cutoff", 0, 10, 0, 15),
    knob(239, 0, "Aft HFO Rate", -3, 3, -0.3, 0.3),
    knob(240, 0, "MPE: LPF Depth", 0, 100, 0, 1),
    knob(241, 0, "MPE: AMP Depth", 0, 100, 0, 5),

    zFuture(242), zFuture(243), zFuture(244), zFuture(245), zFuture(246), zFuture(247), zFuture(248),
    zFuture(249), zFuture(250), zFuture(251), zFuture(252), zFuture(253), zFuture(254), zFuture(255),
    zFuture(256), zFuture(257), zFuture(258), zFuture(259), zFuture(260), zFuture(261), zFuture(262),
    zFuture(263), zFuture(264), zFuture(265), zFuture(266), zFuture(267), zFuture(268), zFuture(269),
    zFuture(270), zFuture(271), zFuture(272), zFuture(273), zFuture(274), zFuture(275), zFuture(276),
    zFuture(277), zFuture(278), zFuture(279), zFuture(280), zFuture(281), zFuture(282), zFuture(283),
    zFuture(284), zFuture(285), zFuture(286), zFuture(287), zFuture(288), zFuture(289), zFuture(290),
    zFuture(291), zFuture(292), zFuture(293), zFuture(294), zFuture(295), zFuture(296), zFuture(297),
    zFuture(298), zFuture(299), zFuture(300), zFuture(301), zFuture(302), zFuture(303), zFuture(304),
    zFuture(305), zFuture(306), zFuture(307), zFuture(308), zFuture(309), zFuture(310), zFuture(311),
    zFuture(312), zFuture(313), zFuture(314), zFuture(315), zFuture(316), zFuture(317), zFuture(318),
    zFuture(319), zFuture(320), zFuture(321), zFuture(322), zFuture(323), zFuture(324), zFuture(325),
    zFuture(326), zFuture(327), zFuture(328), zFuture(329), zFuture(330), zFuture(331), zFuture(332),

    // Engine MIDI inputs: events carry the packed MIDI word, never a value through the ranges.
    floatStore(334, "Midi Keyboard", 0, 1, 0, 0),
    floatStore(335, "Midi In", 0, 1, 0, 0),
    // Channel pressure and the modulation wheel 0..1; the pitch bend is multiplied by "Bend Depth"
    // (octaves), so a full bend of 0.1 is worth "Bend Depth" in pitch units.
    floatStore(338, "Channel Pressure", 0, 1, 0, 1),
    floatStore(339, "Pitch Bend", -1, 1, -0.1, 0.1),
    floatStore(340, "Mod Wheel", 0, 1, 0, 1),

    // Randomise groups, in the order of their trigger buttons 212..221 and 231.
    editorControl(341, control::kMemoryBanks, "OSC Rnd Group", 0, 1, 0, 1),
    editorControl(342, control::kMemoryBanks, "Filter Rnd Group", 0, 1, 0, 1),
    editorControl(343, control::kMemoryBanks, "SEQ Rnd Group", 0, 1, 0, 1),
    editorControl(344, control::kMemoryBanks, "LFO1 Rnd Group", 0, 1, 0, 1),
    editorControl(345, control::kMemoryBanks, "LFO2 Rnd Group", 0, 1, 0, 1),
    editorControl(346, control::kMemoryBanks, "LFO3 Rnd Group", 0, 1, 0, 1),
    editorControl(347, control::kMemoryBanks, "HFO Rnd Group", 0, 1, 0, 1),
    editorControl(348, control::kMemoryBanks, "Env Rnd Group", 0, 1, 0, 1),
    editorControl(349, control::kMemoryBanks, "AFT Rnd Group", 0, 1, 0, 1),
    editorControl(350, control::kMemoryBanks, "Melt:A Rnd Group", 0, 1, 0, 1),
    editorControl(351, control::kMemoryBanks, "Melt:B Rnd Group", 0, 1, 0, 1),

    // The editor sets this panel button to engineering 1.0 when it opens.
    editorControl(355, control::kExclusiveButton, "Panel Select", 0, 1, 0, 1),

    button(366, "Copy"),
    button(367, "Paste"),
    button(368, "Copy P"),
    button(369, "Paste P"),
    button(370, "Copy"),
    button(371, "Paste"),
    button(372, "Copy"),
    button(373, "Paste"),
    button(374, "LoadSEQ"),
    button(375, "SaveSEQ"),
    button(376, "LoadOSC"),
    button(377, "SaveOSC"),
    button(378, "LoadFILTER"),
    button(379, "SaveFILTER"),
    button(380, "LoadECHO"),
    button(381, "SaveECHO"),

    // Engine block length in milliseconds, set at each engine build; 128 samples at the lowest
    // accepted rate of 200 Hz make 640 ms.
    floatStore(385, "Block ms", 0, 1000, 0, 1000),
    editorControl(386, control::kGlobalNameDisplay, "GlobalNm", 0, 1, 0, 1),
    // Cleared to 0 whenever a program is applied.
    editorControl(387, control::kGlobalNumberDisplay, "Global#", 0, 1, 0, 1),

    button(392, "Preset Up"),
    button(393, "Preset Down"),
    button(398, "Load Single Sound Preset"),
    button(399, "Save Single Sound Preset"),
    button(400, "Bank and Midi:CC Options"),
    // The program selector: its value is the program number, passed on unchanged.
    editorControl(401, control::kTextOnly, "Preset Name", 0, 127, 0, 127, nullptr,
                  "Preset Selection\nRight Click To Change Preset Name"),
    // The running sequencer step 0..7.
    editorControl(402, control::kMultiLevel, "Seq A", 0, 7, 0, 7),
    editorControl(403, control::kMultiLevel, "Seq B", 0, 7, 0, 7),

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

    editorControl(450, control::kAssignMidiCC, "Midi Learn", 0, 1, 0, 1, "AsnMidiCC.png",
                  "Midi Learn:\nMove External Controller\nSupports NRPN"),

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

static_assert(hostIdsCoveredOnce());
static_assert(kRows[std::size(kRows) - 1].kind == control::kEndOfTable);

}  // namespace

std::span<const ControlDescriptor> controlTable() { return kRows; }
