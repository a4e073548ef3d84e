#pragma once

#include <memory>
#include <string>

namespace Lumora::Lv2 {

// The plug-in's editor as the UI's library sees it. The UI library reaches the instance through
// instance-access and calls only these virtual functions, so that the editor runs on the code and
// the process-wide state (main run loop, registries, fonts) of the plug-in's own library, never
// on a second copy inside the UI's.
class Lv2Editor {
public:
    virtual ~Lv2Editor() = default;
    // The X window to hand to the host as the UI's widget.
    virtual unsigned long windowId() const = 0;
    // The window's size in pixels.
    virtual int pixelWidth() const = 0;
    virtual int pixelHeight() const = 0;
    // Host's UI thread: handles the window's events, draws when a frame is due and runs the
    // model's main queue.
    virtual void idle() = 0;
};

class Lv2EditorSource {
public:
    virtual ~Lv2EditorSource() = default;
    // The editor of the model the instance runs, as a child of the X window given; nothing (and
    // the reason in error) when no window can be opened.
    virtual std::unique_ptr<Lv2Editor> openEditor(unsigned long parent, std::string& error) = 0;
};

} // namespace Lumora::Lv2
