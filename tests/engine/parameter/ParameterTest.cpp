#include <cmath>
#include <limits>
#include <functional>
#include <memory>
#include <stdexcept>
#include <thread>
#include <string>

#include <gtest/gtest.h>

#include "engine/parameter/ParamTestSupport.h"
#include "engine/parameter/ParameterManager.h"
#include "engine/parameter/TypedParameters.h"

using namespace Lumora;
using Token = ParameterObserver::Token;
using Ev = AutomationEventType;
using Opt = Parameter::Options;
using ParamTest::RecordingObserver;

namespace {

constexpr SerializeWhat kSound = static_cast<SerializeWhat>(0x10100);
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

struct ParameterFixture : ::testing::Test {
    ParameterFixture() { manager.addObserver(&observer); }
    ParameterManager manager{"Test", 2, nullptr};
    RecordingObserver observer;
};

} // namespace

// ---- quantization and clamping

struct QuantCase {
    const char* name;
    std::function<std::unique_ptr<Parameter>(ParameterManager*)> make;
    float input;          // normalized value handed to setNormalizedValue
    float stored;         // normalized value expected afterwards
    float concrete;       // concreteValue() expected afterwards
};

TEST(ParameterQuantization, EachTypeQuantizesAndClampsToItsRange) {
    auto sint = [](int d, int lo, int hi) {
        return [=](ParameterManager* m) {
            return std::make_unique<Parameter_SInt>(m, 1, "S", "S", d, lo, hi, Opt::None, kSound, 0);
        };
    };
    auto uint = [](unsigned d, unsigned lo, unsigned hi) {
        return [=](ParameterManager* m) {
            return std::make_unique<Parameter_UInt>(m, 1, "U", "U", d, lo, hi, Opt::None, kSound, 0);
        };
    };
    auto sfl = [](float d, float lo, float hi) {
        return [=](ParameterManager* m) {
            return std::make_unique<Parameter_SFloat>(m, 1, "F", "F", d, lo, hi, Opt::None, kSound, 0);
        };
    };
    auto ufl = [](float d, float lo, float hi) {
        return [=](ParameterManager* m) {
            return std::make_unique<Parameter_UFloat>(m, 1, "F", "F", d, lo, hi, Opt::None, kSound, 0);
        };
    };
    auto boo = [](bool d) {
        return [=](ParameterManager* m) {
            return std::make_unique<Parameter_Bool>(m, 1, "B", "B", d, Opt::None, kSound, 0);
        };
    };
    const QuantCase cases[] = {
        {"sint top of -12..12", sint(0, -12, 12), 1.0f, 76.0f / 127, 12},
        {"sint bottom of -12..12", sint(0, -12, 12), 0.0f, 52.0f / 127, -12},
        {"sint rounds to step", sint(0, -64, 63), 64.4f / 127, 64.0f / 127, 0},
        {"sint half rounds away", sint(0, -64, 63), 64.5f / 127, 65.0f / 127, 1},
        {"sint above 1", sint(0, -64, 63), 7.0f, 1.0f, 63},
        {"uint max 200 keeps 127", uint(0, 0, 200), 5.0f, 1.0f, 127},
        {"uint below 0", uint(10, 3, 100), -1.0f, 3.0f / 127, 3},
        {"uint range 0..2", uint(1, 0, 2), 0.9f, 2.0f / 127, 2},
        {"sfloat range -0.5..0.5", sfl(0, -0.5f, 0.5f), 1.0f, 0.75f, 0.5f},
        {"sfloat below range", sfl(0, -0.5f, 0.5f), 0.0f, 0.25f, -0.5f},
        {"ufloat range 0.2..0.8", ufl(0.5f, 0.2f, 0.8f), 0.9f, 0.8f, 0.8f},
        {"ufloat negative", ufl(0.5f, 0.0f, 1.0f), -3.0f, 0.0f, 0.0f},
        {"bool positive", boo(false), 0.01f, 1.0f, 1.0f},
        {"bool zero", boo(true), 0.0f, 0.0f, 0.0f},
    };
    for (const QuantCase& c : cases) {
        ParameterManager manager("T", 1, nullptr);
        auto p = c.make(&manager);
        p->setNormalizedValue(c.input, Token::Mixed, Ev::None);
        EXPECT_FLOAT_EQ(p->normalizedValue(), c.stored) << c.name;
        EXPECT_FLOAT_EQ(p->concreteValue(), c.concrete) << c.name;
    }
}

