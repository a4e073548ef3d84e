#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The names of the sync methods, one per Lumora::SyncMethod value from 0: "Internal", "MIDI",
// "Inter-App Audio", and in the standalone app also "Ableton Link". The sync-method panel and
// its selector share the list; the standalone app puts its longer list in place at start-up.
namespace SyncMethodNames {

std::vector<std::string> names();
void setNames(std::vector<std::string> names);
// The shared list of three.
std::vector<std::string> const& sharedNames();

// The name a panel shows for a stored method: that method's own name for 1 up to the last one
// listed, "Internal" (position 0) for anything else.
std::string nameOf(std::uint32_t method);
// The row whose check mark shows a running method: methods 1 to 3 mark their own row, anything
// else row 0.
int rowOf(int method);

} // namespace SyncMethodNames
