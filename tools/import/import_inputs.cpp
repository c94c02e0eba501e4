#include "tools/import/import_inputs.h"

#include "tools/import/cross_pairs.h"
#include "tools/import/history_centre.h"
#include "tools/import/history_set.h"

#include <algorithm>

namespace fs = std::filesystem;

namespace vz {

namespace {

bool isHidden(const fs::path& path) {
    const std::string name = path.filename().string();
    return !name.empty() && name.front() == '.';
}

// The files of one folder, in name order; false when the folder could not be read.
bool listFolder(const std::string& input, std::vector<fs::path>& inFolder, ImportOutcome& outcome) {
    std::error_code error;
    fs::directory_iterator entry(input, error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error)) {
        const fs::path& path = entry->path();
        if (isHidden(path)) {
            continue;
        }
        std::error_code typeError;
        if (entry->is_regular_file(typeError)) {
            inFolder.push_back(path);
        } else if (entry->is_directory(typeError)) {
            // Sub-folders often hold other sources of the same pairs;
            // mixing them unasked would blend two price feeds.
            outcome.notes.push_back("skipped " + path.string() +
                                    ": a folder (name it to read its files)");
        }
    }
    if (error) {
        outcome.errors.push_back(input + ": " + error.message());
        return false;
    }
    std::sort(inFolder.begin(), inFolder.end());
    return true;
}

// The pair a file name names; with --synthesize-missing also a leg-only pair.
int pairOfInput(const ImportOptions& options, const fs::path& path) {
    if (options.pair) {
        return *options.pair;
    }
    const std::string name = path.filename().string();
    const int pair = pairFromFileName(name, options.prefix, options.suffix);
    if (pair >= 0 || !options.synthesizeMissing) {
        return pair;
    }
    return legOnlyPairFromFileName(name, options.prefix, options.suffix);
}

} // namespace

void collectInputs(const ImportOptions& options, std::vector<InputFile>& files,
                   ImportOutcome& outcome) {
    for (const std::string& input : options.inputs) {
        std::error_code error;
        if (fs::is_directory(input, error)) {
            std::vector<fs::path> inFolder;
            if (!listFolder(input, inFolder, outcome)) {
                continue;
            }
            for (const fs::path& path : inFolder) {
                const int pair = pairOfInput(options, path);
                // A history file's header names its pair.
                if (pair < 0 && !isHistoryCentreName(path.filename().string())) {
                    outcome.notes.push_back("skipped " + path.string() + ": names no pair");
                    continue;
                }
                files.push_back({path.string(), path, pair});
            }
        } else if (fs::is_regular_file(input, error)) {
            const int pair = pairOfInput(options, input);
            if (pair < 0 && !isHistoryCentreName(fs::path(input).filename().string())) {
                outcome.errors.push_back(input + ": the file name names none of the fourteen pairs "
                                                 "(rename it or give --pair)");
                continue;
            }
            files.push_back({input, input, pair});
        } else if (error && error != std::errc::no_such_file_or_directory) {
            outcome.errors.push_back(input + ": " + error.message());
        } else if (fs::exists(fs::symlink_status(input, error))) {
            // A pipe or a device would block or never end; it is not opened.
            outcome.errors.push_back(input + ": not a regular file");
        } else {
            outcome.errors.push_back(input + ": no such file or folder");
        }
    }
}

bool checkInputsOutsideTarget(const std::string& folder, const std::vector<InputFile>& files,
                              ImportOutcome& outcome) {
    std::error_code error;
    const fs::path target = fs::weakly_canonical(folder, error);
    if (error) {
        return true; // the write reports a folder that cannot be reached
    }
    std::vector<fs::path> existingTargets;
    for (const Timeframe timeframe : ALL_TIMEFRAMES) {
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            const fs::path path = target / historyFileNameOf(pair, timeframe);
            if (fs::exists(path, error)) {
                existingTargets.push_back(path);
            }
        }
    }
    for (const InputFile& file : files) {
        const fs::path real = fs::canonical(file.path, error);
        const bool inTarget = !error && real.parent_path() == target;
        const bool linked =
            std::any_of(existingTargets.begin(), existingTargets.end(), [&](const fs::path& path) {
                std::error_code ignored;
                return fs::equivalent(path, file.path, ignored);
            });
        if (inTarget || linked) {
            outcome.errors.push_back(file.name + ": an input " +
                                     (inTarget ? "inside" : "linked into") + " the target folder " +
                                     folder +
                                     ", which the history files would overwrite; write them to "
                                     "another folder");
            return false;
        }
    }
    return true;
}

} // namespace vz
