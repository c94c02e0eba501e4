#include "history_folder.h"
#include "replay/replay_options.h"
#include "replay/replay_run.h"
#include "replay/report_html.h"
#include "replay/report_recorder.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <zlib.h>

namespace vz::testing {
namespace {

long long countOf(const std::string& text, const std::string& part) {
    long long count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos;
         at = text.find(part, at + part.size())) {
        ++count;
    }
    return count;
}

MainRanking rankingWith(std::int32_t referenceBias, std::int32_t firstPairSlot = 0) {
    MainRanking ranking;
    ranking.referenceBias = referenceBias;
    ranking.buyPower = referenceBias / 2;
    ranking.sellPower = -referenceBias / 2;
    ranking.pairSlot[0] = firstPairSlot;
    return ranking;
}

TEST(ReportRecorderTest, MillionsOfTicksStayInAFewBucketsThatKeepEveryExtreme) {
    ReportRecorder recorder(0);
    const long long ticks = 1'200'007;
    for (long long tick = 0; tick < ticks; ++tick) {
        const std::int32_t bias = tick == 654'321 ? 9000 : (tick == 1'100'000 ? -7000 : 10);
        recorder.addTick(tick, "t" + std::to_string(tick), rankingWith(bias), std::nullopt);
    }
    const std::vector<ReportBucket>& buckets = recorder.buckets();
    EXPECT_LE(buckets.size(), static_cast<std::size_t>(REPORT_MAX_BUCKETS));
    EXPECT_GT(buckets.size(), static_cast<std::size_t>(REPORT_MAX_BUCKETS / 2));
    EXPECT_EQ(recorder.tickCount(), ticks);
    Extent all{10, 10};
    for (std::size_t i = 0; i < buckets.size(); ++i) {
        EXPECT_EQ(buckets[i].firstTick, static_cast<long long>(i) * recorder.ticksPerBucket());
        all.widen(buckets[i].referenceBias.low);
        all.widen(buckets[i].referenceBias.high);
    }
    EXPECT_EQ(all.high, 9000);
    EXPECT_EQ(all.low, -7000);
    // Positive, one spike up and back, one spike through zero and back.
    EXPECT_EQ(recorder.flips(), 3);

    const std::string page = reportHtml(ReportFacts{}, recorder);
    EXPECT_LT(page.size(), 3'000'000U);
}

TEST(ReportRecorderTest, BasketProfitEventsAndSlotsByBucket) {
    ReportRecorder recorder(-5);
    recorder.addEvent(-1, "Started VU Vurezer");
    for (long long tick = 0; tick < 10; ++tick) {
        const bool open = tick >= 3 && tick <= 7;
        recorder.addTick(tick, "x", rankingWith(5, static_cast<int>(tick)),
                         open ? std::optional<int>(static_cast<int>(tick * 10 - 60))
                              : std::nullopt);
        if (tick == 2) {
            recorder.basketOpened(tick);
            recorder.addEvent(tick, "BUY - Basket Bias:  1  Anchor Bias:  2");
        }
        if (tick == 7) {
            recorder.basketClosed(tick);
            recorder.addEvent(tick, "Basket Profit:  10");
        }
    }
    recorder.addEvent(9, "New +anchor: GBPJPY: 87");
    recorder.addEvent(9, "Reference Bias Flipped Positive!");
    EXPECT_EQ(recorder.flips(), 1);
    EXPECT_EQ(*recorder.finalProfit(), 10);
    EXPECT_EQ(recorder.profitExtent()->low, -30);
    EXPECT_EQ(recorder.profitExtent()->high, 10);
    EXPECT_EQ(*recorder.basketOpenTick(), 2);
    EXPECT_EQ(*recorder.basketCloseTick(), 7);
    EXPECT_EQ(recorder.eventsOfKind(EventKind::Basket), 2);
    EXPECT_EQ(recorder.eventsOfKind(EventKind::NewAnchor), 1);
    EXPECT_EQ(recorder.eventsOfKind(EventKind::BiasFlip), 1);
    const std::vector<ReportBucket>& buckets = recorder.buckets();
    ASSERT_EQ(buckets.size(), 10U);
    EXPECT_EQ(buckets[2].profit->high, 0); // opened at 0 after tick 2
    EXPECT_NE(buckets[0].eventKinds, 0U);  // the entry before the first tick
    EXPECT_EQ(buckets[9].eventKinds, (1U << static_cast<unsigned>(EventKind::NewAnchor)) |
                                         (1U << static_cast<unsigned>(EventKind::BiasFlip)));
}

TEST(ReportHtmlTest, TextCannotBreakThePage) {
    EXPECT_EQ(htmlText("<script>a&b\"c'd</script>"),
              "&lt;script&gt;a&amp;b&quot;c&#39;d&lt;/script&gt;");
    EXPECT_EQ(htmlText("tab\there\x01"), "tab here ");
    EXPECT_EQ(htmlText("caf\xC3\xA9"), "caf\xC3\xA9");               // valid UTF-8 kept
    EXPECT_EQ(htmlText("x\xE9y\xC3"), "x\xEF\xBF\xBDy\xEF\xBF\xBD"); // stray bytes replaced
}

// A run of a few thousand wandering ticks over the generated folder: far
// enough for anchors, flips and a basket.
class ReportRunTest : public ::testing::Test {
protected:
    HistoryFolder folder{{.dailyLines = 3, .fourHourLines = 2, .oneHourLines = 2}};
    static constexpr int TICKS = 3000;

