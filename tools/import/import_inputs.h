#pragma once

#include "tools/import/importer.h"

#include <filesystem>
#include <string>
#include <vector>

namespace vz {

struct InputFile {
    std::string name; // as the user will recognise it in messages
    std::filesystem::path path;
    int pair = -1; // of the extended pair index; -1 for a history file whose header names it
};

// Expands folders into their files, in name order, and names each file's
// pair; files and folders that cannot be used are noted or reported.
void collectInputs(const ImportOptions& options, std::vector<InputFile>& files,
                   ImportOutcome& outcome);

// The history files replace whatever has their names in the target folder,
// and a later run would read them back as bars: an input there is refused,
// judged by real path so that links and other spellings of the folder count
// too. False, with the error reported, when one is.
bool checkInputsOutsideTarget(const std::string& folder, const std::vector<InputFile>& files,
                              ImportOutcome& outcome);

} // namespace vz
