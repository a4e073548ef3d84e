#include "controls/radio/Lumora_Ctrl_RadioButtonCntnr.h"
#include "controls/radio/Lumora_RadioButtonCntnr.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/Window.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <vector>

using namespace Platform;

namespace {

struct RecordingDelegate : Lumora_ControlDelegate {
    std::vector<float> values;
    void Lumora_Control_valueChanged(Lumora_Control*, float value) override { values.push_back(value); }
};

// Adds one 40-point button per tag in a row, as an interface file does, then wakes the group.
template <class Group>
std::shared_ptr<Group> makeGroup(std::initializer_list<int> tags)
{
    auto group = std::make_shared<Group>(Rect(0, 0, 400, 50));
    double x = 0;
    for (int tag : tags) {
        auto button = std::make_shared<Button>(Rect(x, 0, 40, 40));
        button->setTag(tag);
        group->addSubview(button);
        x += 50;
    }
    group->awakeFromNib();
    return group;
}

template <class Group>
std::vector<int> selectedTags(Group const& group)
{
    std::vector<int> tags;
    for (Button* b : group.sortedButtons())
        if (b->isSelected())
            tags.push_back(b->tag());
    return tags;
}

} // namespace

TEST(RadioGroups, ControlGroupSelectsTheGreatestTagNotAboveItsValue)
{
    auto group = makeGroup<Lumora_Ctrl_RadioButtonCntnr>({0, 1, 2});
    EXPECT_TRUE(group->isUnsigned());
    struct Case {
        float value;
        float stored;
        std::vector<int> selected;
    };
    for (Case const& c : {Case{1.9f, 1, {1}}, Case{5, 5, {2}}, Case{-1, -1, {}}, Case{0, 0, {0}}}) {
        group->setValue(c.value);
        EXPECT_EQ(group->value(), c.stored) << c.value;
        EXPECT_EQ(selectedTags(*group), c.selected) << c.value;
    }
}

TEST(RadioGroups, ControlGroupWithNegativeTagsIsSigned)
{
    auto group = makeGroup<Lumora_Ctrl_RadioButtonCntnr>({-2, -1, 0, 1, 2});
    EXPECT_FALSE(group->isUnsigned());
    group->setValue(-2);
    EXPECT_FLOAT_EQ(group->normalizedValue(), 62.0f / 127.0f);
    group->setNormalizedValue(65.0f / 127.0f);
    EXPECT_EQ(group->value(), 1.0f);
    EXPECT_EQ(selectedTags(*group), (std::vector<int>{1}));
}

TEST(RadioGroups, ControlGroupPressTellsOnlyTheDelegateAndOnlyOfChanges)
{
    auto window = std::make_shared<Window>(Rect(0, 0, 400, 100));
    auto group = makeGroup<Lumora_Ctrl_RadioButtonCntnr>({0, 1, 2});
    window->addSubview(group);
    RecordingDelegate delegate;
    group->setDelegate(&delegate);
    int events = 0;
    group->addHandler([&events](Control*) { ++events; }, ControlEvents::ValueChanged);

    window->tap({120, 20}, 1);  // button 2
    EXPECT_EQ(group->value(), 2.0f);
    EXPECT_EQ(selectedTags(*group), (std::vector<int>{2}));
    window->tap({120, 20}, 2);  // again: nothing changes
    EXPECT_EQ(selectedTags(*group), (std::vector<int>{2}));
    window->tap({20, 20}, 3);
    EXPECT_EQ(selectedTags(*group), (std::vector<int>{0}));
    EXPECT_EQ(delegate.values, (std::vector<float>{2, 0}));
    EXPECT_EQ(events, 0);
}

TEST(RadioGroups, PlainGroupReportsEveryPress)
{
    auto window = std::make_shared<Window>(Rect(0, 0, 400, 100));
    auto group = makeGroup<Lumora_RadioButtonCntnr>({0, 1, 2});
    window->addSubview(group);
    EXPECT_EQ(group->value(), 0);
    EXPECT_EQ(selectedTags(*group), (std::vector<int>{0}));
    std::vector<int> seen;
    group->addHandler([&seen](Control* c) { seen.push_back(static_cast<Lumora_RadioButtonCntnr*>(c)->value()); },
                      ControlEvents::ValueChanged);

    window->tap({120, 20}, 1);
    EXPECT_EQ(selectedTags(*group), (std::vector<int>{2}));
    window->tap({120, 20}, 2);
    EXPECT_EQ(seen, (std::vector<int>{2, 2}));

    group->setValue(7);
    EXPECT_EQ(selectedTags(*group), (std::vector<int>{2}));
    group->setValue(-3);
    EXPECT_TRUE(selectedTags(*group).empty());
}

TEST(RadioGroups, ControlGroupColoursItsLabelsAndButtonTitles)
{
    auto group = makeGroup<Lumora_Ctrl_RadioButtonCntnr>({0, 1});
    auto label = std::make_shared<Label>(Rect(0, 0, 10, 10));
    auto inner = std::make_shared<View>(Rect(0, 0, 10, 10));
    inner->addSubview(label);
    group->addSubview(inner);
    group->setLabelColor(Color::blueColor());
    EXPECT_EQ(label->textColor(), Color::blueColor());
    group->setButtonTextColor(Color::redColor());
    for (Button* b : group->sortedButtons())
        EXPECT_EQ(b->titleColorForState(ControlState::Selected), Color::redColor());
}
