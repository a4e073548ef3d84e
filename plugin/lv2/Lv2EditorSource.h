#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace Lumora::Lv2 {

// The host's control ports as the UI's port protocol reaches them.
class Lv2HostPorts {
public:
    virtual ~Lv2HostPorts() = default;
    // Sets the host's value of the input control port of that index, in the port's units.
    virtual void write(std::uint32_t port, float value) = 0;
    // The musician took hold of (or let go of) the port's control; hosts that record automation
    // by touch use it. Nothing when the host does not ask.
    virtual void touch(std::uint32_t port, bool grabbed) = 0;
};

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
    // Host's UI thread: handles the window's events, draws when a frame is due, runs the model's
    // main queue and writes the parameters changed inside the plug-in to the host's ports.
    virtual void idle() = 0;
    // The host asks for a new size in pixels; the editor refits to it.
    virtual void resize(int pixelWidth, int pixelHeight) = 0;
};

class Lv2EditorSource {
public:
    virtual ~Lv2EditorSource() = default;
    // The editor of the model the instance runs, as a child of the X window given, telling the
    // host's ports of changes made inside the plug-in; nothing (and the reason in error) when no
    // window can be opened. The host's ports outlive the editor.
    virtual std::unique_ptr<Lv2Editor> openEditor(unsigned long parent, Lv2HostPorts& hostPorts,
                                                  std::string& error) = 0;
};

} // namespace Lumora::Lv2
