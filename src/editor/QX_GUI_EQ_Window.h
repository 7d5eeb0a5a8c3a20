// The EQ's response view: the summed magnitude of the three peak bands at 44.1 kHz on a log
// frequency axis 20 Hz..20 kHz, +-18 dB. Each band has a handle; dragging it moves the band's
// frequency (x) and gain (y) through the band knobs, which the group ties to it (frequencies
// at positions 0..2, gains at 5..7, widths at 10..12).
#pragma once

#include <array>
#include <span>

#include "editor/ControlGroup.h"
#include "toolkit/Control.h"

class QX_GUI_EQ_Window : public toolkit::Control, public ControlGroup {
public:
    static constexpr int kBands = 3;
    static constexpr int kFirstGain = 5;   // member positions
    static constexpr int kFirstWidth = 10;
    static constexpr float kSampleRate = 44100.0f;
    static constexpr float kLowestHz = 20.0f;
    static constexpr float kHighestHz = 20000.0f;
    static constexpr float kRangeDb = 18.0f;
    static constexpr int kHandleGripPx = 7;  // a press this close to a handle takes it

    // One band as the coefficient law sees it: width w 0..1 and the gain converter's value g.
    struct Band {
        float hz;
        float width;
        float gain;
    };
    // A band from its shown frequency, gain in dB and width law value.
    static Band bandFor(float hz, float gainDb, float width);
    // The summed response at `hz`; a band whose gain value is exactly 0 is skipped, as the EQ
    // itself skips it.
    static float responseDb(std::span<const Band> bands, float hz);

    QX_GUI_EQ_Window(const toolkit::Rect& rect, int tag, toolkit::ControlListener* listener);

    void addMember(int position, toolkit::Control& member) override;

    // The bands as the members set them (missing members read as flat).
    std::array<Band, kBands> bands() const;
    // Where band i's handle sits (parent coordinates).
    toolkit::Point handle(int band) const;
    int draggedBand() const { return dragged_; }
    // "Freq: ...   Gain: ...   Width: ..." for band i.
    std::string readOut(int band) const;

    float xForHz(float hz) const;
    float hzForX(int x) const;
    float yForDb(float db) const;
    float dbForY(int y) const;

    void draw(toolkit::DrawContext& context) override;
    bool onMouseDown(const toolkit::MouseEvent& event) override;
    void onMouseMove(const toolkit::MouseEvent& event) override;
    void onMouseUp(const toolkit::MouseEvent& event) override;
    void onIdle() override;

private:
    static constexpr int kMembers = kFirstWidth + kBands;

    toolkit::Control* member(int position) const { return members_[static_cast<std::size_t>(position)]; }
    float shown(int position) const;
    void moveBand(toolkit::Point p);

    std::array<toolkit::Control*, kMembers> members_{};
    std::array<float, kMembers> drawn_{};  // member values last drawn
    int dragged_ = -1;
};
