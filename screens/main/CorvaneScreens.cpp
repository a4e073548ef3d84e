#include "screens/main/CorvaneScreens.h"

#include "controls/knob/Lumora_Ctrl_RotaryKnob_Base.h"
#include "controls/painter/themes/Painter.h"
#include "model/core/Lumora_Core.h"
#include "model/core/ScreenServices.h"
#include "screens/arpeggiator/Lumora_ArpeggiatorVwCtrlr.h"
#include "screens/main/MainViewController.h"
#include "screens/main/nibs/MainScreenNibs.h"
#include "screens/midimapping/Lumora_MidiMapperElmntVwCtrlr.h"

namespace Corvane {

void registerScreens()
{
    registerMainScreenNibs();
    Lumora::ScreenServices::setMainViewControllerFactory(
        [](std::shared_ptr<Lumora_Core> const& core) -> std::shared_ptr<Platform::Object> {
            return Lumora_ViewController::newWithCore<MainViewController>(core);
        });
    Painter::registerThemeInstaller();
    Lumora::ScreenServices::setKnobControlTypeSetter(
        [](bool linear) { Lumora_Ctrl_RotaryKnob_Base::setControlTypeToLinear(linear); });
    Lumora_MainViewController::setArpeggiatorEditorFactory(&Lumora_ArpeggiatorVwCtrlr::createForOpener);
    Lumora_MidiMapperElmntVwCtrlr::registerAsMappingEditor();
}

} // namespace Corvane
