#pragma once

#include "model/core/Lumora_CoreRef.h"
#include "platform/ui/TextView.h"
#include "platform/ui/ViewController.h"

#include <memory>
#include <string>

class Lumora_Core;

// The About screen: a read-only scrolling text with the product's name, version and build, the
// copyright lines of the product and of the engine library, the engine library's version, the
// maker's contact lines and the acknowledgments of the open-source libraries in the program.
// The standalone app's variant fills the extra acknowledgments slot.
class About_ViewController : public Platform::ViewController {
public:
    static constexpr char const* engineLibraryVersion = "2.11.4";

    template <class T = About_ViewController>
    static std::shared_ptr<T> newWithCore(std::shared_ptr<Lumora_Core> core)
    {
        auto controller = std::make_shared<T>();
        if (!controller->initWithCore(std::move(core)))
            return nullptr;
        return controller;
    }

    // The screen exists only with a model.
    bool init() override { return false; }
    bool initWithCore(std::shared_ptr<Lumora_Core> core);

    Lumora_Core* core() const { return core_.get(); }
    Platform::TextView* textView() const;

    void loadView() override;
    void viewDidLoad() override;
    void viewWillLayoutSubviews() override;
    void viewWillAppear(bool animated) override;

    // The two texts the screen shows, joined by three line feeds.
    std::string informationText() const;
    std::string acknowledgmentsText() const;

protected:
    // Further acknowledgments placed after the Boost entry; none in the shared screen.
    virtual std::string additionalAcknowledgments() const { return ""; }

private:
    Lumora_CoreRef core_;
};
