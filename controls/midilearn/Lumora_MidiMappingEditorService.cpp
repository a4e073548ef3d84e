#include "controls/midilearn/Lumora_MidiMappingEditorService.h"

namespace Lumora_MidiMappingEditorService {

namespace {
// Main thread only, like every screen.
Factory& factory()
{
    static Factory f;
    return f;
}
} // namespace

void setFactory(Factory f)
{
    factory() = std::move(f);
}

bool hasFactory()
{
    return static_cast<bool>(factory());
}

std::shared_ptr<Platform::ViewController> makeEditor(Lumora_MidiMapperElmntVwCtrlr_delegate* delegate,
                                                     Lumora::iAudioEngine* engine, int32_t paramIndex)
{
    Factory const& f = factory();
    return f ? f(delegate, engine, paramIndex) : nullptr;
}

} // namespace Lumora_MidiMappingEditorService
