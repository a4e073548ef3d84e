#include "engine/mapping/MidiParamMapper.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <mutex>
#include <optional>
#include <string_view>
#include <system_error>
#include <vector>

#include "engine/audio/iAudioEngine.h"
#include "engine/parameter/NumberText.h"
#include "engine/parameter/Parameter.h"
#include "engine/parameter/ParameterManager.h"

namespace Lumora {

namespace {

constexpr int kControlChange = 0xB0;
constexpr int kChannelPressure = 0xD0;
constexpr int kFirstChannelModeController = 120;
constexpr int kLastChannel = 15;
constexpr float kPickUpScale = 10000.0f;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// A decimal integer after leading blanks and an optional sign, trailing characters ignored;
// empty when there is no number or it does not fit an int. C locale by construction.
std::optional<int> leadingInt(std::string_view text) {
    char const* first = text.data();
    char const* const last = text.data() + text.size();
    while (first != last && isBlank(*first)) {
        ++first;
    }
    if (first != last && *first == '+') {
        ++first;
    }
    int value = 0;
    auto const [ptr, ec] = std::from_chars(first, last, value);
    if (ec != std::errc() || ptr == first) {
        return std::nullopt;
    }
    return value;
}

std::vector<std::string_view> splitAt(std::string_view line, char separator) {
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    while (true) {
        std::size_t const end = line.find(separator, start);
        if (end == std::string_view::npos) {
            pieces.push_back(line.substr(start));
            return pieces;
        }
        pieces.push_back(line.substr(start, end - start));
        start = end + 1;
    }
}

int truncatedPickUpUnits(float value) {
    return static_cast<int>(value * kPickUpScale);
}

bool isFloatType(Parameter::Type type) {
    return type == Parameter::Type::SFloat || type == Parameter::Type::UFloat;
}

bool isIntegerType(Parameter::Type type) {
    return type == Parameter::Type::SInt || type == Parameter::Type::UInt;
}

} // namespace

// ---- MidiKey

bool MidiParamMapper::MidiKey::isValid(int channel, int status, int number) {
    if (channel < kAnyChannel || channel > kLastChannel || number < 0) {
        return false;
    }
    if (status == kControlChange) {
        return number < kFirstChannelModeController;
    }
    return status == kChannelPressure;
}

MidiParamMapper::MidiKey::MidiKey(int channel, int status, int number) {
    if (isValid(channel, status, number)) {
        channel_ = channel;
        status_ = status;
        number_ = number;
    }
}

MidiParamMapper::MidiKey::MidiKey(MidiMessage const& message) {
    int const statusByte = message.status();
    bool const channelMessage = statusByte < 0xF0;
    int const channel = channelMessage ? (statusByte & 0x0F) : kAnyChannel;
    int const status = channelMessage ? (statusByte & 0xF0) : statusByte;
    int const number = status == kControlChange ? int(message.data1()) : 0;
    if (isValid(channel, status, number)) {
        channel_ = channel;
        status_ = status;
        number_ = number;
    }
}

bool MidiParamMapper::MidiKey::matches(MidiKey const& message) const {
    return status_ == message.status_ && number_ == message.number_ &&
           (channel_ == kAnyChannel || channel_ == message.channel_);
}

bool MidiParamMapper::MidiKey::operator<(MidiKey const& other) const {
    if (status_ != other.status_) {
        return status_ < other.status_;
    }
    if (number_ != other.number_) {
        return number_ < other.number_;
    }
    return channel_ < other.channel_;
}

bool MidiParamMapper::MidiKey::operator==(MidiKey const& other) const {
    return channel_ == other.channel_ && status_ == other.status_ && number_ == other.number_;
}

MidiParamMapper::MidiKey MidiParamMapper::MidiSource::midiKey() const {
    return MidiKey(channel(), status(), number());
}

// ---- Element

MidiParamMapper::Element::Element(MidiParamMapper* mapper, int paramID, MidiKey const& key)
    : mapper_(mapper), paramID_(paramID), source_(key, this) {}

// Pick-up: the controller takes the parameter over only once its move passes the parameter's
// value. Floats compare in 1/10000 steps; integers in their concrete units.
bool MidiParamMapper::Element::shouldApplyPickUp(Parameter const& parameter, float x, float y) const {
    Parameter::Type const type = parameter.type();
    if (isFloatType(type)) {
        int const c = truncatedPickUpUnits(parameter.normalizedValue());
        auto const [lo, hi] = shaper_.minmaxInRange(lastPosition_, x);
        return truncatedPickUpUnits(lo) <= c && c <= truncatedPickUpUnits(hi);
    }
    float const p = Parameter::normalizedToConcreteValue(type, shaper_.formula(lastPosition_));
    float const n = Parameter::normalizedToConcreteValue(type, y);
    float const c = parameter.concreteValue();
    return std::min(p, n) <= c && c <= std::max(p, n);
}

void MidiParamMapper::Element::process(MidiMessage const& message, ParameterManager* parameters,
                                       MidiParamMapper const& mapper) {
    Parameter* parameter = parameters ? parameters->getParameter(paramID_) : nullptr;
    if (parameter == nullptr) {
        return;
    }
    int const kind = message.status() & 0xF0;
    int const value = kind == kControlChange ? int(message.data2()) : int(message.data1());
    float const x = std::clamp(float(value) / 127.0f, 0.0f, 1.0f);
    float y = shaper_.formula(x);
    if (lastPosition_ < 0.0f) {
        lastPosition_ = x;
    }

    bool apply = true;
    Parameter::Type const type = parameter->type();
    if (mapper.takeOverMode() == TakeOverMode::PickUp) {
        if (isFloatType(type)) {
            int const c = truncatedPickUpUnits(parameter->normalizedValue());
            if (c < truncatedPickUpUnits(shaper_.min())) {
                y = shaper_.min(); // pulled to the nearest value the curve can give
            } else if (c > truncatedPickUpUnits(shaper_.max())) {
                y = shaper_.max();
            } else {
                apply = shouldApplyPickUp(*parameter, x, y);
            }
        } else if (isIntegerType(type)) {
            apply = shouldApplyPickUp(*parameter, x, y);
        }
    }
    if (apply) {
        parameter->setNormalizedValue(y, Parameter::Token::MidiMapper, AutomationEventType::None);
    }
    lastPosition_ = x;
}

// ---- MidiParamMapper

MidiParamMapper::MidiParamMapper(iAudioEngine* engine) : engine_(engine) {}

MidiParamMapper::~MidiParamMapper() {
    initialize();
}

void MidiParamMapper::notify(int notificationID, int param) {
    if (engine_ != nullptr) {
        engine_->didChangeMidiParamMapperStatus(static_cast<iAudioEngine::NotificationID>(notificationID), param);
    }
}

void MidiParamMapper::startLearning(int paramID) {
    int const id = paramID < 0 ? -1 : paramID;
    learningID_.store(id, std::memory_order_release);
    if (id >= 0) {
        notify(iAudioEngine::MidiLearnStarted, id);
    }
}

void MidiParamMapper::stopLearning() {
    if (learningID_.exchange(-1, std::memory_order_acq_rel) >= 0) {
        notify(iAudioEngine::MidiLearnStopped, -1);
    }
}

void MidiParamMapper::process(std::deque<MidiMessage> const& midi, ParameterManager* parameters) {
    // A block without MIDI has nothing to map, and so no need of the mappings' lock.
    if (midi.empty()) {
        return;
    }
    std::lock_guard lock(mutex());
    for (MidiMessage const& message : midi) {
        int const kind = message.kind();
        if (kind == kControlChange || kind == kChannelPressure) {
            process(message, parameters);
        }
    }
}

void MidiParamMapper::process(MidiMessage const& message, ParameterManager* parameters) {
    std::lock_guard lock(mutex());
    MidiKey const key(message);
    if (!key.isValid()) {
        return;
    }

    int const learning = learningID();
    if (learning >= 0 && parameters != nullptr) {
        // An armed id that names no parameter leaves the message to the existing mappings.
        if (Parameter const* parameter = parameters->getParameter(learning)) {
            float const mn = parameter->normalizedMinValue();
            float const mx = parameter->normalizedMaxValue();
            // The whole controller range sweeps the parameter's own range linearly.
            Math::Shaper1bp const curve(mn, 0.5f, mn + (mx - mn) * 0.5f, mx);
            newElement(learning, MidiKey(kAnyChannel, key.status(), key.number()), curve);
            notify(iAudioEngine::MidiLearnAssigned, learning);
            int expected = learning;
            if (learningID_.compare_exchange_strong(expected, -1, std::memory_order_acq_rel)) {
                notify(iAudioEngine::MidiLearnStopped, -1);
            }
        }
    }

    // Keys of one controller lie together, any-channel first.
    auto it = keys_.lower_bound(MidiKey(kAnyChannel, key.status(), key.number()));
    auto const end = keys_.upper_bound(MidiKey(kLastChannel, key.status(), key.number()));
    for (; it != end; ++it) {
        if (it->first.matches(key)) {
            it->second->process(message, parameters, *this);
        }
    }
}

void MidiParamMapper::eraseKeyEntries(Element const* element) {
    for (auto it = keys_.begin(); it != keys_.end();) {
        it = it->second == element ? keys_.erase(it) : std::next(it);
    }
}

void MidiParamMapper::remapByMidiKeyChanged(Element* element) {
    eraseKeyEntries(element);
    keys_.emplace(element->source_.midiKey(), element);
}

MidiParamMapper::Element* MidiParamMapper::newElement(int paramID, MidiKey const& key,
                                                      Math::Shaper1bp const& shaper) {
    std::lock_guard lock(mutex());
    Element* element = nullptr;
    auto const found = elements_.find(paramID);
    if (found != elements_.end()) {
        element = found->second;
        static_cast<MidiKey&>(element->source_) = key;
        remapByMidiKeyChanged(element);
    } else {
        element = new Element(this, paramID, key);
        elements_.emplace(paramID, element);
        keys_.emplace(element->source_.midiKey(), element);
    }
    element->shaper_.set(shaper);
    return element;
}

MidiParamMapper::Element* MidiParamMapper::findElement(int paramID) {
    std::lock_guard lock(mutex());
    auto const found = elements_.find(paramID);
    return found == elements_.end() ? nullptr : found->second;
}

int MidiParamMapper::removeElementByParamID(int paramID) {
    std::lock_guard lock(mutex());
    auto const found = elements_.find(paramID);
    if (found == elements_.end()) {
        return 0;
    }
    Element* element = found->second;
    elements_.erase(found);
    eraseKeyEntries(element);
    delete element;
    return 1;
}

void MidiParamMapper::initialize() {
    replaceElements({}, {});
}

// The render thread waits on mutex() for every controller it applies, so the lock is held only for
// the swap: new elements are made before it and the old ones deleted after it.
void MidiParamMapper::replaceElements(std::map<int, Element*> elements, KeyTable keys) {
    {
        std::lock_guard lock(mutex());
        elements_.swap(elements);
        keys_.swap(keys);
    }
    for (auto& [id, element] : elements) {
        delete element;
    }
}

std::size_t MidiParamMapper::numberOfElements() const {
    std::lock_guard lock(mutex());
    return elements_.size();
}

int MidiParamMapper::removeInvalidElements(ParameterManager const* parameters) {
    std::lock_guard lock(mutex());
    int removed = 0;
    for (auto it = elements_.begin(); it != elements_.end();) {
        Element* element = it->second;
        bool const invalid = !element->source_.isValid() || element->paramID_ != it->first ||
                             parameters == nullptr || parameters->getParameter(element->paramID_) == nullptr;
        if (!invalid) {
            ++it;
            continue;
        }
        it = elements_.erase(it);
        eraseKeyEntries(element);
        delete element;
        ++removed;
    }
    return removed;
}

std::string MidiParamMapper::serialize(ParameterManager const* parameters) {
    std::lock_guard lock(mutex());
    std::string text;
    if (parameters == nullptr) {
        return text;
    }
    for (auto const& [id, element] : elements_) {
        Parameter const* parameter = parameters->getParameter(id);
        MidiKey const key = element->source_.midiKey();
        if (parameter == nullptr || !key.isValid()) {
            continue;
        }
        Math::Shaper1bp const& curve = element->shaper_;
        text += parameter->serializedName();
        for (int field : {key.channel(), key.status(), key.number()}) {
            text += '\t';
            text += std::to_string(field);
        }
        for (float value : {curve.yL(), curve.xC(), curve.yC(), curve.yR()}) {
            text += '\t';
            text += NumberText::fixed6(value);
        }
        text += '\n';
    }
    return text;
}

bool MidiParamMapper::deserialize(std::string const& text, ParameterManager const* parameters) {
    // A text without mappings replaces them all with none, as every other part of a state is replaced.
    std::map<int, Element*> elements;
    KeyTable keys;
    int errors = 0;
    std::string_view const all(text);
    std::size_t start = 0;
    while (start < all.size()) {
        std::size_t end = all.find('\n', start);
        if (end == std::string_view::npos) {
            end = all.size();
        }
        std::string_view const line = all.substr(start, end - start);
        start = end + 1;

        std::vector<std::string_view> const fields = splitAt(line, '\t');
        Parameter const* parameter =
            fields.size() >= 4 && parameters ? parameters->getParameter(std::string(fields[0])) : nullptr;
        std::optional<int> const channel = fields.size() >= 4 ? leadingInt(fields[1]) : std::nullopt;
        std::optional<int> const status = fields.size() >= 4 ? leadingInt(fields[2]) : std::nullopt;
        std::optional<int> const number = fields.size() >= 4 ? leadingInt(fields[3]) : std::nullopt;
        if (parameter == nullptr || !channel || !status || !number) {
            ++errors;
            continue;
        }
        if (!MidiKey::isValid(*channel, *status, *number)) {
            continue; // dropped without counting as an error
        }
        Math::Shaper1bp curve;
        if (fields.size() == 8) {
            std::optional<float> values[4];
            for (int i = 0; i < 4; ++i) {
                values[i] = NumberText::leadingFloat(fields[std::size_t(4 + i)]);
            }
            if (!values[0] || !values[1] || !values[2] || !values[3]) {
                ++errors;
                continue;
            }
            curve = Math::Shaper1bp(*values[0], *values[1], *values[2], *values[3]);
        }
        // A later line for the same parameter re-keys its element, as learning it again would.
        MidiKey const key(*channel, *status, *number);
        Element*& element = elements[parameter->id()];
        if (element == nullptr) {
            element = new Element(this, parameter->id(), key);
        } else {
            static_cast<MidiKey&>(element->source_) = key;
            for (auto it = keys.begin(); it != keys.end();) {
                it = it->second == element ? keys.erase(it) : std::next(it);
            }
        }
        element->shaper_.set(curve);
        keys.emplace(element->source_.midiKey(), element);
    }
    replaceElements(std::move(elements), std::move(keys));
    return !text.empty() && errors == 0;
}

} // namespace Lumora
