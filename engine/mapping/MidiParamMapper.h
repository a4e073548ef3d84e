#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <string>

#include "engine/math/Shaper1bp.h"
#include "engine/midi/MidiMessage.h"
#include "engine/parameter/Lockable.h"

namespace Lumora {

class iAudioEngine;
class Parameter;
class ParameterManager;

// Lets MIDI controllers drive parameters: each element binds one parameter to a control change
// or channel pressure (on one channel or any) through a one-breakpoint response curve. Every
// access to the tables holds the mapper's own recursive lock; the render thread calls process()
// once per block.
class MidiParamMapper : public Lockable {
public:
    enum class TakeOverMode : int32_t { Jump = 0, PickUp = 1 };

    static constexpr int kAnyChannel = -1;

    class MidiKey {
    public:
        MidiKey() = default;
        MidiKey(int channel, int status, int number);
        explicit MidiKey(MidiMessage const& message);
        virtual ~MidiKey() = default;
        MidiKey(MidiKey const&) = default;
        MidiKey& operator=(MidiKey const&) = default;

        int channel() const { return channel_; }
        int status() const { return status_; }
        int number() const { return number_; }
        bool isValid() const { return isValid(channel_, status_, number_); }
        static bool isValid(int channel, int status, int number);

        // Whether a mapping under this key reacts to a message whose key is message.
        bool matches(MidiKey const& message) const;

        // Ordered by status, then number, then channel (any channel first): a strict weak
        // ordering that keeps every key of one controller together.
        bool operator<(MidiKey const& other) const;
        bool operator==(MidiKey const& other) const;

    private:
        int32_t channel_ = kAnyChannel;
        int32_t status_ = 0;
        int32_t number_ = 0;
    };

    class Element;

    class MidiSource : public MidiKey {
    public:
        MidiSource(MidiKey const& key, Element* element) : MidiKey(key), element_(element) {}
        MidiKey midiKey() const;
        Element* element() const { return element_; }

    private:
        friend class MidiParamMapper;
        Element* element_;
    };

    class Element {
    public:
        Element(MidiParamMapper* mapper, int paramID, MidiKey const& key);
        virtual ~Element() = default;
        Element(Element const&) = delete;
        Element& operator=(Element const&) = delete;

        int paramID() const { return paramID_; }
        MidiSource const& midiSource() const { return source_; }
        Math::Shaper1bp& shaper() { return shaper_; }
        Math::Shaper1bp const& shaper() const { return shaper_; }
        float lastPosition() const { return lastPosition_; }

        // Applies one controller message to the element's parameter.
        void process(MidiMessage const& message, ParameterManager* parameters, MidiParamMapper const& mapper);

    private:
        friend class MidiParamMapper;
        bool shouldApplyPickUp(Parameter const& parameter, float x, float y) const;

        MidiParamMapper* mapper_;
        int paramID_;
        MidiSource source_;
        Math::Shaper1bp shaper_;
        float lastPosition_ = -1.0f;
    };

    explicit MidiParamMapper(iAudioEngine* engine);
    virtual ~MidiParamMapper();

    MidiParamMapper(MidiParamMapper const&) = delete;
    MidiParamMapper& operator=(MidiParamMapper const&) = delete;

    void startLearning(int paramID);
    void stopLearning();
    int learningID() const { return learningID_.load(std::memory_order_acquire); }
    bool isLearning() const { return learningID() >= 0; }
    void setTakeOverMode(TakeOverMode mode) { takeOverMode_.store(mode, std::memory_order_relaxed); }
    TakeOverMode takeOverMode() const { return takeOverMode_.load(std::memory_order_relaxed); }

    // Applies every control change and channel pressure of midi to the mapped parameters.
    void process(std::deque<MidiMessage> const& midi, ParameterManager* parameters);
    void process(MidiMessage const& message, ParameterManager* parameters);

    // The parameter's element, re-keyed and given the curve; made when it has none.
    Element* newElement(int paramID, MidiKey const& key, Math::Shaper1bp const& shaper);
    Element* findElement(int paramID);
    int removeElementByParamID(int paramID);
    void initialize();
    int removeInvalidElements(ParameterManager const* parameters);

    // One line per element: name, channel, status, number and the four curve values, tab-separated.
    std::string serialize(ParameterManager const* parameters);
    bool deserialize(std::string const& text, ParameterManager const* parameters);

    // The elements by parameter id, for the mapping editor; hold mutex() while using them.
    std::map<int, Element*> const& elements() const { return elements_; }
    std::size_t numberOfElements() const;

private:
    using KeyTable = std::multimap<MidiKey, Element*>;

    void replaceElements(std::map<int, Element*> elements, KeyTable keys);
    void remapByMidiKeyChanged(Element* element);
    void eraseKeyEntries(Element const* element);
    void notify(int notificationID, int param);

    iAudioEngine* engine_;
    std::map<int, Element*> elements_;
    KeyTable keys_;
    std::atomic<int> learningID_{-1};
    std::atomic<TakeOverMode> takeOverMode_{TakeOverMode::Jump};
};

} // namespace Lumora
