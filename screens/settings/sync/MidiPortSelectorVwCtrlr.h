#pragma once

#include "model/audio/iAudioIO_for_App.h"
#include "model/core/Lumora_CoreObservers.h"
#include "model/core/Lumora_CoreRef.h"
#include "platform/ui/TableView.h"

#include <memory>
#include <vector>

class Lumora_Core;

// The standalone app's MIDI inputs, one row each with a check mark while it is used. A tap
// connects or disconnects the input at once; the inputs left off are stored when the selector
// closes. Without the app's audio I/O (in the plug-in) the list stays empty and nothing is
// stored.
class MidiPortSelectorVwCtrlr : public Platform::TableViewController, public Lumora_AudioEngine_Observer {
public:
    static constexpr char const* cellIdentifier = "Cell";
    static constexpr double fontSize = 15;

    static std::shared_ptr<MidiPortSelectorVwCtrlr> create(std::shared_ptr<Lumora_Core> core);

    MidiPortSelectorVwCtrlr() = default;
    // Stores the inputs that are off (see the class comment).
    ~MidiPortSelectorVwCtrlr() override;

    // The plain initialiser answers nil: the selector needs the model.
    bool init() override { return false; }
    bool initWithCore(std::shared_ptr<Lumora_Core> core);
    std::shared_ptr<Lumora_Core> core() const { return core_.lock(); }

    void viewDidLoad() override;
    // Refills the list from the app's audio I/O, in ascending unique-id order.
    void prepareData();
    void receiveAudioEngineNotificationWithID(int id, int param) override;

    int numberOfRowsInSection(Platform::TableView* tableView, int section) override;
    std::shared_ptr<Platform::TableViewCell> cellForRowAtIndexPath(Platform::TableView* tableView,
                                                                   Platform::IndexPath indexPath) override;
    void didSelectRowAtIndexPath(Platform::TableView* tableView, Platform::IndexPath indexPath) override;

    std::vector<Lumora::MidiPortSetting> const& ports() const { return ports_; }

private:
    Lumora::iAudioIO_for_App* appAudioIO() const;

    Lumora_CoreRef core_;
    std::vector<Lumora::MidiPortSetting> ports_;
    bool observing_ = false;
};