    void SetUp() override { folder.write("ticks.csv", wanderingTicks(TICKS)); }

    std::vector<std::string> args(const std::string& more) const {
        std::vector<std::string> line{
            "--folder",         folder.path(), "--ticks",   folder.file("ticks.csv"),
            "--reference-day",  "1",           "--alerts",  "anchors,flip,grouping",
            "--bias-log-every", "250",         "--basket",  "sell@400",
            "--close-at",       "2600",        "--columns", "0,-,1,-,-"};
        std::istringstream words(more);
        for (std::string word; words >> word;) {
            line.push_back(word);
        }
        return line;
    }
    int run(const std::string& more, std::string* errors = nullptr) {
        std::istringstream in;
        std::ostringstream out, err;
        const int status = replayMain(args(more), in, out, err);
        if (errors != nullptr) {
            *errors = err.str();
        }
        return status;
    }
    std::string outputs(const std::string& prefix) {
        return "--snapshots " + folder.file(prefix + "s.csv") + " --events " +
               folder.file(prefix + "e.csv") + " --columns-out " + folder.file(prefix + "c.csv");
    }
    std::string report() const { return readFile(folder.file("run.html")); }
};

TEST_F(ReportRunTest, OtherOutputsAreTheSameByteForByteAndThePageHoldsTheRun) {
    ASSERT_EQ(run(outputs("plain")), 0);
    std::string errors;
    ASSERT_EQ(run(outputs("with") + " --report " + folder.file("run.html"), &errors), 0) << errors;
    for (const char* kind : {"s", "e", "c"}) {
        const std::string plain = readFile(folder.file(std::string("plain") + kind + ".csv"));
        EXPECT_FALSE(plain.empty());
        EXPECT_EQ(readFile(folder.file(std::string("with") + kind + ".csv")), plain) << kind;
    }
    const std::string page = report();
    const std::string events = readFile(folder.file("withe.csv"));
    for (const char* part : {"id=\"bias-chart\"", "id=\"profit-chart\"", "id=\"slot-strip\"",
                             "<td class=\"n\">3000</td>", "open (tick 400)", "close (tick 2600)",
                             "<td>1 (01-06-2026)</td>"}) {
        EXPECT_NE(page.find(part), std::string::npos) << part;
    }
    const std::string table = page.substr(page.find("<table id=\"events\">"));
    EXPECT_EQ(countOf(table, "<tr><td"), countOf(events, "\n"));
    EXPECT_GT(countOf(events, ",New "), 2);
    for (const char* outside :
         {"http:", "https:", "src=", "href=", "url(", "@import", "<link", "<script", "xlink"}) {
        EXPECT_EQ(page.find(outside), std::string::npos) << outside;
    }
}

TEST_F(ReportRunTest, ReportIsAllOrNothingAndNeverTakesAnotherOutputsFile) {
    folder.write("ticks-bad.csv", readFile(folder.file("ticks.csv")) + "09:99:99,1,2\r\n");
    std::vector<std::string> line = args("--report " + folder.file("run.html"));
    line[3] = folder.file("ticks-bad.csv");
    std::istringstream in;
    std::ostringstream out, err;
    EXPECT_EQ(replayMain(line, in, out, err), 2);
    EXPECT_FALSE(std::filesystem::exists(folder.file("run.html")));
    EXPECT_FALSE(std::filesystem::exists(folder.file("run.html.partial")));

    const std::string html = folder.file("run.html");
    for (const std::string& clash : {"--report " + folder.file("ticks.csv"),
                                     "--report " + html + " --columns-out " + html + ".partial"}) {
        std::string errors;
        EXPECT_EQ(run(clash, &errors), 2) << clash;
        EXPECT_EQ(countOf(errors, "\n"), 1) << errors;
    }
    EXPECT_FALSE(std::filesystem::exists(html));
}

// --- The page in a real browser ---

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels; // 0xRRGGBB
    std::uint32_t at(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};

std::uint32_t bigEndian(const std::string& data, std::size_t at) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(data[at])) << 24 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(data[at + 1])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(data[at + 2])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(data[at + 3]));
}

int paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return pa <= pb && pa <= pc ? a : (pb <= pc ? b : c);
}

// 8-bit RGB or RGBA, not interlaced: what the browser's screenshots are.
std::optional<Image> decodePng(const std::string& data) {
    if (data.size() < 8 || data.compare(1, 3, "PNG") != 0) {
        return std::nullopt;
    }
    Image image;
    int channels = 0;
    std::string packed;
    for (std::size_t at = 8; at + 8 <= data.size();) {
        const std::uint32_t length = bigEndian(data, at);
        const std::string type = data.substr(at + 4, 4);
        if (type == "IHDR") {
            image.width = static_cast<int>(bigEndian(data, at + 8));
            image.height = static_cast<int>(bigEndian(data, at + 12));
            const int colourType = data[at + 17];
            channels = colourType == 6 ? 4 : (colourType == 2 ? 3 : 0);
            if (data[at + 16] != 8 || channels == 0 || data[at + 20] != 0) {
                return std::nullopt;
            }
        } else if (type == "IDAT") {
            packed += data.substr(at + 8, length);
        }
        at += 12 + length;
    }
    const std::size_t stride = static_cast<std::size_t>(image.width) * channels;
    std::vector<unsigned char> raw((stride + 1) * static_cast<std::size_t>(image.height));
    uLongf rawSize = raw.size();
    if (uncompress(raw.data(), &rawSize, reinterpret_cast<const Bytef*>(packed.data()),
                   packed.size()) != Z_OK ||
        rawSize != raw.size()) {
        return std::nullopt;
    }
    std::vector<unsigned char> previous(stride, 0), row(stride);
    for (int y = 0; y < image.height; ++y) {
        const unsigned char* line = &raw[static_cast<std::size_t>(y) * (stride + 1)];
        for (std::size_t i = 0; i < stride; ++i) {
            const int a = i >= static_cast<std::size_t>(channels) ? row[i - channels] : 0;
            const int b = previous[i];
            const int c = i >= static_cast<std::size_t>(channels) ? previous[i - channels] : 0;
            const int predictors[] = {0, a, b, (a + b) / 2, paeth(a, b, c)};
            row[i] =
                static_cast<unsigned char>(line[1 + i] + (line[0] < 5 ? predictors[line[0]] : 0));
        }
        for (int x = 0; x < image.width; ++x) {
            const unsigned char* p = &row[static_cast<std::size_t>(x) * channels];
            image.pixels.push_back(static_cast<std::uint32_t>(p[0]) << 16 | p[1] << 8 | p[2]);
        }
        previous = row;
    }
    return image;
}

