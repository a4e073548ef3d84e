#pragma once

#include "engine/documents/PresetDocFileManager.h"
#include "engine/parameter/Serializer.h"

#include "tests/engine/files/TestFolder.h"

#include <string>
#include <vector>

namespace LumoraTest {

// A serializer whose whole state is one string; it accepts only texts it could have written.
class FakeSerializer : public Lumora::Serializer {
public:
    std::string state = "default";
    std::vector<Lumora::SerializeWhat> masks;

    std::string serialize(Lumora::SerializeWhat what, Lumora::SerializeWhere) override {
        masks.push_back(what);
        return "state:" + state;
    }
    bool deserialize(Lumora::SerializeWhat what, std::string const& text, Lumora::SerializeWhere) override {
        masks.push_back(what);
        if (text.rfind("state:", 0) != 0)
            return false;
        state = text.substr(6);
        return true;
    }
    void initialize(Lumora::SerializeWhat what, Lumora::SerializeWhere) override {
        masks.push_back(what);
        state = "default";
    }
};

class RecordingObserver : public Lumora::PresetDocFileManagerObserver {
public:
    std::vector<std::string> places;
    void didChangeDirectory(Lumora::PresetDocFileManager const*, std::string const& directory) override {
        places.push_back(directory);
    }
};

// Factory, User and Program trees of sound documents below a test folder.
struct PresetTrees {
    TestFolder folder;
    boost::filesystem::path factory = folder / "Factory";
    boost::filesystem::path user = folder / "User";
    boost::filesystem::path program = folder / "Program";

    PresetTrees() {
        writeFile(factory / "Bright.corvane_snd", "state:bright");
        writeFile(factory / "Warm.corvane_snd", "state:warm");
        writeFile(factory / "Odd.CORVANE_SND", "state:odd");
        writeFile(factory / "readme.txt", "hello");
        writeFile(factory / "Pads" / "Soft.corvane_snd", "state:soft");
        writeFile(user / "Mine.corvane_snd", "state:mine");
        writeFile(user / "Folder" / "Deep" / "Deeper.corvane_snd", "state:deeper");
        writeFile(user / "Abc" / "a.corvane_snd", "state:a");
        writeFile(user / "Abc" / "b.corvane_snd", "state:b");
        writeFile(user / "Abc" / "c.corvane_snd", "state:c");
        boost::filesystem::create_directories(user / "OnlyFolders" / "x");
        writeFile(program / "P1.corvane_snd", "state:p1");
        writeFile(program / "P2.corvane_snd", "state:p2");
        writeFile(folder / "outside" / "Stolen.corvane_snd", "state:stolen");
    }

    Lumora::PresetDocFileManager::Config config(Lumora::Serializer* serializer, bool withFactory = true,
                                                bool withUser = true, bool withProgram = true) const {
        Lumora::PresetDocFileManager::Config c;
        c.serializer = serializer;
        c.serializeWhat = Lumora::SerializeWhat::SoundPreset;
        c.name = "Sound Presets";
        c.fileExtension = "corvane_snd";
        c.pathConfig.factoryDirectory = withFactory ? factory.string() : "";
        c.pathConfig.userDirectory = withUser ? user.string() : "";
        c.pathConfig.programDirectory = withProgram ? program.string() : "";
        return c;
    }
};

} // namespace LumoraTest
