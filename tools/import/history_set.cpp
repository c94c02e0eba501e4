#include "tools/import/history_set.h"

#include <charconv>
#include <cstdio>
#include <fstream>
#include <system_error>
#include <unistd.h>

namespace vz {

namespace {

int usualDecimals(int pair) {
    return pipFactor(pair) == 100 ? 3 : 5;
}

std::string fixed(double price, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, price);
    return text;
}

std::string shortestFixed(double price) {
    char text[400];
    const auto result = std::to_chars(text, text + sizeof text, price, std::chars_format::fixed);
    return std::string(text, result.ptr);
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

std::optional<std::string> stageAll(const std::filesystem::path& staging, const HistorySet& set) {
    for (const Timeframe timeframe : ALL_TIMEFRAMES) {
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            const auto path = staging / historyFileNameOf(pair, timeframe);
            if (auto problem = writeWholeFile(path, crlfText(set.of(timeframe, pair)))) {
                return problem;
            }
        }
    }
    return std::nullopt;
}

std::optional<std::string> moveAll(const std::filesystem::path& staging,
                                   const std::filesystem::path& folder) {
    for (const Timeframe timeframe : ALL_TIMEFRAMES) {
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            const std::string name = historyFileNameOf(pair, timeframe);
            std::error_code error;
            std::filesystem::rename(staging / name, folder / name, error);
            if (error) {
                return "could not move " + name + " into " + folder.string() + ": " +
                       error.message();
            }
        }
    }
    return std::nullopt;
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
                                           const HistorySet& set) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        return "could not create " + folder.string() + ": " + error.message();
    }
    const auto staging = freshStagingFolder(folder, error);
    if (error) {
        return "could not create a working folder in " + folder.string() + ": " + error.message();
    }
    auto problem = stageAll(staging, set);
    if (!problem) {
        problem = moveAll(staging, folder);
    }
    std::filesystem::remove_all(staging, error);
    return problem;
}

} // namespace vz
