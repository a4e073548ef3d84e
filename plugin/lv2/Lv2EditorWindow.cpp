#include "plugin/lv2/Lv2EditorWindow.h"

#include <cmath>

#include "platform/foundation/RunLoop.h"
#include "platform/ui/Window.h"
#include "platform/ui/x11/X11WindowHost.h"
#include "plugin/lv2/CorvaneLv2Instance.h"
#include "plugin/viewcontroller/Lumora_Plugin_AUViewController.h"

namespace Lumora::Lv2 {

namespace {

// The controller presents its main screen as soon as its unit exists, which is before any editor
// window (or in an editor window since closed): the presentation then placed no view. Presenting
// it again places it in this window.
void showPresentedIn(Platform::Window& window) {
    Platform::ViewController* root = window.rootViewController();
    Platform::ViewController* presented = root != nullptr ? root->presentedViewController() : nullptr;
    if (presented == nullptr || (presented->isViewLoaded() && presented->view()->window() == &window))
        return;
    auto again = std::static_pointer_cast<Platform::ViewController>(presented->shared_from_this());
    root->dismissViewControllerAnimated(false);
    root->presentViewController(std::move(again), false);
}

} // namespace

std::unique_ptr<Lv2EditorWindow> Lv2EditorWindow::open(std::shared_ptr<Lumora_Plugin_AUViewController> viewController,
                                                       unsigned long parent, std::function<void()> afterIdle,
                                                       std::string& error) {
    std::unique_ptr<Lv2EditorWindow> editor(new Lv2EditorWindow());
    editor->afterIdle_ = std::move(afterIdle);
    CorvaneLv2Instance::withMainQueue([&] {
        Platform::Size const size = Lumora_Plugin_AUViewController::preferredEditorSize();
        editor->window_ = std::make_shared<Platform::Window>(Platform::Rect{{0, 0}, size});
        editor->window_->setRootViewController(std::move(viewController));
        showPresentedIn(*editor->window_);
        Platform::X11WindowHost::Options options;
        options.parent = parent;
        editor->host_ = std::make_unique<Platform::X11WindowHost>(editor->window_, options, Platform::RunLoop::main());
        if (!editor->host_->isOpen())
            error = editor->host_->error();
    });
    if (!error.empty())
        return nullptr;
    return editor;
}

Lv2EditorWindow::~Lv2EditorWindow() {
    // The controller outlives this window (the instance keeps it): its view leaves the tree so
    // that the next editor can show it.
    CorvaneLv2Instance::withMainQueue([this] {
        host_.reset();
        if (window_)
            window_->setRootViewController(nullptr);
        window_.reset();
    });
}

unsigned long Lv2EditorWindow::windowId() const {
    return host_->windowId();
}

int Lv2EditorWindow::pixelWidth() const {
    return static_cast<int>(std::lround(window_->bounds().size.width * host_->scale()));
}

int Lv2EditorWindow::pixelHeight() const {
    return static_cast<int>(std::lround(window_->bounds().size.height * host_->scale()));
}

void Lv2EditorWindow::idle() {
    CorvaneLv2Instance::withMainQueue([this] {
        host_->idle();
        // What the events just handled changed reaches the host in this same call.
        Platform::RunLoop::main().runOnce();
        if (afterIdle_)
            afterIdle_();
    });
}

void Lv2EditorWindow::resize(int pixelWidth, int pixelHeight) {
    CorvaneLv2Instance::withMainQueue([&] { host_->resizePixels(pixelWidth, pixelHeight); });
}

} // namespace Lumora::Lv2
