#pragma once

#include <vector>

namespace Lumora::DSP {

// Maps samples through a table of N entries spanning the input range [-1, 1) by linear
// interpolation; inputs beyond the range (and NaN) read the end entries. Starts as the identity.
class WaveShaper {
public:
    explicit WaveShaper(unsigned N);
    virtual ~WaveShaper() = default;

    // out may be in.
    virtual void process(float* out, const float* in, unsigned n);
    // out[i] += the table's sample for in[i], the sums of process() into a buffer added to out, in one
    // pass. Reads the table as it stands, whatever process() a derived shaper has.
    void processAdding(float* out, const float* in, unsigned n);

    unsigned length() const { return static_cast<unsigned>(table_.size()); }
    const float* table() const { return table_.data(); }

protected:
    std::vector<float> table_;
};

} // namespace Lumora::DSP
