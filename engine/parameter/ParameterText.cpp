// The text form of a parameter manager: a header line "<name>\tversion:<n>", then one line
// "<serialized name>\t<normalized value, six decimals>" per selected parameter.
#include <string>
#include <vector>

#include <boost/algorithm/string/classification.hpp>
#include <boost/algorithm/string/split.hpp>

#include "engine/parameter/NumberText.h"
#include "engine/parameter/ParameterManager.h"

namespace Lumora {

namespace {

using Token = ParameterObserver::Token;

Token tokenFor(SerializeWhere where) {
    return where == SerializeWhere::PluginHostState ? Token::Host : Token::Document;
}

std::vector<std::string> splitFields(const std::string& line) {
    std::vector<std::string> fields;
    boost::algorithm::split(fields, line, boost::algorithm::is_any_of("\t"),
                            boost::algorithm::token_compress_on);
    return fields;
}

enum class HeaderVersion { Absent, Bad, Read };

// The header's second field holds "key:value" pieces separated by "|"; only "version" counts.
HeaderVersion readHeaderVersion(const std::string& field, int& version) {
    std::vector<std::string> pieces;
    boost::algorithm::split(pieces, field, boost::algorithm::is_any_of("|"));
    HeaderVersion result = HeaderVersion::Absent;
    for (const std::string& piece : pieces) {
        std::vector<std::string> kv;
        boost::algorithm::split(kv, piece, boost::algorithm::is_any_of(":"));
        if (kv.size() < 2 || kv[0] != "version") {
            continue;
        }
        const std::optional<int> v = NumberText::wholeInt(kv[1]);
        if (!v) {
            return HeaderVersion::Bad;
        }
        version = *v;
        result = HeaderVersion::Read;
    }
    return result;
}

} // namespace

std::string ParameterManager::serialize(SerializeWhat what, SerializeWhere) {
    std::string body;
    for (const auto& [id, param] : parameters_) {
        if (param->hasOption(Parameter::Options::NoSerialize) ||
            !sharesBit(param->serializeWhat(), what)) {
            continue;
        }
        body += param->serializedName();
        body += '\t';
        body += NumberText::fixed6(param->normalizedValue());
        body += '\n';
    }
    if (body.empty()) {
        return body;
    }
    return name_ + "\tversion:" + std::to_string(version_) + "\n" + body;
}

void ParameterManager::initialize(SerializeWhat what, SerializeWhere where) {
    const Token token = tokenFor(where);
    for (auto& [id, param] : parameters_) {
        if (param->hasOption(Parameter::Options::NoInitialize) ||
            !sharesBit(param->serializeWhat(), what)) {
            continue;
        }
        param->setNormalizedValue(param->defaultValue(), token, AutomationEventType::None);
    }
}

bool ParameterManager::hasReadableHeader(const std::string& text) const {
    const std::vector<std::string> fields = splitFields(text.substr(0, text.find('\n')));
    int version = -1;
    return !(fields.size() == 2 && fields[0] == name_ &&
             readHeaderVersion(fields[1], version) == HeaderVersion::Bad);
}

bool ParameterManager::deserialize(SerializeWhat what, const std::string& text,
                                   SerializeWhere where) {
    if (text.empty() || !hasReadableHeader(text)) {
        return false;
    }
    const Token token = tokenFor(where);
    initialize(what, where);

    std::vector<std::string> lines;
    boost::algorithm::split(lines, text, boost::algorithm::is_any_of("\n"));
    int version = -1;
    bool result = true;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::vector<std::string> fields = splitFields(lines[i]);
        if (i == 0 && fields.size() == 2 && fields[0] == name_) {
            if (readHeaderVersion(fields[1], version) == HeaderVersion::Bad) {
                return false;
            }
            continue;
        }
        bool ok = true;
        if (version < 0 && fields.size() == 3) {
            ok = deserializeOldVersionFormat(what, fields[0], fields[1], fields[2], version, token);
        } else if (fields.size() == 2) {
            ok = deserialize(what, fields[0], fields[1], version, token);
        }
        result = result && ok;
    }
    return result;
}

bool ParameterManager::applyLine(SerializeWhat what, const std::string& name,
                                 const std::string& value, int version, Token token) {
    Parameter* param = getParameter(name);
    if (param == nullptr || param->hasOption(Parameter::Options::NoDeserialize) ||
        !sharesBit(param->serializeWhat(), what)) {
        return true;
    }
    return param->deserialize(name, value, version, token);
}

bool ParameterManager::deserialize(SerializeWhat what, const std::string& name,
                                   const std::string& value, int version, Token token) {
    if (converter_ != nullptr) {
        converter_->convertedParams.clear();
        if (converter_->convert(name, value, version)) {
            // Copied: applying a pair may not touch the converter, but keep the walk safe anyway.
            const ParameterConverter::Pairs pairs = converter_->convertedParams;
            bool result = true;
            for (const auto& [name2, value2] : pairs) {
                result = applyLine(what, name2, value2, version, token) && result;
            }
            return result;
        }
    }
    return applyLine(what, name, value, version, token);
}

bool ParameterManager::deserializeOldVersionFormat(SerializeWhat what, const std::string& name,
                                                   const std::string& type,
                                                   const std::string& value, int version,
                                                   Token token) {
    const std::optional<float> concrete = NumberText::leadingFloat(value);
    if (!concrete) {
        return false;
    }
    Parameter::Type t;
    if (type == "sint") {
        t = Parameter::Type::SInt;
    } else if (type == "uint") {
        t = Parameter::Type::UInt;
    } else if (type == "sfloat") {
        t = Parameter::Type::SFloat;
    } else if (type == "ufloat") {
        t = Parameter::Type::UFloat;
    } else if (type == "bool") {
        t = Parameter::Type::Bool;
    } else {
        return false;
    }
    const float normalized = Parameter::concreteToNormalizedValue(t, *concrete);
    return deserialize(what, name, NumberText::fixed6(normalized), version, token);
}

} // namespace Lumora
