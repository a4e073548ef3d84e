#pragma once

#include "platform/ui/Control.h"

#include <string>
#include <vector>

namespace Platform {

// A row of equal segments, one of them selected (or none, -1); touching a segment selects it and
// sends value-changed.
class SegmentedControl : public Control {
public:
    static constexpr int noSegment = -1;

    explicit SegmentedControl(Rect frame = {}, std::vector<std::string> titles = {});

    std::size_t numberOfSegments() const { return titles_.size(); }
    void insertSegmentWithTitle(std::string title, std::size_t index, bool animated = false);
    void removeAllSegments();
    void setTitle(std::string title, std::size_t index);
    std::string titleForSegment(std::size_t index) const;
    void setEnabledForSegment(bool enabled, std::size_t index);
    bool isEnabledForSegment(std::size_t index) const;

    int selectedSegmentIndex() const { return selected_; }
    // An index outside the segments selects none.
    void setSelectedSegmentIndex(int index);

    void touchesBegan(TouchSet const& touches, Event const* event) override;
    void drawRect(Rect const& rect) override;

private:
    std::vector<std::string> titles_;
    std::vector<bool> enabled_;
    int selected_ = noSegment;
};

} // namespace Platform
