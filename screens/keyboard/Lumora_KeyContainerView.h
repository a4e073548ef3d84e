#pragma once

#include "platform/ui/View.h"
#include "platform/ui/WeakRef.h"
#include "screens/keyboard/Lumora_KeyView.h"
#include "screens/keyboard/Lumora_KeyViewDelegate.h"
#include "screens/keyboard/TouchedKeyInfo.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace Platform {
class ScrollView;
}

// A view holding touchable keys (Lumora_KeyView, directly or inside plain views) that turns
// touches into key presses and releases for its delegate. Every touch is tracked on its own and
// glides from key to key; in toggled mode each press flips the key's on state. While any key
// is held the nearest enclosing scroll view does not scroll.
//
// A key under several fingers counts as one key: it goes down with the first finger and up
// when the last one leaves, so a note is never ended while a finger still holds its key.
class Lumora_KeyContainerView : public Platform::View {
public:
    explicit Lumora_KeyContainerView(Platform::Rect frame = {});

    bool toggled() const { return toggled_; }
    void setToggled(bool toggled) { toggled_ = toggled; }
    Lumora_KeyViewDelegate* delegate() const { return delegate_.get(); }
    void setDelegate(Lumora_KeyViewDelegate* delegate) { delegate_.reset(delegate); }
    // One record per touch that holds a key now.
    std::vector<TouchedKeyInfo> const& touchedKeyInfos() const { return touchedKeyInfos_; }

    void touchesBegan(Platform::TouchSet const& touches, Platform::Event const* event) override;
    void touchesMoved(Platform::TouchSet const& touches, Platform::Event const* event) override;
    void touchesEnded(Platform::TouchSet const& touches, Platform::Event const* event) override;
    void touchesCancelled(Platform::TouchSet const& touches, Platform::Event const* event) override;

    // Releases every key a touch holds (on and touched point stay) and unlocks scrolling.
    void allKeyOff();
    // A container taken out of its superview lets go of its keys: their touches can no longer
    // end here, and a held note would never be released.
    void willMoveToSuperview(Platform::View* newSuperview) override;

    // Key state by tag; "every key" is every key view below the container.
    void setAlpha(double alpha, std::int32_t tag);
    void setAllDisabled(bool disabled);
    void setDisabled(bool disabled, std::int32_t tag);
    // Exactly the keys with that tag end up disabled.
    void toggleDisabled(std::int32_t tag);
    bool isDisabled(std::int32_t tag);
    void setAllOn(bool on);
    void setOn(bool on, std::int32_t tag);
    void toggleOn(std::int32_t tag);
    bool isOn(std::int32_t tag);
    void setAllLighted(bool lighted);
    void setLighted(bool lighted, std::int32_t tag);
    void toggleLighted(std::int32_t tag);
    bool isLighted(std::int32_t tag);
    bool isPressed(std::int32_t tag);

    // Visits the keys below the container: subviews in order, depth first, a key's own subviews
    // excluded. The visitor answers false to stop the walk.
    void forEachKey(std::function<bool(Lumora_KeyView&)> const& visit);
    // The first key of the walk with that tag, or none.
    Lumora_KeyView* firstKeyWithTag(std::int32_t tag);

    using View::setAlpha;

private:
    // The key under a touch now: the front-most view at its location, when that is a key.
    std::shared_ptr<Lumora_KeyView> keyUnder(Platform::Touch const* touch, Platform::Event const* event);
    TouchedKeyInfo* recordOf(Platform::Touch const* touch);
    void removeRecordOf(Platform::Touch const* touch);
    bool isHeldByRecord(Lumora_KeyView const* key) const;
    void press(Lumora_KeyView& key, Platform::Touch const* touch);
    void release(Lumora_KeyView& key, Platform::Touch const* touch);
    void tellDown(Lumora_KeyView& key);
    void tellUp(Lumora_KeyView& key);
    void touchArrived(Platform::Touch const* touch, std::shared_ptr<Lumora_KeyView> const& key);
    void touchLeft(Platform::Touch const* touch);
    void updateScrollLock();
    void setFlag(std::int32_t tag, bool all, bool value, void (Lumora_KeyView::*setter)(bool));
    void toggleFlag(std::int32_t tag, void (Lumora_KeyView::*setter)(bool));
    bool flagOf(std::int32_t tag, bool (Lumora_KeyView::*getter)() const);

    bool toggled_ = false;
    Platform::WeakRef<Lumora_KeyViewDelegate> delegate_;
    std::vector<TouchedKeyInfo> touchedKeyInfos_;
};

// The view itself when it is a scroll view, else its nearest ancestor that is one, or none.
Platform::ScrollView* findAncestorScrollView(Platform::View* view);
