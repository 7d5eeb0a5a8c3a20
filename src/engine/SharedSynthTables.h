// The process-wide synthesis tables: pitch, master sine and the band-limited wavetables of the
// oscillator waveforms. Built once by the first plug-in instance, shared by every instance and
// freed by the last one.
#pragma once

#include <cstddef>

class SharedSynthTables {
public:
    static constexpr int kPitchTableSize = 7200;  // 10 steps per semitone, index 3600 = 13.75 Hz
    static constexpr int kSinePoints = 2048;
    static constexpr int kSineTableSize = kSinePoints + 1;  // the last point closes the period
    static constexpr int kWaveSlots = 256;
    static constexpr int kHarmonics = 1024;
    static constexpr int kWaveRows = kHarmonics;  // row r sums harmonics 1..r+1
    static constexpr int kRowStride = 2052;       // floats; kSineTableSize of them are used
    static constexpr int kWaveTableFloats = kWaveRows * kRowStride;

    static constexpr int kSineWave = 0;
    static constexpr int kSawWave = 1;
    static constexpr int kPulseWave = 8;  // reads the Saw table twice, so it has none of its own
    static constexpr int kLastBuiltWave = 14;

    enum BuildState : int { kNotBuilt = 0, kBuilding = 1, kBuilt = 2 };

    // Counts the caller as a user and returns the tables, building them first when no
    // instance holds them. Every plug-in constructor calls it once.
    static const SharedSynthTables* acquire();
    // Uncounts the caller; the last user frees the wavetables so a later acquire builds
    // them again. Every plug-in destructor calls it once.
    static void release();

    static int userCount();
    static int buildState();

    // Where the wavetables' storage comes from. The plug-in installs the platform's large-block
    // allocator before its first instance (fewer page faults make the first build fast); the
    // default is the ordinary heap. Both calls may return or receive null.
    struct StorageAllocator {
        void* (*allocate)(std::size_t bytes);
        void (*release)(void* block, std::size_t bytes);
    };
    static void useStorageAllocator(StorageAllocator allocator);

    float pitchTable[kPitchTableSize];
    float sineTable[kSineTableSize];
    // Null where a wave has no table or its storage could not be obtained.
    const float* waveTables[kWaveSlots];
    // Amplitudes a(1)..a(1024) at [0..1023]; the builder tapers and normalises them in place,
    // so after a build it holds the last wave's normalised recipe.
    double harmonicRecipe[kHarmonics];

private:
    void build();
    void buildWaveTable(int wave);
    void freeWaveTables();

    // The owning pointers behind waveTables; Pulse's slot stays null since it borrows Saw's.
    float* storage_[kWaveSlots];
};
