#include "editor/QX_GUI_EQ_Window.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <numbers>
#include <string>

#include "modules/effects/PeakKernel.h"
#include "modules/modulation/QX_DSP_FdB_to_VFGain.h"
#include "params/ParameterLookups.h"

namespace {

constexpr float kDbPerFader = 10.0f;     // the gain knob's engineering value is dB / 10
constexpr float kWidthTop = 1.0f;        // the width glide: w = 1 - (v - 1) / 9
constexpr float kWidthSlope = 1.0f / 9.0f;
constexpr float kNyquistGuard = 0.499f;  // keeps tan() finite at the top of the axis
constexpr int kHandleRadius = 4;
constexpr int kReadOutFontPx = 10;
constexpr toolkit::Color kBackground{18, 20, 24};
constexpr toolkit::Color kGrid{44, 48, 56};
constexpr toolkit::Color kCurve{120, 200, 240};
constexpr toolkit::Color kHandles[] = {{240, 120, 90}, {140, 220, 110}, {230, 200, 90}};
constexpr toolkit::Color kReadOutColor{230, 230, 230};

float toDb(double magnitude) { return static_cast<float>(20.0 * std::log10(std::max(magnitude, 1e-9))); }

}  // namespace

QX_GUI_EQ_Window::Band QX_GUI_EQ_Window::bandFor(float hz, float gainDb, float width) {
    return {hz, width, QX_DSP_FdB_to_VFGain::gainFor(gainDb / kDbPerFader)};
}

float QX_GUI_EQ_Window::responseDb(std::span<const Band> bands, float hz) {
    const double omega = 2.0 * std::numbers::pi * static_cast<double>(hz) / kSampleRate;
    const std::complex<double> z1 = std::polar(1.0, -omega);
    const std::complex<double> z2 = z1 * z1;
    double magnitude = 1.0;
    for (const Band& band : bands) {
        if (band.gain == 0.0f) continue;
        const float k = std::tan(std::numbers::pi_v<float> * std::min(band.hz / kSampleRate, kNyquistGuard));
        const filter_kernels::Coefficients law = peak_kernel::peakLaw(k, band.width, band.gain);
        const float* c = law.c;  // b0 b1 b2 a1 a2
        const std::complex<double> num = static_cast<double>(c[0]) + static_cast<double>(c[1]) * z1 +
                                         static_cast<double>(c[2]) * z2;
        const std::complex<double> den = 1.0 + static_cast<double>(c[3]) * z1 + static_cast<double>(c[4]) * z2;
        magnitude *= std::abs(num / den);
    }
    return toDb(magnitude);
}

QX_GUI_EQ_Window::QX_GUI_EQ_Window(const toolkit::Rect& rect, int tag, toolkit::ControlListener* listener)
    : Control(rect, tag, listener) {
    setWantsIdle(true);
}

void QX_GUI_EQ_Window::addMember(int position, toolkit::Control& member) {
    if (position < 0 || position >= kMembers) return;
    members_[static_cast<std::size_t>(position)] = &member;
    invalidate();
}

float QX_GUI_EQ_Window::shown(int position) const {
    const toolkit::Control* m = member(position);
    const ControlDescriptor* row = m != nullptr ? ParameterLookups::get().descriptor(m->tag()) : nullptr;
    if (row == nullptr) return 0.0f;
    return row->min + (row->max - row->min) * ParameterLookups::applyCurve(ParameterLookups::get().curve(m->tag()),
                                                                           m->value());
}

std::array<QX_GUI_EQ_Window::Band, QX_GUI_EQ_Window::kBands> QX_GUI_EQ_Window::bands() const {
    const ParameterLookups& lookups = ParameterLookups::get();
    std::array<Band, kBands> out{};
    for (int i = 0; i < kBands; ++i) {
        const toolkit::Control* gain = member(kFirstGain + i);
        const toolkit::Control* width = member(kFirstWidth + i);
        out[static_cast<std::size_t>(i)] = {
            member(i) != nullptr ? shown(i) : kLowestHz,
            width != nullptr ? kWidthTop - (lookups.engineeringValue(width->tag(), width->value()) - 1.0f) * kWidthSlope
                             : 0.0f,
            gain != nullptr ? QX_DSP_FdB_to_VFGain::gainFor(lookups.engineeringValue(gain->tag(), gain->value()))
                            : 0.0f};
    }
    return out;
}

float QX_GUI_EQ_Window::xForHz(float hz) const {
    const float position = std::log(std::max(hz, kLowestHz) / kLowestHz) / std::log(kHighestHz / kLowestHz);
    return static_cast<float>(rect().left) + position * static_cast<float>(rect().width() - 1);
}

float QX_GUI_EQ_Window::hzForX(int x) const {
    const float position = std::clamp(static_cast<float>(x - rect().left) / static_cast<float>(rect().width() - 1),
                                      0.0f, 1.0f);
    return kLowestHz * std::pow(kHighestHz / kLowestHz, position);
}

