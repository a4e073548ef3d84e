// The MIDI-learn side of the parameter-bound view controller: showing the overlays, arming the
// mapper from them and opening the mapping editor.

#include "controls/midilearn/Lumora_MidiMappingEditorService.h"
#include "controls/viewcontroller/Lumora_ViewController.h"
#include "engine/audio/iAudioEngine.h"
#include "model/core/Lumora_Core.h"
#include "platform/foundation/Device.h"
#include "platform/ui/PopoverPresentationController.h"

// Deselected, and placed over its control again when shown: the control may have moved while
// the overlay was hidden.
void Lumora_ViewController::setOverlayShown(Lumora_ControlStatusView& overlay, bool shown)
{
    overlay.setSelected(false);
    overlay.setHidden(!shown);
    if (shown)
        overlay.setNeedsLayout();
}

void Lumora_ViewController::setShowControlStatusView(bool show)
{
    if (show == showControlStatusView_)
        return;
    Lumora::iAudioEngine* engine = audioEngine();
    if (!show && engine)
        engine->midiParamMapper().stopLearning();
    for (auto const& overlay : setControlStatusViews_)
        setOverlayShown(*overlay, show);
    showControlStatusView_ = show;
}

void Lumora_ViewController::refreshControlStatusViews()
{
    for (auto const& overlay : setControlStatusViews_)
        setOverlayShown(*overlay, showControlStatusView_);
}

void Lumora_ViewController::deselectAllStatusViews()
{
    for (auto const& overlay : setControlStatusViews_)
        overlay->setSelected(false);
}

void Lumora_ViewController::controlStatusView_didSelect(Lumora_ControlStatusView* view, bool selected)
{
    Lumora::iAudioEngine* engine = audioEngine();
    if (!view || !engine)
        return;
    Lumora::MidiParamMapper& mapper = engine->midiParamMapper();
    if (!selected) {
        mapper.stopLearning();
        return;
    }
    // Arming drops the parameter's old mapping at once, even if no controller is moved later.
    int32_t const id = view->parameterIndex();
    mapper.removeElementByParamID(id);
    for (auto const& overlay : setControlStatusViews_)
        if (overlay.get() != view)
            overlay->setSelected(false);
    mapper.startLearning(id);
}

void Lumora_ViewController::controlStatusView_didLongPressed(Lumora_ControlStatusView* view, bool)
{
    if (!view)
        return;
    auto editor = Lumora_MidiMappingEditorService::makeEditor(this, audioEngine(), view->parameterIndex());
    if (!editor)
        return;
    bool const pluginOnPhone = core() && core()->isPlugin() &&
                               Platform::Device::userInterfaceIdiom() == Platform::UserInterfaceIdiom::Phone;
    if (pluginOnPhone) {
        modalViewController(std::move(editor));
        return;
    }
    Platform::Size const size = editor->view()->frame().size;
    popoverViewController(std::move(editor), size, view, {}, Platform::PopoverArrowDirection::Any,
                          Platform::Color::whiteColor());
}

void Lumora_ViewController::midiMapperElementViewController_didChangeMidiSourceWithParameterID(
    Lumora_MidiMapperElmntVwCtrlr*, int32_t parameterID)
{
    for (auto const& overlay : setControlStatusViews_)
        if (overlay->parameterIndex() == parameterID)
            overlay->setNeedsDisplay();
}