TEST(ParameterQuantization, ConstructionClampsRangeAndDefault) {
    Parameter_SInt s(nullptr, 1, "S", "S", 40, -12, 12, Opt::None, kSound, 0);
    EXPECT_FLOAT_EQ(s.defaultValue(), 76.0f / 127);
    EXPECT_FLOAT_EQ(s.normalizedMinValue(), 52.0f / 127);
    EXPECT_FLOAT_EQ(s.normalizedMaxValue(), 76.0f / 127);

    Parameter_UInt u(nullptr, 1, "U", "U", 300, 0, 200, Opt::None, kSound, 0);
    EXPECT_EQ(u.maxValue(), 127u);
    EXPECT_FLOAT_EQ(u.normalizedMaxValue(), 1.0f);
    EXPECT_FLOAT_EQ(u.defaultValue(), 1.0f);

    Parameter_SFloat f(nullptr, 1, "F", "F", -3.0f, -2.0f, 0.5f, Opt::None, kSound, 0);
    EXPECT_FLOAT_EQ(f.normalizedMinValue(), 0.0f);
    EXPECT_FLOAT_EQ(f.defaultValue(), 0.0f);

    Parameter_Bool b(nullptr, 1, "B", "B", true, Opt::None, kSound, 0);
    EXPECT_FLOAT_EQ(b.defaultValue(), 1.0f);
    EXPECT_FLOAT_EQ(b.normalizedMinValue(), 0.0f);
}

TEST(ParameterQuantization, StaticConversionsBothWays) {
    using T = Parameter::Type;
    struct Case { T type; float normalized; float concrete; };
    const Case toConcrete[] = {
        {T::SInt, 0.0f, -64}, {T::SInt, 1.0f, 63}, {T::SInt, 2.0f, 63},
        {T::UInt, -1.0f, 0}, {T::UInt, 1.5f, 127}, {T::UInt, 0.5f, 64},
        {T::SFloat, 0.75f, 0.5f}, {T::UFloat, 1.2f, 1.0f},
        {T::Bool, 0.0f, 0}, {T::Bool, 1e-6f, 1},
    };
    for (const Case& c : toConcrete) {
        EXPECT_FLOAT_EQ(Parameter::normalizedToConcreteValue(c.type, c.normalized), c.concrete)
            << static_cast<int>(c.type) << " " << c.normalized;
    }
    const Case toNormalized[] = {
        {T::SInt, 64.0f / 127, 0.9f}, {T::SInt, 1.0f, 1e9f}, {T::SInt, 60.0f / 127, -4.7f},
        {T::UInt, 0.0f, -5.0f}, {T::UInt, 1.0f, 200.0f}, {T::UInt, 3.0f / 127, 3.99f},
        {T::SFloat, 0.0f, -7.0f}, {T::SFloat, 1.0f, 7.0f}, {T::SFloat, 0.25f, -0.5f},
        {T::UFloat, 0.3f, 0.3f}, {T::Bool, 0.0f, 0.0f}, {T::Bool, 1.0f, -0.2f},
    };
    for (const Case& c : toNormalized) {
        EXPECT_FLOAT_EQ(Parameter::concreteToNormalizedValue(c.type, c.concrete), c.normalized)
            << static_cast<int>(c.type) << " " << c.concrete;
    }
    // A value no integer holds must not reach an integer conversion.
    EXPECT_TRUE(std::isnan(Parameter::concreteToNormalizedValue(T::SInt, kNaN)));
    EXPECT_FLOAT_EQ(Parameter::concreteToNormalizedValue(T::UInt, 1e30f), 1.0f);
}

TEST(ParameterQuantization, TypedSettersClampConcreteValues) {
    Parameter_UInt u(nullptr, 1, "U", "U", 5, 2, 100, Opt::None, kSound, 0);
    u.setValue(200, Token::Mixed, Ev::None);
    EXPECT_FLOAT_EQ(u.concreteValue(), 100);
    u.setValue(0, Token::Mixed, Ev::None);
    EXPECT_FLOAT_EQ(u.concreteValue(), 2);

    Parameter_UFloat f(nullptr, 1, "F", "F", 0.5f, 0.1f, 0.9f, Opt::None, kSound, 0);
    f.setValue(0.95f, Token::Mixed, Ev::None);
    EXPECT_FLOAT_EQ(f.normalizedValue(), 0.9f);

    Parameter_Bool b(nullptr, 1, "B", "B", false, Opt::None, kSound, 0);
    b.setValue(true, Token::Mixed, Ev::None);
    EXPECT_FLOAT_EQ(b.normalizedValue(), 1.0f);

    Parameter_SInt s(nullptr, 1, "S", "S", 0, -12, 12, Opt::None, kSound, 0);
    s.setConcreteValue(5.9f, Token::Mixed);
    EXPECT_FLOAT_EQ(s.concreteValue(), 5);
}

