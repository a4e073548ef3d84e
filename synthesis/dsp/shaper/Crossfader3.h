#pragma once

#include <cmath>

#include "synthesis/dsp/shaper/EqualPower.h"

namespace Lumora::DSP {

// Equal-power crossfade along A - B - C: position 0 is all A, 0.5 all B, 1 all C. An input takes part
// in a block only while both its last and its new weight are above 0; weights ramp (inclusively)
// across the block. out may be any of the inputs.
class Crossfader3 {
public:
    void process(float* out, const float* a, const float* b, const float* c, unsigned n, float position, float curve);
    void reset();
    // For a block in which one input alone would take part at a weight that has not moved since
    // the last block: moves on as process would, sets input to that input (0 for A, 1 for B, 2 for
    // C) and answers its weight, by which the caller scales the input itself (the product process
    // would write). Any other block answers 0 and is left to process.
    // Inline, as the steps before process's products: asked every block.
    float steadySoleWeight(float position, float curve, int& input)
    {
        prepareWeights(EqualPower::limitPosition(position), curve);
        const int sole = steadySoleInput();
        if (sole < 0)
            return 0.0f;
        for (int k = 0; k < 3; ++k)
            last_[k] = weights_[k];
        input = sole;
        return weights_[sole];
    }

    float lastWeight(int input) const { return last_[input]; }

private:
    void updateWeights(float position, float curve);
    // The weights of a block at limited position p; inputs not yet weighed start on theirs. Both
    // steps are repeatable: a block handed on to process after steadySoleWeight answered 0
    // renders as if process had been called alone.
    void prepareWeights(float p, float curve)
    {
        if (!(p == weightsPosition_ && curve == weightsCurve_))
            updateWeights(p, curve);
        for (int k = 0; k < 3; ++k)
            if (last_[k] < 0.0f)
                last_[k] = weights_[k];
    }
    // The input that alone takes part in the block (weighed at its end and at the last block's)
    // at a weight that has not moved since that block; -1 for none or several.
    int steadySoleInput() const
    {
        int sole = -1;
        for (int k = 0; k < 3; ++k) {
            if (!(last_[k] > 0.0f && weights_[k] > 0.0f))
                continue;
            if (sole >= 0 || last_[k] != weights_[k])
                return -1;
            sole = k;
        }
        return sole;
    }

    float last_[3] = {-1.0f, -1.0f, -1.0f}; // unset
    // The weights of the last position and curve: an unchanged block costs no sine or power.
    float weightsPosition_ = NAN;
    float weightsCurve_ = NAN;
    float weights_[3] = {};
};

} // namespace Lumora::DSP
