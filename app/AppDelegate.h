#pragma once

#include "app/Lumora_AppDelegate.h"

// Corvane's app delegate: its model object, its Audiobus key, the conversion of the presets an
// earlier version of the app kept in its own documents folder, and the import of that version's
// sound files when another app hands one over.
class AppDelegate : public Lumora_AppDelegate {
public:
    // The app's own defaults keys of the old-version conversion.
    static constexpr char const* convertedVersionKey = "convertedVersion";
    static constexpr char const* convertOldVersionPresetsKey = "convertOldVersionPresets";
    // The extension of an earlier version's sound files.
    static constexpr char const* oldSoundExtension = "corvane";

    std::shared_ptr<Lumora_Core> createCore() override;
    std::string audiobusApiKey() override;
    // Converts the old-version presets at the first launch, and again when the user asked for it.
    void didFinishCreateAudioIO(Lumora::iAudioIO* audioIO, Lumora::iAudioEngine* engine,
                                std::shared_ptr<Lumora_Settings> const& settings, bool isPlugin) override;
    // Converts both old-version folders; the engine keeps the sound it had.
    void convertOldVersionPresetsWithAudioEngine(Lumora::iAudioEngine* engine);
    // An old-version sound file becomes a sound document of the user folder and the current sound.
    bool openURL(AppShell::URL const& url) override;

    // How many times this delegate converted the old-version folders.
    int conversionCount() const { return conversions_; }

private:
    bool importOldVersionSound(AppShell::URL const& url);

    int conversions_ = 0;
};
