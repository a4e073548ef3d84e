#include "controls/image/Lumora_Ctrl_Image.h"
#include "controls/image/PeriphTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace Platform;
using namespace PeriphTest;

namespace {

constexpr Point kOn{120, 120};

struct ImageRig : Screen {
    std::shared_ptr<Lumora_Ctrl_Image> image = std::make_shared<Lumora_Ctrl_Image>(Rect(100, 100, 40, 40));
    Recorder recorder;

    ImageRig()
    {
        view()->addSubview(image);
        recorder.attach(image.get());
    }
};

} // namespace

TEST(ImageControl, StartsClearWithOneStepAndNoTouchStepping)
{
    Lumora_Ctrl_Image image;
    EXPECT_EQ(image.backgroundColor(), Color::clearColor());
    EXPECT_EQ(image.min(), 0u);
    EXPECT_EQ(image.max(), 1u);
    EXPECT_FALSE(image.touchOperated());
    EXPECT_FALSE(image.pressed());
    EXPECT_EQ(image.badge(), 0);
    EXPECT_EQ(image.cornerRadius(), 0);
}

TEST(ImageControl, WithoutTouchSteppingATapOnlyShowsThePressedLook)
{
    ImageRig rig;
    Touch* t = rig.down(kOn);
    EXPECT_TRUE(rig.image->pressed());
    rig.move(t, {125, 130});
    EXPECT_TRUE(rig.image->pressed());
    rig.up(t, {125, 130});
    EXPECT_FALSE(rig.image->pressed());
    EXPECT_EQ(rig.image->value(), 0);
    EXPECT_TRUE(rig.recorder.reports.empty());
}

TEST(ImageControl, TapsStepThroughThePicturesAndWrapToMin)
{
    ImageRig rig;
    rig.image->setTouchOperated(true);
    rig.image->setMax(2);
    for (int i = 0; i < 4; ++i)
        rig.tap(kOn);
    ASSERT_EQ(rig.recorder.reports.size(), 4u);
    float const expected[] = {1, 2, 0, 1};
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(rig.recorder.reports[i].state, 4) << i;
        EXPECT_EQ(rig.recorder.reports[i].value, expected[i]) << i;
        EXPECT_FLOAT_EQ(rig.recorder.reports[i].normalized, expected[i] / 127.0f) << i;
    }

    // From a value beyond max the next tap goes to min, which need not be 0.
    rig.recorder.reports.clear();
    rig.image->setMin(3);
    rig.image->setMax(5);
    rig.image->setValue(9);
    rig.tap(kOn);
    EXPECT_EQ(rig.image->value(), 3);
    rig.tap(kOn);
    EXPECT_EQ(rig.image->value(), 4);
    EXPECT_EQ(rig.recorder.states(), (std::vector<int>{4, 4}));
}

TEST(ImageControl, ACancelledTouchLetsGoOfThePressedLookAndChangesNothing)
{
    ImageRig rig;
    rig.image->setTouchOperated(true);
    Touch* t = rig.down(kOn);
    ASSERT_TRUE(rig.image->pressed());
    rig.cancel(t);
    EXPECT_FALSE(rig.image->pressed());
    EXPECT_EQ(rig.image->value(), 0);
    EXPECT_TRUE(rig.recorder.reports.empty());
}

TEST(ImageControl, ValuesAreUnsignedWholeNumbersInThe127StepEncoding)
{
    Lumora_Ctrl_Image image;
    struct Case {
        float set;
        float value;
    };
    for (Case c : std::initializer_list<Case>{{2.9f, 2}, {-3, 0}, {0.5f, 0}, {127, 127}, {300, 300}}) {
        image.setValue(c.set);
        EXPECT_EQ(image.value(), c.value) << c.set;
    }
    image.setValue(300);
    EXPECT_EQ(image.normalizedValue(), 1.0f);  // clamped to 127 steps
    image.setValue(64);
    EXPECT_FLOAT_EQ(image.normalizedValue(), 64 / 127.0f);

    struct NormCase {
        float normalized;
        float value;
    };
    for (NormCase c : std::initializer_list<NormCase>{
             {3 / 127.0f, 3}, {-0.2f, 0}, {1.5f, 127}, {0.5f, 64}, {1.0f, 127}, {2.4f / 127.0f, 2}}) {
        image.setNormalizedValue(c.normalized);
        EXPECT_EQ(image.value(), c.value) << c.normalized;
    }

    // Values that are not numbers are ignored; the largest values stay defined.
    image.setValue(5);
    image.setValue(std::nanf(""));
    image.setNormalizedValue(std::nanf(""));
    EXPECT_EQ(image.value(), 5);
    image.setValue(std::numeric_limits<float>::infinity());
    EXPECT_EQ(image.unsignedValue(), std::numeric_limits<uint32_t>::max());

    image.setNormalizedDefaultValue(0.3f);
    EXPECT_EQ(image.defaultValue(), 0.3f);  // stored unchanged
    EXPECT_EQ(image.normalizedDefaultValue(), 0.3f);
}

TEST(ImageControl, BindingToAnIntegerParameterTakesItsBounds)
{
    Lumora_Ctrl_Image image;
    Lumora::Parameter_UInt uint(nullptr, 7, "U", "U", 2, 1, 5, Opt::None, kSound, 0);
    uint.setNormalizedValue(4 / 127.0f, Token::Mixed, AutoEvent::None);
    image.setParameter(&uint);
    EXPECT_EQ(image.min(), 1u);
    EXPECT_EQ(image.max(), 5u);
    EXPECT_EQ(image.value(), 4);
    EXPECT_EQ(image.parameter(), &uint);

    // Other types leave the bounds as they were.
    Lumora_Ctrl_Image other;
    Lumora::Parameter_UFloat real(nullptr, 8, "F", "F", 0.5f, 0, 1, Opt::None, kSound, 0);
    other.setParameter(&real);
    EXPECT_EQ(other.min(), 0u);
    EXPECT_EQ(other.max(), 1u);
    EXPECT_EQ(other.value(), 64);
}

TEST(ImageControl, CornerRadiusRoundsAndClipsAtTheConstraintUpdate)
{
    Lumora_Ctrl_Image rounded;
    rounded.setCornerRadius(8);
    rounded.updateConstraintsIfNeeded();
    EXPECT_EQ(rounded.layer().cornerRadius, 8);
    EXPECT_EQ(rounded.layer().maskedCorners, 15u);
    EXPECT_TRUE(rounded.clipsToBounds());

    Lumora_Ctrl_Image square;
    square.updateConstraintsIfNeeded();
    EXPECT_EQ(square.layer().cornerRadius, 0);
    EXPECT_FALSE(square.clipsToBounds());
}

TEST(ImageControl, DrawsItsStateThroughThePainter)
{
    ScopedPictureTheme scope;
    ImageRig rig;
    rig.image->setValue(3);
    rig.image->setBadge(9);
    rig.image->setVariation(2);
    rig.image->setDisabled(true);
    rig.image->Platform::Control::setSelected(true);
    rig.down(kOn);
    rig.image->drawRect(Rect(0, 0, 40, 40));
    ASSERT_EQ(scope.theme->requests.size(), 1u);
    auto const& r = scope.theme->requests[0];
    EXPECT_EQ(r.frame, Rect(0, 0, 40, 40));
    EXPECT_EQ(r.value, 3);
    EXPECT_TRUE(r.selected);
    EXPECT_TRUE(r.pressed);
    EXPECT_TRUE(r.disabled);
    EXPECT_EQ(r.badge, 9);
    EXPECT_EQ(r.variation, 2);
}
