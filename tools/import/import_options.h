#pragma once

#include "tools/import/importer.h"

#include <string>
#include <vector>

namespace vz {

struct ImportCommand {
    ImportOptions options;
    bool showHelp = false;
    std::string error; // set when the command line is not usable
};

ImportCommand parseImportCommand(const std::vector<std::string>& args);

std::string importHelpText();

} // namespace vz
