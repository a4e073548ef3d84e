#include "screens/browser/PrstDocFileBrwsLogic.h"

#include "engine/documents/FileManager.h"
#include "engine/files/FileSystem.h"

#include <boost/filesystem/exception.hpp>

namespace PrstDocFileBrws {

std::string trimmedName(std::string const& text)
{
    std::size_t const first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return "";
    std::size_t const last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

NameCheck checkName(std::string const& trimmed)
{
    if (trimmed.empty())
        return NameCheck::Empty;
    if (Lumora::FileManager::isContainingInvalidCharactersForPath(trimmed))
        return NameCheck::InvalidCharacters;
    return NameCheck::Valid;
}

std::string formatText(std::string const& format, std::string const& argument)
{
    std::size_t const at = format.find("%@");
    if (at == std::string::npos)
        return format;
    return format.substr(0, at) + argument + format.substr(at + 2);
}

std::string lowercased(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

std::vector<std::string> duplicateCandidates(std::string const& fileName)
{
    std::string extension;
    std::size_t const dot = fileName.rfind('.');
    if (dot != std::string::npos && fileName != "." && fileName != "..")
        extension = fileName.substr(dot);
    std::string const stem = fileName.substr(0, fileName.size() - extension.size());

    std::vector<std::string> names;
    names.reserve(101);
    names.push_back(stem + " (COPY)" + extension);
    for (int k = 0; k < 100; ++k)
        names.push_back(stem + " (COPY " + std::to_string(k) + ")" + extension);
    return names;
}

std::optional<Path> duplicatePath(Path const& source)
{
    if (source.empty())
        return std::nullopt;
    Path const folder = source.parent_path();
    for (std::string const& name : duplicateCandidates(source.filename().string())) {
        Path const candidate = folder / name;
        if (!Lumora::filesystem::exists(candidate))
            return candidate;
    }
    return std::nullopt;
}

bool canMoveToPath(Path const& destination, std::vector<Path> const& selectedEntries)
{
    for (Path const& entry : selectedEntries) {
        if (entry.empty() || destination.empty())
            return false;
        try {
            if (Lumora::filesystem::isDescendant(destination, entry) || Lumora::filesystem::isParent(destination, entry))
                return false;
        } catch (boost::filesystem::filesystem_error const&) {
            // A place that cannot be resolved is no place to move anything to.
            return false;
        }
    }
    return true;
}

std::string moveDestinationTitle(Path const& folder, unsigned depth)
{
    return std::string(depth, '\t') + folder.filename().string();
}

Path packedFilePath(Path const& temporaryFolder, std::string const& stem, std::string const& packExtension)
{
    return temporaryFolder / (stem + "." + packExtension);
}

std::array<FunctionButton, 5> functionButtons(Lumora::PresetDocFileManager const& manager, bool alt,
                                              std::size_t selectedRows, bool canRestore)
{
    using Command = FunctionButton::Command;
    std::array<FunctionButton, 5> buttons;
    if (!alt) {
        buttons[0] = {"", Command::None, true, false};
        buttons[1] = {"NewFolder", Command::NewFolder, false, manager.canMakeDirectory()};
        buttons[2] = {"SaveFile", Command::Save, false, manager.canSave()};
        buttons[3] = {"NewFile", Command::Initialize, false, true};
        buttons[4] = {"Recall", Command::Restore, false, canRestore && manager.canRestore()};
        return buttons;
    }
    std::string const name = manager.selectedItem().name();
    bool const one = selectedRows == 1;
    buttons[0] = {"Rename", Command::Rename, false, one && manager.canRename(name)};
    buttons[1] = {"Send", Command::Send, false, one && manager.canPack(name)};
    buttons[2] = {"Duplicate", Command::Duplicate, false, one && manager.canDuplicate(name)};
    buttons[3] = {"Move", Command::Move, false, manager.canMove(name)};
    buttons[4] = {"Delete", Command::Delete, false, manager.canRemove(name)};
    return buttons;
}

} // namespace PrstDocFileBrws
