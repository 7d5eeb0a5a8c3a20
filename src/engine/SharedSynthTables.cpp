#include "engine/SharedSynthTables.h"

#include <cmath>
#include <new>
#include <numbers>
#include <thread>

namespace {

constexpr std::size_t kWaveTableBytes = sizeof(float) * SharedSynthTables::kWaveTableFloats;

void* heapAllocate(std::size_t bytes) { return ::operator new(bytes, std::nothrow); }

void heapRelease(void* block, std::size_t) { ::operator delete(block); }

// Changed only while no tables exist.
SharedSynthTables::StorageAllocator storageAllocator{heapAllocate, heapRelease};

constexpr int kHarmonics = SharedSynthTables::kHarmonics;

// The top harmonics fade linearly to 1/kTaperLength so a row never ends on a full-weight edge.
constexpr int kTaperLength = 128;
constexpr int kTaperStart = kHarmonics - kTaperLength;  // 0-based index of a(897)

constexpr double kPitchTableBaseHz = 13.75;
constexpr int kPitchTableBaseIndex = 3600;
constexpr double kPitchStepsPerOctave = 120.0;
constexpr long double kTwoPi = 2.0L * std::numbers::pi_v<long double>;

// a[n - 1] holds a(n); every recipe writes all kHarmonics amplitudes.
using RecipeFill = void (*)(double* a);

struct HarmonicSpan {
    int first;  // harmonic numbers, 1-based, inclusive
    int last;
    double amplitude;
};

constexpr HarmonicSpan kVox[] = {
    {1, 1, 1.0},    {3, 3, 1.0},    {6, 6, 0.5},    {8, 8, 0.2},    {11, 11, 0.01},
    {12, 12, 0.02}, {13, 13, 0.03}, {14, 14, 0.04}, {15, 15, 0.05}, {16, 16, 0.1},
    {17, 17, 0.05}, {18, 18, 0.03}, {19, 19, 0.02}, {20, 20, 0.01},
};

constexpr HarmonicSpan kVox2[] = {
    {1, 1, 1.0},    {2, 2, 1.0},    {3, 3, 1.0},    {4, 4, 0.1},    {5, 5, 0.1},
    {6, 6, 0.5},    {7, 7, 0.3},    {8, 12, 0.1},   {13, 13, 0.09}, {14, 14, 0.08},
    {15, 15, 0.07}, {16, 16, 0.06}, {17, 17, 0.05}, {18, 18, 0.05}, {19, 19, 0.04},
    {20, 20, 0.03}, {21, 21, 0.03}, {22, 24, 0.02}, {25, 27, 0.01},
};

constexpr HarmonicSpan kVox3[] = {
    {1, 1, 1.0},    {2, 2, 1.0},    {3, 3, 1.0},    {4, 4, 0.6},    {5, 5, 0.5},
    {6, 6, 0.2},    {7, 7, 0.3},    {23, 23, 0.04}, {24, 24, 0.04}, {25, 25, 0.03},
    {26, 26, 0.02}, {27, 27, 0.02}, {28, 28, 0.01}, {29, 29, 0.01},
};

constexpr HarmonicSpan kFunk[] = {
    {1, 1, 1.0}, {2, 2, 0.8}, {3, 3, 0.3}, {4, 4, 0.2}, {5, 5, 0.1}, {6, 9, 0.05}, {10, 17, 0.01},
};

void clearRecipe(double* a) {
    for (int n = 1; n <= kHarmonics; ++n) {
        a[n - 1] = 0.0;
    }
}

template <const auto& spans>
void fillSpans(double* a) {
    clearRecipe(a);
    for (const HarmonicSpan& span : spans) {
        for (int n = span.first; n <= span.last; ++n) {
            a[n - 1] = span.amplitude;
        }
    }
}

void fillSaw(double* a) {
    for (int n = 1; n <= kHarmonics; ++n) {
        a[n - 1] = -1.0 / n;
    }
}

void fillInvSaw(double* a) {
    for (int n = 1; n <= kHarmonics; ++n) {
        a[n - 1] = 1.0 / n;
    }
}

void fillSoftRamp(double* a) {
    for (int n = 1; n <= kHarmonics; ++n) {
        a[n - 1] = std::ldexp(1.0, -(n - 1));
    }
}

void fillSquare(double* a) {
    for (int n = 1; n <= kHarmonics; ++n) {
        a[n - 1] = n % 2 == 1 ? 1.0 / n : 0.0;
    }
}

// Odd harmonics 2m + 1 with signs +, -, +, ... over m and the given divisor per m.
template <double (*divisor)(int m)>
void fillAlternatingOdd(double* a) {
    clearRecipe(a);
    for (int m = 0; 2 * m + 1 <= kHarmonics; ++m) {
        const double magnitude = 1.0 / (divisor(m) * divisor(m));
        a[2 * m] = m % 2 == 0 ? magnitude : -magnitude;
    }
}

double triangleDivisor(int m) { return 2 * m + 1; }
double peakDivisor(int m) { return 1.0 + 0.75 * m; }

void fillOrgan(double* a) {
    clearRecipe(a);
    // Powers of two up to 512 only: 1024 is left out of the Organ series.
    for (int n = 1; n <= kHarmonics / 2; n *= 2) {
        a[n - 1] = 1.0 / n;
    }
}

void fillCluster(double* a) {
    for (int n = 1; n <= kHarmonics; ++n) {
        a[n - 1] = (n - 1) % 4 < 2 ? 1.0 / n : 0.0;
    }
}

// Harmonics one above the triangular numbers: 1, 2, 4, 7, 11, 16, ...
void fillBell(double* a) {
    clearRecipe(a);
    for (int m = 0; 1 + m * (m + 1) / 2 <= kHarmonics; ++m) {
        const int n = 1 + m * (m + 1) / 2;
        a[n - 1] = 1.0 / n;
    }
}

struct WaveRecipe {
    int wave;
    RecipeFill fill;
};

// Build order; Pulse takes Saw's table as soon as Saw exists.
constexpr WaveRecipe kBuildOrder[] = {
    {1, fillSaw},
    {9, fillInvSaw},
    {2, fillSoftRamp},
    {7, fillSquare},
    {3, fillAlternatingOdd<triangleDivisor>},
    {4, fillAlternatingOdd<peakDivisor>},
    {6, fillOrgan},
    {5, fillCluster},
    {10, fillBell},
    {11, fillSpans<kVox>},
    {12, fillSpans<kVox2>},
    {13, fillSpans<kVox3>},
    {14, fillSpans<kFunk>},
};

// Zero-initialised before any code runs, so no instance can see it half constructed.
SharedSynthTables gTables;

// kBuilding doubles as the guard of gUsers and of the wavetable storage: a thread changes
// either only after moving the state to kBuilding itself, so a last release can never free
// under a concurrent acquire, and an acquire that arrives mid-free waits and then rebuilds.
std::atomic<int> gState{SharedSynthTables::kNotBuilt};
std::atomic<int> gUsers{0};

}  // namespace

