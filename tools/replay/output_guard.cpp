#include "replay/output_guard.h"

#include "replay/pending_output.h"

#include "market/data_files.h"
#include "market/pairs.h"

#include <filesystem>
#include <system_error>

namespace vz {

namespace {

std::filesystem::path canonicalPath(const std::string& path, std::error_code& error) {
    // Made absolute first: a relative name with no existing prefix would
    // otherwise stay relative while "./name" becomes absolute.
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    return error ? absolute : std::filesystem::weakly_canonical(absolute, error);
}

std::string withSeparator(const std::string& folder) {
    return folder.empty() || folder.back() == '/' ? folder : folder + '/';
}

} // namespace

bool sameFile(const std::string& a, const std::string& b) {
    std::error_code errorA, errorB, ignored;
    const std::filesystem::path canonicalA = canonicalPath(a, errorA);
    const std::filesystem::path canonicalB = canonicalPath(b, errorB);
    if (errorA || errorB) {
        return a == b;
    }
    // equivalent() compares device and inode, which is what finds hard links.
    return canonicalA == canonicalB || std::filesystem::equivalent(a, b, ignored);
}

std::vector<std::string> namesWritten(const std::string& output) {
    if (output.empty()) {
        return {};
    }
    return {output, output + PARTIAL_SUFFIX};
}

std::vector<std::string> filesReadFrom(const std::string& folder) {
    const std::string prefix = withSeparator(folder);
    std::vector<std::string> files;
    for (int pair = 0; pair < PAIR_COUNT; ++pair) {
        for (const Timeframe timeframe : ALL_TIMEFRAMES) {
            files.push_back(historyFileName(prefix, pair, timeframe));
        }
        files.push_back(realTimeFileName(prefix, pair));
    }
    return files;
}

std::string checkOutputsSpareInputs(const std::string& folder,
                                    const std::vector<std::string>& outputs) {
    const std::vector<std::string> inputs = filesReadFrom(folder);
    for (const std::string& output : outputs) {
        for (const std::string& name : namesWritten(output)) {
            for (const std::string& input : inputs) {
                if (sameFile(name, input)) {
                    return "cannot write output file " + output + ": it would overwrite " + input +
                           ", which this run reads";
                }
            }
        }
    }
    return {};
}

} // namespace vz
