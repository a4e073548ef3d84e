#include "screens/keyboard/Lumora_KeyContainerView.h"

#include "platform/ui/ScrollView.h"

#include <algorithm>

using Platform::Event;
using Platform::Touch;
using Platform::TouchSet;

Lumora_KeyContainerView::Lumora_KeyContainerView(Platform::Rect frame) : View(frame) {}

// ---- touches

std::shared_ptr<Lumora_KeyView> Lumora_KeyContainerView::keyUnder(Touch const* touch, Event const* event)
{
    Platform::View* hit = hitTest(touch->locationInView(this), event);
    auto* key = dynamic_cast<Lumora_KeyView*>(hit);
    if (!key)
        return nullptr;
    return std::static_pointer_cast<Lumora_KeyView>(key->sharedView());
}

TouchedKeyInfo* Lumora_KeyContainerView::recordOf(Touch const* touch)
{
    auto it = std::find_if(touchedKeyInfos_.begin(), touchedKeyInfos_.end(),
                           [touch](TouchedKeyInfo const& info) { return info.touch() == touch; });
    return it == touchedKeyInfos_.end() ? nullptr : &*it;
}

void Lumora_KeyContainerView::removeRecordOf(Touch const* touch)
{
    std::erase_if(touchedKeyInfos_, [touch](TouchedKeyInfo const& info) { return info.touch() == touch; });
}

bool Lumora_KeyContainerView::isHeldByRecord(Lumora_KeyView const* key) const
{
    return std::any_of(touchedKeyInfos_.begin(), touchedKeyInfos_.end(),
                       [key](TouchedKeyInfo const& info) { return info.touchedKey().get() == key; });
}

void Lumora_KeyContainerView::press(Lumora_KeyView& key, Touch const* touch)
{
    key.setPressed(true);
    key.setOn(toggled_ ? !key.on() : true);
    key.setTouchedPoint(touch->locationInView(&key));
}

void Lumora_KeyContainerView::release(Lumora_KeyView& key, Touch const* touch)
{
    key.setPressed(false);
    // A momentary key is on exactly while it is held.
    if (!toggled_)
        key.setOn(false);
    key.setTouchedPoint(touch->locationInView(&key));
}

void Lumora_KeyContainerView::tellDown(Lumora_KeyView& key)
{
    if (auto* d = delegate())
        d->keyDown(&key, this);
}

void Lumora_KeyContainerView::tellUp(Lumora_KeyView& key)
{
    if (auto* d = delegate())
        d->keyUp(&key, this);
}

// A touch without record came onto a key (at touch-down, or sliding in from outside).
void Lumora_KeyContainerView::touchArrived(Touch const* touch, std::shared_ptr<Lumora_KeyView> const& key)
{
    bool const first = !isHeldByRecord(key.get());
    if (first) {
        press(*key, touch);
        tellDown(*key);
    }
    if (!recordOf(touch))
        touchedKeyInfos_.emplace_back(touch, key);
}

// A touch with record left its key (lifted, cancelled, or slid off every key).
void Lumora_KeyContainerView::touchLeft(Touch const* touch)
{
    TouchedKeyInfo* record = recordOf(touch);
    if (!record)
        return;
    std::shared_ptr<Lumora_KeyView> key = record->touchedKey();
    removeRecordOf(touch);
    if (isHeldByRecord(key.get()))
        return;
    release(*key, touch);
    tellUp(*key);
}

void Lumora_KeyContainerView::touchesBegan(TouchSet const& touches, Event const* event)
{
    for (Touch* touch : touches) {
        if (recordOf(touch))
            continue;
        if (auto key = keyUnder(touch, event))
            touchArrived(touch, key);
    }
    updateScrollLock();
}

void Lumora_KeyContainerView::touchesMoved(TouchSet const& touches, Event const* event)
{
    for (Touch* touch : touches) {
        std::shared_ptr<Lumora_KeyView> key = keyUnder(touch, event);
        TouchedKeyInfo* record = recordOf(touch);
        if (!record) {
            if (key)
                touchArrived(touch, key);
            continue;
        }
        if (!key) {
            touchLeft(touch);
            continue;
        }
        std::shared_ptr<Lumora_KeyView> old = record->touchedKey();
        if (old == key)
            continue;
        // Glide: both keys' states are updated before either report.
        record->setTouchedKey(key);
        bool const releaseOld = !isHeldByRecord(old.get());
        bool const pressNew = std::count_if(touchedKeyInfos_.begin(), touchedKeyInfos_.end(),
                                            [&](TouchedKeyInfo const& info) { return info.touchedKey() == key; }) == 1;
        if (releaseOld)
            release(*old, touch);
        if (pressNew)
            press(*key, touch);
        if (releaseOld)
            tellUp(*old);
        if (pressNew)
            tellDown(*key);
    }
}

void Lumora_KeyContainerView::touchesEnded(TouchSet const& touches, Event const*)
{
    for (Touch* touch : touches)
        touchLeft(touch);
    updateScrollLock();
}

void Lumora_KeyContainerView::touchesCancelled(TouchSet const& touches, Event const* event)
{
    touchesEnded(touches, event);
}