const SharedSynthTables* SharedSynthTables::acquire() {
    for (;;) {
        int seen = gState.load(std::memory_order_acquire);
        if (seen != kBuilding &&
            gState.compare_exchange_weak(seen, kBuilding, std::memory_order_acq_rel,
                                         std::memory_order_acquire)) {
            gUsers.fetch_add(1, std::memory_order_relaxed);
            if (seen == kNotBuilt) {
                gTables.build();
            }
            gState.store(kBuilt, std::memory_order_release);
            return &gTables;
        }
        std::this_thread::yield();
    }
}

void SharedSynthTables::release() {
    for (;;) {
        int seen = gState.load(std::memory_order_acquire);
        if (seen == kNotBuilt) {
            return;
        }
        if (seen == kBuilt &&
            gState.compare_exchange_weak(seen, kBuilding, std::memory_order_acq_rel,
                                         std::memory_order_acquire)) {
            if (gUsers.fetch_sub(1, std::memory_order_relaxed) > 1) {
                gState.store(kBuilt, std::memory_order_release);
            } else {
                gTables.freeWaveTables();
                gState.store(kNotBuilt, std::memory_order_release);
            }
            return;
        }
        std::this_thread::yield();
    }
}

int SharedSynthTables::userCount() { return gUsers.load(std::memory_order_relaxed); }

