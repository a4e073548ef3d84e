#pragma once

#include <string>

namespace Platform {

// Where the programs keep their data on this machine, like the sandbox folders of a phone:
// everything lies below one data home, "CORVANE_DATA_HOME" when that variable is set (tests
// point it at their own folder), else "$XDG_DATA_HOME/Corvane", else
// "~/.local/share/Corvane". Every folder answered here exists once the call returns, unless it
// cannot be created (then the failure is logged and the path is still answered).
namespace Containers {

std::string dataHome();

// Where settings live, apart from the data as Linux programs keep them: "CORVANE_CONFIG_HOME"
// when set, else "$XDG_CONFIG_HOME/Corvane", else "~/.config/Corvane".
std::string configHome();

// The container that the programs of one application group share.
std::string appGroup(std::string const& groupIdentifier);

// The program's own documents folder.
std::string documents();

// The folder of every user defaults store, the program's own and its groups' (the config home).
std::string preferences();

} // namespace Containers

} // namespace Platform
