// The interface files of the micro-tuning editor: "MicroTuningEditorVwCtrlr" (a header with the
// documents button over a scroll view that holds the twelve row places, C at the top) and
// "MicroTuningEditorKeyVw" (one row: note name, cents, slider and stepper over -100..100 cents).

#include "screens/tuning/MicroTuningEditorNibs.h"

#include "platform/graphics/Font.h"
#include "platform/ui/Button.h"
#include "platform/ui/Label.h"
#include "platform/ui/Nib.h"
#include "platform/ui/ScrollView.h"
#include "platform/ui/Slider.h"
#include "screens/settings/base/Lumora_SettingPanelRegistry.h"
#include "screens/settings/screen/Lumora_SettingsVwCtrlr.h"
#include "screens/tuning/MicroTuningEditorKeyVw.h"
#include "screens/tuning/MicroTuningEditorVwCtrlr.h"
#include "screens/tuning/_MicroTuningEditorKeyVw.h"

#include <mutex>

namespace {

using Platform::Rect;

constexpr double editorWidth = 400;
constexpr double headerHeight = 44;
constexpr double rowHeight = 46;
constexpr double rowWidth = editorWidth;
constexpr int rowCount = 12;

// Tags, so that code without outlets (and tests) can find the parts.
enum Tag : int {
    tagFileButton = 1,
    tagScroll = 2,
    tagContainer = 3,
    tagFirstKey = 100,  // rows C ... B: 100 ... 111
    tagName = 1,
    tagCents = 2,
    tagSlider = 3,
    tagStepper = 4,
};

std::vector<std::shared_ptr<Platform::Object>> buildEditor(Platform::Nib::Context const& context)
{
    double const height = headerHeight + rowCount * rowHeight;
    auto root = std::make_shared<Platform::View>(Rect(0, 0, editorWidth, height));
    root->setBackgroundColor(Platform::Color::withWhite(0.92));

    auto title = std::make_shared<Platform::Label>(Rect(12, 0, 220, headerHeight));
    title->setText("Detune (cents)");
    title->setFont(Platform::Font::boldSystemFont(Platform::Font::systemFontSize()));
    root->addSubview(title);

    auto files = std::make_shared<Platform::Button>(Rect(editorWidth - 112, 6, 100, headerHeight - 12),
                                                    Platform::Button::Type::System);
    files->setTag(tagFileButton);
    files->setAutoresizingMask(Platform::Autoresizing::FlexibleLeftMargin);
    files->setTitle("Documents", Platform::ControlState::Normal);
    root->addSubview(files);

    auto scroll = std::make_shared<Platform::ScrollView>(Rect(0, headerHeight, editorWidth, height - headerHeight));
    // On a stack lower than the twelve rows, the rows scroll.
    scroll->setAutoresizingMask(Platform::Autoresizing::FlexibleWidth | Platform::Autoresizing::FlexibleHeight);
    scroll->setTag(tagScroll);
    auto container = std::make_shared<Platform::View>(Rect(0, 0, rowWidth, rowCount * rowHeight));
    container->setTag(tagContainer);
    for (int key = 0; key < rowCount; ++key) {
        auto place = MicroTuningEditorKeyVw::initWithFrame(Rect(0, key * rowHeight, rowWidth, rowHeight));
        place->setTag(tagFirstKey + key);
        place->setKeyNumberOfOctave(key);
        container->addSubview(place);
    }
    scroll->addSubview(container);
    root->addSubview(scroll);

    if (auto* editor = context.ownerAs<MicroTuningEditorVwCtrlr>()) {
        // The settings stack's navigation bar shows it.
        editor->setTitle("Micro Tuning");
        editor->connectOutlets({scroll.get(), container.get()});
        files->addTarget(editor, &MicroTuningEditorVwCtrlr::actionShowFileMng, Platform::ControlEvents::TouchUpInside);
    }
    return {root};
}

std::vector<std::shared_ptr<Platform::Object>> buildKeyRow(Platform::Nib::Context const&)
{
    auto row = std::make_shared<_MicroTuningEditorKeyVw>(Rect(0, 0, rowWidth, rowHeight - 2));

    auto name = std::make_shared<Platform::Label>(Rect(12, 0, 40, rowHeight - 2));
    name->setTag(tagName);
    name->setFont(Platform::Font::boldSystemFont(Platform::Font::systemFontSize()));
    auto cents = std::make_shared<Platform::Label>(Rect(52, 0, 48, rowHeight - 2));
    cents->setTag(tagCents);
    cents->setTextAlignment(Platform::TextAlignment::Right);
    auto slider = std::make_shared<Platform::Slider>(Rect(110, 7, 170, 30));
    slider->setTag(tagSlider);
    slider->setMinimumValue(-100);
    slider->setMaximumValue(100);
    auto stepper = std::make_shared<Platform::Stepper>(Rect(rowWidth - 106, 7, 94, 30));
    stepper->setTag(tagStepper);
    stepper->setMinimumValue(-100);
    stepper->setMaximumValue(100);
    stepper->setStepValue(1);

    for (auto const& part : std::initializer_list<std::shared_ptr<Platform::View>>{name, cents, slider, stepper})
        row->addSubview(part);
    row->connectOutlets({name.get(), cents.get(), slider.get(), stepper.get()});
    slider->addTarget(row.get(), &_MicroTuningEditorKeyVw::actionValueChanged, Platform::ControlEvents::ValueChanged);
    stepper->addTarget(row.get(), &_MicroTuningEditorKeyVw::actionValueChanged, Platform::ControlEvents::ValueChanged);
    return {row};
}

} // namespace

void registerMicroTuningEditorNibs()
{
    static std::once_flag once;
    std::call_once(once, [] {
        Platform::Nib::registerNib(MicroTuningEditorVwCtrlr::nibName, buildEditor);
        Platform::Nib::registerNib(_MicroTuningEditorKeyVw::nibName, buildKeyRow);
    });
}

void registerMicroTuningEditorSubScreen()
{
    static std::once_flag once;
    std::call_once(once, [] {
        Lumora_SettingPanelRegistry::registerSubScreen(
            MicroTuningEditorVwCtrlr::nibName,
            [](std::shared_ptr<Lumora_Core> const& core, Lumora_SettingsVwCtrlr* owner) -> std::shared_ptr<Platform::ViewController> {
                return MicroTuningEditorVwCtrlr::create(core, owner);
            });
    });
}
