#pragma once

// A test synth whose four document kinds live in a fresh folder, and helpers to read the
// parts of a state text. Header-only.

#include <memory>
#include <string>
#include <vector>

#include "engine/files/TestFolder.h"
#include "engine/synth/SynthTestSupport.h"
#include "engine/text/MultiPartText.h"

namespace StateTest {

// Sound documents in Factory, User and Program trees; the other kinds in User trees only.
struct DocumentFolders {
    LumoraTest::TestFolder folder;

    Lumora::iSynthAudioEngine::Config config() const {
        Lumora::iSynthAudioEngine::Config c;
        c.soundName = "Sound Presets";
        c.soundType = "corvane_snd";
        c.soundFactoryPath = (folder / "Sound" / "Factory").string();
        c.soundUserPath = (folder / "Sound" / "User").string();
        c.soundProgramPath = (folder / "Sound" / "Program").string();
        c.arpeggiatorName = "Arpeggiator Patterns";
        c.arpeggiatorType = "corvane_arp";
        c.arpeggiatorUserPath = (folder / "Arp").string();
        c.midiMappingName = "MIDI Mappings";
        c.midiMappingType = "corvane_map";
        c.midiMappingUserPath = (folder / "Map").string();
        c.microTuningName = "Micro Tunings";
        c.microTuningType = "corvane_tun";
        c.microTuningUserPath = (folder / "Tun").string();
        return c;
    }

    DocumentFolders() {
        for (const char* sub : {"Sound/Factory/Pads", "Sound/User/Mine", "Sound/Program", "Arp", "Map", "Tun"}) {
            boost::filesystem::create_directories(folder / sub);
        }
    }
};

// The titles of a state text's parts in the order they are written.
inline std::vector<std::string> partTitles(const std::string& text) {
    std::vector<std::string> titles;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string title;
        if (Lumora::MultiPartText::isHeaderLine(text.substr(start, end - start), &title)) {
            titles.push_back(title);
        }
        start = end + 1;
    }
    return titles;
}

inline std::string part(const std::string& text, const std::string& title) {
    Lumora::MultiPartText parts;
    parts.deserialize(text);
    return parts.partText(title);
}

} // namespace StateTest
