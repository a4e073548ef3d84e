// The engine state as one multi-part text: which part goes in for which mask, the "Global"
// part, the order of reading, and the engine's own handling of documents (received program
// changes, the sound folder, dropped pack files).

#include "engine/audio/iAudioEngine.h"

#include <vector>

#include <boost/algorithm/string/classification.hpp>
#include <boost/algorithm/string/split.hpp>

#include "engine/documents/PresetDocFileManager.h"
#include "engine/parameter/ParameterManager.h"
#include "engine/text/MultiPartText.h"

namespace Lumora {

namespace {

const std::string kGlobalPart = "Global";
const std::string kParametersPart = "Parameters";
const std::string kMidiMappingPart = "MidiMapping";

const std::string kPresetNameKey = "soundPresetName";
const std::string kPresetDirectoryKey = "soundPresetCurrentDirectory";
// Stands for the empty directory string of the virtual top, which a line could not carry.
const std::string kTopDirectory = "TOP_DIRECTORY";

constexpr SerializeWhat kAnySoundPart = SerializeWhat::SoundPreset;

bool carriesPresetName(SerializeWhat what, SerializeWhere where) {
    // A document's own name is its file name, so only stored engine states carry it.
    return sharesBit(what, kAnySoundPart) && where != SerializeWhere::Document;
}

bool carriesPresetDirectory(SerializeWhat what) {
    return sharesBit(what, SerializeWhat::GlobalPart);
}

int notificationParam(SerializeWhat what) {
    return static_cast<int>(static_cast<uint32_t>(what));
}

} // namespace

// ---- writing

std::string iAudioEngine::serialize(SerializeWhat what, SerializeWhere where) {
    MultiPartText text;
    text.append(kGlobalPart, serializeAudioEngine(what, where));
    text.append(kParametersPart, parameterManager().serialize(what, where));
    if (sharesBit(what, SerializeWhat::MidiMappingPart)) {
        text.append(kMidiMappingPart, mapper_->serialize(&parameterManager()));
    }
    serialize(what, text, where);
    provideNotification(Serialized, notificationParam(what));
    onFinishedSerialize(what, where);
    return text.serialize();
}

std::string iAudioEngine::serializeAudioEngine(SerializeWhat what, SerializeWhere where) const {
    GlobalPairs pairs;
    serializeAudioEngine(what, pairs, where);
    std::string text;
    for (const auto& [key, value] : pairs) {
        text += key;
        text += '\t';
        text += value;
        text += '\n';
    }
    return text;
}

void iAudioEngine::serializeAudioEngine(SerializeWhat what, GlobalPairs& pairs,
                                        SerializeWhere where) const {
    const PresetDocFileManager* sound = soundManager_.get();
    if (sound == nullptr) {
        return;
    }
    if (carriesPresetName(what, where)) {
        pairs.emplace_back(kPresetNameKey, sound->presetName());
    }
    if (carriesPresetDirectory(what)) {
        const std::string directory = sound->currentDirectory();
        pairs.emplace_back(kPresetDirectoryKey, directory.empty() ? kTopDirectory : directory);
    }
}

// ---- reading

bool iAudioEngine::deserialize(SerializeWhat what, const std::string& text, SerializeWhere where) {
    if (text.empty()) {
        return false;
    }
    MultiPartText parts;
    if (!parts.deserialize(text)) {
        return false;
    }
    // A text with parts counts as loaded even when some of its lines were skipped: each reader
    // keeps or defaults what it could not read. Only a reader that throws stops the load, and
    // what the steps before it applied stays applied.
    // A "Parameters" part whose header can't be read fails the load before anything changes, so
    // that saving afterwards can't overwrite the user's document with the sound that was playing.
    if (!parameterManager().hasReadableHeader(parts.partText(kParametersPart))) {
        return false;
    }
    try {
        // The preset name and folder come first, before any parameter changes.
        deserializeAudioEngine(what, parts.partText(kGlobalPart), where);
        // A missing part is an empty text: the parameter manager rejects it without resetting
        // anything, while the mapper reads it as "no mappings".
        parameterManager().deserialize(what, parts.partText(kParametersPart), where);
        if (sharesBit(what, SerializeWhat::MidiMappingPart)) {
            mapper_->deserialize(parts.partText(kMidiMappingPart), &parameterManager());
        }
        deserialize(what, parts, where);
    } catch (...) {
        // Whatever a product's reader throws stays inside the engine: a host restoring its
        // state must get an answer, not an exception.
        return false;
    }
    provideNotification(Deserialized, notificationParam(what));
    onFinishedDeserialize(what, parts, where);
    return true;
}

bool iAudioEngine::deserializeAudioEngine(SerializeWhat what, const std::string& text,
                                          SerializeWhere where) {
    if (text.empty()) {
        return false;
    }
    std::vector<std::string> lines;
    boost::algorithm::split(lines, text, boost::algorithm::is_any_of("\n"));
    std::vector<std::string> fields;
    for (const std::string& line : lines) {
        boost::algorithm::split(fields, line, boost::algorithm::is_any_of("\t"),
                                boost::algorithm::token_compress_on);
        if (fields.size() >= 2) {
            deserializeAudioEngine(what, fields[0], fields[1], where);
        }
    }
    return true;
}

void iAudioEngine::deserializeAudioEngine(SerializeWhat what, const std::string& key,
                                          const std::string& value, SerializeWhere where) {
    PresetDocFileManager* sound = soundManager_.get();
    if (sound == nullptr) {
        return;
    }
    if (key == kPresetNameKey && carriesPresetName(what, where)) {
        sound->setPresetName(value);
    } else if (key == kPresetDirectoryKey && carriesPresetDirectory(what)) {
        if (value == kTopDirectory) {
            // Home is the virtual top whenever the manager has one.
            sound->changeDirectoryToHomeDirectory();
        } else {
            // A folder that no longer exists fails on the manager's own terms; the load goes on.
            sound->changeDirectory(value);
        }
    }
}

// ---- initializing

void iAudioEngine::initialize(SerializeWhat what, SerializeWhere where) {
    parameterManager().initialize(what, where);
    if (sharesBit(what, SerializeWhat::MidiMappingPart)) {
        mapper_->initialize();
    }
    provideNotification(Deserialized, notificationParam(what));
    onFinishedInitialize(what, where);
}

// ---- documents

void iAudioEngine::loadrecievedProgram() {
    const int program = takeReceivedProgram();
    if (program < 0 || soundManager_ == nullptr) {
        return;
    }
    soundManager_->loadProgram(static_cast<unsigned>(program));
}

iAudioEngine::PackUnpacking iAudioEngine::unpackIfPackOf(const boost::filesystem::path& path,
                                                         PresetDocFileManager* manager) {
    if (manager == nullptr) {
        return PackUnpacking::NotThisKind;
    }
    std::string extension = path.extension().string();
    if (!extension.empty() && extension.front() == '.') {
        extension.erase(0, 1);
    }
    if (extension != manager->pack_file_extension()) {
        return PackUnpacking::NotThisKind;
    }
    // A pack that cannot be read is not imported, and saying so lets the user know.
    return manager->unpack(path) ? PackUnpacking::Unpacked : PackUnpacking::Failed;
}

bool iAudioEngine::unpackPresetFile(const boost::filesystem::path& path) {
    for (PresetDocFileManager* manager : {soundManager_.get(), midiMappingManager_.get()}) {
        const PackUnpacking result = unpackIfPackOf(path, manager);
        if (result != PackUnpacking::NotThisKind) {
            return result == PackUnpacking::Unpacked;
        }
    }
    return false;
}

} // namespace Lumora
