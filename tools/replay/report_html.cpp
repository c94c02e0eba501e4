#include "replay/report_html.h"

#include "market/pairs.h"
#include "shell/strength_chart.h"

#include <algorithm>
#include <cstdio>
#include <functional>

namespace vz {

namespace {

// SVG user units: every chart is this wide, with its plot between the
// margins, so the charts line up on one time axis.
inline constexpr int SVG_WIDTH = 1140;
inline constexpr int PLOT_LEFT = 130;
inline constexpr int PLOT_WIDTH = 1000;
inline constexpr int PLOT_TOP = 10;
inline constexpr int LINE_PLOT_HEIGHT = 240;
inline constexpr int AXIS_HEIGHT = 24;
inline constexpr int LANE_HEIGHT = 12;
inline constexpr int SLOT_ROW_HEIGHT = 14;
inline constexpr int TIME_LABELS = 5;

const char* const PAGE_STYLE =
    R"(body{font-family:sans-serif;margin:1.5em;color:#222;background:#fafaf5}
h1{font-size:1.5em}h2{font-size:1.15em;margin-top:1.6em}
table{border-collapse:collapse;margin:.4em 0}
td,th{border:1px solid #ccc;padding:2px 8px;text-align:left;font-size:.9em}
th{background:#eee}td.n{text-align:right}
svg{display:block;width:100%;max-width:1140px;height:auto;background:#fff;border:1px solid #9a9a9a}
svg text{font-size:11px;fill:#333}
.grid{stroke:#e2e2e2}.zero{stroke:#000}.frame{fill:none;stroke:#888}
.series{fill:none;stroke-width:1.2}
.key span{display:inline-block;margin-right:1.2em}
.key i{display:inline-block;width:1em;height:.8em;margin-right:.3em;vertical-align:middle})";

struct Series {
    const char* name;
    const char* colour;
    Extent ReportBucket::*extent;
};

inline constexpr std::array<Series, 3> BIAS_SERIES = {{
    {"Ref. Bias", "#000000", &ReportBucket::referenceBias},
    {"Buy Power", "#009646", &ReportBucket::buyPower},
    {"Sell Power", "#d6006e", &ReportBucket::sellPower},
}};

inline constexpr std::array<const char*, EVENT_KIND_COUNT> KIND_COLOURS = {
    "#1f77b4", "#ff7f0e", "#d62728", "#2ca02c", "#9467bd", "#8c8c8c", "#8c564b", "#bcbd22"};

std::string number(long long value) {
    return std::to_string(value);
}

std::string decimal(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

// Diverging colours from the strongest slot (green) to the weakest (red).
std::string slotColour(int slot) {
    struct Rgb {
        double r, g, b;
    };
    constexpr Rgb strong{26, 150, 65}, middle{255, 255, 191}, weak{215, 25, 28};
    const double t = std::clamp(slot, 0, PAIR_COUNT - 1) / static_cast<double>(PAIR_COUNT - 1);
    const Rgb from = t < 0.5 ? strong : middle;
    const Rgb to = t < 0.5 ? middle : weak;
    const double u = t < 0.5 ? t * 2 : (t - 0.5) * 2;
    char text[16];
    std::snprintf(text, sizeof text, "#%02x%02x%02x",
                  static_cast<int>(from.r + (to.r - from.r) * u + 0.5),
                  static_cast<int>(from.g + (to.g - from.g) * u + 0.5),
                  static_cast<int>(from.b + (to.b - from.b) * u + 0.5));
    return text;
}

// Length of the valid UTF-8 sequence starting at text[i], 0 when invalid.
std::size_t utf8Length(std::string_view text, std::size_t i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    const std::size_t length = byte >= 0xF0 && byte <= 0xF4   ? 4
                               : byte >= 0xE0                 ? 3
                               : byte >= 0xC2 && byte <= 0xDF ? 2
                                                              : 0;
    if (length == 0 || i + length > text.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
            return 0;
        }
    }
    return length;
}

class Page {
public:
    Page(const ReportFacts& facts, const ReportRecorder& recorder)
        : facts_(facts), recorder_(recorder), buckets_(recorder.buckets()) {}

    std::string build();

private:
    void add(const std::string& text) { html_ += text; }
    void line(const std::string& text) { html_ += text + "\n"; }
    void runSection();
    void summarySection();
    void biasSection();
    void profitSection();
    void slotSection();
    void eventsSection();
    void factsRow(const std::string& name, const std::string& value);

    double columnWidth() const { return PLOT_WIDTH / static_cast<double>(buckets_.size()); }
    double bucketX(std::size_t i) const { return PLOT_LEFT + (i + 0.5) * columnWidth(); }
    double tickX(long long tick) const {
        const auto i = static_cast<std::size_t>(tick / recorder_.ticksPerBucket());
        return bucketX(std::min(i, buckets_.size() - 1));
    }
    void openSvg(const std::string& id, int height, const std::string& title);
    void horizontalGrid(const ChartScale& scale);
    void timeAxis(int y);
    void linePath(const char* colour,
                  const std::function<std::optional<Extent>(const ReportBucket&)>& extentOf,
                  const ChartScale& scale);
    void eventLanes(int top);

    const ReportFacts& facts_;
    const ReportRecorder& recorder_;
    const std::vector<ReportBucket>& buckets_;
    std::string html_;
};

std::string Page::build() {
    line("<!DOCTYPE html>");
    line("<html lang=\"en\">");
    line("<head>");
    line("<meta charset=\"utf-8\">");
    line("<title>Vurezer replay report</title>");
    line("<style>");
    line(PAGE_STYLE);
    line("</style>");
    line("</head>");
    line("<body>");
    line("<h1>Vurezer replay report</h1>");
    runSection();
    summarySection();
    if (!buckets_.empty()) {
        biasSection();
        profitSection();
        slotSection();
    }
    eventsSection();
    line("</body>");
    line("</html>");
    return std::move(html_);
}

void Page::factsRow(const std::string& name, const std::string& value) {
    line("<tr><th>" + htmlText(name) + "</th><td>" + htmlText(value) + "</td></tr>");
}

void Page::runSection() {
    line("<h2>Run</h2>");
    line("<table id=\"options\">");
    for (const auto& [name, value] : facts_.options) {
        factsRow(name, value);
    }
    line("</table>");
    line("<table id=\"bars\">");
    line("<tr><th>History</th><th>First bar</th><th>Last bar</th></tr>");
    const char* const names[] = {"Daily", "4-hour", "1-hour"};
    for (std::size_t i = 0; i < facts_.bars.size(); ++i) {
        line("<tr><th>" + std::string(names[i]) + "</th><td>" + htmlText(facts_.bars[i].first) +
             "</td><td>" + htmlText(facts_.bars[i].second) + "</td></tr>");
    }
    line("</table>");
}

void Page::summarySection() {
    line("<h2>Summary</h2>");
    line("<table id=\"summary\">");
    const auto row = [this](const std::string& name, const std::string& value) {
        line("<tr><th>" + htmlText(name) + "</th><td class=\"n\">" + htmlText(value) +
             "</td></tr>");
    };
    row("Ticks", number(recorder_.tickCount()));
    row("Reference bias flips", number(recorder_.flips()));
    row("Anchor changes", number(recorder_.eventsOfKind(EventKind::NewAnchor)));
    for (EventKind kind : {EventKind::OpposingAnchor, EventKind::BiasFlip, EventKind::Grouping,
                           EventKind::PairInSlot}) {
        row(std::string(eventKindName(kind)) + "s", number(recorder_.eventsOfKind(kind)));
    }
    row("Event-log entries", number(recorder_.eventCount()));
    if (recorder_.finalProfit()) {
        row("Basket final profit (pips)", number(*recorder_.finalProfit()));
        row("Basket best profit (pips)", number(recorder_.profitExtent()->high));
        row("Basket worst profit (pips)", number(recorder_.profitExtent()->low));
    } else {
        row("Basket", "none simulated");
    }
    line("</table>");
}

void Page::openSvg(const std::string& id, int height, const std::string& title) {
    line("<svg id=\"" + id + "\" viewBox=\"0 0 " + number(SVG_WIDTH) + " " + number(height) +
         "\" role=\"img\" aria-label=\"" + htmlText(title) + "\">");
}

void Page::horizontalGrid(const ChartScale& scale) {
    line("<rect class=\"frame\" x=\"" + number(PLOT_LEFT) + "\" y=\"" + number(scale.top) +
         "\" width=\"" + number(PLOT_WIDTH) + "\" height=\"" + number(scale.height) + "\"/>");
    for (long long value = scale.lowest; value <= scale.highest; value += scale.step) {
        const std::string y = number(scale.y(value));
        line("<line class=\"" + std::string(value == 0 ? "zero" : "grid") + "\" x1=\"" +
             number(PLOT_LEFT) + "\" x2=\"" + number(PLOT_LEFT + PLOT_WIDTH) + "\" y1=\"" + y +
             "\" y2=\"" + y + "\"/>");
        line("<text x=\"" + number(PLOT_LEFT - 6) + "\" y=\"" + number(scale.y(value) + 4) +
             "\" text-anchor=\"end\">" + number(value) + "</text>");
    }
}

// Labels under the plot: the tick's own label and its index.
void Page::timeAxis(int y) {
    const std::size_t count = buckets_.size();
    const std::size_t labels = std::min<std::size_t>(TIME_LABELS, count);
    for (std::size_t k = 0; k < labels; ++k) {
        const std::size_t i = labels == 1 ? 0 : k * (count - 1) / (labels - 1);
        const ReportBucket& bucket = buckets_[i];
        const char* anchor = k == 0 ? "start" : (k + 1 == labels ? "end" : "middle");
        line("<text x=\"" + decimal(bucketX(i)) + "\" y=\"" + number(y + 14) + "\" text-anchor=\"" +
             anchor + "\">" + htmlText(bucket.firstLabel) + " (tick " + number(bucket.firstTick) +
             ")</text>");
    }
}

// A column's extremes joined to the next column's: a long run keeps every
// spike, and a short one is a plain line.
void Page::linePath(const char* colour,
                    const std::function<std::optional<Extent>(const ReportBucket&)>& extentOf,
                    const ChartScale& scale) {
    std::string path;
    bool drawing = false;
    for (std::size_t i = 0; i < buckets_.size(); ++i) {
        const std::optional<Extent> extent = extentOf(buckets_[i]);
        if (!extent) {
            drawing = false;
            continue;
        }
        path += (drawing ? "L" : "M") + decimal(bucketX(i)) + " " + number(scale.y(extent->high));
        path += "V" + number(scale.y(extent->low));
        drawing = true;
    }
    if (!path.empty()) {
        line("<path class=\"series\" stroke=\"" + std::string(colour) + "\" d=\"" + path + "\"/>");
    }
}

void Page::eventLanes(int top) {
    for (int kind = 0; kind < EVENT_KIND_COUNT; ++kind) {
        const int y = top + kind * LANE_HEIGHT;
        line("<text x=\"" + number(PLOT_LEFT - 6) + "\" y=\"" + number(y + 9) +
             "\" text-anchor=\"end\">" + eventKindName(static_cast<EventKind>(kind)) + "</text>");
        std::string path;
        for (std::size_t i = 0; i < buckets_.size(); ++i) {
            if ((buckets_[i].eventKinds & (1U << static_cast<unsigned>(kind))) != 0) {
                path += "M" + decimal(bucketX(i)) + " " + number(y + 1) + "V" + number(y + 11);
            }
        }
        if (!path.empty()) {
            line("<path class=\"series\" stroke-width=\"2\" stroke=\"" +
                 std::string(KIND_COLOURS[static_cast<std::size_t>(kind)]) + "\" d=\"" + path +
                 "\"/>");
        }
    }
}

void Page::biasSection() {
    line("<h2>Ref. Bias, Buy Power and Sell Power, with the event log on the same time axis</h2>");
    long long low = 0;
    long long high = 0;
    for (const ReportBucket& bucket : buckets_) {
        for (const Series& series : BIAS_SERIES) {
            low = std::min<long long>(low, (bucket.*series.extent).low);
            high = std::max<long long>(high, (bucket.*series.extent).high);
        }
    }
    const ChartScale scale = chooseChartScale(low, high, PLOT_TOP, LINE_PLOT_HEIGHT);
    const int lanesTop = PLOT_TOP + LINE_PLOT_HEIGHT + AXIS_HEIGHT;
    openSvg("bias-chart", lanesTop + EVENT_KIND_COUNT * LANE_HEIGHT + 6,
            "Ref. Bias, Buy Power and Sell Power over the ticks");
    horizontalGrid(scale);
    for (const Series& series : BIAS_SERIES) {
        linePath(
            series.colour,
            [&series](const ReportBucket& bucket) -> std::optional<Extent> {
                return bucket.*series.extent;
            },
            scale);
    }
    timeAxis(PLOT_TOP + LINE_PLOT_HEIGHT);
    eventLanes(lanesTop);
    line("</svg>");
    add("<p class=\"key\">");
    for (const Series& series : BIAS_SERIES) {
        add("<span><i style=\"background:" + std::string(series.colour) + "\"></i>" + series.name +
            "</span>");
    }
    line("</p>");
}

void Page::profitSection() {
    if (!recorder_.profitExtent()) {
        return;
    }
    line("<h2>Basket profit (pips)</h2>");
    const Extent extent = *recorder_.profitExtent();
    const ChartScale scale = chooseChartScale(extent.low, extent.high, PLOT_TOP, LINE_PLOT_HEIGHT);
    openSvg("profit-chart", PLOT_TOP + LINE_PLOT_HEIGHT + AXIS_HEIGHT, "Basket profit");
    horizontalGrid(scale);
    linePath(
        "#1f4e9c", [](const ReportBucket& bucket) { return bucket.profit; }, scale);
    const std::pair<std::optional<long long>, const char*> marks[] = {
        {recorder_.basketOpenTick(), "open"}, {recorder_.basketCloseTick(), "close"}};
    for (const auto& [tick, name] : marks) {
        if (tick) {
            const std::string x = decimal(tickX(*tick));
            line("<line stroke=\"#444\" stroke-dasharray=\"4 3\" x1=\"" + x + "\" x2=\"" + x +
                 "\" y1=\"" + number(PLOT_TOP) + "\" y2=\"" + number(PLOT_TOP + LINE_PLOT_HEIGHT) +
                 "\"/>");
            line("<text x=\"" + x + "\" y=\"" + number(PLOT_TOP + 12) + "\" dx=\"4\">" + name +
                 " (tick " + number(*tick) + ")</text>");
        }
    }
    timeAxis(PLOT_TOP + LINE_PLOT_HEIGHT);
    line("</svg>");
}

// One row per pair, each column coloured by the pair's slot; runs of one
// slot are one rectangle.
void Page::slotSection() {
    line("<h2>Slot of each pair over the ticks</h2>");
    const int height = PLOT_TOP + PAIR_COUNT * SLOT_ROW_HEIGHT + AXIS_HEIGHT;
    openSvg("slot-strip", height, "Slot of each pair over the ticks");
    for (std::size_t pair = 0; pair < PAIR_COUNT; ++pair) {
        const int y = PLOT_TOP + static_cast<int>(pair) * SLOT_ROW_HEIGHT;
        line("<text x=\"" + number(PLOT_LEFT - 6) + "\" y=\"" + number(y + 11) +
             "\" text-anchor=\"end\">" + std::string(PAIR_TABLE[pair]) + "</text>");
        std::size_t start = 0;
        for (std::size_t i = 1; i <= buckets_.size(); ++i) {
            if (i < buckets_.size() &&
                buckets_[i].pairSlot[pair] == buckets_[start].pairSlot[pair]) {
                continue;
            }
            const double left = PLOT_LEFT + start * columnWidth();
            line("<rect x=\"" + decimal(left) + "\" y=\"" + number(y) + "\" width=\"" +
                 decimal((i - start) * columnWidth()) + "\" height=\"" +
                 number(SLOT_ROW_HEIGHT - 1) + "\" fill=\"" +
                 slotColour(buckets_[start].pairSlot[pair]) + "\"/>");
            start = i;
        }
    }
    timeAxis(PLOT_TOP + PAIR_COUNT * SLOT_ROW_HEIGHT);
    line("</svg>");
    add("<p class=\"key\">Slot: ");
    for (int slot = 0; slot < PAIR_COUNT; ++slot) {
        add("<span><i style=\"background:" + slotColour(slot) + "\"></i>" + number(slot + 1) +
            "</span>");
    }
    line("</p>");
}

void Page::eventsSection() {
    line("<h2>Event log</h2>");
    const long long shown = static_cast<long long>(recorder_.tableEvents().size());
    if (shown < recorder_.eventCount()) {
        line("<p>The first " + number(shown) + " of " + number(recorder_.eventCount()) +
             " entries; the events output holds them all.</p>");
    }
    line("<table id=\"events\">");
    line("<thead><tr><th>Tick</th><th>Kind</th><th>Description</th></tr></thead>");
    line("<tbody>");
    for (const ReportEvent& event : recorder_.tableEvents()) {
        const std::string tick = event.tick < 0 ? "before" : number(event.tick);
        line("<tr><td class=\"n\">" + tick + "</td><td>" + eventKindName(event.kind) + "</td><td>" +
             htmlText(event.description) + "</td></tr>");
    }
    line("</tbody>");
    line("</table>");
}

std::string lastBarLabel(const MarketData& market, Timeframe timeframe) {
    for (int index = market.lastListed(timeframe); index >= 0; --index) {
        const std::string& label = market.listedLabel(timeframe, index);
        if (!label.empty()) {
            return label;
        }
    }
    return {};
}

std::string columnsText(const ReplayOptions& options) {
    std::string text;
    for (std::size_t k = 0; k < options.columns.size(); ++k) {
        text +=
            (k == 0 ? "" : ",") + (options.columns[k] ? options.columnTexts[k] : std::string("-"));
    }
    return text;
}

std::string alertsText(const ReplayOptions& options) {
    std::string text;
    for (const auto& [on, name] :
         {std::pair{options.anchorsAlert, "anchors"}, std::pair{options.flipAlert, "flip"},
          std::pair{options.groupingAlert, "grouping"}}) {
        if (on) {
            text += (text.empty() ? "" : ",") + std::string(name);
        }
    }
    return text.empty() ? "none" : text;
}

} // namespace

std::string htmlText(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80) {
            const std::size_t length = utf8Length(text, i);
            escaped +=
                length == 0 ? std::string("\xEF\xBF\xBD") : std::string(text.substr(i, length));
            i += length == 0 ? 1 : length;
            continue;
        }
        switch (c) {
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '&':
            escaped += "&amp;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        case '\'':
            escaped += "&#39;";
            break;
        default:
            escaped += byte < 0x20 || byte == 0x7F ? ' ' : c;
            break;
        }
        ++i;
    }
    return escaped;
}

ReportFacts reportFacts(const ReplayOptions& options, const MarketData& market) {
    ReportFacts facts;
    const auto add = [&facts](std::string name, std::string value) {
        facts.options.emplace_back(std::move(name), std::move(value));
    };
    add("Data folder", options.folder);
    add("Tick file", options.ticks == "-" ? "standard input" : options.ticks);
    const long long day = options.referenceDay;
    const bool listed = day >= 0 && day <= market.lastListed(Timeframe::Daily);
    add("Reference day",
        options.referenceDayText +
            (listed ? " (" + market.listedLabel(Timeframe::Daily, static_cast<int>(day)) + ")"
                    : ""));
    add("Multi-timeframe columns", columnsText(options));
    add("Alerts", alertsText(options));
    add("Pair alert",
        options.pairAlert
            ? std::string(PAIR_TABLE[static_cast<std::size_t>(options.pairAlert->pair)]) +
                  " in slot " + number(options.pairAlert->slot)
            : "none");
    add("Bias entry every", number(options.biasLogEvery) + " ticks");
    if (options.basket) {
        const bool buy = options.basket->direction == TradeDirection::Buy;
        add("Basket",
            std::string(buy ? "buy" : "sell") + " after tick " + number(options.basket->tick));
        add("Close", options.closeAt ? "after tick " + number(*options.closeAt) : "never");
    } else {
        add("Basket", "none");
    }
    for (Timeframe timeframe : ALL_TIMEFRAMES) {
        facts.bars[static_cast<std::size_t>(timeframe)] = {market.listedLabel(timeframe, 0),
                                                           lastBarLabel(market, timeframe)};
    }
    return facts;
}

std::string reportHtml(const ReportFacts& facts, const ReportRecorder& recorder) {
    return Page(facts, recorder).build();
}

} // namespace vz
