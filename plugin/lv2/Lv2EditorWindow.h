#pragma once

#include <functional>
#include <memory>
#include <string>

#include "plugin/lv2/Lv2EditorSource.h"

class Lumora_Plugin_AUViewController;

namespace Platform {
class Window;
class X11WindowHost;
} // namespace Platform

namespace Lumora::Lv2 {

// The view controller's editor in an X window of its own inside the host's window, at the
// design's preferred size. Everything it does (opening, each idle, closing) holds the guard
// under which the LV2 worker runs the model's main queue, so that the view tree and the model's
// main-thread work never run on two threads at once.
class Lv2EditorWindow : public Lv2Editor {
public:
    // Nothing, with the reason in error, when the window cannot be opened. afterIdle runs at the
    // end of each idle, under the same guard, once the model's main queue has run.
    static std::unique_ptr<Lv2EditorWindow> open(std::shared_ptr<Lumora_Plugin_AUViewController> viewController,
                                                 unsigned long parent, std::function<void()> afterIdle,
                                                 std::string& error);
    ~Lv2EditorWindow() override;
    Lv2EditorWindow(Lv2EditorWindow const&) = delete;
    Lv2EditorWindow& operator=(Lv2EditorWindow const&) = delete;

    unsigned long windowId() const override;
    int pixelWidth() const override;
    int pixelHeight() const override;
    void idle() override;
    void resize(int pixelWidth, int pixelHeight) override;

private:
    Lv2EditorWindow() = default;

    std::shared_ptr<Platform::Window> window_;
    std::unique_ptr<Platform::X11WindowHost> host_;
    std::function<void()> afterIdle_;
};

} // namespace Lumora::Lv2
