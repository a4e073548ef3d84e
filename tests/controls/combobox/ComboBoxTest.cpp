#include "controls/combobox/Lumora_Ctrl_ComboBox.h"
#include "controls/image/PeriphTestSupport.h"
#include "engine/parameter/ParameterManager.h"
#include "platform/ui/AlertController.h"
#include "platform/ui/PopoverPresentationController.h"

#include <gtest/gtest.h>

using namespace Platform;
using namespace PeriphTest;

namespace {

constexpr Point kOn{220, 120};

// Records the changes the parameter reports, with their originator and event.
struct ChangeLog : Lumora::ParameterObserver {
    struct Change {
        float normalized;
        Token token;
        AutoEvent event;
    };
    std::vector<Change> changes;
    void didChangeParam(Lumora::Parameter const* p, Token token, AutoEvent event) override
    {
        changes.push_back({p->normalizedValue(), token, event});
    }
};

struct ComboRig : Screen {
    std::shared_ptr<Lumora_Ctrl_ComboBox> combo = std::make_shared<Lumora_Ctrl_ComboBox>(Rect(200, 100, 60, 40));
    Recorder recorder;

    ComboRig()
    {
        view()->addSubview(combo);
        recorder.attach(combo.get());
    }
    AlertController* list() const { return dynamic_cast<AlertController*>(root->presentedViewController()); }
    std::vector<std::string> titles() const
    {
        std::vector<std::string> t;
        if (list())
            for (auto const& a : list()->actions())
                t.push_back(a->title());
        return t;
    }
    std::vector<bool> checks() const
    {
        std::vector<bool> c;
        if (list())
            for (auto const& a : list()->actions())
                c.push_back(a->isChecked());
        return c;
    }
};

} // namespace

TEST(ComboBox, IsATouchOperatedImageControlNamingItsChoices)
{
    Lumora_Ctrl_ComboBox combo;
    EXPECT_TRUE(combo.touchOperated());
    EXPECT_EQ(combo.choiceTitleWithValue(0), "item-0");
    EXPECT_EQ(combo.choiceTitleWithValue(42), "item-42");
    combo.setChoiceTitle("stored");
    combo.setValue(1.0f);
    EXPECT_EQ(combo.choiceTitle(), "item-1");  // the current value's title, not the stored one
}

TEST(ComboBox, ATapListsEveryValueAndPickingOneSetsAndReportsIt)
{
    ComboRig rig;
    Lumora::ParameterManager manager("test", 1, nullptr);
    Lumora::Parameter_UInt parameter(&manager, 20, "Choice", "Choice", 0, 0, 3, Opt::None, kSound, 0);
    ChangeLog log;
    manager.addObserver(&log);
    parameter.setNormalizedValue(1 / 127.0f, Token::Mixed, AutoEvent::None);
    log.changes.clear();
    rig.combo->setParameter(&parameter);
    rig.recorder.written = &parameter;

    Touch* t = rig.down(kOn);
    EXPECT_TRUE(rig.combo->pressed());
    EXPECT_EQ(rig.list(), nullptr);  // the list opens at touch-up
    rig.up(t, kOn);
    EXPECT_FALSE(rig.combo->pressed());

    AlertController* list = rig.list();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->preferredStyle(), AlertController::Style::ActionSheet);
    EXPECT_EQ(list->title(), "");
    EXPECT_EQ(list->message(), "");
    EXPECT_EQ(rig.titles(), (std::vector<std::string>{"item-0", "item-1", "item-2", "item-3"}));
    EXPECT_EQ(rig.checks(), (std::vector<bool>{false, true, false, false}));
    EXPECT_EQ(list->modalPresentationStyle(), ModalPresentationStyle::Popover);
    PopoverPresentationController* popover = list->popoverPresentationController();
    ASSERT_NE(popover, nullptr);
    EXPECT_EQ(popover->sourceView(), rig.combo.get());
    EXPECT_EQ(popover->sourceRect(), rig.combo->bounds());
    EXPECT_TRUE(popover->canOverlapSourceViewRect());
    EXPECT_EQ(popover->permittedArrowDirections(), 15u);
    EXPECT_TRUE(rig.recorder.reports.empty());  // opening the list reports nothing

    ASSERT_TRUE(list->chooseActionWithTitle("item-2"));
    EXPECT_EQ(rig.list(), nullptr);
    EXPECT_EQ(rig.combo->value(), 2);
    EXPECT_EQ(rig.recorder.states(), (std::vector<int>{4}));
    ASSERT_EQ(log.changes.size(), 1u);
    EXPECT_FLOAT_EQ(log.changes[0].normalized, 2 / 127.0f);
    EXPECT_EQ(log.changes[0].event, AutoEvent::SetValue);
    EXPECT_FLOAT_EQ(parameter.concreteValue(), 2);
    manager.removeObserver(&log);
}

TEST(ComboBox, DismissingTheListChangesNothing)
{
    ComboRig rig;
    rig.combo->setMax(2);
    rig.combo->setValue(1);
    rig.tap(kOn);
    ASSERT_NE(rig.list(), nullptr);
    rig.root->dismissViewControllerAnimated(false);
    EXPECT_EQ(rig.list(), nullptr);
    EXPECT_EQ(rig.combo->value(), 1);
    EXPECT_TRUE(rig.recorder.reports.empty());
}

TEST(ComboBox, ListEdgeCases)
{
    {
        // min above max: a list without choices.
        ComboRig rig;
        rig.combo->setMin(4);
        rig.combo->setMax(2);
        rig.tap(kOn);
        ASSERT_NE(rig.list(), nullptr);
        EXPECT_TRUE(rig.list()->actions().empty());
    }
    {
        // Not touch operated: a tap is only a press.
        ComboRig rig;
        rig.combo->setTouchOperated(false);
        rig.tap(kOn);
        EXPECT_EQ(rig.list(), nullptr);
        EXPECT_FALSE(rig.combo->pressed());
        EXPECT_EQ(rig.combo->value(), 0);
    }
    {
        // A value between choices checks none; min above 0 starts the list there.
        ComboRig rig;
        rig.combo->setMin(5);
        rig.combo->setMax(7);
        rig.combo->setValue(2);
        rig.tap(kOn);
        EXPECT_EQ(rig.titles(), (std::vector<std::string>{"item-5", "item-6", "item-7"}));
        EXPECT_EQ(rig.checks(), (std::vector<bool>{false, false, false}));
    }
    {
        // Outside any screen there is nobody to present the list: nothing happens.
        auto window = std::make_shared<Window>(Rect(0, 0, 300, 300));
        auto combo = std::make_shared<Lumora_Ctrl_ComboBox>(Rect(10, 10, 50, 30));
        window->addSubview(combo);
        window->tap({20, 20}, 1);
        EXPECT_FALSE(combo->pressed());
        EXPECT_EQ(combo->value(), 0);
    }
}

TEST(ComboBox, TheListKeepsTheComboBoxAliveUntilItIsDismissed)
{
    ComboRig rig;
    rig.tap(kOn);
    ASSERT_NE(rig.list(), nullptr);
    std::weak_ptr<Lumora_Ctrl_ComboBox> weak = rig.combo;
    rig.combo->removeFromSuperview();
    rig.combo.reset();
    ASSERT_FALSE(weak.expired());
    ASSERT_TRUE(rig.list()->chooseActionWithTitle("item-1"));
    EXPECT_TRUE(weak.expired());
}
