#pragma once

// The names under which hosts know Corvane's LV2 plug-in, its state keys and its presets. They
// must never change once released: sessions and presets refer to them.
namespace Lumora::Lv2 {

inline constexpr char const* kPluginUri = "urn:corvane:lv2:Corvane";
inline constexpr char const* kBundleName = "Corvane.lv2";
inline constexpr char const* kBinaryName = "Corvane.so";
inline constexpr char const* kPluginTurtle = "Corvane.ttl";
inline constexpr char const* kUiUri = "urn:corvane:lv2:Corvane:ui";
inline constexpr char const* kUiBinaryName = "CorvaneUI.so";
inline constexpr char const* kPresetPrefix = "urn:corvane:lv2:Corvane:preset:";

// State keys: the audio unit's full-state text, and a factory preset chosen by number and name.
inline constexpr char const* kStateLumoraData = "urn:corvane:lv2:Corvane:state#LumoraData";
inline constexpr char const* kStateFactoryPreset = "urn:corvane:lv2:Corvane:state#factoryPreset";
inline constexpr char const* kStateFactoryPresetName = "urn:corvane:lv2:Corvane:state#factoryPresetName";

// The bundle carries its own copy of the shared framework's resources (sounds, pictures).
inline constexpr char const* kFrameworkFolder = "Framework.framework";

// Fixed ports before the parameters: MIDI and time in, stereo out, notifications out.
inline constexpr unsigned kPortEventsIn = 0;
inline constexpr unsigned kPortOutLeft = 1;
inline constexpr unsigned kPortOutRight = 2;
inline constexpr unsigned kPortNotify = 3;
inline constexpr unsigned kFirstParameterPort = 4;

} // namespace Lumora::Lv2
