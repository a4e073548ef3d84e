#pragma once

namespace LinkTest {

// Moves the calling thread (and the threads it starts from now on: Link's network threads)
// into a network namespace of its own whose only interface is the loopback one, so that the
// sessions of a test reach nothing beyond this process. False when the system refuses.
bool enterPrivateLoopbackNetwork();

// Points the program's data home (and so its standard user defaults) at a folder of this
// test process, removed when the process ends.
void useTestDataHome();

} // namespace LinkTest
