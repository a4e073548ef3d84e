#pragma once

#include <lv2/urid/urid.h>

namespace Lumora::Lv2 {

// The URIs the plug-in reads and writes in atoms and state, mapped once when an instance is made.
struct Lv2Urids {
    LV2_URID atomBlank = 0;
    LV2_URID atomObject = 0;
    LV2_URID atomSequence = 0;
    LV2_URID atomFloat = 0;
    LV2_URID atomDouble = 0;
    LV2_URID atomInt = 0;
    LV2_URID atomLong = 0;
    LV2_URID atomString = 0;
    LV2_URID midiEvent = 0;
    LV2_URID timePosition = 0;
    LV2_URID timeBar = 0;
    LV2_URID timeBarBeat = 0;
    LV2_URID timeBeat = 0;
    LV2_URID timeBeatUnit = 0;
    LV2_URID timeBeatsPerBar = 0;
    LV2_URID timeBeatsPerMinute = 0;
    LV2_URID timeFrame = 0;
    LV2_URID timeSpeed = 0;
    LV2_URID stateChanged = 0;
    LV2_URID lumoraData = 0;
    LV2_URID factoryPreset = 0;
    LV2_URID factoryPresetName = 0;

    // Every field mapped through the host's map.
    void mapAll(LV2_URID_Map const& map);
};

} // namespace Lumora::Lv2
