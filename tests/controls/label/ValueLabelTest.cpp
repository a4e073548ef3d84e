#include "controls/label/Lumora_Ctrl_Label.h"
#include "controls/knob/ControlTestSupport.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <clocale>
#include <memory>

using namespace Platform;
using namespace ControlTest;
using Lumora::Parameter;

namespace {

constexpr auto kSet = Lumora::AutomationEventType(0);
constexpr auto kToken = Lumora::ParameterObserver::Token::ViewController;

std::unique_ptr<Parameter> makeParameter(Parameter::Type type)
{
    switch (type) {
    case Parameter::Type::SInt:
        return std::make_unique<Lumora::Parameter_SInt>(nullptr, 1, "S", "S", 0, -64, 63, Opt::None, kSound, 0);
    case Parameter::Type::UInt:
        return std::make_unique<Lumora::Parameter_UInt>(nullptr, 2, "U", "U", 0, 0, 127, Opt::None, kSound, 0);
    case Parameter::Type::SFloat:
        return std::make_unique<Lumora::Parameter_SFloat>(nullptr, 3, "F", "F", 0, -1, 1, Opt::None, kSound, 0);
    case Parameter::Type::UFloat:
        return std::make_unique<Lumora::Parameter_UFloat>(nullptr, 4, "F", "F", 0, 0, 1, Opt::None, kSound, 0);
    case Parameter::Type::Bool:
        break;
    }
    return std::make_unique<Lumora::Parameter_Bool>(nullptr, 5, "B", "B", false, Opt::None, kSound, 0);
}

} // namespace

TEST(ValueLabel, StartsWithItsLookAndIsReadOnly)
{
    Lumora_Ctrl_Label label;
    EXPECT_TRUE(label.isReadOnly());
    EXPECT_EQ(label.fontName(), "Helvetica-Light");
    EXPECT_EQ(label.fontSize(), 10);
    EXPECT_EQ(label.color(), Color::blackColor());
    EXPECT_EQ(label.multiplier(), 1);
    EXPECT_EQ(label.offset(), 0);
    EXPECT_EQ(label.backgroundColor(), Color::clearColor());
    EXPECT_EQ(label.text(), "0.00");
}

TEST(ValueLabel, PrintsTheConcreteValueInTheFormatOfItsType)
{
    struct Case {
        Parameter::Type type;
        float concrete, multiplier, offset;
        char const* text;
    };
    Case const cases[] = {
        {Parameter::Type::SInt, -12, 1, 0, "-12"},
        {Parameter::Type::SInt, 5, 1, 0, "+5"},
        {Parameter::Type::SInt, 0, 1, 0, "0"},
        {Parameter::Type::SInt, 1, 0.5f, 0, "+0"},  // 0.5 is not exactly 0 and truncates to 0
        {Parameter::Type::UInt, 64, 1, 0, "64"},
        {Parameter::Type::UInt, 64, 1, 1, "65"},
        {Parameter::Type::SFloat, -0.5f, 1, 0, "-0.50"},
        {Parameter::Type::SFloat, 0.25f, 1, 0, "+0.25"},
        {Parameter::Type::SFloat, 0, 1, 0, "0.00"},
        {Parameter::Type::UFloat, 0.5f, 100, 0, "50.00"},
        {Parameter::Type::UFloat, 0.125f, 1, 0, "0.12"},
        {Parameter::Type::Bool, 1, 1, 0, "On"},
        {Parameter::Type::Bool, 0, 1, 0, "Off"},
        {Parameter::Type::Bool, 0, 1, 1, "On"},
    };
    for (auto const& c : cases) {
        auto parameter = makeParameter(c.type);
        parameter->setConcreteValue(c.concrete, kToken);
        Lumora_Ctrl_Label label;
        label.setMultiplier(c.multiplier);
        label.setOffset(c.offset);
        label.setParameter(parameter.get());
        EXPECT_EQ(label.text(), c.text) << static_cast<int>(c.type) << " " << c.concrete;
    }
}

TEST(ValueLabel, SmallSignedRealsKeepTheirSign)
{
    // A signed real near 0 that is not exactly 0 shows its sign.
    EXPECT_EQ(Lumora_Ctrl_Label::displayValueFromConcreteValue(0.001f, 1, 0), 0.001f);
    Lumora_Ctrl_Label label;
    auto parameter = makeParameter(Parameter::Type::SFloat);
    label.setParameter(parameter.get());
    label.setOffset(0.001f);
    EXPECT_EQ(label.text(), "+0.00");
    label.setOffset(-0.001f);
    EXPECT_EQ(label.text(), "-0.00");
}

TEST(ValueLabel, FramesTheNumberAndIgnoresTheProcessLocale)
{
    char const* const before = std::setlocale(LC_NUMERIC, nullptr);
    std::string const saved = before ? before : "C";
    bool const german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;

    auto parameter = makeParameter(Parameter::Type::UFloat);
    parameter->setNormalizedValue(0.5f, kToken, kSet);
    Lumora_Ctrl_Label label;
    label.setParameter(parameter.get());
    label.setMultiplier(100);
    label.setPrefix("Mix ");
    label.setSurfix(" %");
    EXPECT_EQ(label.text(), "Mix 50.00 %");
    std::setlocale(LC_NUMERIC, saved.c_str());
    if (!german)
        GTEST_SKIP() << "no German locale to compare with";
}

TEST(ValueLabel, UnboundLabelPrintsItsOwnValueAndRedrawsOnEachChange)
{
    Lumora_Ctrl_Label label;
    auto const before = label.displayRequestCount();
    label.setNormalizedValue(0.123f);
    EXPECT_EQ(label.text(), "0.12");
    EXPECT_EQ(label.displayRequestCount(), before + 1);
    label.setPrefix("x");  // no redraw until the next change
    EXPECT_EQ(label.displayRequestCount(), before + 1);
}

TEST(ValueLabel, DrawsItsTextCentred)
{
    auto label = std::make_shared<Lumora_Ctrl_Label>(Rect(0, 0, 80, 20));
    label->setFontSize(14);
    label->setNormalizedValue(0.5f);
    Image const image = renderViewToImage(*label);
    // Some ink, and about as much left of the middle as right of it.
    int left = 0, right = 0;
    for (int y = 0; y < image.pixelHeight(); ++y)
        for (int x = 0; x < image.pixelWidth(); ++x)
            if (image.pixel(x, y).alpha() > 0.5)
                (x < image.pixelWidth() / 2 ? left : right)++;
    EXPECT_GT(left + right, 10);
    EXPECT_NEAR(left, right, (left + right) * 0.35);
}
