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

void const* feature(LV2_Feature const* const* features, char const* uri) {
    for (LV2_Feature const* const* f = features; f != nullptr && *f != nullptr; ++f)
        if (std::strcmp((*f)->URI, uri) == 0)
            return (*f)->data;
    return nullptr;
}

void refuse(char const* reason) {
    std::fprintf(stderr, "Corvane: the editor cannot open: %s\n", reason);
}

Lv2Editor* self(LV2UI_Handle handle) {
    return static_cast<Lv2Editor*>(handle);
}

LV2UI_Handle instantiate(LV2UI_Descriptor const*, char const* pluginUri, char const*, LV2UI_Write_Function,
                         LV2UI_Controller, LV2UI_Widget* widget, LV2_Feature const* const* features) {
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
    try {
        // The instance handle is the plug-in's CorvaneLv2Instance: this UI is declared for it alone.
        Lv2EditorSource* source = static_cast<Lumora::Lv2::CorvaneLv2Instance*>(instance);
        std::string error;
        std::unique_ptr<Lv2Editor> editor =
            source->openEditor(static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(parent)), error);
        if (!editor) {
            refuse(error.c_str());
            return nullptr;
        }
        if (resize != nullptr && resize->ui_resize != nullptr)
            resize->ui_resize(resize->handle, editor->pixelWidth(), editor->pixelHeight());
        *widget = reinterpret_cast<LV2UI_Widget>(static_cast<std::uintptr_t>(editor->windowId()));
        return editor.release();
    } catch (std::exception const& e) {
        refuse(e.what());
        return nullptr;
    }
}

void cleanup(LV2UI_Handle handle) {
    delete self(handle);
}

// The editor drives the model directly; the host's port values reach it through the plug-in.
void portEvent(LV2UI_Handle, uint32_t, uint32_t, uint32_t, void const*) {}

int idle(LV2UI_Handle handle) {
    try {
        self(handle)->idle();
        return 0;
    } catch (std::exception const&) {
        return 1;
    }
}

void const* extensionData(char const* uri) {
    static LV2UI_Idle_Interface const idleInterface{idle};
    if (std::strcmp(uri, LV2_UI__idleInterface) == 0)
        return &idleInterface;
    return nullptr;
}

LV2UI_Descriptor const descriptor{Lumora::Lv2::kUiUri, instantiate, cleanup, portEvent, extensionData};

} // namespace

extern "C" LV2_SYMBOL_EXPORT LV2UI_Descriptor const* lv2ui_descriptor(uint32_t index) {
    return index == 0 ? &descriptor : nullptr;
}