void Lumora_KeyContainerView::updateScrollLock()
{
    if (Platform::ScrollView* scroll = findAncestorScrollView(this))
        scroll->setScrollEnabled(touchedKeyInfos_.empty());
}

void Lumora_KeyContainerView::allKeyOff()
{
    // The records go first, so a delegate that touches the container meanwhile sees none.
    std::vector<TouchedKeyInfo> records;
    records.swap(touchedKeyInfos_);
    std::vector<Lumora_KeyView*> released;
    for (auto const& record : records) {
        Lumora_KeyView* key = record.touchedKey().get();
        if (std::find(released.begin(), released.end(), key) != released.end())
            continue;
        released.push_back(key);
        key->setPressed(false);
        tellUp(*key);
    }
    updateScrollLock();
}

void Lumora_KeyContainerView::willMoveToSuperview(Platform::View* newSuperview)
{
    if (!newSuperview && !touchedKeyInfos_.empty())
        allKeyOff();
    View::willMoveToSuperview(newSuperview);
}

// ---- key state by tag

void Lumora_KeyContainerView::forEachKey(std::function<bool(Lumora_KeyView&)> const& visit)
{
    // Depth first over a copy of each level, so a visitor may change the tree.
    std::function<bool(Platform::View&)> walk = [&](Platform::View& view) {
        auto subviews = view.subviews();
        for (auto const& sub : subviews) {
            if (auto* key = dynamic_cast<Lumora_KeyView*>(sub.get())) {
                if (!visit(*key))
                    return false;
            } else if (!walk(*sub)) {
                return false;
            }
        }
        return true;
    };
    walk(*this);
}

Lumora_KeyView* Lumora_KeyContainerView::firstKeyWithTag(std::int32_t tag)
{
    Lumora_KeyView* found = nullptr;
    forEachKey([&](Lumora_KeyView& key) {
        if (key.tag() != tag)
            return true;
        found = &key;
        return false;
    });
    return found;
}

void Lumora_KeyContainerView::setFlag(std::int32_t tag, bool all, bool value, void (Lumora_KeyView::*setter)(bool))
{
    forEachKey([&](Lumora_KeyView& key) {
        if (all || key.tag() == tag)
            (key.*setter)(value);
        return true;
    });
}

void Lumora_KeyContainerView::toggleFlag(std::int32_t tag, void (Lumora_KeyView::*setter)(bool))
{
    forEachKey([&](Lumora_KeyView& key) {
        (key.*setter)(key.tag() == tag);
        return true;
    });
}

bool Lumora_KeyContainerView::flagOf(std::int32_t tag, bool (Lumora_KeyView::*getter)() const)
{
    Lumora_KeyView* key = firstKeyWithTag(tag);
    return key && (key->*getter)();
}

void Lumora_KeyContainerView::setAlpha(double alpha, std::int32_t tag)
{
    forEachKey([&](Lumora_KeyView& key) {
        if (key.tag() == tag)
            key.setAlpha(alpha);
        return true;
    });
}

void Lumora_KeyContainerView::setAllDisabled(bool disabled) { setFlag(0, true, disabled, &Lumora_KeyView::setDisabled); }
void Lumora_KeyContainerView::setDisabled(bool disabled, std::int32_t tag) { setFlag(tag, false, disabled, &Lumora_KeyView::setDisabled); }
void Lumora_KeyContainerView::toggleDisabled(std::int32_t tag) { toggleFlag(tag, &Lumora_KeyView::setDisabled); }
bool Lumora_KeyContainerView::isDisabled(std::int32_t tag) { return flagOf(tag, &Lumora_KeyView::disabled); }
void Lumora_KeyContainerView::setAllOn(bool on) { setFlag(0, true, on, &Lumora_KeyView::setOn); }
void Lumora_KeyContainerView::setOn(bool on, std::int32_t tag) { setFlag(tag, false, on, &Lumora_KeyView::setOn); }
void Lumora_KeyContainerView::toggleOn(std::int32_t tag) { toggleFlag(tag, &Lumora_KeyView::setOn); }
bool Lumora_KeyContainerView::isOn(std::int32_t tag) { return flagOf(tag, &Lumora_KeyView::on); }
void Lumora_KeyContainerView::setAllLighted(bool lighted) { setFlag(0, true, lighted, &Lumora_KeyView::setLighted); }
void Lumora_KeyContainerView::setLighted(bool lighted, std::int32_t tag) { setFlag(tag, false, lighted, &Lumora_KeyView::setLighted); }
void Lumora_KeyContainerView::toggleLighted(std::int32_t tag) { toggleFlag(tag, &Lumora_KeyView::setLighted); }
bool Lumora_KeyContainerView::isLighted(std::int32_t tag) { return flagOf(tag, &Lumora_KeyView::lighted); }
bool Lumora_KeyContainerView::isPressed(std::int32_t tag) { return flagOf(tag, &Lumora_KeyView::pressed); }

Platform::ScrollView* findAncestorScrollView(Platform::View* view)
{
    for (; view; view = view->superview())
        if (auto* scroll = dynamic_cast<Platform::ScrollView*>(view))
            return scroll;
    return nullptr;
}
