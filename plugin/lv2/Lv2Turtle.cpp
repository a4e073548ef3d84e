#include "plugin/lv2/Lv2Turtle.h"

#include <cmath>
#include <cstdio>
#include <sstream>

#include "platform/foundation/QuotedText.h"
#include "plugin/lv2/Lv2Uris.h"

namespace Lumora::Lv2 {

namespace {

constexpr char const* kPrefixes =
    "@prefix atom: <http://lv2plug.in/ns/ext/atom#> .\n"
    "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
    "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix midi: <http://lv2plug.in/ns/ext/midi#> .\n"
    "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix time: <http://lv2plug.in/ns/ext/time#> .\n"
    "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n"
    "@prefix work: <http://lv2plug.in/ns/ext/worker#> .\n"
    "@prefix xsd: <http://www.w3.org/2001/XMLSchema#> .\n\n";

std::string uri(std::string const& text) {
    return "<" + text + ">";
}

std::string presetUri(long number) {
    return uri(kPresetPrefix + std::to_string(number));
}

void writeFixedPorts(std::ostream& out) {
    out << "    lv2:port [\n"
           "        a lv2:InputPort , atom:AtomPort ;\n"
           "        atom:bufferType atom:Sequence ;\n"
           "        atom:supports midi:MidiEvent , time:Position ;\n"
           "        lv2:designation lv2:control ;\n"
        << "        lv2:index " << kPortEventsIn << " ;\n"
        << "        lv2:symbol \"events_in\" ;\n"
           "        lv2:name \"MIDI and time in\"\n"
           "    ] , [\n"
           "        a lv2:OutputPort , lv2:AudioPort ;\n"
        << "        lv2:index " << kPortOutLeft << " ;\n"
        << "        lv2:symbol \"out_left\" ;\n"
           "        lv2:name \"Left\"\n"
           "    ] , [\n"
           "        a lv2:OutputPort , lv2:AudioPort ;\n"
        << "        lv2:index " << kPortOutRight << " ;\n"
        << "        lv2:symbol \"out_right\" ;\n"
           "        lv2:name \"Right\"\n"
           "    ] , [\n"
           "        a lv2:OutputPort , atom:AtomPort ;\n"
           "        atom:bufferType atom:Sequence ;\n"
           "        lv2:designation lv2:control ;\n"
        << "        lv2:index " << kPortNotify << " ;\n"
        << "        lv2:symbol \"notify\" ;\n"
           "        lv2:name \"Notifications\"\n"
           "    ]";
}

void writeParameterPort(std::ostream& out, Lv2ParameterPort const& port) {
    out << " , [\n"
           "        a lv2:InputPort , lv2:ControlPort ;\n"
        << "        lv2:index " << port.index << " ;\n"
        << "        lv2:symbol " << turtleString(port.symbol) << " ;\n"
        << "        lv2:name " << turtleString(port.name) << " ;\n"
        << "        lv2:default " << turtleNumber(port.defaultValue) << " ;\n"
        << "        lv2:minimum " << turtleNumber(port.minimum) << " ;\n"
        << "        lv2:maximum " << turtleNumber(port.maximum);
    if (port.kind == Lv2ParameterPort::Kind::Integer)
        out << " ;\n        lv2:portProperty lv2:integer";
    else if (port.kind == Lv2ParameterPort::Kind::Toggle)
        out << " ;\n        lv2:portProperty lv2:toggled";
    out << "\n    ]";
}

// The state's own keys, described so that tools and hosts know what they hold.
void writeStateProperties(std::ostream& out) {
    out << "\n" << uri(kStateLumoraData) << "\n"
        << "    a rdf:Property ;\n"
        << "    rdfs:label \"Corvane state\" ;\n"
        << "    rdfs:comment \"The whole state of the instrument as its own text.\" ;\n"
        << "    rdfs:range atom:String .\n\n"
        << uri(kStateFactoryPreset) << "\n"
        << "    a rdf:Property ;\n"
        << "    rdfs:label \"factory preset number\" ;\n"
        << "    rdfs:range atom:Int .\n\n"
        << uri(kStateFactoryPresetName) << "\n"
        << "    a rdf:Property ;\n"
        << "    rdfs:label \"factory preset name\" ;\n"
        << "    rdfs:range atom:String .\n";
}

} // namespace

std::string turtleString(std::string const& text) {
    std::string out;
    Platform::appendQuotedText(out, text, Platform::ControlEscape::Unicode);
    return out;
}

std::string turtleNumber(float value) {
    if (!std::isfinite(value))
        value = 0.0f;
    char text[32];
    // Nine significant digits give back the same float when read.
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    std::string out = text;
    if (out.find_first_of(".e") == std::string::npos)
        out += ".0";
    return out;
}

std::string manifestTurtle(std::vector<Lv2FactoryPreset> const& presets) {
    std::ostringstream out;
    out << kPrefixes;
    out << uri(kPluginUri) << "\n"
        << "    a lv2:Plugin , lv2:InstrumentPlugin ;\n"
        << "    lv2:binary <" << kBinaryName << "> ;\n"
        << "    rdfs:seeAlso <" << kPluginTurtle << "> .\n";
    // The editor lives in the plug-in's own instance (instance-access): the UI's library is
    // only the door to it.
    out << "\n" << uri(kUiUri) << "\n"
        << "    a ui:X11UI ;\n"
        << "    lv2:binary <" << kUiBinaryName << "> ;\n"
        << "    lv2:requiredFeature <http://lv2plug.in/ns/ext/instance-access> , ui:parent , ui:idleInterface ;\n"
        << "    lv2:optionalFeature ui:resize , ui:touch ;\n"
        << "    lv2:extensionData ui:idleInterface , ui:resize .\n";
    for (Lv2FactoryPreset const& preset : presets) {
        out << "\n" << presetUri(preset.number) << "\n"
            << "    a pset:Preset ;\n"
            << "    lv2:appliesTo " << uri(kPluginUri) << " ;\n"
            << "    rdfs:seeAlso <" << kPresetsTurtle << "> .\n";
    }
    return out.str();
}

std::string pluginTurtle(std::vector<Lv2ParameterPort> const& ports) {
    std::ostringstream out;
    out << kPrefixes;
    out << uri(kPluginUri) << "\n"
        << "    a lv2:Plugin , lv2:InstrumentPlugin ;\n"
        << "    doap:name \"Corvane\" ;\n"
        << "    lv2:minorVersion 0 ;\n"
        << "    lv2:microVersion 1 ;\n"
        << "    rdfs:comment \"A polyphonic synthesizer.\" ;\n"
        << "    ui:ui " << uri(kUiUri) << " ;\n"
        << "    lv2:requiredFeature urid:map ;\n"
        << "    lv2:optionalFeature work:schedule ;\n"
        << "    lv2:extensionData state:interface , work:interface ;\n";
    writeFixedPorts(out);
    for (Lv2ParameterPort const& port : ports)
        writeParameterPort(out, port);
    out << " .\n";
    writeStateProperties(out);
    return out.str();
}

std::string presetsTurtle(std::vector<Lv2ParameterPort> const& ports, std::vector<Lv2FactoryPreset> const& presets) {
    std::ostringstream out;
    out << kPrefixes;
    for (Lv2FactoryPreset const& preset : presets) {
        out << presetUri(preset.number) << "\n"
            << "    a pset:Preset ;\n"
            << "    lv2:appliesTo " << uri(kPluginUri) << " ;\n"
            << "    rdfs:label " << turtleString(preset.name) << " ;\n";
        for (std::size_t i = 0; i < ports.size() && i < preset.portValues.size(); ++i) {
            out << (i == 0 ? "    lv2:port [\n" : " , [\n")
                << "        lv2:symbol " << turtleString(ports[i].symbol) << " ;\n"
                << "        pset:value " << turtleNumber(preset.portValues[i]) << "\n    ]";
        }
        if (!ports.empty() && !preset.portValues.empty())
            out << " ;\n";
        out << "    state:state [\n"
            << "        " << uri(kStateFactoryPreset) << " \"" << preset.number << "\"^^xsd:int ;\n"
            << "        " << uri(kStateFactoryPresetName) << " " << turtleString(preset.name) << "\n"
            << "    ] .\n\n";
    }
    return out.str();
}

} // namespace Lumora::Lv2