struct Box {
    int left, top, right, bottom; // the border's own rows and columns
};

// The charts' frames: long horizontal runs of their border colour, paired
// top and bottom.
std::vector<Box> chartBoxes(const Image& image, std::uint32_t border) {
    std::vector<std::pair<int, std::pair<int, int>>> edges; // y, [left, right]
    for (int y = 0; y < image.height; ++y) {
        int run = 0;
        for (int x = 0; x <= image.width; ++x) {
            if (x < image.width && image.at(x, y) == border) {
                ++run;
                continue;
            }
            if (run >= 400) {
                edges.push_back({y, {x - run, x - 1}});
            }
            run = 0;
        }
    }
    std::vector<Box> boxes;
    for (std::size_t i = 0; i + 1 < edges.size(); i += 2) {
        boxes.push_back(
            {edges[i].second.first, edges[i].first, edges[i].second.second, edges[i + 1].first});
    }
    return boxes;
}

std::string findChromium() {
    for (const char* path : {"/usr/bin/chromium", "/usr/bin/chromium-browser"}) {
        if (std::filesystem::exists(path)) {
            return path;
        }
    }
    return {};
}

TEST_F(ReportRunTest, ThePageRendersInChromiumWithEveryChartDrawnAndEveryEventListed) {
#ifdef _WIN32
    GTEST_SKIP() << "the browser check runs in the Linux build, on the same page";
#endif
    const std::string chromium = findChromium();
    if (chromium.empty()) {
        GTEST_SKIP() << "Chromium is not installed (Debian package chromium; scripts/test installs "
                        "it where it can), so the report was not opened in a browser";
    }
    ASSERT_EQ(run("--events " + folder.file("e.csv") + " --report " + folder.file("run.html")), 0);
    const std::string flags = " --headless --no-sandbox --disable-gpu --disable-quic --no-first-run"
                              " --disable-background-networking --disable-component-update"
                              " --disable-sync --hide-scrollbars --force-device-scale-factor=1"
                              " --user-data-dir=";
    const std::string page = "file://" + folder.file("run.html");
    const std::string screenshot =
        "timeout 180 " + chromium + flags + folder.file("profile-1") +
        " --window-size=1280,2200 --screenshot=" + folder.file("page.png") + " " + page +
        " >/dev/null 2>&1";
    const std::string dom = "timeout 180 " + chromium + flags + folder.file("profile-2") +
                            " --dump-dom " + page + " >" + folder.file("dom.html") + " 2>/dev/null";
    ASSERT_EQ(std::system(screenshot.c_str()), 0) << screenshot;
    ASSERT_EQ(std::system(dom.c_str()), 0) << dom;

    const std::optional<Image> image = decodePng(readFile(folder.file("page.png")));
    ASSERT_TRUE(image);
    const std::vector<Box> boxes = chartBoxes(*image, 0x9a9a9a);
    ASSERT_EQ(boxes.size(), 3U) << "bias, profit and slot charts";
    for (const Box& box : boxes) {
        long long drawn = 0;
        for (int y = box.top + 1; y < box.bottom; ++y) {
            for (int x = box.left + 1; x < box.right; ++x) {
                drawn += image->at(x, y) != 0xffffff ? 1 : 0;
            }
        }
        const long long area =
            static_cast<long long>(box.right - box.left) * (box.bottom - box.top);
        EXPECT_GT(drawn, area / 50) << "box at y " << box.top;
    }

    const std::string rendered = readFile(folder.file("dom.html"));
    const std::size_t table = rendered.find("<table id=\"events\">");
    ASSERT_NE(table, std::string::npos);
    const std::string rows = rendered.substr(table, rendered.find("</table>", table) - table);
    EXPECT_EQ(countOf(rows, "<tr><td"), countOf(readFile(folder.file("e.csv")), "\n"));
}

} // namespace
} // namespace vz::testing
