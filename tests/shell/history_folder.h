#pragma once

#include "market/pairs.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <unistd.h>

namespace vz::testing {

// The file's bytes, or "" when it cannot be read.
inline std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Line k of every history file: non-JPY pairs at 1.0 + 0.001 k, JPY pairs
// at 100 + 0.1 k; daily labels from 01-05-2026 on. Every pair also gets a
// real-time file at its line-0 price.
struct HistoryShape {
    int dailyLines = 5, fourHourLines = 4, oneHourLines = 3;
};

class HistoryFolder {
public:
    explicit HistoryFolder(const HistoryShape& shape = {}) {
        static int counter = 0;
        root_ = std::filesystem::temp_directory_path() /
                ("vurezer-test-" + std::to_string(::getpid()) + "-" + std::to_string(++counter));
        std::filesystem::create_directories(root_);
        writeAll(shape);
    }
    HistoryFolder(const HistoryFolder&) = delete;
    ~HistoryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }

    std::string path() const { return root_.string() + "/"; }
    // Spelt as the program spells the files of its folder.
    std::string file(const std::string& name) const { return path() + name; }
    void write(const std::string& name, const std::string& content) const {
        std::ofstream(root_ / name, std::ios::binary) << content;
    }
    void remove(const std::string& name) const { std::filesystem::remove(root_ / name); }
    // Live price showing `pips` against line 0, with the second half's reversed sign.
    void setLivePips(int pair, int pips) const {
        write(symbol(pair) + "_RT.csv", price(pair, inFirstHalf(pair) ? pips : -pips) + "\r\n");
    }
    void writeAll(const HistoryShape& shape) const {
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            write(symbol(pair) + ".csv", lines(pair, shape.dailyLines, 0));
            write(symbol(pair) + "_H4.csv", lines(pair, shape.fourHourLines, 4));
            write(symbol(pair) + "_H1.csv", lines(pair, shape.oneHourLines, 1));
            setLivePips(pair, 0);
        }
    }

private:
    static std::string symbol(int pair) { return std::string(PAIR_TABLE.at(pair)); }
    // The pair's price `pips` above line 0.
    static std::string price(int pair, double pips) {
        const bool jpy = pipFactor(pair) == 100;
        char text[32];
        std::snprintf(text, sizeof text, jpy ? "%.2f" : "%.4f",
                      jpy ? 100.0 + pips / 100.0 : 1.0 + pips / 10000.0);
        return text;
    }
    // Daily lines when hours is 0, otherwise bars that many hours apart.
    static std::string lines(int pair, int count, int hours) {
        std::string content;
        for (int k = 0; k < count; ++k) {
            const int number = hours == 0 ? 5 + k : k * hours % 24; // month or hour
            const std::string digits = std::to_string(100 + number).substr(1);
            content += hours == 0 ? "01-" + digits + "-2026" : "01-05-2026 " + digits + ":00";
            content += "," + price(pair, 10.0 * k) + "\r\n";
        }
        return content;
    }

    std::filesystem::path root_;
};

// Prices wandering a few pips a tick and drifting up and down by turns, so
// that slots, anchors, biases and alerts keep changing.
inline std::string wanderingTicks(int count) {
    std::mt19937 random(5);
    std::array<double, PAIR_COUNT> pips{};
    std::string text;
    for (int tick = 0; tick < count; ++tick) {
        text += "10:" + std::to_string(tick);
        for (int pair = 0; pair < PAIR_COUNT; ++pair) {
            const double drift = (tick / 100) % 2 == 0 ? 3.0 : -3.0; // so the biases flip
            pips[static_cast<std::size_t>(pair)] += static_cast<double>(random() % 9) - 4.0 + drift;
            const double move = pips[static_cast<std::size_t>(pair)];
            const double price = pipFactor(pair) == 100 ? 100.0 + move / 100 : 1.0 + move / 10000;
            text += "," + std::to_string(price);
        }
        text += tick % 3 == 0 ? "\r\n" : "\n";
    }
    return text;
}

} // namespace vz::testing