TEST_F(ParameterFixture, NaNIsDroppedByEverySetterBeforeQuantizing) {
    Parameter_SInt s(&manager, 1, "S", "S", 3, -64, 63, Opt::None, kSound, 0);
    Parameter_UInt u(&manager, 2, "U", "U", 3, 0, 127, Opt::None, kSound, 0);
    Parameter_SFloat sf(&manager, 3, "SF", "SF", 0.2f, -1, 1, Opt::None, kSound, 0);
    Parameter_UFloat uf(&manager, 4, "UF", "UF", 0.2f, 0, 1, Opt::None, kSound, 0);
    Parameter_Bool b(&manager, 5, "B", "B", true, Opt::None, kSound, 0);
    for (Parameter* p : {static_cast<Parameter*>(&s), static_cast<Parameter*>(&u),
                         static_cast<Parameter*>(&sf), static_cast<Parameter*>(&uf),
                         static_cast<Parameter*>(&b)}) {
        const float before = p->normalizedValue();
        for (Ev ev : {Ev::None, Ev::BeginGesture, Ev::EndGesture}) {
            p->setNormalizedValue(kNaN, Token::Host, ev);
            p->setConcreteValue(kNaN, Token::Host);
        }
        EXPECT_EQ(p->normalizedValue(), before) << p->displayName();
        EXPECT_EQ(p->changeCount(), 0u) << p->displayName();
    }
    uf.setValue(kNaN, Token::Host, Ev::None);
    EXPECT_FLOAT_EQ(uf.normalizedValue(), 0.2f);
    EXPECT_TRUE(observer.reports.empty());
}

// ---- display texts

TEST(ParameterDisplay, TextPerType) {
    Parameter_SInt s(nullptr, 1, "S", "S", 0, -64, 63, Opt::None, kSound, 0);
    Parameter_UInt u(nullptr, 2, "U", "U", 0, 0, 127, Opt::None, kSound, 0);
    Parameter_SFloat sf(nullptr, 3, "SF", "SF", 0, -1, 1, Opt::None, kSound, 0);
    Parameter_UFloat uf(nullptr, 4, "UF", "UF", 0, 0, 1, Opt::None, kSound, 0);
    Parameter_Bool b(nullptr, 5, "B", "B", false, Opt::None, kSound, 0);
    struct Case { const Parameter* p; float concrete; const char* text; };
    const Case cases[] = {
        {&s, -3.7f, "-3"}, {&s, 12.9f, "12"}, {&s, 1e20f, "2147483647"},
        {&u, 3.99f, "3"}, {&u, 127.0f, "127"},
        {&sf, 0.75f, "0.750000"}, {&sf, -0.5f, "-0.500000"}, {&uf, 0.1234567f, "0.123457"},
        {&b, -3.7f, "OFF"}, {&b, 0.0f, "OFF"}, {&b, 0.5f, "ON"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.p->displayValue_from(c.concrete), c.text) << c.p->displayName();
    }
}

// ---- reports

TEST_F(ParameterFixture, TokensAndEventTypesReachObservers) {
    Parameter_UFloat p(&manager, 7, "P", "P", 0.0f, 0, 1, Opt::None, kSound, 0);
    p.setNormalizedValue(0.1f, Token::Host, Ev::SetValue);
    p.setNormalizedValue(0.2f, Token::MidiMapper, Ev::UpdateGesture);
    p.setNormalizedValue(0.3f, static_cast<Token>(10), Ev::None);
    ASSERT_EQ(observer.reports.size(), 3u);
    EXPECT_EQ(observer.reports[0].param, &p);
    EXPECT_EQ(observer.reports[0].token, Token::Host);
    EXPECT_EQ(observer.reports[0].event, Ev::SetValue);
    EXPECT_FLOAT_EQ(observer.reports[0].value, 0.1f);
    EXPECT_EQ(observer.reports[1].token, Token::MidiMapper);
    EXPECT_EQ(observer.reports[1].event, Ev::UpdateGesture);
    EXPECT_EQ(observer.reports[2].token, Token::ViewController);
    EXPECT_EQ(observer.reports[2].event, Ev::None);
}

