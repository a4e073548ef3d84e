#include "screens/tuning/MicroTuningEditorKeyVw.h"

#include "platform/ui/Nib.h"
#include "screens/tuning/MicroTuningEditorNibs.h"
#include "screens/tuning/_MicroTuningEditorKeyVw.h"

std::shared_ptr<MicroTuningEditorKeyVw> MicroTuningEditorKeyVw::initWithFrame(Platform::Rect frame)
{
    auto holder = std::make_shared<MicroTuningEditorKeyVw>(frame);
    holder->loadNib();
    return holder;
}

MicroTuningEditorKeyVw::MicroTuningEditorKeyVw(Platform::Rect frame)
    : View(frame)
{
}

std::shared_ptr<_MicroTuningEditorKeyVw> MicroTuningEditorKeyVw::loadNib()
{
    registerMicroTuningEditorNibs();
    auto objects = Platform::Nib::loadNibNamed(_MicroTuningEditorKeyVw::nibName, nullptr, Platform::Bundle::main());
    if (objects.empty())
        return nullptr;
    auto row = std::dynamic_pointer_cast<_MicroTuningEditorKeyVw>(objects.front());
    auto view = std::dynamic_pointer_cast<Platform::View>(objects.front());
    if (!view)
        return nullptr;
    Platform::Rect const b = bounds();
    view->setFrame(Platform::Rect(b.origin.x, b.origin.y + 1, b.width(), b.height() - 2));
    addSubview(view);
    return row;
}

_MicroTuningEditorKeyVw* MicroTuningEditorKeyVw::keyView() const
{
    if (subviews().empty())
        return nullptr;
    return dynamic_cast<_MicroTuningEditorKeyVw*>(subviews().front().get());
}

void MicroTuningEditorKeyVw::setCore(std::shared_ptr<Lumora_Core> core)
{
    core_ = core;
    if (auto* row = keyView())
        row->setCore(std::move(core));
}

void MicroTuningEditorKeyVw::updateUI()
{
    if (auto* row = keyView())
        row->updateUI();
}

int MicroTuningEditorKeyVw::keyNumberOfOctave() const
{
    auto* row = keyView();
    return row ? row->keyNumberOfOctave() : 0;
}

void MicroTuningEditorKeyVw::setKeyNumberOfOctave(int key)
{
    if (auto* row = keyView())
        row->setKeyNumberOfOctave(key);
}
