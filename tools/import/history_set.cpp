#include "tools/import/history_set.h"

#include "common/replace_file.h"

#include <charconv>
#include <fstream>
#include <system_error>
#include <unistd.h>

namespace vz {

namespace {

int usualDecimals(int pair) {
    return pipFactor(pair) == 100 ? 3 : 5;
}

// Room for any finite double written out in full with a few decimals.
constexpr std::size_t FIXED_TEXT_SIZE = 400;

std::string fixed(double price, int decimals) {
    char text[FIXED_TEXT_SIZE];
    const auto result =
        std::to_chars(text, text + sizeof text, price, std::chars_format::fixed, decimals);
    return result.ec == std::errc() ? std::string(text, result.ptr) : "nan";
}

std::string shortestFixed(double price) {
    char text[FIXED_TEXT_SIZE];
    const auto result = std::to_chars(text, text + sizeof text, price, std::chars_format::fixed);
    return result.ec == std::errc() ? std::string(text, result.ptr) : fixed(price, 17);
}

int decimalsOf(const std::string& text) {
    const auto point = text.find('.');
    return point == std::string::npos ? 0 : static_cast<int>(text.size() - point - 1);
}

std::optional<std::string> writeWholeFile(const std::filesystem::path& path,
                                          const std::string& content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.close();
    if (!out) {
        return "could not write " + path.string();
    }
    return std::nullopt;
}

std::filesystem::path freshStagingFolder(const std::filesystem::path& folder,
                                         std::error_code& error) {
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const auto candidate = folder / (".vurezer-import-" + std::to_string(::getpid()) + "-" +
                                         std::to_string(attempt));
        if (std::filesystem::create_directory(candidate, error)) {
            return candidate;
        }
        if (error) {
            return {};
        }
    }
    error = std::make_error_code(std::errc::file_exists);
    return {};
}

bool stopAsked(const std::atomic<int>* stop) {
    return stop != nullptr && stop->load() != 0;
}

const char* const STOPPED = "stopped before the history set was written";

std::vector<std::string> allFileNames() {
    std::vector<std::string> names;
    for (const Timeframe timeframe : ALL_TIMEFRAMES) {
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            names.push_back(historyFileNameOf(pair, timeframe));
        }
    }
    return names;
}

std::optional<std::string> stageAll(const std::filesystem::path& staging, const HistorySet& set,
                                    const std::atomic<int>* stop) {
    for (const Timeframe timeframe : ALL_TIMEFRAMES) {
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            if (stopAsked(stop)) {
                return STOPPED;
            }
            const auto path = staging / historyFileNameOf(pair, timeframe);
            if (auto problem = writeWholeFile(path, crlfText(set.of(timeframe, pair)))) {
                return problem;
            }
        }
    }
    return std::nullopt;
}

// A rename cannot put a file over a folder; finding that out halfway through
// would leave a set of mixed old and new files.
std::optional<std::string> checkTargets(const std::filesystem::path& folder,
                                        const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        std::error_code error;
        const auto type = std::filesystem::status(folder / name, error).type();
        if (type == std::filesystem::file_type::not_found ||
            type == std::filesystem::file_type::regular) {
            continue;
        }
        const auto path = (folder / name).string();
        if (error) {
            return path + ": " + error.message();
        }
        return path + (type == std::filesystem::file_type::directory ? ": is a folder, not a file"
                                                                     : ": is not a regular file");
    }
    return std::nullopt;
}

struct Move {
    std::filesystem::path from;
    std::filesystem::path to;
};

// Takes back the first `count` moves, newest first; false when one could not be.
bool undoMoves(const std::vector<Move>& moves, std::size_t count) {
    bool undone = true;
    while (count-- > 0) {
        const std::error_code error = replaceFile(moves[count].to, moves[count].from);
        undone = undone && !error;
    }
    return undone;
}

// Either every move is made or, as far as renames allow, none is.
std::optional<std::string> moveAllOrNone(const std::vector<Move>& moves, bool& undone) {
    for (std::size_t i = 0; i < moves.size(); ++i) {
        const std::error_code error = replaceFile(moves[i].from, moves[i].to);
        if (error) {
            undone = undoMoves(moves, i);
            return "could not move " + moves[i].from.string() + " to " + moves[i].to.string() +
                   ": " + error.message();
        }
    }
    return std::nullopt;
}

// The earlier files go aside into the working folder first, so that a failed
// move can put them back and the folder holds either the old or the new set.
std::optional<std::string> replaceAll(const std::filesystem::path& staging,
                                      const std::filesystem::path& folder, bool& undone) {
    const auto names = allFileNames();
    if (auto problem = checkTargets(folder, names)) {
        return problem;
    }
    const auto aside = staging / "earlier";
    std::error_code error;
    std::filesystem::create_directory(aside, error);
    if (error) {
        return "could not create " + aside.string() + ": " + error.message();
    }
    std::vector<Move> outgoing;
    std::vector<Move> incoming;
    for (const std::string& name : names) {
        if (std::filesystem::exists(folder / name, error)) {
            outgoing.push_back({folder / name, aside / name});
        }
        incoming.push_back({staging / name, folder / name});
    }
    if (auto problem = moveAllOrNone(outgoing, undone)) {
        return problem;
    }
    auto problem = moveAllOrNone(incoming, undone);
    if (problem) {
        undone = undoMoves(outgoing, outgoing.size()) && undone;
    }
    return problem;
}

} // namespace

std::string formatPrice(int pair, double price, DigitsPolicy policy) {
    const int usual = usualDecimals(pair);
    if (policy == DigitsPolicy::Keep) {
        const std::string exact = shortestFixed(price);
        if (decimalsOf(exact) > usual) {
            return exact;
        }
    }
    return fixed(price, usual);
}

std::string historyFileNameOf(int pair, Timeframe timeframe) {
    static constexpr std::array<std::string_view, TIMEFRAME_COUNT> SUFFIXES = {".csv", "_H4.csv",
                                                                               "_H1.csv"};
    return std::string(PAIR_TABLE[static_cast<std::size_t>(pair)]) +
           std::string(SUFFIXES[static_cast<std::size_t>(timeframe)]);
}

std::string crlfText(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

std::optional<std::string> writeHistorySet(const std::filesystem::path& folder,
                                           const HistorySet& set, const std::atomic<int>* stop) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        return "could not create " + folder.string() + ": " + error.message();
    }
    const auto staging = freshStagingFolder(folder, error);
    if (error) {
        return "could not create a working folder in " + folder.string() + ": " + error.message();
    }
    bool undone = true;
    auto problem = stageAll(staging, set, stop);
    if (!problem) {
        problem = stopAsked(stop) ? STOPPED : replaceAll(staging, folder, undone);
    }
    if (!undone) {
        // Removing the working folder now would lose earlier files that could
        // not be put back.
        return *problem + "; the earlier files are kept in " + staging.string();
    }
    std::filesystem::remove_all(staging, error);
    return problem;
}

} // namespace vz
