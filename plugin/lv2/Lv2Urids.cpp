#include "plugin/lv2/Lv2Urids.h"

#include <lv2/atom/atom.h>
#include <lv2/midi/midi.h>
#include <lv2/state/state.h>
#include <lv2/time/time.h>

#include "plugin/lv2/Lv2Uris.h"

namespace Lumora::Lv2 {

void Lv2Urids::mapAll(LV2_URID_Map const& map) {
    auto m = [&map](char const* uri) { return map.map(map.handle, uri); };
    atomBlank = m(LV2_ATOM__Blank);
    atomObject = m(LV2_ATOM__Object);
    atomSequence = m(LV2_ATOM__Sequence);
    atomFloat = m(LV2_ATOM__Float);
    atomDouble = m(LV2_ATOM__Double);
    atomInt = m(LV2_ATOM__Int);
    atomLong = m(LV2_ATOM__Long);
    atomString = m(LV2_ATOM__String);
    midiEvent = m(LV2_MIDI__MidiEvent);
    timePosition = m(LV2_TIME__Position);
    timeBar = m(LV2_TIME__bar);
    timeBarBeat = m(LV2_TIME__barBeat);
    timeBeat = m(LV2_TIME__beat);
    timeBeatUnit = m(LV2_TIME__beatUnit);
    timeBeatsPerBar = m(LV2_TIME__beatsPerBar);
    timeBeatsPerMinute = m(LV2_TIME__beatsPerMinute);
    timeFrame = m(LV2_TIME__frame);
    timeSpeed = m(LV2_TIME__speed);
    stateChanged = m(LV2_STATE__StateChanged);
    lumoraData = m(kStateLumoraData);
    factoryPreset = m(kStateFactoryPreset);
    factoryPresetName = m(kStateFactoryPresetName);
}

} // namespace Lumora::Lv2
