#pragma once

#include "controls/graph/LongTapObserver.h"
#include "platform/ui/View.h"

#include <cstdint>
#include <memory>
#include <set>
#include <utility>

class Lumora_ArrayGraphView;

// Owns the array a graph edits and is told of each change: with relative false the value is the
// element's new value, with relative true an amount to add to it.
class Lumora_ArrayGraphView_Observer {
public:
    virtual ~Lumora_ArrayGraphView_Observer() = default;
    virtual void didChangeArrayGraphView(Lumora_ArrayGraphView* graph, int index, float value, bool relative) = 0;
};

// A touch editor for an array of numbers shown as a bar graph: the view is divided into `size`
// columns, and a finger picks a column by its horizontal position and a value by its height.
// When precise mode is allowed, a finger held still for a moment switches the gesture into
// precise mode, where vertical movement nudges the picked element by 0.25 per view height. A
// double tap sets the element under the finger to the default value. The view holds no array
// and draws nothing: its observers own and draw the data. While a finger is down, the scroll
// view around it does not scroll.
class Lumora_ArrayGraphView : public Platform::View {
public:
    explicit Lumora_ArrayGraphView(Platform::Rect frame = {});

    bool backupScrollEnabledState() const { return backupScrollEnabledState_; }
    // Values run from -1 to 1 instead of 0 to 1.
    bool bipole() const { return bipole_; }
    void setBipole(bool bipole) { bipole_ = bipole; }
    // The number of elements (columns).
    uint32_t size() const { return size_; }
    void setSize(uint32_t size) { size_ = size; }
    float defaultValue() const { return defaultValue_; }
    void setDefaultValue(float value) { defaultValue_ = value; }
    // The element being edited; -1 between gestures.
    int32_t currentOperationIndex() const { return currentOperationIndex_; }
    void setCurrentOperationIndex(int32_t index) { currentOperationIndex_ = index; }
    std::set<std::shared_ptr<Lumora_ArrayGraphView_Observer>> const& observers() const { return observers_; }
    LongTapObserver* longTapObserver() const { return longTapObserver_.get(); }
    Platform::Point pointLast() const { return pointLast_; }
    void setPointLast(Platform::Point point) { pointLast_ = point; }
    // The area that maps to the graph; the whole view when it has no width or no height.
    Platform::Rect operableRect() const { return operableRect_; }
    void setOperableRect(Platform::Rect const& rect) { operableRect_ = rect; }

    bool allowPreciseMode() const { return longTapObserver_->active(); }
    void setAllowPreciseMode(bool allow) { longTapObserver_->setActive(allow); }
    bool preciseMode() const { return longTapObserver_->longPressed(); }

    // Observers are held until removed and told in no defined order.
    void addObserver(std::shared_ptr<Lumora_ArrayGraphView_Observer> observer);
    void removeObserver(Lumora_ArrayGraphView_Observer* observer);

    // The element and value a finger position stands for (in precise mode: the element picked
    // before, and the relative amount since the last position).
    std::pair<int, float> valueFromPoint(Platform::Point point);

    void stopScroll();
    void restoreScrollState();

    void touchesBegan(Platform::TouchSet const& touches, Platform::Event const* event) override;
    void touchesMoved(Platform::TouchSet const& touches, Platform::Event const* event) override;
    void touchesEnded(Platform::TouchSet const& touches, Platform::Event const* event) override;
    void touchesCancelled(Platform::TouchSet const& touches, Platform::Event const* event) override;

private:
    void initialize();
    Platform::Rect effectiveRect() const;
    void notify(int index, float value, bool relative);

    bool backupScrollEnabledState_ = false;
    bool bipole_ = false;
    uint32_t size_ = 0;
    float defaultValue_ = 0;
    int32_t currentOperationIndex_ = 0;
    std::set<std::shared_ptr<Lumora_ArrayGraphView_Observer>> observers_;
    std::shared_ptr<LongTapObserver> longTapObserver_;
    Platform::Point pointLast_{};
    Platform::Rect operableRect_{};
    // Scrolling was switched off by this view's gesture and is still to be given back.
    bool scrollStopped_ = false;
};
