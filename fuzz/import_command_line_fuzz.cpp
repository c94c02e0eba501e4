// The importer's command line, one argument per input line.
#include "fuzz_support.h"

#include "tools/import/import_options.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace vz;
    const ImportCommand command = parseImportCommand(fuzz::argumentsOf(fuzz::bytesOf(data, size)));
    fuzz::require(command.error.find('\n') == std::string::npos);
    if (!command.showHelp && command.error.empty()) {
        const ImportOptions& options = command.options;
        fuzz::require(!options.pair || (*options.pair >= 0 && *options.pair < PAIR_COUNT));
        fuzz::require(options.lines >= 1);
    }
    return 0;
}