int SharedSynthTables::buildState() { return gState.load(std::memory_order_acquire); }

void SharedSynthTables::build() {
    freeWaveTables();
    for (int i = 0; i < kPitchTableSize; ++i) {
        const double octaves = (i - kPitchTableBaseIndex) / kPitchStepsPerOctave;
        pitchTable[i] = static_cast<float>(kPitchTableBaseHz * std::pow(2.0, octaves));
    }
    for (int i = 0; i < kSineTableSize; ++i) {
        sineTable[i] = static_cast<float>(0.5L * std::sin(kTwoPi * i / kSinePoints));
    }
    waveTables[kSineWave] = sineTable;
    for (const WaveRecipe& recipe : kBuildOrder) {
        recipe.fill(harmonicRecipe);
        buildWaveTable(recipe.wave);
        if (recipe.wave == kSawWave) {
            waveTables[kPulseWave] = waveTables[kSawWave];
        }
    }
}

void SharedSynthTables::buildWaveTable(int wave) {
    auto* table = static_cast<float*>(storageAllocator.allocate(kWaveTableBytes));
    if (table == nullptr) {
        return;
    }
    double* a = harmonicRecipe;
    for (int j = 0; j < kTaperLength; ++j) {
        a[kTaperStart + j] *= 1.0 - static_cast<double>(j) / kTaperLength;
    }
    double sum = 0.0;
    for (int n = 1; n <= kHarmonics; ++n) {
        sum += std::fabs(a[n - 1]) / n;
    }
    const double scale = 1.0 / sum;
    for (int n = 1; n <= kHarmonics; ++n) {
        a[n - 1] *= scale;
    }

    // Row r at position i is the running sum over harmonics 1..r+1 at i. Walking harmonics in
    // the outer loop keeps every position's sum in the same order while rows are written
    // front to back; each sum is rounded to float once, where it is stored.
    double partial[kSineTableSize];
    for (int i = 0; i < kSineTableSize; ++i) {
        partial[i] = a[0] * static_cast<double>(sineTable[i]);
        table[i] = static_cast<float>(partial[i]);
    }
    for (int n = 2; n <= kHarmonics; ++n) {
        float* row = table + (n - 1) * kRowStride;
        const double amplitude = a[n - 1];
        int phase = 0;  // (n * i) mod kSinePoints
        for (int i = 0; i < kSineTableSize; ++i) {
            partial[i] += amplitude * static_cast<double>(sineTable[phase]);
            row[i] = static_cast<float>(partial[i]);
            phase = (phase + n) & (kSinePoints - 1);
        }
    }
    for (int r = 0; r < kWaveRows; ++r) {
        for (int i = kSineTableSize; i < kRowStride; ++i) {
            table[r * kRowStride + i] = 0.0f;
        }
    }
    storage_[wave] = table;
    waveTables[wave] = table;
}

void SharedSynthTables::useStorageAllocator(StorageAllocator allocator) {
    // Tables that exist must go back to the allocator they came from.
    if (allocator.allocate != nullptr && allocator.release != nullptr && buildState() == kNotBuilt) {
        storageAllocator = allocator;
    }
}

void SharedSynthTables::freeWaveTables() {
    for (int w = 0; w < kWaveSlots; ++w) {
        storageAllocator.release(storage_[w], kWaveTableBytes);
        storage_[w] = nullptr;
        waveTables[w] = nullptr;
    }
}
