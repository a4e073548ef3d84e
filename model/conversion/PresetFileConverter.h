#pragma once

#include <string>

#include "engine/parameter/Serializer.h"
#include "platform/foundation/Object.h"

namespace Lumora {
class iAudioEngine;
}

// Turns the documents of an earlier version of the product, files that hold only the body of
// one part, into documents of the current format: each old text is read by the engine and the
// engine's own text for the mask is written back. Folders are converted tree by tree into a
// new folder; nothing is removed from the old one and existing results are overwritten.
//
// The engine given is the program's live engine: afterwards it holds the last converted
// document for the parts of the mask, and every change of the reads reaches its parameter
// observers. Runs on the caller's thread, without a file lock.
class PresetFileConverter : public Platform::Object {
public:
    // Converts the tree of oldDirectory into newDirectory/convertedDirectoryName (made when
    // missing, without intermediate folders). False, converting nothing, when either folder is
    // missing or the converted folder cannot be made.
    bool convert_oldVersionDirectoryPath(std::string const& oldDirectory, std::string const& newDirectory,
                                         std::string const& convertedDirectoryName, std::string const& oldExtension,
                                         std::string const& newExtension, Lumora::iAudioEngine* engine,
                                         Lumora::SerializeWhat what);

    // Converts every file of oldDirectory whose name ends with oldExtension into targetDirectory
    // (same stem, newExtension) and every sub-folder into a sub-folder of the same name; links
    // and other files are skipped. Failures are logged and the walk goes on.
    void convertOldDirPath(std::string const& oldDirectory, std::string const& targetDirectory,
                           std::string const& oldExtension, std::string const& newExtension,
                           Lumora::iAudioEngine* engine, Lumora::SerializeWhat what);

    // Converts one file, replacing newFile atomically. A file that cannot be read as UTF-8 text,
    // or of which the engine can read nothing, is skipped; failures are logged.
    void convertOldFilePath(std::string const& oldFile, std::string const& newFile, Lumora::iAudioEngine* engine,
                            Lumora::SerializeWhat what);

    // The engine reads the text (whatever it makes of it) and answers its own text for the mask;
    // empty when the engine could read nothing of it (no part, or a reader that failed).
    virtual std::string convertContentText(std::string const& text, Lumora::iAudioEngine* engine,
                                           Lumora::SerializeWhat what, Lumora::SerializeWhere where);
};
