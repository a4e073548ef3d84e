#pragma once

namespace Lumora::CoreMIDI {

// Whoever the CoreMIDI client reports to: the app audio I/O, which queues the messages for the
// render thread and tells the screens that the sources changed.
class Observer {
public:
    virtual ~Observer() = default;
    // 1 after a source was connected, 0 after one was removed. Main thread.
    virtual void didChangeSources(int added) = 0;
    // One parsed message; kind 0 from a source, 1 from the virtual destination (2 is the
    // inter-app audio host's, queued by the audio I/O itself). The sending thread: must only
    // queue.
    virtual void didReceiveMidi(int status, int data1, int data2, int kind) = 0;
};

} // namespace Lumora::CoreMIDI