float QX_GUI_EQ_Window::yForDb(float db) const {
    const float half = static_cast<float>(rect().height() - 1) * 0.5f;
    return static_cast<float>(rect().top) + half - std::clamp(db, -kRangeDb, kRangeDb) / kRangeDb * half;
}

float QX_GUI_EQ_Window::dbForY(int y) const {
    const float half = static_cast<float>(rect().height() - 1) * 0.5f;
    return std::clamp((static_cast<float>(rect().top) + half - static_cast<float>(y)) / half * kRangeDb, -kRangeDb,
                      kRangeDb);
}

toolkit::Point QX_GUI_EQ_Window::handle(int band) const {
    const float db = member(kFirstGain + band) != nullptr ? shown(kFirstGain + band) : 0.0f;
    return {static_cast<int>(std::lround(xForHz(bands()[static_cast<std::size_t>(band)].hz))),
            static_cast<int>(std::lround(yForDb(db)))};
}

std::string QX_GUI_EQ_Window::readOut(int band) const {
    char text[96];
    std::snprintf(text, sizeof text, "Freq: %2.0f(Hz)   Gain: %2.2f(dB)   Width: %2.1f",
                  static_cast<double>(shown(band)), static_cast<double>(shown(kFirstGain + band)),
                  static_cast<double>(shown(kFirstWidth + band)));
    return text;
}

void QX_GUI_EQ_Window::draw(toolkit::DrawContext& context) {
    context.fillRect(rect(), kBackground);
    const int zeroDb = static_cast<int>(std::lround(yForDb(0.0f)));
    context.drawLine({rect().left, zeroDb}, {rect().right - 1, zeroDb}, kGrid);
    const auto shape = bands();
    toolkit::Point previous{};
    for (int x = rect().left; x < rect().right; ++x) {
        const toolkit::Point p{x, static_cast<int>(std::lround(yForDb(responseDb(shape, hzForX(x)))))};
        if (x > rect().left) context.drawLine(previous, p, kCurve);
        previous = p;
    }
    for (int i = 0; i < kBands; ++i) {
        if (member(i) == nullptr) continue;
        const toolkit::Point h = handle(i);
        constexpr int kDiameter = 2 * kHandleRadius + 1;
        const toolkit::Rect dot = toolkit::Rect::fromSize(h.x - kHandleRadius, h.y - kHandleRadius, kDiameter, kDiameter);
        context.fillRoundedRect(dot, kHandleRadius, kHandles[i]);
    }
    if (dragged_ >= 0) {
        context.drawText(readOut(dragged_), {rect().left, rect().top, rect().right, rect().top + kReadOutFontPx + 4},
                         toolkit::Font::nearest(kReadOutFontPx), kReadOutColor, toolkit::HAlign::Center);
    }
    for (int i = 0; i < kMembers; ++i) {
        drawn_[static_cast<std::size_t>(i)] = member(i) != nullptr ? member(i)->value() : 0.0f;
    }
}

bool QX_GUI_EQ_Window::onMouseDown(const toolkit::MouseEvent& event) {
    if (event.button != toolkit::MouseButton::Left) return false;
    int nearest = -1;
    int best = kHandleGripPx * kHandleGripPx + 1;
    for (int i = 0; i < kBands; ++i) {
        if (member(i) == nullptr) continue;
        const toolkit::Point d = handle(i) - event.position;
        if (d.x * d.x + d.y * d.y < best) {
            best = d.x * d.x + d.y * d.y;
            nearest = i;
        }
    }
    if (nearest < 0) return false;
    dragged_ = nearest;
    member(dragged_)->beginEdit();
    if (toolkit::Control* gain = member(kFirstGain + dragged_)) gain->beginEdit();
    invalidate();
    return true;
}

void QX_GUI_EQ_Window::onMouseMove(const toolkit::MouseEvent& event) {
    if (dragged_ >= 0) moveBand(event.position);
}

void QX_GUI_EQ_Window::moveBand(toolkit::Point p) {
    const ParameterLookups& lookups = ParameterLookups::get();
    // Both knobs are linear, so the shown value maps straight back to the normalised one.
    const auto setShown = [&lookups](toolkit::Control* m, float value) {
        const ControlDescriptor* row = m != nullptr ? lookups.descriptor(m->tag()) : nullptr;
        if (row == nullptr || row->max == row->min) return;
        m->changeValue((value - row->min) / (row->max - row->min));
    };
    setShown(member(dragged_), hzForX(p.x));
    setShown(member(kFirstGain + dragged_), dbForY(p.y));
    invalidate();
}

void QX_GUI_EQ_Window::onMouseUp(const toolkit::MouseEvent&) {
    if (dragged_ < 0) return;
    if (toolkit::Control* gain = member(kFirstGain + dragged_)) gain->endEdit();
    member(dragged_)->endEdit();
    dragged_ = -1;
    invalidate();
}

void QX_GUI_EQ_Window::onIdle() {
    for (int i = 0; i < kMembers; ++i) {
        if (member(i) != nullptr && member(i)->value() != drawn_[static_cast<std::size_t>(i)]) {
            invalidate();
            return;
        }
    }
}
