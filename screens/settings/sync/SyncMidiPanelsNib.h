#pragma once

// Registers the sync, tempo and MIDI panels of the panel file "SettingsPanelVws" (once; later
// calls do nothing): sync method, tempo, timing shift, MIDI channel, MIDI input ports, MIDI
// mapping documents, MIDI-mapping takeover mode and Bluetooth MIDI devices.
void registerSyncAndMidiPanels();
