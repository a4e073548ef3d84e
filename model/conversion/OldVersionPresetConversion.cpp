#include "model/conversion/OldVersionPresetConversion.h"

#include "engine/parameter/Serializer.h"
#include "model/conversion/ArpeggiatorPresetFileConverter.h"
#include "model/conversion/SoundPresetFileConverter.h"
#include "model/framework/Shared_Information.h"
#include "platform/foundation/Containers.h"
#include "platform/foundation/UserDefaults.h"

namespace OldVersionPresetConversion {

bool convertIfDue(Platform::UserDefaults& defaults, Lumora::iAudioEngine* engine, std::string const& productName) {
    defaults.registerDefaults({{convertedVersionKey, Platform::Value(0)}, {convertAgainKey, Platform::Value(false)}});
    // A request to convert again that is pending at the first conversion waits for the next launch.
    bool const firstTime = defaults.integerForKey(convertedVersionKey) < static_cast<std::int64_t>(currentVersion);
    if (!firstTime && !defaults.boolForKey(convertAgainKey))
        return false;
    convertOldVersionPresets(engine, productName, Platform::Containers::documents());
    if (firstTime)
        defaults.setInteger(convertedVersionKey, currentVersion);
    else
        defaults.setBool(convertAgainKey, false);
    defaults.synchronize();
    return true;
}

void convertOldVersionPresets(Lumora::iAudioEngine* engine, std::string const& productName,
                              std::string const& documentsFolder) {
    auto sound = Platform::newObject<SoundPresetFileConverter>();
    sound->convert_oldVersionDirectoryPath(documentsFolder + "/program", Shared_Information::soundUserDataDirectoryPath(),
                                           "(Old Version Presets)", "corvane", "corvane_snd", engine,
                                           Lumora::SerializeWhat::SoundPreset);
    auto arpeggiator = Platform::newObject<ArpeggiatorPresetFileConverter>();
    arpeggiator->convert_oldVersionDirectoryPath(documentsFolder + "/arpeggiator",
                                                 Shared_Information::arpeggiatorUserDataDirectoryPath(),
                                                 "(Old Version Presets - " + productName + ")", "corvane_arp",
                                                 "kyv_arp", engine, Lumora::SerializeWhat::ArpeggiatorPart);
}

} // namespace OldVersionPresetConversion
