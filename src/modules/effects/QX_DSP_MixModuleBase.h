// Common ground of the level, mix and pan modules: how each input is fed and whether it moves, its
// still value, the moving announcements of the outputs and the routine for still outputs.
#pragma once

#include <cstdint>

#include "engine/QX_ModuleBase.h"

class QX_DSP_MixModuleBase : public QX_ModuleBase {
public:
    void setInput(int pin, const float* source) override;
    void prepare() override;
    void handleEvent(const Event& event, int pos) override;

protected:
    static constexpr int kMaxOutputs = 3;

    // What an input holds from its last announcement on: a buffer changing per sample, or one value.
    struct Signal {
        bool moving = false;
        float still = 0.0f;
        bool stillZero() const { return !moving && still == 0.0f; }
    };

    // What an output holds: moving, or the still value it is announced with.
    struct OutputState {
        bool moving = false;
        float value = 0.0f;
    };

    // Outputs 0..madeOutputs-1 get their buffers here; the rest of outputCount when wired.
    QX_DSP_MixModuleBase(QX_EngineHost* host, bool asleep, int outputCount, int madeOutputs);

    // Takes one event on a pin below kModulePins.
    virtual void onEvent(const Event& event, int pos) = 0;
    // Works out every output's state from the inputs and installs the routine for it.
    virtual void settle() = 0;

    // A signal pin's announcement: moving only when the pin reads a buffer; when still, the value
    // at this sample.
    void takeSignal(const Event& event, int pos);
    // A control pin's value at this event: the sample of a buffer it reads, else the event's value.
    float stillValue(const Event& event, int pos) const;
    const Signal& signal(int pin) const { return signals_[pin]; }
    // The pin reads another module's buffer, so it can move.
    bool readsBuffer(int pin) const { return feeds_[pin] == Feed::Buffer || feeds_[pin] == Feed::LateBuffer; }

    // Installs renderStill when no output moves, else `moving`; announcements follow at the start of
    // the next render piece.
    template <class Module>
    void install(void (Module::*moving)(int, int)) {
        if (anyOutputMoving()) {
            useRender(moving);
            armAnnouncements();
        } else {
            installStill();
        }
    }
    // Every output holds its still value in states_.
    void installStill();
    // Every output still at 0 (a disabled module).
    void installSilence();

    // Every render routine starts with this: it sends what changed since the last announcement.
    void beginPiece() {
        if (announcePending_) {
            announce();
        }
    }

    // Still outputs: their values are written for one engine block, then the module goes idle.
    void renderStill(int pos, int count);

    // A switch or flag pin: on when its integer or its (finite) value is nonzero.
    static bool isOn(const Event& event);

    // The output signal * gain (gain squared with `square`): still at 0 when either is still at 0,
    // moving when either moves, else still at the product.
    static OutputState scaledState(const Signal& signal, const Signal& gain, bool square);

    OutputState states_[kMaxOutputs];
    int outputCount_;

private:
    enum class Feed : std::uint8_t {
        None,
        Value,       // a parameter, a constant or an output without buffer: events only
        Buffer,      // an earlier module's buffer, current for this chunk
        LateBuffer,  // a later module's buffer (feedback): it lags one block, events carry the value
    };

    Feed feedOf(int pin, const float* source) const;
    bool anyOutputMoving() const;
    void armAnnouncements();
    void announce();

    Feed feeds_[kModulePins] = {};
    Signal signals_[kModulePins];
    int lastKind_[kMaxOutputs] = {-1, -1, -1};
    float lastValue_[kMaxOutputs] = {};
    bool announcePending_ = false;
    int countdown_ = 0;
};
