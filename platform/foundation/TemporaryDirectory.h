#pragma once

#include <string>

namespace Platform {

// The process's temporary directory, ending in "/". It is "CORVANE_TMPDIR" when that variable is
// set (tests point it at their own folder), otherwise a folder private to the user below "TMPDIR"
// (or "/tmp"), created on first use. Falls back to the system folder when it cannot be made.
std::string temporaryDirectory();

} // namespace Platform
