// The arpeggiator between the MIDI input stage and the voice allocator: passes MIDI through while
// off; while on, collects the held keys and plays one of them per clock pulse with its own gate.
#pragma once

#include <cstdint>

#include "engine/QX_ModuleBase.h"
#include "modules/voice/QX_ArpPattern.h"

class QX_DSP_Midi_Phrase_Arp : public QX_ModuleBase {
public:
    static constexpr int kPinMidi = 0;
    static constexpr int kPinAllOffChannel = 1;
    static constexpr int kPinClock = 2;
    static constexpr int kPinTempo = 3;
    static constexpr int kPinGate = 4;
    static constexpr int kPinMode = 5;
    static constexpr int kPinRange = 6;
    static constexpr int kPinVelocityMode = 7;
    static constexpr int kPinRate = 10;
    static constexpr int kPinOnOff = 11;
    static constexpr int kPinHold = 12;
    static constexpr int kPinHalf = 13;
    static constexpr int kPinSustain = 15;
    static constexpr int kPinLegato = 16;
    static constexpr int kOutputMidi = 0;

    static constexpr int kVelocitySteps = 32;

    QX_DSP_Midi_Phrase_Arp(QX_EngineHost* host, bool asleep);

    void render(int pos, int count) override;
    void prepare() override;
    void handleEvent(const Event& event, int pos) override;

private:
    void midiIn(std::int32_t word);
    void switchOnOff(bool on);
    void switchMode(int mode);
    void switchHold(bool hold);
    void step(std::uint32_t time);
    void play(const QX_ArpPattern::Note& note, std::uint32_t time, std::uint32_t nextOff);
    void endSounding(std::uint32_t time);
    void send(std::uint32_t time, std::int32_t word);
    bool passing() const;

    QX_ArpPattern pattern_;
    bool on_ = false;
    bool hold_ = false;
    bool legato_ = false;
    bool constVel_ = false;
    int sustainOut_ = -1;
    int allOffChannel_ = 0;
    float gate_ = 0.5f;
    float tempo_ = 12.0f;  // BPM / 10
    float rate_ = 1.0f;    // steps per beat
    float factor_ = 1.0f;
    std::uint8_t stepVel_[kVelocitySteps] = {};
    int velStep_ = 0;
    std::int32_t sounding_ = 0;   // note-off of the note now sounding
    std::uint32_t offTime_ = 0;   // when it is due; 0 = none
};
