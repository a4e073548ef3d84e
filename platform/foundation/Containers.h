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

// The container that the programs of one application group share.
std::string appGroup(std::string const& groupIdentifier);

// The program's own documents folder.
std::string documents();

// The folder of the program's own user defaults.
std::string preferences();

} // namespace Containers

} // namespace Platform