TEST_F(ParameterFixture, UnchangedValueIsReportedOnlyForGestureBeginAndEnd) {
    Parameter_UFloat p(&manager, 7, "P", "P", 0.5f, 0, 1, Opt::None, kSound, 0);
    struct Case { Ev event; bool reported; };
    const Case cases[] = {
        {Ev::None, false}, {Ev::UpdateGesture, false}, {Ev::SetValue, false},
        {Ev::BeginGesture, true}, {Ev::EndGesture, true},
    };
    for (const Case& c : cases) {
        observer.reports.clear();
        const uint32_t before = p.changeCount();
        p.setNormalizedValue(0.5f, Token::ViewController, c.event);
        EXPECT_EQ(observer.reports.size(), c.reported ? 1u : 0u) << static_cast<int>(c.event);
        EXPECT_EQ(p.changeCount(), before + (c.reported ? 1u : 0u));
        if (c.reported) {
            EXPECT_EQ(observer.reports[0].event, c.event);
        }
    }
    // A step smaller than one integer step leaves an integer parameter as it is.
    Parameter_UInt u(&manager, 8, "U", "U", 10, 0, 127, Opt::None, kSound, 0);
    observer.reports.clear();
    u.setNormalizedValue(10.3f / 127, Token::Mixed, Ev::None);
    EXPECT_TRUE(observer.reports.empty());
    EXPECT_EQ(u.changeCount(), 0u);
}

TEST_F(ParameterFixture, IntervalCountThrottleReportsEveryNthChangeButStoresAll) {
    Parameter_UFloat p(&manager, 7, "P", "P", 0.0f, 0, 1, Opt::None, kSound, 4);
    std::vector<float> reported;
    for (int i = 1; i <= 12; ++i) {
        p.setNormalizedValue(i * 0.05f, Token::Mixed, Ev::None);
        EXPECT_FLOAT_EQ(p.normalizedValue(), i * 0.05f);
    }
    ASSERT_EQ(observer.reports.size(), 3u);
    EXPECT_FLOAT_EQ(observer.reports[0].value, 0.20f);
    EXPECT_FLOAT_EQ(observer.reports[1].value, 0.40f);
    EXPECT_FLOAT_EQ(observer.reports[2].value, 0.60f);
}

TEST_F(ParameterFixture, ValueDifferenceThrottleMeasuresFromLastReport) {
    Parameter_UFloat p(&manager, 7, "P", "P", 0.5f, 0, 1, Opt::None, kSound, 1100);
    struct Step { float value; bool reported; };
    const Step steps[] = {
        {0.55f, false}, {0.61f, true}, {0.52f, false}, {0.45f, true}, {0.40f, false},
        {0.36f, false}, {0.30f, true},
    };
    for (const Step& s : steps) {
        const size_t before = observer.reports.size();
        p.setNormalizedValue(s.value, Token::EngineReadback, Ev::None);
        EXPECT_FLOAT_EQ(p.normalizedValue(), s.value);
        EXPECT_EQ(observer.reports.size(), before + (s.reported ? 1 : 0)) << s.value;
    }
    for (unsigned interval : {0u, 1u}) {
        Parameter_UFloat q(&manager, 8, "Q", "Q", 0.5f, 0, 1, Opt::None, kSound, interval);
        const size_t before = observer.reports.size();
        q.setNormalizedValue(0.501f, Token::Mixed, Ev::None);
        q.setNormalizedValue(0.502f, Token::Mixed, Ev::None);
        EXPECT_EQ(observer.reports.size(), before + 2) << interval;
    }
}

struct ThrowingObserver : ParameterObserver {
    void didChangeParam(const Parameter*, Token, AutomationEventType) override {
        throw std::runtime_error("observer failed");
    }
};

TEST_F(ParameterFixture, ObserverExceptionReachesCallerWithLocksReleased) {
    ThrowingObserver thrower;
    manager.addObserver(&thrower);
    Parameter_UFloat p(&manager, 7, "P", "P", 0.0f, 0, 1, Opt::None, kSound, 0);
    EXPECT_THROW(p.setNormalizedValue(0.3f, Token::Mixed, Ev::None), std::runtime_error);
    manager.removeObserver(&thrower);
    // Another thread can change the parameter afterwards: its lock was released.
    std::thread t([&] { p.setNormalizedValue(0.4f, Token::Mixed, Ev::None); });
    t.join();
    EXPECT_FLOAT_EQ(p.normalizedValue(), 0.4f);
}

// ---- deserialize of one value

