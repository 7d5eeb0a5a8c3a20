#include "engine/ShippedNetlist.h"

#include <initializer_list>
#include <iterator>

#include "engine/NetlistConstants.h"
#include "engine/QX_ModuleBase.h"

namespace {

// Fails the compilation when a row of the table breaks the record format.
consteval void require(bool ok, const char* fault) {
    if (!ok) {
        throw fault;
    }
}

consteval NetlistEntry entry(int pin, int sourceOutput, int source) {
    return {static_cast<std::uint8_t>(pin), static_cast<std::uint8_t>(sourceOutput),
            static_cast<std::int16_t>(source)};
}

consteval void requireInputPin(int pin) {
    require(pin >= 0 && pin < kModulePins, "input pin out of range");
}

// p <- m:o: input pin fed by output `output` of the module with id `moduleId`.
consteval NetlistEntry in(int pin, int moduleId, int output) {
    requireInputPin(pin);
    require(moduleId >= kFirstModuleId && moduleId <= kLastModuleId, "source is not a module id");
    require(output >= 0 && output < kModulePins, "source output out of range");
    return entry(pin, output, moduleId);
}

// p <- Pn: input pin bound to parameter n.
consteval NetlistEntry param(int pin, int parameter) {
    requireInputPin(pin);
    require(parameter >= 0 && parameter < kFirstConstant, "not a parameter id");
    return entry(pin, 0, parameter);
}

// p <- Kn(v): input pin pointing at constant n. The record holds only n; `storedValue` is checked
// against the constants table so that a wrong number cannot slip in.
consteval NetlistEntry constant(int pin, int number, float storedValue) {
    requireInputPin(pin);
    require(number >= kFirstConstant && number < kFirstConstant + kConstantCount,
            "not a constant number");
    require(kNetlistConstants[number - kFirstConstant] == storedValue,
            "constant does not hold the value given");
    return entry(pin, 0, number);
}

// Rk=Pn: parameter n registered at position k. No registration of this table carries a flag
// byte, so it is 0.
consteval NetlistEntry reg(int position, int parameter) {
    require(position >= 0 && position < kParameterSlots, "registration position out of range");
    require(parameter >= 0 && parameter < kFirstConstant, "not a parameter id");
    return entry(kFirstRegistrationPin + position, 0, parameter);
}

// A record of `moduleId` with the entries given, closed by the end-of-entries mark unless all 64
// are used.
consteval NetlistRecord withEntries(int moduleId, std::initializer_list<NetlistEntry> entries) {
    require(entries.size() <= kNetlistEntriesPerRecord, "too many entries");
    NetlistRecord record{static_cast<std::int16_t>(moduleId), {}};
    int count = 0;
    for (const NetlistEntry& e : entries) {
        record.entries[count++] = e;
    }
    if (count < kNetlistEntriesPerRecord) {
        record.entries[count] = entry(kEndOfEntries, 0, 0);
    }
    return record;
}

consteval NetlistRecord moduleRecord(int moduleId, std::initializer_list<NetlistEntry> entries) {
    require(moduleId >= kFirstModuleId && moduleId <= kLastModuleId, "not a module id");
    return withEntries(moduleId, entries);
}

// The records up to the group end are made once per copy; entry 0's pin byte holds the copies.
consteval NetlistRecord voiceGroupStart(int copies) {
    return withEntries(kVoiceGroupStart, {entry(copies, 0, 0)});
}

consteval NetlistRecord voiceGroupEnd() { return withEntries(kVoiceGroupEnd, {}); }

// Wires more inputs of a module made earlier; entry 0's source names it. The entries to apply
// follow in the next record.
consteval NetlistRecord extraWiringOf(int moduleId) {
    require(moduleId >= kFirstModuleId && moduleId <= kLastModuleId, "not a module id");
    return withEntries(kExtraWiring, {entry(0, 0, moduleId)});
}

// The record after an extra-wiring marker: only its entries are read. Its first word is the
// marker again, so a walk that lands on it by mistake makes no module.
consteval NetlistRecord extraWiringEntries(std::initializer_list<NetlistEntry> entries) {
    return withEntries(kExtraWiring, entries);
}

consteval NetlistRecord netlistEnd() { return withEntries(kNetlistEnd, {}); }

// One record per line or block, numbered as the builder walks them, with the module's class.
// Records marked "voice" lie inside the voice group.
constexpr NetlistRecord kShippedNetlist[] = {
    moduleRecord(6003, {}),  // 0 Host_AudioIn
    moduleRecord(6005, {  // 1 FixedValueToVolt
        constant(0, 5500, 0), constant(1, 5505, 5), constant(2, 5510, 10), constant(3, 5501, 1),
        constant(4, 5634, 0.5f), constant(5, 5506, 6), constant(6, 5630, 0.1f),
        constant(7, 5503, 3), constant(8, 5502, 2), constant(9, 5628, -5), constant(10, 5511, 11),
        constant(11, 5567, 400), constant(12, 5607, 5000), constant(13, 5654, -4.25f),
        constant(14, 5515, 15), constant(15, 5550, 50), constant(16, 5652, 0.00133f)
    }),
    moduleRecord(6008, {  // 2 FixedValueToINT_FLOAT
        constant(0, 5500, 0), constant(1, 5501, 1), constant(2, 5502, 2), constant(3, 5503, 3),
        constant(4, 5504, 4), constant(5, 5505, 5), constant(6, 5506, 6), constant(7, 5507, 7),
        constant(8, 5508, 8), constant(9, 5509, 9), constant(10, 5510, 10), constant(11, 5511, 11),
        constant(12, 5512, 12), constant(13, 5513, 13), constant(14, 5514, 14),
        constant(15, 5515, 15), constant(16, 5516, 16), constant(17, 5517, 17),
        constant(18, 5518, 18), constant(19, 5519, 19), constant(20, 5520, 20),
        constant(21, 5521, 21), constant(22, 5522, 22), constant(23, 5523, 23),
        constant(24, 5524, 24), constant(25, 5525, 25), constant(26, 5654, -4.25f),
        constant(27, 5655, 0.001f), constant(28, 5634, 0.5f), constant(29, 5557, 150),
        constant(30, 5646, -2), constant(31, 5647, 11), constant(32, 5648, 0.2f),
        constant(33, 5649, 9.2f), constant(34, 5629, -10), constant(35, 5650, -20),
        constant(36, 5628, -5), constant(37, 5555, 100), constant(38, 5593, 1500),
        constant(39, 5630, 0.1f), constant(40, 5633, 0.4f), constant(41, 5559, 200),
        constant(42, 5656, -200), param(59, 211)
    }),
    moduleRecord(6491, {}),  // 3 Host_Tempo
    moduleRecord(6523, {  // 4 Copy_Paste
        param(3, 221), reg(0, 156), reg(1, 158), reg(2, 160), reg(3, 157), reg(4, 159), reg(5, 161)
    }),
    moduleRecord(6524, {  // 5 Copy_Paste
        param(3, 231), reg(0, 224), reg(1, 225), reg(2, 226), reg(3, 227), reg(4, 228), reg(5, 229)
    }),
    moduleRecord(6513, {  // 6 Copy_Paste
        param(3, 212), reg(0, 64), reg(1, 65), reg(2, 73), reg(3, 66), reg(4, 71)
    }),
    moduleRecord(6514, {  // 7 Copy_Paste
        param(3, 213), reg(0, 83), reg(1, 84), reg(2, 85), reg(3, 82), reg(4, 88), reg(5, 89),
        reg(6, 90), reg(7, 91), reg(8, 178)
    }),
    moduleRecord(6516, {  // 8 Copy_Paste
        param(3, 214), in(5, 6008, 3), reg(0, 135), reg(1, 136), reg(2, 137), reg(3, 138),
        reg(4, 139), reg(5, 140), reg(6, 141), reg(7, 142)
    }),
    moduleRecord(6515, {  // 9 Copy_Paste
        param(3, 214), reg(0, 144), reg(1, 145), reg(2, 146), reg(3, 147), reg(4, 148),
        reg(5, 149), reg(6, 150), reg(7, 151)
    }),
    moduleRecord(6517, {  // 10 Copy_Paste
        param(3, 215), reg(0, 8), reg(1, 10), reg(2, 11), reg(3, 12), reg(4, 14)
    }),
    moduleRecord(6518, {  // 11 Copy_Paste
        param(3, 216), reg(0, 19), reg(1, 21), reg(2, 22), reg(3, 23), reg(4, 25)
    }),
    moduleRecord(6519, {  // 12 Copy_Paste
        param(3, 217), reg(0, 30), reg(1, 32), reg(2, 33), reg(3, 34), reg(4, 36), reg(5, 39)
    }),
    moduleRecord(6520, {  // 13 Copy_Paste
        param(3, 218), reg(0, 41), reg(1, 42), reg(2, 44), reg(3, 45), reg(4, 46), reg(5, 47),
        reg(6, 48), reg(7, 49), reg(8, 50), reg(9, 53)
    }),
    moduleRecord(6521, {  // 14 Copy_Paste
        param(3, 219), reg(0, 104), reg(1, 103), reg(2, 96), reg(3, 97), reg(4, 98), reg(5, 99),
        reg(6, 102), reg(7, 113), reg(8, 112), reg(9, 105), reg(10, 106), reg(11, 107),
        reg(12, 108), reg(13, 111)
    }),
    moduleRecord(6522, {  // 15 Copy_Paste
        param(3, 220), reg(0, 55), reg(1, 56), reg(2, 57), reg(3, 58), reg(4, 59), reg(5, 60),
        reg(6, 61), reg(7, 62), reg(8, 63)
    }),
    moduleRecord(6509, {  // 16 Copy_Paste
        param(0, 366), param(1, 367), param(9, 135), param(10, 136), param(11, 137),
        param(12, 138), param(13, 139), param(14, 140), param(15, 141), param(16, 142),
        param(17, 144), param(18, 145), param(19, 146), param(20, 147), param(21, 148),
        param(22, 149), param(23, 150), param(24, 151), param(25, 132), param(26, 133),
        param(27, 134), param(28, 143), reg(0, 135), reg(1, 136), reg(2, 137), reg(3, 138),
        reg(4, 139), reg(5, 140), reg(6, 141), reg(7, 142), reg(8, 144), reg(9, 145), reg(10, 146),
        reg(11, 147), reg(12, 148), reg(13, 149), reg(14, 150), reg(15, 151), reg(16, 132),
        reg(17, 133), reg(18, 134), reg(19, 143)
    }),
    moduleRecord(6511, {  // 17 Copy_Paste
        param(0, 370), param(1, 371), param(9, 64), param(10, 65), param(11, 73), param(12, 66),
        param(13, 71), param(14, 70), param(15, 69), param(16, 68), param(17, 67), param(18, 177),
        param(19, 164), param(20, 66), param(21, 75), param(22, 76), param(23, 77), param(24, 78),
        param(25, 79), param(26, 80), reg(0, 64), reg(1, 65), reg(2, 73), reg(3, 66), reg(4, 71),
        reg(5, 70), reg(6, 69), reg(7, 68), reg(8, 67), reg(9, 177), reg(10, 164), reg(11, 66),
        reg(12, 75), reg(13, 76), reg(14, 77), reg(15, 78), reg(16, 79), reg(17, 80)
    }),
    moduleRecord(6512, {  // 18 Copy_Paste
        param(0, 372), param(1, 373), param(9, 81), param(10, 82), param(11, 180), param(12, 83),
        param(13, 84), param(14, 85), param(15, 94), param(16, 121), param(17, 181),
        param(18, 178), param(19, 179), param(20, 182), param(21, 183), param(22, 87),
        param(23, 86), param(24, 88), param(25, 89), param(26, 90), param(27, 91), param(28, 92),
        param(29, 93), param(30, 174), param(31, 208), param(32, 209), reg(0, 81), reg(1, 82),
        reg(2, 180), reg(3, 83), reg(4, 84), reg(5, 85), reg(6, 94), reg(7, 121), reg(8, 181),
        reg(9, 178), reg(10, 179), reg(11, 182), reg(12, 183), reg(13, 87), reg(14, 86),
        reg(15, 88), reg(16, 89), reg(17, 90), reg(18, 91), reg(19, 92), reg(20, 93), reg(21, 174),
        reg(22, 208), reg(23, 209)
    }),
    moduleRecord(6529, {  // 19 Velkor2_Control
        in(0, 6491, 1), param(1, 42), param(2, 73), param(3, 66), param(4, 165), param(5, 168),
        param(6, 11), param(7, 12), param(8, 13), param(9, 22), param(10, 23), param(11, 24),
        param(12, 33), param(13, 34), param(14, 35), param(15, 39), param(16, 44), param(17, 45),
        param(18, 46), param(19, 173), param(20, 41), param(21, 43), param(22, 53), param(24, 120),
        param(25, 123), param(26, 210), param(29, 154), param(30, 156), param(31, 158),
        param(32, 160), param(33, 157), param(34, 159), param(41, 181), param(39, 179),
        param(40, 178), param(42, 84), param(44, 205), param(45, 206), param(46, 186),
        param(47, 191), param(48, 188), param(49, 189), param(50, 187), param(51, 190),
        param(52, 223), param(53, 224), param(54, 225), param(55, 226), param(56, 227),
        param(57, 228), param(58, 229), param(59, 237), param(60, 238)
    }),
    moduleRecord(6021, {  // 20 GUItoV_Glide_Multi
        in(49, 6008, 29), in(0, 6529, 4), param(1, 196), param(2, 199), param(3, 202),
        param(4, 226), param(5, 227), param(6, 228), param(7, 229), in(9, 6529, 38)
    }),
    moduleRecord(6023, {in(0, 6529, 30), in(49, 6529, 31)}),  // 21 GUItoV_Glide_Multi
    moduleRecord(6024, {  // 22 GUItoV_Glide_Multi
        param(49, 157), in(0, 6529, 29), in(1, 6529, 48), in(2, 6529, 49), in(3, 6529, 50)
    }),
    moduleRecord(6025, {in(0, 6529, 34), in(49, 6529, 36)}),  // 23 GUItoV_Glide_Multi
    moduleRecord(6026, {in(0, 6529, 35), in(49, 6529, 37)}),  // 24 GUItoV_Glide_Multi
    moduleRecord(6247, {  // 25 XMixVol
        in(0, 6025, 0), in(1, 6026, 0), in(2, 6021, 4), in(4, 6021, 5)
    }),
    moduleRecord(6248, {  // 26 XMixVol
        in(0, 6025, 0), in(1, 6026, 0), in(2, 6021, 4), in(4, 6021, 6)
    }),
    moduleRecord(6249, {  // 27 XMixVol
        in(0, 6025, 0), in(1, 6026, 0), in(2, 6021, 4), in(4, 6021, 7)
    }),
    moduleRecord(6124, {  // 28 Adder
        in(0, 6023, 0), param(20, 223), in(40, 6008, 0), in(1, 6247, 0), param(21, 223),
        in(41, 6008, 1)
    }),
    moduleRecord(6125, {  // 29 Adder
        in(0, 6024, 0), param(20, 223), in(40, 6008, 0), in(1, 6248, 0), param(21, 223),
        in(41, 6008, 1)
    }),
    moduleRecord(6127, {  // 30 Adder
        in(0, 6005, 0), param(20, 223), in(40, 6008, 0), in(1, 6249, 0), param(21, 223),
        in(41, 6008, 1)
    }),
    moduleRecord(6032, {  // 31 GUI_Multi_ABxC
        param(0, 68), param(20, 69), in(1, 6529, 42), param(41, 183), param(2, 339),
        param(42, 184), param(4, 15), param(44, 16), param(5, 26), param(45, 27), param(6, 37),
        param(46, 38), param(7, 61), param(47, 38), param(8, 338), param(48, 54), param(9, 340),
        param(49, 185)
    }),
    moduleRecord(6033, {  // 32 GUI_Multi_ABxC
        param(0, 208), in(40, 6529, 42), in(8, 6032, 8), in(28, 6032, 9)
    }),
    moduleRecord(6038, {  // 33 GUI_Multi_AxB_C
        in(0, 6033, 8), param(20, 57), param(40, 83), in(1, 6033, 8), param(21, 55),
        in(41, 6032, 0), in(2, 6033, 8), param(22, 56), param(42, 71), in(3, 6033, 8),
        param(23, 58), param(43, 78), in(4, 6033, 8), param(24, 59), param(44, 121),
        in(5, 6033, 8), param(25, 60), param(45, 155), in(6, 6033, 8), in(26, 6032, 7),
        in(46, 6032, 6), in(7, 6033, 8), param(27, 62), in(47, 6529, 7), in(8, 6033, 8),
        param(28, 63), in(48, 6529, 10), in(10, 6033, 8), param(30, 239), in(50, 6529, 9),
        in(9, 6529, 42)
    }),
    moduleRecord(6019, {  // 34 GUItoV_Glide_Multi
        in(49, 6008, 37), param(0, 193), param(1, 122), in(2, 6032, 1), param(3, 75), param(4, 76),
        param(5, 77), param(6, 78), in(7, 6038, 2), in(8, 6038, 4), in(9, 6038, 5), param(10, 177),
        in(11, 6038, 1), in(12, 6529, 5), param(13, 14), in(14, 6529, 6), param(15, 25),
        in(16, 6038, 7), param(17, 36), in(18, 6033, 0), param(19, 81), param(20, 209),
        in(21, 6529, 42), param(22, 85), in(23, 6038, 0), in(24, 6038, 9), param(25, 94),
        in(27, 6038, 10), in(28, 6038, 8), param(29, 170), param(30, 171), param(31, 169),
        param(32, 167), param(33, 172), param(34, 166), in(35, 6032, 4), in(36, 6032, 5),
        in(37, 6038, 6), in(40, 6529, 12), param(42, 102), param(44, 111)
    }),
    moduleRecord(6020, {  // 35 GUItoV_Glide_Multi
        param(0, 114), param(1, 115), param(2, 116), param(3, 117), param(4, 88), param(5, 89),
        param(6, 90), param(7, 91), param(9, 47), param(10, 48), param(11, 49), param(12, 50),
        param(14, 96), param(15, 97), param(16, 98), param(17, 99), param(19, 105), param(20, 106),
        param(21, 107), param(22, 108), param(24, 178), in(25, 6032, 2), in(26, 6038, 3),
        in(27, 6529, 47), param(31, 192)
    }),
    moduleRecord(6360, {param(4, 79), param(5, 80), param(6, 234)}),  // 36 Noise
    moduleRecord(6494, {param(0, 335), in(19, 6008, 1), in(30, 6008, 10)}),  // 37 Midi_Adder
    moduleRecord(6488, {  // 38 Midi_Sync_Tempo
        in(0, 6494, 0), in(1, 6491, 1), param(2, 133), param(3, 128), param(12, 125),
        param(13, 125), param(22, 195), param(23, 194)
    }),
    moduleRecord(6027, {  // 39 GUItoV_Glide_Multi
        param(60, 232), param(0, 404), param(1, 405), param(2, 406), param(3, 407), param(4, 408),
        param(5, 409), param(6, 410), param(7, 411), param(8, 412), param(9, 413), param(10, 414),
        param(11, 415), param(12, 416), param(13, 417), param(14, 418), param(50, 184)
    }),
    moduleRecord(6028, {  // 40 GUItoV_Glide_Multi
        param(60, 232), param(0, 419), param(1, 420), param(2, 421), param(3, 422), param(4, 423),
        param(5, 424), param(6, 425), param(7, 426), param(8, 427), param(9, 428), param(10, 429),
        param(11, 430), param(12, 431), param(13, 432), param(14, 433), param(50, 240)
    }),
    moduleRecord(6029, {  // 41 GUItoV_Glide_Multi
        param(60, 232), param(0, 434), param(1, 435), param(2, 436), param(3, 437), param(4, 438),
        param(5, 439), param(6, 440), param(7, 441), param(8, 442), param(9, 443), param(10, 444),
        param(11, 445), param(12, 446), param(13, 447), param(14, 448), param(50, 241)
    }),
    moduleRecord(6505, {  // 42 Midi_Phrase_Arp
        in(0, 6494, 0), in(2, 6488, 2), in(3, 6491, 1), param(4, 130), param(5, 126),
        param(6, 127), param(7, 129), param(10, 128), param(11, 124), param(12, 125),
        param(13, 194), param(15, 125), in(16, 6529, 15)
    }),
    moduleRecord(6282, {  // 43 Counter_Indexing
        param(1, 134), param(2, 132), param(5, 131), in(6, 6488, 11), in(7, 6488, 1), reg(0, 402),
        reg(1, 403)
    }),
    moduleRecord(6060, {  // 44 Float_Converter_Switch
        in(0, 6282, 0), param(3, 131), param(9, 135), param(10, 136), param(11, 137),
        param(12, 138), param(13, 139), param(14, 140), param(15, 141), param(16, 142)
    }),
    moduleRecord(6061, {  // 45 Float_Converter_Switch
        in(0, 6282, 0), param(3, 131), param(9, 144), param(10, 145), param(11, 146),
        param(12, 147), param(13, 148), param(14, 149), param(15, 150), param(16, 151)
    }),
    moduleRecord(6039, {  // 46 GUI_Multi_AxB_C
        in(0, 6060, 0), param(20, 143), param(40, 67), in(1, 6061, 0), param(21, 152),
        in(2, 6061, 0), param(22, 153), in(42, 6008, 10)
    }),
    moduleRecord(6022, {  // 47 GUItoV_Glide_Multi
        in(0, 6039, 0), in(1, 6039, 1), in(2, 6039, 2), param(49, 175)
    }),
    moduleRecord(6307, {in(0, 6019, 35), in(2, 6488, 0), param(3, 9), param(9, 6)}),  // 48 FadeIn
    moduleRecord(6363, {  // 49 LFO
        in(0, 6019, 12), in(1, 6019, 13), in(2, 6488, 0), param(3, 8), param(5, 6), in(7, 6307, 0),
        param(8, 7), in(10, 6491, 0)
    }),
    moduleRecord(6308, {in(0, 6019, 36), in(2, 6488, 0), param(3, 20), param(9, 17)}),  // 50 FadeIn
    moduleRecord(6364, {  // 51 LFO
        in(0, 6019, 14), in(1, 6019, 15), in(2, 6488, 0), param(3, 19), param(5, 17),
        in(7, 6308, 0), param(8, 18), in(10, 6491, 0)
    }),
    moduleRecord(6089, {  // 52 Adder
        in(0, 6019, 7), in(1, 6363, 0), param(21, 10), in(41, 6008, 3), in(2, 6364, 0),
        param(22, 21), in(42, 6008, 3)
    }),
    moduleRecord(6117, {  // 53 Adder
        in(0, 6019, 9), in(1, 6363, 0), param(21, 10), in(41, 6008, 16), in(2, 6364, 0),
        param(22, 21), in(42, 6008, 16)
    }),
    moduleRecord(6174, {  // 54 Level_AxB_CD
        in(0, 6117, 0), in(1, 6127, 0), in(2, 6005, 0), in(3, 6005, 0)
    }),
    moduleRecord(6142, {  // 55 Level_ABxCxD
        in(0, 6124, 0), in(1, 6005, 0), in(2, 6021, 9), in(3, 6117, 0)
    }),
    moduleRecord(6543, {  // 56 Midi_to_Poly_Gen2
        in(0, 6505, 0), param(2, 72), in(3, 6529, 15), in(4, 6529, 14), param(28, 222),
        in(31, 6494, 1), param(59, 232), param(60, 233)
    }),
    voiceGroupStart(20),  // 57: records 58..121 are made once for each of 20 voices
    moduleRecord(6035, {  // 58 GUI_Multi_ABxC, voice
        in(0, 6543, 1), in(20, 6008, 26), param(40, 86), in(1, 6543, 1), in(21, 6008, 26),
        param(41, 39)
    }),
    moduleRecord(6527, {  // 59 MPE_Switch, voice
        in(61, 6543, 8), in(0, 6027, 0), in(1, 6027, 1), in(2, 6027, 2), in(3, 6027, 3),
        in(4, 6027, 4), in(5, 6027, 5), in(6, 6027, 6), in(7, 6027, 7), in(8, 6027, 8),
        in(9, 6027, 9), in(10, 6027, 10), in(11, 6027, 11), in(12, 6027, 12), in(13, 6027, 13),
        in(14, 6027, 14), in(15, 6028, 0), in(16, 6028, 1), in(17, 6028, 2), in(18, 6028, 3),
        in(19, 6028, 4), in(20, 6028, 5), in(21, 6028, 6), in(22, 6028, 7), in(23, 6028, 8),
        in(24, 6028, 9), in(25, 6028, 10), in(26, 6028, 11), in(27, 6028, 12), in(28, 6028, 13),
        in(29, 6028, 14), in(30, 6029, 0), in(31, 6029, 1), in(32, 6029, 2), in(33, 6029, 3),
        in(34, 6029, 4), in(35, 6029, 5), in(36, 6029, 6), in(37, 6029, 7), in(38, 6029, 8),
        in(39, 6029, 9), in(40, 6029, 10), in(41, 6029, 11), in(42, 6029, 12), in(43, 6029, 13),
        in(44, 6029, 14)
    }),
    moduleRecord(6044, {  // 60 Glide_F, voice
        param(1, 72), param(2, 72), in(3, 6543, 1), in(4, 6008, 1), in(7, 6543, 19),
        in(30, 6543, 0)
    }),
    moduleRecord(6296, {  // 61 HAHDSR_Env, voice
        in(0, 6543, 0), in(2, 6020, 14), in(3, 6005, 0), in(4, 6020, 15), in(5, 6020, 16),
        in(6, 6020, 17), in(7, 6019, 42), param(8, 235), param(9, 95), param(10, 103),
        in(11, 6543, 2), param(12, 101), param(13, 100)
    }),
    moduleRecord(6297, {  // 62 HAHDSR_Env, voice
        in(0, 6543, 0), in(2, 6020, 19), in(3, 6005, 0), in(4, 6020, 20), in(5, 6020, 21),
        in(6, 6020, 22), in(7, 6019, 44), param(8, 236), param(9, 95), param(10, 112),
        in(11, 6543, 2), param(12, 110), param(13, 109)
    }),
    moduleRecord(6053, {in(0, 6035, 1)}),  // 63 Float_to_Volt, voice
    moduleRecord(6109, {  // 64 Adder, voice
        in(0, 6019, 16), in(1, 6053, 0), in(21, 6529, 8), in(41, 6008, 10), in(59, 6005, 9),
        in(60, 6005, 10), param(61, 28)
    }),
    moduleRecord(6105, {  // 65 Adder, voice
        in(0, 6019, 37), in(1, 6296, 0), param(21, 104), in(41, 6008, 6), in(2, 6297, 0),
        param(22, 113), in(42, 6008, 6), param(61, 28)
    }),
    moduleRecord(6309, {  // 66 FadeIn, voice
        in(0, 6105, 0), in(2, 6543, 0), param(3, 31), param(9, 28)
    }),
    moduleRecord(6365, {  // 67 LFO, voice
        in(0, 6109, 0), in(1, 6019, 17), in(2, 6543, 0), param(3, 30), param(5, 28),
        in(7, 6309, 0), param(8, 29), in(10, 6491, 0)
    }),
    moduleRecord(6295, {  // 68 HAHDSR_Env, voice
        in(0, 6543, 0), in(2, 6020, 9), in(3, 6005, 0), in(4, 6020, 10), in(5, 6020, 11),
        in(6, 6020, 12), in(7, 6019, 40), param(9, 40), in(11, 6543, 2), param(12, 52),
        param(13, 51)
    }),
    moduleRecord(6111, {in(0, 6295, 0), in(1, 6019, 28), param(61, 40)}),  // 69 Adder, voice
    moduleRecord(6110, {  // 70 Adder, voice
        in(0, 6044, 0), in(1, 6019, 27), in(2, 6020, 25), in(3, 6363, 0), param(23, 10),
        in(43, 6008, 15), in(4, 6364, 0), param(24, 21), in(44, 6008, 15), in(5, 6365, 0),
        param(25, 32), in(45, 6008, 15), in(6, 6296, 0), param(26, 104), in(46, 6008, 3),
        in(7, 6297, 0), param(27, 113), in(47, 6008, 3), in(8, 6174, 0), param(28, 223),
        in(48, 6008, 1), in(59, 6005, 9), in(60, 6005, 10), param(61, 40)
    }),
    moduleRecord(6366, {  // 71 LFO, voice
        in(0, 6110, 0), in(1, 6005, 2), in(2, 6543, 0), in(3, 6529, 1), in(4, 6008, 0),
        param(5, 40), in(7, 6111, 0), in(10, 6491, 0)
    }),
    moduleRecord(6427, {  // 72 BiQuad_Static, voice
        in(0, 6366, 0), in(2, 6005, 7), in(3, 6005, 0), in(4, 6005, 0), in(5, 6008, 1),
        in(7, 6008, 0), in(9, 6529, 11), in(11, 6543, 0)
    }),
    moduleRecord(6118, {  // 73 Adder, voice
        in(0, 6117, 0), in(1, 6296, 0), param(21, 104), in(41, 6008, 7), in(2, 6297, 0),
        param(22, 113), in(42, 6008, 7), in(61, 6529, 32)
    }),
    moduleRecord(6172, {  // 74 Level_AxB_CD, voice
        in(0, 6124, 0), in(1, 6118, 0), in(2, 6005, 0), in(3, 6005, 0)
    }),
    moduleRecord(6082, {  // 75 Adder, voice
        in(0, 6044, 0), in(1, 6022, 0), in(2, 6020, 25), in(3, 6363, 0), param(23, 10),
        in(43, 6008, 0), in(4, 6364, 0), param(24, 21), in(44, 6008, 0), in(5, 6365, 0),
        param(25, 32), in(45, 6008, 0), in(6, 6366, 0), param(26, 41), in(46, 6008, 0),
        in(7, 6296, 0), param(27, 104), in(47, 6008, 0), in(8, 6297, 0), param(28, 113),
        in(48, 6008, 0), in(9, 6172, 0), param(29, 154), in(49, 6008, 0), in(10, 6527, 0)
    }),
    moduleRecord(6086, {  // 76 Adder, voice
        in(0, 6089, 0), in(1, 6365, 0), param(21, 32), in(41, 6008, 3), in(2, 6366, 0),
        param(22, 41), in(42, 6008, 12), in(3, 6296, 0), param(23, 104), in(43, 6008, 4),
        in(4, 6297, 0), param(24, 113), in(44, 6008, 4)
    }),
    moduleRecord(6090, {  // 77 Adder, voice
        in(0, 6366, 0), param(20, 41), in(40, 6008, 5), in(1, 6366, 0), param(21, 41),
        in(41, 6008, 6)
    }),
    moduleRecord(6080, {  // 78 Adder, voice
        in(0, 6082, 0), in(1, 6363, 0), param(21, 10), in(41, 6008, 1), in(2, 6364, 0),
        param(22, 21), in(42, 6008, 1), in(3, 6365, 0), param(23, 32), in(43, 6008, 1),
        in(4, 6366, 0), param(24, 41), in(44, 6008, 1), in(5, 6296, 0), param(25, 104),
        in(45, 6008, 1), in(6, 6297, 0), param(26, 113), in(46, 6008, 1), in(59, 6005, 9),
        in(60, 6005, 10)
    }),
    moduleRecord(6355, {  // 79 OSC_Multi_Out_x8, voice
        in(0, 6080, 0), in(1, 6543, 0), in(2, 6005, 0), in(3, 6008, 1), in(4, 6008, 2),
        param(7, 70), param(9, 64), param(19, 230), in(29, 6005, 2), in(39, 6005, 3),
        in(49, 6090, 0), in(57, 6086, 0), param(62, 164)
    }),
    moduleRecord(6152, {in(0, 6005, 0), in(1, 6005, 2), in(2, 6355, 0)}),  // 80 Level_ABxC, voice
    moduleRecord(6087, {  // 81 Adder, voice
        in(0, 6089, 0), in(1, 6365, 0), param(21, 32), in(41, 6008, 3), in(2, 6366, 0),
        param(22, 41), in(42, 6008, 12), in(3, 6296, 0), param(23, 104), in(43, 6008, 4),
        in(4, 6297, 0), param(24, 113), in(44, 6008, 4)
    }),
    moduleRecord(6091, {  // 82 Adder, voice
        in(0, 6366, 0), param(20, 41), in(40, 6008, 5), in(1, 6366, 0), param(21, 41),
        in(41, 6008, 7)
    }),
    moduleRecord(6081, {  // 83 Adder, voice
        in(0, 6082, 0), in(1, 6363, 0), param(21, 10), in(41, 6008, 2), in(2, 6364, 0),
        param(22, 21), in(42, 6008, 2), in(3, 6365, 0), param(23, 32), in(43, 6008, 2),
        in(4, 6366, 0), param(24, 41), in(44, 6008, 2), in(5, 6296, 0), param(25, 104),
        in(45, 6008, 2), in(6, 6297, 0), param(26, 113), in(46, 6008, 2), in(7, 6019, 11),
        in(59, 6005, 9), in(60, 6005, 10)
    }),
    moduleRecord(6356, {  // 84 OSC_Multi_Out_x8, voice
        in(0, 6081, 0), in(1, 6543, 0), in(2, 6355, 0), in(3, 6008, 1), in(4, 6008, 2),
        param(7, 70), param(9, 65), param(19, 230), in(29, 6005, 2), in(39, 6005, 3),
        in(49, 6091, 0), in(57, 6087, 0), in(61, 6529, 3), param(62, 164)
    }),
    moduleRecord(6077, {  // 85 Adder, voice
        in(0, 6019, 5), in(1, 6363, 0), param(21, 10), in(41, 6008, 6), in(2, 6364, 0),
        param(22, 21), in(42, 6008, 6), in(3, 6365, 0), param(23, 32), in(43, 6008, 6),
        in(4, 6296, 0), param(24, 104), in(44, 6008, 10), in(5, 6297, 0), param(25, 113),
        in(45, 6008, 10)
    }),
    moduleRecord(6092, {  // 86 Adder, voice
        in(0, 6366, 0), param(20, 41), in(40, 6008, 5), in(1, 6366, 0), param(21, 41),
        in(41, 6008, 8)
    }),
    moduleRecord(6083, {  // 87 Adder, voice
        in(0, 6082, 0), in(1, 6366, 0), param(21, 41), in(41, 6008, 3), in(59, 6005, 9),
        in(60, 6005, 10)
    }),
    moduleRecord(6357, {  // 88 OSC_Multi_Out_x8, voice
        in(0, 6083, 0), in(1, 6543, 0), in(2, 6005, 0), in(3, 6008, 1), in(4, 6008, 2),
        param(7, 70), in(9, 6529, 2), param(19, 230), in(29, 6077, 0), in(39, 6005, 4),
        in(49, 6092, 0), in(57, 6005, 0), param(62, 164)
    }),
    moduleRecord(6084, {  // 89 Adder, voice
        in(0, 6366, 0), param(20, 41), in(40, 6008, 9), in(1, 6366, 0), param(21, 41),
        in(41, 6008, 10)
    }),
    // 90 Level_ABxC, voice: id 6152 again; references from here on reach this module
    moduleRecord(6152, {in(0, 6084, 0), in(1, 6005, 2), in(2, 6019, 3)}),
    moduleRecord(6075, {  // 91 Adder, voice
        in(0, 6152, 0), in(1, 6363, 0), param(21, 10), in(41, 6008, 4), in(2, 6364, 0),
        param(22, 21), in(42, 6008, 4), in(3, 6365, 0), param(23, 32), in(43, 6008, 4),
        in(4, 6296, 0), param(24, 104), in(44, 6008, 8), in(5, 6297, 0), param(25, 113),
        in(45, 6008, 8)
    }),
    moduleRecord(6085, {  // 92 Adder, voice
        in(0, 6366, 0), param(20, 41), in(40, 6008, 9), in(1, 6366, 0), param(21, 41),
        in(41, 6008, 11)
    }),
    moduleRecord(6153, {in(0, 6085, 0), in(1, 6005, 2), in(2, 6019, 4)}),  // 93 Level_ABxC, voice
    moduleRecord(6076, {  // 94 Adder, voice
        in(0, 6153, 0), in(1, 6363, 0), param(21, 10), in(41, 6008, 5), in(2, 6364, 0),
        param(22, 21), in(42, 6008, 5), in(3, 6365, 0), param(23, 32), in(43, 6008, 5),
        in(4, 6296, 0), param(24, 104), in(44, 6008, 9), in(5, 6297, 0), param(25, 113),
        in(45, 6008, 9)
    }),
    moduleRecord(6121, {  // 95 Adder, voice
        in(0, 6019, 10), in(1, 6363, 0), param(21, 10), in(41, 6008, 18), in(2, 6364, 0),
        param(22, 21), in(42, 6008, 18), in(3, 6365, 0), param(23, 32), in(43, 6008, 16),
        in(4, 6296, 0), param(24, 104), in(44, 6008, 12), in(5, 6297, 0), param(25, 113),
        in(45, 6008, 12)
    }),
    moduleRecord(6530, {  // 96 Velkor2_OSC_Combine, voice
        in(0, 6355, 0), in(1, 6075, 0), in(2, 6356, 0), in(3, 6076, 0), in(4, 6356, 0),
        param(5, 66), in(9, 6121, 0)
    }),
    moduleRecord(6078, {  // 97 Adder, voice
        in(0, 6020, 26), in(1, 6363, 0), param(21, 10), in(41, 6008, 7), in(2, 6364, 0),
        param(22, 21), in(42, 6008, 7), in(3, 6365, 0), param(23, 32), in(43, 6008, 7),
        in(4, 6296, 0), param(24, 104), in(44, 6008, 11), in(5, 6297, 0), param(25, 113),
        in(45, 6008, 11)
    }),
    moduleRecord(6170, {  // 98 Level_AxB_CD, voice
        in(0, 6360, 0), in(1, 6078, 0), in(2, 6357, 0), in(3, 6530, 0)
    }),
    moduleRecord(6100, {  // 99 Adder, voice
        in(0, 6363, 0), param(20, 10), in(40, 6008, 13), in(1, 6364, 0), param(21, 21),
        in(41, 6008, 13), in(2, 6365, 0), param(22, 32), in(42, 6008, 13)
    }),
    moduleRecord(6101, {  // 100 Adder, voice
        in(0, 6363, 0), param(20, 10), in(40, 6008, 14), in(1, 6364, 0), param(21, 21),
        in(41, 6008, 14), in(2, 6365, 0), param(22, 32), in(42, 6008, 14)
    }),
    moduleRecord(6294, {  // 101 HAHDSR_Env, voice
        in(0, 6543, 0), in(2, 6020, 4), in(3, 6008, 0), in(4, 6020, 5), in(5, 6020, 6),
        in(6, 6020, 7), in(7, 6005, 2), param(8, 174), param(10, 87), in(11, 6543, 2),
        param(12, 93), param(13, 92), in(15, 6100, 0), in(16, 6101, 0)
    }),
    moduleRecord(6098, {  // 102 Adder, voice
        in(0, 6363, 0), param(20, 10), in(40, 6008, 11), in(1, 6364, 0), param(21, 21),
        in(41, 6008, 11), in(2, 6365, 0), param(22, 32), in(42, 6008, 11)
    }),
    moduleRecord(6099, {  // 103 Adder, voice
        in(0, 6363, 0), param(20, 10), in(40, 6008, 12), in(1, 6364, 0), param(21, 21),
        in(41, 6008, 12), in(2, 6365, 0), param(22, 32), in(42, 6008, 12)
    }),
    moduleRecord(6300, {  // 104 HAHDSR_Env, voice-linked, voice
        in(0, 6543, 0), in(2, 6020, 0), in(3, 6008, 0), in(4, 6020, 1), in(5, 6020, 2),
        in(6, 6020, 3), in(7, 6005, 2), param(8, 176), in(11, 6543, 2), param(12, 119),
        param(13, 118), in(14, 6008, 27), in(15, 6098, 0), in(16, 6099, 0)
    }),
    moduleRecord(6260, {  // 105 Soft_Limiter, voice
        in(0, 6170, 0), in(1, 6005, 2), in(2, 6019, 8), in(3, 6005, 2), in(4, 6005, 2),
        in(5, 6529, 40), in(19, 6008, 2), in(20, 6008, 4)
    }),
    moduleRecord(6226, {  // 106 Dual_Level, voice
        in(0, 6294, 0), in(1, 6300, 0), in(2, 6019, 25), in(3, 6019, 25)
    }),
    moduleRecord(6102, {  // 107 Adder, voice
        in(0, 6226, 0), param(20, 182), in(40, 6008, 0), in(1, 6226, 1), param(21, 182),
        in(41, 6008, 1)
    }),
    moduleRecord(6052, {in(0, 6035, 0)}),  // 108 Float_to_Volt, voice
    moduleRecord(6093, {  // 109 Adder, voice
        in(0, 6019, 23), in(1, 6102, 0), in(2, 6363, 0), param(22, 10), in(42, 6008, 8),
        in(3, 6364, 0), param(23, 21), in(43, 6008, 8), in(4, 6365, 0), param(24, 32),
        in(44, 6008, 8), in(5, 6427, 0), param(25, 41), in(45, 6008, 4), in(6, 6296, 0),
        param(26, 104), in(46, 6008, 5), in(7, 6297, 0), param(27, 113), in(47, 6008, 5),
        in(8, 6052, 0), in(9, 6022, 1), in(10, 6142, 0), param(30, 154), in(50, 6008, 0),
        in(11, 6527, 1), in(59, 6005, 3), in(60, 6005, 2)
    }),
    moduleRecord(6445, {  // 110 Multi_Filter, voice
        in(0, 6260, 0), in(2, 6093, 0), in(3, 6019, 21), in(4, 6005, 0), param(5, 82),
        param(6, 180), in(7, 6008, 0), in(8, 6008, 1), in(11, 6543, 0)
    }),
    moduleRecord(6094, {  // 111 Adder, voice
        in(0, 6093, 0), in(1, 6020, 24), in(59, 6005, 3), in(60, 6005, 2)
    }),
    moduleRecord(6446, {  // 112 Multi_Filter, voice
        in(0, 6445, 0), in(2, 6094, 0), in(3, 6019, 24), in(4, 6005, 0), param(5, 82),
        in(7, 6008, 0), in(8, 6008, 1), param(10, 179), in(11, 6543, 0)
    }),
    moduleRecord(6123, {  // 113 Adder, voice
        in(0, 6019, 22), in(1, 6052, 0), param(21, 183), in(41, 6008, 10), in(59, 6005, 0),
        in(60, 6005, 2)
    }),
    moduleRecord(6447, {  // 114 Multi_Filter, voice
        in(0, 6446, 0), in(2, 6123, 0), in(3, 6019, 2), in(4, 6005, 0), in(5, 6008, 11),
        in(7, 6008, 0), in(8, 6008, 1), in(11, 6543, 0)
    }),
    moduleRecord(6265, {  // 115 Saturation, voice
        in(0, 6447, 0), in(2, 6019, 20), in(3, 6005, 0), in(4, 6008, 5), in(5, 6019, 18),
        in(6, 6008, 1), in(9, 6008, 2)
    }),
    moduleRecord(6244, {  // 116 XMixVol, voice
        in(0, 6170, 0), in(1, 6265, 0), in(2, 6019, 19), in(4, 6300, 0)
    }),
    moduleRecord(6259, {  // 117 Soft_Limiter, voice
        in(0, 6244, 0), in(1, 6005, 14), in(2, 6019, 8), in(3, 6005, 2), in(4, 6005, 2),
        in(5, 6529, 41), in(19, 6008, 2)
    }),
    moduleRecord(6097, {  // 118 Adder, voice
        in(0, 6005, 2), in(1, 6527, 2), in(3, 6365, 0), param(23, 32), in(43, 6008, 10),
        in(59, 6008, 0)
    }),
    moduleRecord(6154, {in(0, 6044, 0), in(1, 6005, 13), in(2, 6019, 0)}),  // 119 Level_ABxC, voice
    moduleRecord(6096, {  // 120 Adder, voice
        in(0, 6019, 1), in(1, 6363, 0), param(21, 10), in(41, 6008, 9), in(2, 6364, 0),
        param(22, 21), in(42, 6008, 9), in(3, 6365, 0), param(23, 32), in(43, 6008, 9),
        in(4, 6154, 0), in(59, 6008, 36), in(60, 6008, 5)
    }),
    moduleRecord(6252, {in(0, 6259, 0), in(1, 6096, 0), in(2, 6097, 0)}),  // 121 Panner, voice
    voiceGroupEnd(),  // 122
    moduleRecord(6532, {in(0, 6252, 0), in(1, 6252, 1)}),  // 123 Poly_to_Mono
    moduleRecord(6122, {  // 124 Adder
        in(0, 6022, 2), in(1, 6363, 0), param(21, 10), in(41, 6008, 10), in(2, 6364, 0),
        param(22, 21), in(42, 6008, 10), in(59, 6008, 0)
    }),
    moduleRecord(6232, {in(0, 6532, 0), in(1, 6532, 1), in(2, 6122, 0)}),  // 125 ST_Level
    moduleRecord(6186, {  // 126 Level_FX_BUS
        in(0, 6232, 0), in(1, 6232, 1), in(2, 6003, 0), in(3, 6003, 1), in(4, 6005, 2),
        param(9, 74)
    }),
    moduleRecord(6367, {  // 127 LFO
        in(0, 6024, 1), in(1, 6005, 0), in(2, 6491, 0), in(3, 6008, 1), in(5, 6529, 46),
        in(7, 6005, 2), in(10, 6491, 0)
    }),
    moduleRecord(6368, {  // 128 LFO
        in(0, 6024, 2), in(1, 6005, 1), in(2, 6491, 0), in(3, 6008, 1), in(5, 6529, 46),
        in(7, 6005, 2), in(10, 6491, 0)
    }),
    moduleRecord(6375, {  // 129 Chorus3v
        in(0, 6186, 2), in(6, 6367, 0), in(7, 6368, 0), in(14, 6024, 3), in(18, 6529, 46),
        in(19, 6008, 2), in(31, 6008, 0)
    }),
    moduleRecord(6347, {in(0, 6375, 1), in(1, 6020, 31), in(7, 6529, 46)}),  // 130 Delay
    moduleRecord(6240, {  // 131 XMix
        in(0, 6186, 0), in(1, 6375, 0), in(2, 6020, 27), in(3, 6008, 1)
    }),
    moduleRecord(6241, {  // 132 XMix
        in(0, 6186, 1), in(1, 6347, 0), in(2, 6020, 27), in(3, 6008, 1)
    }),
    moduleRecord(6418, {param(0, 197)}),  // 133 FdB_to_VFGain
    moduleRecord(6014, {param(0, 198), in(19, 6008, 0)}),  // 134 GUItoV_Glide
    moduleRecord(6430, {  // 135 BiQuad_Coeff
        in(0, 6021, 1), in(1, 6014, 0), in(2, 6418, 0), in(5, 6008, 1), param(6, 205)
    }),
    moduleRecord(6419, {param(0, 200)}),  // 136 FdB_to_VFGain
    moduleRecord(6015, {param(0, 201), in(19, 6008, 0)}),  // 137 GUItoV_Glide
    moduleRecord(6431, {  // 138 BiQuad_Coeff
        in(0, 6021, 2), in(1, 6015, 0), in(2, 6419, 0), in(5, 6008, 1), param(6, 205)
    }),
    moduleRecord(6420, {param(0, 203)}),  // 139 FdB_to_VFGain
    moduleRecord(6016, {param(0, 204), in(19, 6008, 0)}),  // 140 GUItoV_Glide
    moduleRecord(6432, {  // 141 BiQuad_Coeff
        in(0, 6021, 3), in(1, 6016, 0), in(2, 6420, 0), in(5, 6008, 1), param(6, 205)
    }),
    moduleRecord(6439, {  // 142 BiQuad_Multi_Engine
        in(0, 6240, 0), in(1, 6008, 1), in(3, 6529, 44), in(9, 6430, 0), in(10, 6430, 1),
        in(11, 6430, 2), in(12, 6430, 3), in(13, 6430, 4), in(14, 6430, 5), in(19, 6431, 0),
        in(20, 6431, 1), in(21, 6431, 2), in(22, 6431, 3), in(23, 6431, 4), in(24, 6431, 5),
        in(29, 6432, 0), in(30, 6432, 1), in(31, 6432, 2), in(32, 6432, 3), in(33, 6432, 4),
        in(34, 6432, 5)
    }),
    moduleRecord(6440, {  // 143 BiQuad_Multi_Engine
        in(0, 6241, 0), in(1, 6008, 1), in(3, 6529, 44), in(9, 6430, 0), in(10, 6430, 1),
        in(11, 6430, 2), in(12, 6430, 3), in(13, 6430, 4), in(14, 6430, 5), in(19, 6431, 0),
        in(20, 6431, 1), in(21, 6431, 2), in(22, 6431, 3), in(23, 6431, 4), in(24, 6431, 5),
        in(29, 6432, 0), in(30, 6432, 1), in(31, 6432, 2), in(32, 6432, 3), in(33, 6432, 4),
        in(34, 6432, 5)
    }),
    moduleRecord(6171, {  // 144 Level_AxB_CD
        in(0, 6125, 0), in(1, 6117, 0), in(2, 6005, 2), in(3, 6005, 0)
    }),
    moduleRecord(6231, {in(0, 6439, 0), in(1, 6440, 0), in(2, 6171, 0)}),  // 145 ST_Level
    moduleRecord(6114, {  // 146 Adder
        in(0, 6231, 0), in(2, 6231, 1), param(22, 163), in(42, 6008, 10), in(59, 6008, 42),
        in(60, 6008, 41), param(61, 162)
    }),
    moduleRecord(6115, {  // 147 Adder
        in(0, 6231, 1), param(20, 163), in(42, 6008, 0), in(59, 6008, 42), in(60, 6008, 41),
        param(61, 162)
    }),
    moduleRecord(6426, {  // 148 BiQuad_Static
        in(0, 6114, 0), in(1, 6115, 0), in(2, 6019, 29), in(3, 6005, 0), in(4, 6005, 0),
        in(5, 6008, 1), in(7, 6008, 0), param(9, 162), param(20, 163), in(29, 6019, 30),
        in(30, 6005, 0), in(31, 6005, 0), in(32, 6008, 5)
    }),
    moduleRecord(6345, {  // 149 Delay
        in(0, 6426, 0), in(1, 6021, 0), in(6, 6008, 0), param(7, 162)
    }),
    moduleRecord(6346, {  // 150 Delay
        in(0, 6426, 1), in(1, 6021, 0), in(6, 6008, 0), param(7, 162)
    }),
    moduleRecord(6116, {  // 151 Adder
        in(0, 6019, 34), in(1, 6363, 0), param(21, 10), in(41, 6008, 17), in(2, 6364, 0),
        param(22, 21), in(42, 6008, 17)
    }),
    moduleRecord(6460, {  // 152 PitchShifter
        in(0, 6345, 0), in(2, 6116, 0), in(5, 6008, 4), param(7, 162)
    }),
    moduleRecord(6245, {  // 153 XMixVol
        in(0, 6345, 0), in(1, 6460, 0), in(2, 6019, 32), in(3, 6008, 1), in(4, 6019, 31)
    }),
    extraWiringOf(6114),  // 154: the Adder 6114 of record 146 gets more inputs
    extraWiringEntries({in(1, 6245, 0)}),  // 155: fed back from the later XMixVol 6245
    moduleRecord(6461, {  // 156 PitchShifter
        in(0, 6346, 0), in(2, 6116, 0), in(5, 6008, 4), param(7, 162)
    }),
    moduleRecord(6246, {  // 157 XMixVol
        in(0, 6346, 0), in(1, 6461, 0), in(2, 6019, 32), in(3, 6008, 1), in(4, 6019, 31)
    }),
    extraWiringOf(6115),  // 158: the Adder 6115 of record 147 gets more inputs
    extraWiringEntries({in(1, 6246, 0)}),  // 159: fed back from the later XMixVol 6246
    moduleRecord(6350, {  // 160 Delay_ST
        in(0, 6345, 0), in(1, 6346, 0), in(2, 6008, 18), in(4, 6008, 8), param(5, 162)
    }),
    moduleRecord(6185, {  // 161 Level_FX_BUS
        in(0, 6231, 0), in(1, 6231, 1), in(2, 6350, 0), in(3, 6350, 1), in(4, 6019, 33),
        param(9, 162), in(10, 6008, 9)
    }),
    moduleRecord(6173, {  // 162 Level_AxB_CD
        in(0, 6124, 0), in(1, 6117, 0), in(2, 6005, 0), in(3, 6005, 0)
    }),
    moduleRecord(6462, {  // 163 PitchShifter
        in(0, 6185, 0), in(2, 6173, 0), param(4, 161), in(6, 6008, 0), in(9, 6529, 32)
    }),
    moduleRecord(6463, {  // 164 PitchShifter
        in(0, 6185, 1), in(2, 6173, 0), param(4, 161), in(6, 6008, 0), in(9, 6529, 32)
    }),
    moduleRecord(6441, {  // 165 BiQuad_Multi_Engine
        in(0, 6462, 0), in(1, 6008, 1), in(3, 6529, 45), in(9, 6430, 0), in(10, 6430, 1),
        in(11, 6430, 2), in(12, 6430, 3), in(13, 6430, 4), in(14, 6430, 5), in(19, 6431, 0),
        in(20, 6431, 1), in(21, 6431, 2), in(22, 6431, 3), in(23, 6431, 4), in(24, 6431, 5),
        in(29, 6432, 0), in(30, 6432, 1), in(31, 6432, 2), in(32, 6432, 3), in(33, 6432, 4),
        in(34, 6432, 5)
    }),
    moduleRecord(6442, {  // 166 BiQuad_Multi_Engine
        in(0, 6463, 0), in(1, 6008, 1), in(3, 6529, 45), in(9, 6430, 0), in(10, 6430, 1),
        in(11, 6430, 2), in(12, 6430, 3), in(13, 6430, 4), in(14, 6430, 5), in(19, 6431, 0),
        in(20, 6431, 1), in(21, 6431, 2), in(22, 6431, 3), in(23, 6431, 4), in(24, 6431, 5),
        in(29, 6432, 0), in(30, 6432, 1), in(31, 6432, 2), in(32, 6432, 3), in(33, 6432, 4),
        in(34, 6432, 5)
    }),
    moduleRecord(6013, {in(0, 6529, 0), in(1, 6008, 38), in(29, 6008, 0)}),  // 167 GUItoV_Glide
    moduleRecord(6230, {in(0, 6441, 0), in(1, 6442, 0), in(2, 6013, 0)}),  // 168 ST_Level
    netlistEnd(),  // 169: id 6549; the builder stops at any id from 6549 up
};

static_assert(std::size(kShippedNetlist) == kShippedNetlistRecords + 1);
static_assert(kShippedNetlist[kShippedNetlistRecords].moduleId >= kNetlistEnd);

}  // namespace

Netlist shippedNetlist() { return kShippedNetlist; }
