#pragma once

#include "model/core/Lumora_CoreRef.h"
#include "platform/ui/TableView.h"

#include <functional>
#include <memory>

class Lumora_Core;

// The table of sync methods, pushed on the settings screen's stack: a check mark on the method
// the audio I/O runs now; choosing a row stores that method, and the table then follows what the
// model applied. The standalone app puts its own variant (with the Link session) in place
// through the factory.
class SyncMethodSelector_VwCtrlr : public Platform::TableViewController {
public:
    static constexpr char const* cellIdentifier = "Cell";
    static constexpr double fontSize = 15;

    using Factory = std::function<std::shared_ptr<SyncMethodSelector_VwCtrlr>(std::shared_ptr<Lumora_Core> const&)>;
    // The selector a panel opens: the registered variant's, else this class's.
    static std::shared_ptr<SyncMethodSelector_VwCtrlr> make(std::shared_ptr<Lumora_Core> const& core);
    static void setFactory(Factory factory);

    SyncMethodSelector_VwCtrlr() = default;
    ~SyncMethodSelector_VwCtrlr() override;

    // The plain initialiser answers nil: the selector needs the model.
    bool init() override { return false; }
    virtual bool initWithCore(std::shared_ptr<Lumora_Core> core);
    std::shared_ptr<Lumora_Core> core() const { return core_.lock(); }

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    // What happens when the selector reappears or goes away; nothing in the shared selector.
    virtual void onCloseAbLinkSettings() {}

    int numberOfRowsInSection(Platform::TableView* tableView, int section) override;
    std::shared_ptr<Platform::TableViewCell> cellForRowAtIndexPath(Platform::TableView* tableView,
                                                                   Platform::IndexPath indexPath) override;
    void didSelectRowAtIndexPath(Platform::TableView* tableView, Platform::IndexPath indexPath) override;

protected:
    // The sync method the engine's audio I/O runs now (0 without one).
    int runningSyncMethod() const;
    // Row 1 stores 1, row 2 stores 2, any other row 0.
    void storeMethodOfRow(int row);

private:
    Lumora_CoreRef core_;
};
