#pragma once

#include <string>

namespace AppShell {

// Where the app keeps what must outlive a run on this machine, as Linux programs do: the state
// backup in $CORVANE_STATE_HOME, else $XDG_STATE_HOME/Corvane, else ~/.local/state/Corvane
// (never a temporary folder that a reboot clears). Ends with "/"; the folder is made on demand.
std::string stateDirectory();

} // namespace AppShell
