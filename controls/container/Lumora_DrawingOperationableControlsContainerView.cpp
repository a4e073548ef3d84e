#include "controls/container/Lumora_DrawingOperationableControlsContainerView.h"

#include "controls/base/Lumora_Control.h"

#include <algorithm>

namespace {

// The container drives the controls' touch hooks itself, since the controls pass the platform's
// touches up to it. The hooks are protected members of the control base; a pointer to them
// taken through a derived class reaches them on any control, keeping the virtual dispatch.
struct Hooks : Lumora_Control {
    using Hook = void (Lumora_Control::*)(Platform::TouchSet const&, Platform::Event const*);
    static constexpr Hook began = &Hooks::onTouchesBegan;
    static constexpr Hook moved = &Hooks::onTouchesMoved;
    static constexpr Hook ended = &Hooks::onTouchesEnded;
};

void callHook(Lumora_Control* control, Hooks::Hook hook, Platform::Touch* touch, Platform::Event const* event)
{
    Platform::TouchSet const one(std::vector<Platform::Touch*>{touch});
    (control->*hook)(one, event);
}

std::shared_ptr<Lumora_Control> strongControl(Lumora_Control* control)
{
    return std::static_pointer_cast<Lumora_Control>(control->sharedView());
}

} // namespace

Lumora_DrawingOperationableControlsContainerView::Lumora_DrawingOperationableControlsContainerView(Platform::Rect frame)
    : Platform::View(frame)
{
    setBackgroundColor(Platform::Color::clearColor());
}

void Lumora_DrawingOperationableControlsContainerView::awakeFromNib()
{
    Platform::View::awakeFromNib();
    setBackgroundColor(Platform::Color::clearColor());
    touchedCntrls_.clear();
    for (auto const& sub : subviews())
        if (auto* control = dynamic_cast<Lumora_Control*>(sub.get()))
            control->setPassthroughTouchEventsToSuperView(true);
}

Lumora_TouchedControl* Lumora_DrawingOperationableControlsContainerView::findTouchedCtrl(Platform::Touch const* touch) const
{
    for (auto const& record : touchedCntrls_)
        if (record->touch() == touch)
            return record.get();
    return nullptr;
}

void Lumora_DrawingOperationableControlsContainerView::addTouchedCntrl(Lumora_Control* control, Platform::Touch* touch)
{
    touchedCntrls_.push_back(std::make_shared<Lumora_TouchedControl>(touch, strongControl(control)));
}

void Lumora_DrawingOperationableControlsContainerView::removeTouchedControl(Lumora_TouchedControl* record)
{
    std::erase_if(touchedCntrls_, [record](auto const& r) { return r.get() == record; });
}

Lumora_Control* Lumora_DrawingOperationableControlsContainerView::controlUnder(Platform::Touch const* touch,
                                                                               Platform::Event const* event)
{
    return dynamic_cast<Lumora_Control*>(hitTest(touch->locationInView(this), event));
}

void Lumora_DrawingOperationableControlsContainerView::touchesBegan(Platform::TouchSet const& touches,
                                                                    Platform::Event const* event)
{
    for (Platform::Touch* touch : touches) {
        Lumora_Control* hit = controlUnder(touch, event);
        if (!hit || findTouchedCtrl(touch))
            continue;
        callHook(hit, Hooks::began, touch, event);
        addTouchedCntrl(hit, touch);
    }
    Platform::View::touchesBegan(touches, event);
}

void Lumora_DrawingOperationableControlsContainerView::touchesMoved(Platform::TouchSet const& touches,
                                                                    Platform::Event const* event)
{
    for (Platform::Touch* touch : touches) {
        Lumora_Control* hit = controlUnder(touch, event);
        // Over empty space the finger's control hears nothing until it comes back or lifts.
        if (!hit)
            continue;
        Lumora_TouchedControl* record = findTouchedCtrl(touch);
        if (!record) {
            // The finger began beside every control and has now reached one.
            callHook(hit, Hooks::began, touch, event);
            addTouchedCntrl(hit, touch);
        } else if (record->control() == hit) {
            callHook(hit, Hooks::moved, touch, event);
        } else {
            // Slid onto another control: the old gesture ends, a new one begins.
            callHook(record->control(), Hooks::ended, touch, event);
            callHook(hit, Hooks::began, touch, event);
            record->setControl(strongControl(hit));
        }
    }
    Platform::View::touchesMoved(touches, event);
}

void Lumora_DrawingOperationableControlsContainerView::endTouches(Platform::TouchSet const& touches,
                                                                  Platform::Event const* event)
{
    for (Platform::Touch* touch : touches) {
        auto it = std::find_if(touchedCntrls_.begin(), touchedCntrls_.end(),
                               [touch](auto const& r) { return r->touch() == touch; });
        if (it == touchedCntrls_.end())
            continue;
        // Hold the record (and so its control) through the hook, which may change the tree.
        std::shared_ptr<Lumora_TouchedControl> const record = *it;
        callHook(record->control(), Hooks::ended, touch, event);
        removeTouchedControl(record.get());
    }
}

void Lumora_DrawingOperationableControlsContainerView::touchesEnded(Platform::TouchSet const& touches,
                                                                    Platform::Event const* event)
{
    endTouches(touches, event);
    Platform::View::touchesEnded(touches, event);
}

void Lumora_DrawingOperationableControlsContainerView::touchesCancelled(Platform::TouchSet const& touches,
                                                                        Platform::Event const* event)
{
    endTouches(touches, event);
    Platform::View::touchesEnded(touches, event);
}
