// Writes the Turtle of the Corvane.lv2 bundle (manifest.ttl, Corvane.ttl, presets.ttl) into the
// folder given, from a unit made exactly as a host's instance makes it: the parameter ports, with
// the start-up sound's values as defaults, and one preset per factory preset with the port values
// of its sound. Runs at build time with a scratch data home, so no user's settings leak in.

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include <boost/filesystem.hpp>

#include "engine/audio/iAudioEngine.h"
#include "engine/parameter/ParameterManager.h"
#include "plugin/audioio/AudioIO_for_iOS_Plugin.h"
#include "plugin/audiounit/Lumora_iOS_AudioUnit.h"
#include "plugin/lv2/CorvaneLv2Instance.h"
#include "plugin/lv2/Lv2ParameterPorts.h"
#include "plugin/lv2/Lv2Turtle.h"
#include "plugin/lv2/Lv2Uris.h"
#include "plugin/lv2/entry/CorvaneLv2Maker.h"

namespace fs = boost::filesystem;
using namespace Lumora::Lv2;

namespace {

std::vector<float> portValues(Lumora::ParameterManager const& manager, std::vector<Lv2ParameterPort> const& ports) {
    std::vector<float> values;
    for (Lv2ParameterPort const& port : ports) {
        Lumora::Parameter const* p = manager.getParameter(port.parameterId);
        values.push_back(p != nullptr ? port.portFromNormalized(p->normalizedValue()) : port.defaultValue);
    }
    return values;
}

bool writeFile(fs::path const& path, std::string const& text) {
    fs::path const temporary = path.string() + ".part";
    {
        std::ofstream out(temporary.string(), std::ios::binary | std::ios::trunc);
        out << text;
        if (!out)
            return false;
    }
    boost::system::error_code error;
    fs::rename(temporary, path, error);
    return !error;
}

int writeBundle(fs::path const& bundle) {
    CorvaneUnit made = makeCorvaneUnit("");
    if (made.unit == nullptr || made.unit->audioIO() == nullptr || made.unit->audioIO()->audioEngine() == nullptr) {
        std::fprintf(stderr, "corvane_lv2_turtle: the audio unit could not be made\n");
        return 1;
    }
    Lumora::ParameterManager const& manager = made.unit->audioIO()->audioEngine()->parameterManager();
    std::vector<Lv2ParameterPort> ports = describeParameterPorts(manager);
    // A host's fresh instance plays the start-up sound: its values are the ports' defaults.
    std::vector<float> const startup = portValues(manager, ports);
    for (std::size_t i = 0; i < ports.size(); ++i)
        ports[i].defaultValue = startup[i];

    std::vector<Lv2FactoryPreset> presets;
    for (Platform::AudioUnitPreset const& preset : made.unit->factoryPresets()) {
        made.unit->setCurrentPreset(preset);
        CorvaneLv2Instance::runMainQueue();
        presets.push_back(Lv2FactoryPreset{static_cast<long>(preset.number), preset.name, portValues(manager, ports)});
    }

    fs::create_directories(bundle);
    if (!writeFile(bundle / kPluginTurtle, pluginTurtle(ports)) ||
        !writeFile(bundle / kPresetsTurtle, presetsTurtle(ports, presets)) ||
        !writeFile(bundle / "manifest.ttl", manifestTurtle(presets))) {
        std::fprintf(stderr, "corvane_lv2_turtle: could not write into %s\n", bundle.string().c_str());
        return 1;
    }
    std::printf("%s: %zu parameter ports, %zu presets\n", bundle.string().c_str(), ports.size(), presets.size());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: corvane_lv2_turtle <bundle folder>\n");
        return 2;
    }
    fs::path const scratch = fs::temp_directory_path() / fs::unique_path("corvane-lv2-%%%%-%%%%");
    fs::create_directories(scratch / "tmp");
    ::setenv("CORVANE_DATA_HOME", scratch.string().c_str(), 1);
    ::setenv("CORVANE_TMPDIR", (scratch / "tmp").string().c_str(), 1);
    int status = writeBundle(fs::path(argv[1]));
    boost::system::error_code ignored;
    fs::remove_all(scratch, ignored);
    return status;
}
