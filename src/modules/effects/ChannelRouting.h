// The channels of an effect that runs mono or stereo, and the output buffer each one writes: a
// stereo instance may be told to cross them.
#pragma once

class ChannelRouting {
public:
    void setStereo(bool stereo) { stereo_ = stereo; }
    void setSwapped(bool swapped) { swapped_ = swapped; }
    bool stereo() const { return stereo_; }
    int channels() const { return stereo_ ? 2 : 1; }
    // The output channel 0 (left) or 1 (right) goes to.
    int outputOf(int channel) const { return stereo_ && swapped_ ? 1 - channel : channel; }

private:
    bool stereo_ = false;
    bool swapped_ = false;
};
