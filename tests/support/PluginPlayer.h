// The real plug-in played like a DAW plays it: a blank program with the test's settings, MIDI at
// exact samples, host time that advances with the audio, and the whole output kept for measuring.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "support/TestHost.h"

class PluginPlayer {
public:
    // Every parameter of program 0 starts at 0, whatever the factory bank holds.
    explicit PluginPlayer(float sampleRate = 44100.0f, int blockSize = 128);

    // Before or after start(); after start the value arrives with the next block.
    void set(std::string_view name, float normalised);
    // Chooses the value whose display reads `shown` ("0", "Poly", "1024"; cut to the display's eight
    // characters); fails the test if none.
    void setShown(std::string_view name, std::string_view shown);
    int parameterIndex(std::string_view name);

    // One sine oscillator through an open filter, full sustain, Poly, centred, EQ flat.
    void setPlainSine();

    void setTempo(double bpm);
    void start();

    // MIDI at an absolute frame of the output; frames must not lie in the past.
    void midi(std::int64_t frame, std::uint8_t status, std::uint8_t data1, std::uint8_t data2);
    void noteOn(std::int64_t frame, int key, int velocity = 100) { midi(frame, 0x90, key, velocity); }
    void noteOff(std::int64_t frame, int key) { midi(frame, 0x80, key, 0); }

    // Runs blocks until the output holds `frames` samples.
    void renderUntil(std::int64_t frames);
    std::int64_t rendered() const { return static_cast<std::int64_t>(left.size()); }

    // Awake modules of the running engine (voices asleep are not).
    int awakeModules();

    TestHost host;
    std::vector<float> left, right;
    // Fed to the host input from frame 0 on (silent past their end); heard with "Ext Input" on.
    std::vector<float> inputLeft, inputRight;
    float sampleRate;
    int blockSize;

private:
    struct Timed {
        std::int64_t frame;
        std::uint8_t bytes[3];
    };
    std::vector<Timed> pending_;
};

// First index from `from` on whose magnitude exceeds `threshold`, or -1.
std::int64_t firstAbove(const std::vector<float>& x, float threshold, std::int64_t from = 0);
// RMS of x[from, to).
double rmsOf(const std::vector<float>& x, std::int64_t from, std::int64_t to);
