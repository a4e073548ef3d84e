// The LV2 UI entry of CorvaneUI.so: its one export, lv2ui_descriptor. The editor itself lives in
// the plug-in's instance (see Lv2EditorSource.h); this library finds that instance through the
// host's instance-access feature and hands it the host's parent window.

#include <lv2/instance-access/instance-access.h>
#include <lv2/ui/ui.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <string>

#include "plugin/lv2/CorvaneLv2Instance.h"
#include "plugin/lv2/Lv2EditorSource.h"
#include "plugin/lv2/Lv2Uris.h"

namespace {

using Lumora::Lv2::Lv2Editor;
using Lumora::Lv2::Lv2EditorSource;
using Lumora::Lv2::Lv2HostPorts;

void const* feature(LV2_Feature const* const* features, char const* uri) {
    for (LV2_Feature const* const* f = features; f != nullptr && *f != nullptr; ++f)
        if (std::strcmp((*f)->URI, uri) == 0)
            return (*f)->data;
    return nullptr;
}

void refuse(char const* reason) {
    std::fprintf(stderr, "Corvane: the editor cannot open: %s\n", reason);
}

// The host's port protocol: floats (protocol 0) for control ports, and the touch feature when
// the host gives it.
class HostPorts : public Lv2HostPorts {
public:
    HostPorts(LV2UI_Write_Function write, LV2UI_Controller controller, LV2UI_Touch const* touch)
        : write_(write), controller_(controller), touch_(touch) {}

    void write(std::uint32_t port, float value) override {
        if (write_ != nullptr)
            write_(controller_, port, sizeof value, 0, &value);
    }
    void touch(std::uint32_t port, bool grabbed) override {
        if (touch_ != nullptr && touch_->touch != nullptr)
            touch_->touch(touch_->handle, port, grabbed);
    }

private:
    LV2UI_Write_Function write_;
    LV2UI_Controller controller_;
    LV2UI_Touch const* touch_;
};

// One open UI: the host's ports live as long as the editor that writes to them.
struct Session {
    explicit Session(HostPorts ports) : hostPorts(ports) {}
    HostPorts hostPorts;
    std::unique_ptr<Lv2Editor> editor;
};

Session* self(LV2UI_Handle handle) {
    return static_cast<Session*>(handle);
}

LV2UI_Handle instantiate(LV2UI_Descriptor const*, char const* pluginUri, char const*, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget, LV2_Feature const* const* features) {
    if (pluginUri == nullptr || std::strcmp(pluginUri, Lumora::Lv2::kPluginUri) != 0) {
        refuse("it belongs to another plug-in");
        return nullptr;
    }
    void* instance = const_cast<void*>(feature(features, LV2_INSTANCE_ACCESS_URI));
    if (instance == nullptr) {
        refuse("the host does not give the UI the plug-in's instance (instance-access); "
               "use the host's generic controls instead");
        return nullptr;
    }
    void const* parent = feature(features, LV2_UI__parent);
    if (parent == nullptr) {
        refuse("the host gives no parent window (ui:parent)");
        return nullptr;
    }
    auto const* resize = static_cast<LV2UI_Resize const*>(feature(features, LV2_UI__resize));
    auto const* touch = static_cast<LV2UI_Touch const*>(feature(features, LV2_UI__touch));
    try {
        // The instance handle is the plug-in's CorvaneLv2Instance: this UI is declared for it alone.
        Lv2EditorSource* source = static_cast<Lumora::Lv2::CorvaneLv2Instance*>(instance);
        auto session = std::make_unique<Session>(HostPorts(write, controller, touch));
        std::string error;
        session->editor = source->openEditor(static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(parent)),
                                             session->hostPorts, error);
        if (!session->editor) {
            refuse(error.c_str());
            return nullptr;
        }
        Lv2Editor const& editor = *session->editor;
        if (resize != nullptr && resize->ui_resize != nullptr)
            resize->ui_resize(resize->handle, editor.pixelWidth(), editor.pixelHeight());
        *widget = reinterpret_cast<LV2UI_Widget>(static_cast<std::uintptr_t>(editor.windowId()));
        return session.release();
    } catch (std::exception const& e) {
        refuse(e.what());
        return nullptr;
    }
}

void cleanup(LV2UI_Handle handle) {
    delete self(handle);
}

// The editor shows the engine, not the ports: a value the host sets on a port reaches the engine in
// the plug-in's next cycle, and the editor's controls follow the engine. Applying it here as well
// would apply the host's echoes of the editor's own writes, and the values hosts send when a UI
// opens, over a sound the plug-in changed since.
void portEvent(LV2UI_Handle, uint32_t, uint32_t, uint32_t, void const*) {}

int idle(LV2UI_Handle handle) {
    try {
        self(handle)->editor->idle();
        return 0;
    } catch (std::exception const&) {
        return 1;
    }
}

// The host resizes the editor (its handle is the UI's).
int resizeByHost(LV2UI_Feature_Handle handle, int width, int height) {
    if (width < 1 || height < 1)
        return 1;
    try {
        self(handle)->editor->resize(width, height);
        return 0;
    } catch (std::exception const&) {
        return 1;
    }
}

void const* extensionData(char const* uri) {
    static LV2UI_Idle_Interface const idleInterface{idle};
    static LV2UI_Resize const resizeInterface{nullptr, resizeByHost};
    if (std::strcmp(uri, LV2_UI__idleInterface) == 0)
        return &idleInterface;
    if (std::strcmp(uri, LV2_UI__resize) == 0)
        return &resizeInterface;
    return nullptr;
}

LV2UI_Descriptor const descriptor{Lumora::Lv2::kUiUri, instantiate, cleanup, portEvent, extensionData};

} // namespace

extern "C" LV2_SYMBOL_EXPORT LV2UI_Descriptor const* lv2ui_descriptor(uint32_t index) {
    return index == 0 ? &descriptor : nullptr;
}