TEST(ParameterDeserialize, LeadingNumberOrDefault) {
    struct Case { const char* text; float value; bool ok; };
    const Case cases[] = {
        {"0.25abc", 0.25f, true}, {"  0.75", 0.75f, true}, {"+0.5", 0.5f, true},
        {"1e-1", 0.1f, true}, {"abc", 0.3f, false}, {"", 0.3f, false},
        {"nan", 0.3f, false}, {"1e60", 0.3f, false}, {"7", 1.0f, true},
    };
    for (const Case& c : cases) {
        Parameter_UFloat p(nullptr, 1, "P", "P", 0.3f, 0, 1, Opt::None, kSound, 0);
        p.setNormalizedValue(0.9f, Token::Mixed, Ev::None);
        EXPECT_EQ(p.deserialize("P", c.text, 2, Token::Document), c.ok) << c.text;
        EXPECT_FLOAT_EQ(p.normalizedValue(), c.value) << c.text;
    }
}

// ---- manager

TEST_F(ParameterFixture, LookupsByIdAndKey) {
    Parameter_UFloat a(&manager, 5, "A", "KEY", 0, 0, 1, Opt::None, kSound, 0);
    Parameter_UFloat b(&manager, 3, "B", "KEY", 0, 0, 1, Opt::None, kSound, 0);
    EXPECT_EQ(manager.getParameter(5), &a);
    EXPECT_EQ(manager.getParameter(4), nullptr);
    EXPECT_EQ(manager.getParameter(std::string("KEY")), &b);  // lowest id first
    const ParameterManager& cm = manager;
    EXPECT_EQ(cm.getParameter(std::string("KEY")), &b);
    EXPECT_EQ(cm.getParameter(std::string("key")), nullptr);
    manager.setImportantParameters({5, 3});
    EXPECT_EQ(manager.importantParameters(), (std::vector<int>{5, 3}));
}

TEST_F(ParameterFixture, LaterParameterWithSameIdTakesTheEntryAndKeepsIt) {
    auto first = std::make_unique<Parameter_UFloat>(&manager, 9, "1", "1", 0, 0, 1, Opt::None, kSound, 0);
    Parameter_UFloat second(&manager, 9, "2", "2", 0, 0, 1, Opt::None, kSound, 0);
    EXPECT_EQ(manager.getParameter(9), &second);
    first.reset();
    EXPECT_EQ(manager.getParameter(9), &second);
    {
        Parameter_UFloat temp(&manager, 10, "T", "T", 0, 0, 1, Opt::None, kSound, 0);
        EXPECT_EQ(manager.getParameter(10), &temp);
    }
    EXPECT_EQ(manager.getParameter(10), nullptr);
    EXPECT_EQ(manager.getParameterMap().size(), 1u);
}

TEST(ParameterManagerLifetime, ParametersOutliveTheirManagerAndWorkWithoutOne) {
    RecordingObserver observer;
    auto manager = std::make_unique<ParameterManager>("M", 1, nullptr);
    manager->addObserver(&observer);
    Parameter_UFloat p(manager.get(), 1, "P", "P", 0, 0, 1, Opt::None, kSound, 0);
    p.setNormalizedValue(0.2f, Token::Mixed, Ev::None);
    EXPECT_EQ(observer.reports.size(), 1u);
    manager.reset();
    EXPECT_EQ(p.manager(), nullptr);
    p.setNormalizedValue(0.4f, Token::Mixed, Ev::None);
    EXPECT_FLOAT_EQ(p.normalizedValue(), 0.4f);
    EXPECT_EQ(observer.reports.size(), 1u);

    Parameter_Bool loose(nullptr, 2, "L", "L", false, Opt::None, kSound, 0);
    loose.setValue(true, Token::Mixed, Ev::None);
    EXPECT_FLOAT_EQ(loose.normalizedValue(), 1.0f);
    EXPECT_EQ(loose.changeCount(), 1u);
}

TEST_F(ParameterFixture, RemovedObserverHearsNothingAndHookRunsFirst) {
    struct HookManager : ParameterManager {
        HookManager(RecordingObserver& o) : ParameterManager("H", 1, nullptr), obs(o) {}
        void didChangeParam(const Parameter*) override { reportsSeenByHook = obs.reports.size(); }
        RecordingObserver& obs;
        size_t reportsSeenByHook = 99;
    };
    RecordingObserver o;
    HookManager hm(o);
    hm.addObserver(&o);
    Parameter_UFloat p(&hm, 1, "P", "P", 0, 0, 1, Opt::None, kSound, 0);
    p.setNormalizedValue(0.5f, Token::Mixed, Ev::None);
    EXPECT_EQ(hm.reportsSeenByHook, 0u);
    EXPECT_EQ(o.reports.size(), 1u);
    hm.removeObserver(&o);
    p.setNormalizedValue(0.6f, Token::Mixed, Ev::None);
    EXPECT_EQ(o.reports.size(), 1u);
}
