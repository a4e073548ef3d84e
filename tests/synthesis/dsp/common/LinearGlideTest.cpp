#include "synthesis/dsp/common/LinearGlide.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using Lumora::DSP::LinearGlide;

namespace {

// The glide's value after each of total samples, advanced in chunks of the given size.
std::vector<float> path(unsigned chunk, unsigned total, unsigned frames)
{
    LinearGlide g;
    g.setTarget(0.0f, frames);
    g.setTarget(1.0f, frames);
    std::vector<float> values;
    for (unsigned done = 0; done < total; done += chunk) {
        const unsigned n = std::min(chunk, total - done);
        const float v = g.advance(n);
        for (unsigned i = 0; i < n; ++i)
            values.push_back(v);
    }
    return values;
}

} // namespace

// A glide counts samples: whatever the chunks it is advanced in, it stands at the same value at
// every chunk end and lands exactly on the target at the same sample.
TEST(LinearGlide, ReachesItsTargetAtTheSameSampleWhateverTheChunkSize)
{
    const unsigned frames = 441;
    const std::vector<float> single = path(1, 1024, frames);
    EXPECT_LT(single[frames - 2], 1.0f);
    EXPECT_EQ(single[frames - 1], 1.0f);
    for (unsigned chunk : {7u, 16u, 128u, 1024u}) {
        SCOPED_TRACE(chunk);
        const std::vector<float> chunked = path(chunk, 1024, frames);
        for (unsigned end = chunk - 1; end < 1024; end += chunk)
            EXPECT_NEAR(chunked[end], single[end], 1e-6f);
    }
}

TEST(LinearGlide, TakesItsFirstTargetAtOnceAndRetargetsFromWhereItStands)
{
    LinearGlide g;
    g.setTarget(0.3f, 100);
    EXPECT_FALSE(g.gliding());
    EXPECT_EQ(g.value(), 0.3f);

    g.setTarget(1.3f, 100);
    EXPECT_NEAR(g.advance(50), 0.8f, 1e-6f);
    // Turned back halfway: a new line from 0.8, with no jump.
    g.setTarget(0.0f, 100);
    EXPECT_NEAR(g.value(), 0.8f, 1e-6f);
    EXPECT_NEAR(g.advance(25), 0.6f, 1e-6f);
    EXPECT_EQ(g.advance(1000), 0.0f);
    EXPECT_FALSE(g.gliding());

    // A target that is not a number is ignored; after snapNext the next target is taken at once.
    g.setTarget(NAN, 100);
    EXPECT_EQ(g.target(), 0.0f);
    g.snapNext();
    g.setTarget(0.9f, 100);
    EXPECT_EQ(g.value(), 0.9f);
    EXPECT_FALSE(g.gliding());
}
