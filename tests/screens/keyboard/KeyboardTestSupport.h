#pragma once

// Recording delegates and a small rig for the key container and keyboard tests. Header-only.

#include "platform/ui/ScrollView.h"
#include "platform/ui/Window.h"
#include "screens/keyboard/Lumora_KeyContainerView.h"
#include "screens/keyboard/Lumora_KeybordDelegate.h"

#include <cstdint>
#include <string>
#include <vector>

namespace KeyboardTest {

using Platform::Point;
using Platform::Rect;

// One report of a key container, with the key's state as the delegate saw it.
struct KeyReport {
    std::string what;  // "down" or "up"
    int tag;
    bool pressed;
    bool on;
    Point touchedPoint;
};

class RecordingKeyDelegate : public Lumora_KeyViewDelegate {
public:
    void keyDown(Lumora_KeyView* key, Lumora_KeyContainerView*) override { record("down", *key); }
    void keyUp(Lumora_KeyView* key, Lumora_KeyContainerView*) override { record("up", *key); }

    // "down 1", "up 1", ... in order.
    std::vector<std::string> summary() const {
        std::vector<std::string> out;
        for (auto const& r : reports)
            out.push_back(r.what + " " + std::to_string(r.tag));
        return out;
    }

    std::vector<KeyReport> reports;

private:
    void record(char const* what, Lumora_KeyView const& key) {
        reports.push_back({what, key.tag(), key.pressed(), key.on(), key.touchedPoint()});
    }
};

// One note event of a keyboard.
struct NoteReport {
    std::string what;  // "down" or "up"
    std::int32_t note;
    std::int32_t velocity;
    friend bool operator==(NoteReport const&, NoteReport const&) = default;
};

inline std::ostream& operator<<(std::ostream& os, NoteReport const& r) {
    return os << r.what << " " << r.note << " v" << r.velocity;
}

class RecordingKeybordDelegate : public Lumora_KeybordDelegate {
public:
    void keyDown(std::int32_t note, std::int32_t velocity) override { reports.push_back({"down", note, velocity}); }
    void keyUp(std::int32_t note, std::int32_t velocity) override { reports.push_back({"up", note, velocity}); }
    std::vector<NoteReport> reports;
};

} // namespace KeyboardTest
