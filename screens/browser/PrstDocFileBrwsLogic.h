#pragma once

#include "engine/documents/PresetDocFileManager.h"

#include <boost/filesystem/path.hpp>

#include <array>
#include <optional>
#include <string>
#include <vector>

// What the preset document browser decides without the interface: the checks of an entered name,
// the names a duplicate tries, the destinations a move may take, the packed file's place and which
// command each function button offers in which state. Everything here works on the document manager
// and the file-system layer only, so it is tested without a screen.
namespace PrstDocFileBrws {

using Path = boost::filesystem::path;

// Spaces and tabs are cut from both ends; line feeds stay (and are refused as invalid).
std::string trimmedName(std::string const& text);

enum class NameCheck { Empty, InvalidCharacters, Valid };
// The verdict on a trimmed name: nothing happens for an empty one, a name holding one of the
// document manager's invalid characters is refused before the manager is asked.
NameCheck checkName(std::string const& trimmed);

// The first "%@" of a (translated) format replaced by the argument; a format without one is
// answered unchanged.
std::string formatText(std::string const& format, std::string const& argument);

// ASCII letters in lower case; other bytes unchanged.
std::string lowercased(std::string text);

// The names a duplicate of the file or folder named `fileName` tries, in order: "s (COPY)e", then
// "s (COPY k)e" for k = 0 ... 99, where e is the name from its last dot on (none for a name
// without a dot and for "." and "..") and s the rest.
std::vector<std::string> duplicateCandidates(std::string const& fileName);
// The first candidate that does not exist beside `source`; none when all 101 do.
std::optional<Path> duplicatePath(Path const& source);

// Whether the selected entries may be moved into the folder `destination`: never into one of
// them or anything inside one of them, never into the folder that already holds one. An entry
// without a path, or a path that cannot be resolved, refuses the destination.
bool canMoveToPath(Path const& destination, std::vector<Path> const& selectedEntries);

// The title of a destination of the move sheet: one tab per level, then the folder's name.
std::string moveDestinationTitle(Path const& folder, unsigned depth);

// Where a sent document is packed: stem + "." + the kind's pack extension in the temporary folder.
Path packedFilePath(Path const& temporaryFolder, std::string const& stem, std::string const& packExtension);

// One function button as the state asks for it.
struct FunctionButton {
    enum class Command { None, NewFolder, Save, Initialize, Restore, Rename, Send, Duplicate, Move, Delete };

    std::string imageName;
    Command command = Command::None;
    bool hidden = false;
    bool enabled = false;
};

// Fn1 ... Fn5 for the mode, the number of selected table rows and the browser's recall flag.
// Every permission question is asked with the name of the manager's selected item ("" when none).
std::array<FunctionButton, 5> functionButtons(Lumora::PresetDocFileManager const& manager, bool alt,
                                              std::size_t selectedRows, bool canRestore);

} // namespace PrstDocFileBrws
