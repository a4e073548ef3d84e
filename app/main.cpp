// Corvane, the standalone app. Without a display it renders the current sound playing a MIDI
// phrase into a WAV file and draws the editor into a PNG file; see app/CorvaneProgram.h for the
// arguments.
#include "app/CorvaneProgram.h"

int main(int argc, char** argv) { return AppShell::runCorvane(argc, argv); }
