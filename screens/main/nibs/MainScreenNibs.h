#pragma once

// Registers every interface file of the main screens (synth frames and strip, Corvane's
// surfaces and effect editor, the effect-type frames). The classes that load them call it first,
// so the files exist however the program was linked; calling it again does nothing.
void registerMainScreenNibs();
