#include "tools/import/bar_reader.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

namespace vz {

namespace {

std::vector<std::string_view> splitFields(std::string_view line, char separator) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = line.find(separator, start);
        if (end == std::string_view::npos) {
            fields.push_back(line.substr(start));
            return fields;
        }
        fields.push_back(line.substr(start, end - start));
        start = end + 1;
    }
}

bool isBlankLine(std::string_view line) {
    return trimmedField(line).empty();
}

// The name of a header cell reduced to its lower-case letters, so that
// "<CLOSE>", "Close" and " close " all read "close".
std::string columnKey(std::string_view name) {
    std::string key;
    for (const char c : name) {
        if (std::isalpha(static_cast<unsigned char>(c)) != 0) {
            key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
    }
    return key;
}

struct Layout {
    InputFormat format = InputFormat::Auto;
    char separator = ',';
    int dateColumn = -1;
    int timeColumn = -1;           // only when the date and the time stand apart
    std::vector<int> closeColumns; // the first one that holds a value counts
    bool stampsNamedUtc = false;
    std::size_t fieldCount = 0; // a row may not hold more, but for empty ones
};

char likelySeparator(std::string_view header) {
    const auto count = [&](char c) { return std::count(header.begin(), header.end(), c); };
    const auto tabs = count('\t');
    const auto semicolons = count(';');
    const auto commas = count(',');
    if (tabs >= semicolons && tabs >= commas && tabs > 0) {
        return '\t';
    }
    return semicolons > commas ? ';' : ',';
}

bool isStampColumn(const std::string& key) {
    return key.find("time") != std::string::npos || key.find("date") != std::string::npos ||
           key == "timestamp" || key == "ts";
}

// The names exports give the close: "Close", "<CLOSE>", "closingPrice",
// "close_price", "Close/Last", "BidClose".
bool isCloseColumn(const std::string& key) {
    return key == "close" || key == "closeprice" || key == "closingprice" || key == "closelast" ||
           key == "bidclose" || key == "closebid" || key == "last" || key == "lastprice";
}

std::optional<std::string> describeHeader(std::string_view header, const ReadSettings& settings,
                                          Layout& layout) {
    layout.format = InputFormat::HeaderedTable;
    layout.separator = likelySeparator(header);
    const auto names = splitFields(header, layout.separator);
    layout.fieldCount = names.size();
    int stampColumn = -1;
    int dateOnly = -1;
    int timeOnly = -1;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string key = columnKey(names[i]);
        const int column = static_cast<int>(i);
        const bool named =
            !settings.closeColumn.empty() && columnKey(names[i]) == columnKey(settings.closeColumn);
        if (settings.closeColumn.empty() ? isCloseColumn(key) : named) {
            layout.closeColumns.push_back(column);
        } else if (key == "date" && dateOnly < 0) {
            dateOnly = column;
        } else if (key == "time" && timeOnly < 0) {
            timeOnly = column;
        } else if (stampColumn < 0 && (isStampColumn(key) || (i == 0 && key.empty()))) {
            stampColumn = column;
        }
    }
    if (dateOnly >= 0 && timeOnly >= 0) {
        layout.dateColumn = dateOnly;
        layout.timeColumn = timeOnly;
    } else if (stampColumn >= 0) {
        layout.dateColumn = stampColumn;
    } else {
        layout.dateColumn = dateOnly >= 0 ? dateOnly : timeOnly;
    }
    if (layout.dateColumn < 0) {
        return "the header names no date or time column";
    }
    for (const int column : {layout.dateColumn, layout.timeColumn}) {
        if (column >= 0) {
            const std::string key = columnKey(names[static_cast<std::size_t>(column)]);
            layout.stampsNamedUtc = layout.stampsNamedUtc || key.find("utc") != std::string::npos ||
                                    key.find("gmt") != std::string::npos;
        }
    }
    if (layout.closeColumns.empty()) {
        return settings.closeColumn.empty()
                   ? "the header names no close column (give --close-column NAME)"
                   : "the header names no column " + settings.closeColumn;
    }
    return std::nullopt;
}

bool isTimeOfDay(std::string_view field) {
    const std::string_view t = trimmedField(field);
    const std::size_t colon = t.find(':');
    return (colon == 1 || colon == 2) && parseTimestamp("2000-01-01 " + std::string(t));
}

// Bars without a header: a stamp (or a date and a time) first, then either
// the close alone or open, high, low and close, perhaps with volumes after.
std::optional<std::string> describePlainRows(std::string_view first, Layout& layout) {
    layout.format = InputFormat::Plain;
    layout.separator = likelySeparator(first);
    const auto fields = splitFields(first, layout.separator);
    layout.fieldCount = fields.size();
    layout.dateColumn = 0;
    std::size_t prices = 1;
    if (fields.size() > 1 && isTimeOfDay(fields[1])) {
        layout.timeColumn = 1;
        prices = 2;
    }
    const std::size_t count = fields.size() - prices;
    if (count == 1 || count >= 4) {
        layout.closeColumns = {static_cast<int>(count == 1 ? prices : prices + 3)};
        return std::nullopt;
    }
    return "no header line, and " + std::to_string(count) +
           " numbers after the time leave the close unclear; add a header line naming the "
           "columns";
}

bool looksLikeMetaTrader(std::string_view line) {
    return line.size() > 17 && digitsAt(line, 0, 4) && line[4] == '.' && line[7] == '.' &&
           line[10] == ',' && digitsAt(line, 11, 2) && line[13] == ':';
}

bool looksLikeAscii(std::string_view line) {
    return line.size() > 16 && digitsAt(line, 0, 8) && line[8] == ' ' && digitsAt(line, 9, 6) &&
           line[15] == ';';
}

// Decides the layout from the first line that is not blank. Returns an error
// text when the line fits no layout; `consumesLine` tells whether that line is
// a header rather than a bar.
std::optional<std::string> detectLayout(std::string_view first, const ReadSettings& settings,
                                        Layout& layout, bool& consumesLine) {
    consumesLine = false;
    InputFormat format = settings.format;
    if (format == InputFormat::Auto) {
        if (looksLikeMetaTrader(first)) {
            format = InputFormat::MetaTrader;
        } else if (looksLikeAscii(first)) {
            format = InputFormat::Ascii;
        } else if (parseTimestamp(splitFields(first, likelySeparator(first))[0])) {
            format = InputFormat::Plain;
        } else {
            format = InputFormat::HeaderedTable;
        }
    }
    layout.format = format;
    switch (format) {
    case InputFormat::MetaTrader:
        layout.separator = ',';
        layout.dateColumn = 0;
        layout.timeColumn = 1;
        layout.closeColumns = {5};
        layout.fieldCount = 7;
        return std::nullopt;
    case InputFormat::Ascii:
        layout.separator = ';';
        layout.dateColumn = 0;
        layout.closeColumns = {4};
        layout.fieldCount = 6;
        return std::nullopt;
    case InputFormat::Plain:
        return describePlainRows(first, layout);
    default:
        consumesLine = true;
        return describeHeader(first, settings, layout);
    }
}

// A field past the layout's columns would mean the row is shifted, often by a
// decimal comma in a comma-separated file; empty ones are a trailing separator.
std::optional<std::string> checkExtraFields(const std::vector<std::string_view>& fields,
                                            const Layout& layout) {
    if (fields.size() <= layout.fieldCount ||
        std::all_of(fields.begin() + static_cast<std::ptrdiff_t>(layout.fieldCount), fields.end(),
                    [](std::string_view field) { return trimmedField(field).empty(); })) {
        return std::nullopt;
    }
    const std::string have = std::to_string(fields.size()) + " fields where ";
    const std::string expected = std::to_string(layout.fieldCount);
    if (layout.format == InputFormat::HeaderedTable) {
        return have + "the header names " + expected +
               " (a decimal comma, or a column "
               "without a name?)";
    }
    return have + "the layout has " + expected + " (a decimal comma?)";
}

std::string priceText(std::string_view field, char separator);

bool isZero(std::string_view field) {
    const std::string_view t = trimmedField(field);
    double value = 1.0;
    const auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), value);
    return !t.empty() && error == std::errc() && end == t.data() + t.size() && value == 0.0;
}

std::string_view closeField(const std::vector<std::string_view>& fields, const Layout& layout) {
    for (const int column : layout.closeColumns) {
        const auto index = static_cast<std::size_t>(column);
        if (index < fields.size() && !trimmedField(fields[index]).empty()) {
            return fields[index];
        }
    }
    return {};
}

// Scripts fill slots they have no bar for with a zero price, often with a
// zero or 1970 date ("1970.01.01,00:00,0,0,0,0,0", "0,0,0,0,0"): no bar.
bool isPlaceholder(const std::vector<std::string_view>& fields, const Layout& layout) {
    const auto zero = [&](std::string_view field) {
        return isZero(priceText(field, layout.separator));
    };
    const bool allZero = std::all_of(fields.begin(), fields.end(), [&](std::string_view field) {
        return trimmedField(field).empty() || zero(field);
    });
    return allZero || zero(closeField(fields, layout));
}

enum class RowKind { Bar, Placeholder };

// Where the separator is not a comma, a comma in a price is a decimal comma.
std::string priceText(std::string_view field, char separator) {
    std::string text(trimmedField(field));
    if (separator != ',' && std::count(text.begin(), text.end(), ',') == 1 &&
        text.find('.') == std::string::npos) {
        std::replace(text.begin(), text.end(), ',', '.');
    }
    return text;
}

std::string badPrice(std::string_view field, const std::string& text) {
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    const bool number = !text.empty() && end == text.data() + text.size() &&
                        (error == std::errc() || error == std::errc::result_out_of_range);
    return "bad close price \"" + std::string(trimmedField(field)) + "\" (" +
           (number ? "out of range: a price lies above 0 and below 1000000" : "not a number") + ")";
}

std::optional<std::string> parseRow(std::string_view line, const Layout& layout, DateOrder order,
                                    RawBar& bar, Timestamp& stampRead, RowKind& kind) {
    const auto fields = splitFields(line, layout.separator);
    kind = isPlaceholder(fields, layout) ? RowKind::Placeholder : RowKind::Bar;
    if (kind == RowKind::Placeholder) {
        return std::nullopt;
    }
    const int needed = std::max(layout.dateColumn, layout.timeColumn) + 1;
    if (static_cast<int>(fields.size()) < needed) {
        return "too few fields";
    }
    if (auto problem = checkExtraFields(fields, layout)) {
        return problem;
    }
    std::string stampText(trimmedField(fields[static_cast<std::size_t>(layout.dateColumn)]));
    if (layout.timeColumn >= 0) {
        stampText += ' ';
        stampText += trimmedField(fields[static_cast<std::size_t>(layout.timeColumn)]);
    }
    const auto stamp = parseTimestamp(stampText, order);
    if (!stamp) {
        return "bad date or time \"" + stampText + "\"";
    }
    for (const int column : layout.closeColumns) {
        const auto index = static_cast<std::size_t>(column);
        if (index >= fields.size() || trimmedField(fields[index]).empty()) {
            continue;
        }
        const std::string text = priceText(fields[index], layout.separator);
        const auto price = parsePrice(text);
        if (!price) {
            return badPrice(fields[index], text);
        }
        bar = {stamp->stamp, stamp->offsetMinutes, *price};
        stampRead = *stamp;
        return std::nullopt;
    }
    return "no close price";
}

void dropByteOrderMark(std::string& line) {
    if (line.rfind("\xEF\xBB\xBF", 0) == 0) {
        line.erase(0, 3);
    }
}

bool isCompressed(std::string_view line) {
    return line.rfind("\xFD"
                      "7zXZ",
                      0) == 0 ||
           line.rfind("\x1F\x8B", 0) == 0 || line.rfind("PK\x03\x04", 0) == 0 ||
           line.rfind("BZh", 0) == 0;
}

enum class LineRead { Line, TooLong, End };

// The next line without its end: CR LF, LF and a lone CR each end a line.
// A line past MAX_LINE_CHARS is not read further.
LineRead readLine(std::streambuf& in, std::string& line) {
    using Traits = std::streambuf::traits_type;
    line.clear();
    Traits::int_type c = in.sbumpc();
    if (Traits::eq_int_type(c, Traits::eof())) {
        return LineRead::End;
    }
    while (!Traits::eq_int_type(c, Traits::eof()) && c != '\n' && c != '\r') {
        if (line.size() >= MAX_LINE_CHARS) {
            return LineRead::TooLong;
        }
        line.push_back(Traits::to_char_type(c));
        c = in.sbumpc();
    }
    if (c == '\r' && in.sgetc() == '\n') {
        in.sbumpc();
    }
    return LineRead::Line;
}

} // namespace

std::string describe(const InputError& error) {
    if (error.line <= 0) {
        return error.file + ": " + error.message;
    }
    return error.file + ":" + std::to_string(error.line) + ": " + error.message;
}

std::optional<InputFormat> inputFormatNamed(std::string_view name) {
    if (name == "auto") {
        return InputFormat::Auto;
    }
    if (name == "metatrader") {
        return InputFormat::MetaTrader;
    }
    if (name == "ascii") {
        return InputFormat::Ascii;
    }
    if (name == "table") {
        return InputFormat::HeaderedTable;
    }
    if (name == "plain") {
        return InputFormat::Plain;
    }
    return std::nullopt;
}

// Grows by half rather than doubling: a file of millions of bars then never
// holds three times its size in memory while the rows move to a larger block.
void growGently(BarReadResult& result) {
    if (result.bars.size() == result.bars.capacity()) {
        const std::size_t more = result.bars.size() / 2 + 4096;
        result.bars.reserve(result.bars.size() + more);
        result.lines.reserve(result.bars.size() + more);
    }
}

// Slash dates whose numbers are all 12 or less fit either order; the rows
// whose numbers settle it decide for the whole file.
struct SlashDates {
    std::vector<std::pair<std::size_t, Minute>> ambiguous; // bar and its day-first shift
    int dayFirstLine = 0;
    int monthFirstLine = 0;

    void note(const Timestamp& stamp, std::size_t bar, int line) {
        if (!stamp.slashDate) {
            return;
        }
        if (stamp.settles == DateOrder::DayFirst && dayFirstLine == 0) {
            dayFirstLine = line;
        } else if (stamp.settles == DateOrder::MonthFirst && monthFirstLine == 0) {
            monthFirstLine = line;
        } else if (stamp.settles == DateOrder::Unknown) {
            ambiguous.emplace_back(bar, stamp.dayFirstShift);
        }
    }

    // Moves the ambiguous rows to the order the others settled; an error text
    // when nothing settled it or the rows disagree.
    std::optional<std::string> settle(std::vector<RawBar>& bars) const {
        if (dayFirstLine != 0 && monthFirstLine != 0) {
            return "slash dates in both orders: line " + std::to_string(dayFirstLine) +
                   " has the day first, line " + std::to_string(monthFirstLine) +
                   " the month first";
        }
        if (ambiguous.empty() || monthFirstLine != 0) {
            return std::nullopt;
        }
        if (dayFirstLine == 0) {
            return "no date tells whether slash dates such as 09/01/2020 have the day or the "
                   "month first; give --date-order dmy or mdy";
        }
        for (const auto& [bar, shift] : ambiguous) {
            bars[bar].stamp += shift;
        }
        return std::nullopt;
    }
};

BarReadResult readBars(std::istream& in, const std::string& fileName, InputFormat format) {
    ReadSettings settings;
    settings.format = format;
    return readBars(in, fileName, settings);
}

BarReadResult readBars(std::istream& in, const std::string& fileName,
                       const ReadSettings& settings) {
    BarReadResult result;
    SlashDates slashDates;
    const auto fail = [&](int line, std::string message) {
        result.bars.clear();
        result.lines.clear();
        result.error = InputError{fileName, line, std::move(message)};
        return result;
    };
    std::streambuf& text = *in.rdbuf();
    Layout layout;
    bool haveLayout = false;
    std::string line;
    int lineNumber = 0;
    for (LineRead status; (status = readLine(text, line)) != LineRead::End;) {
        ++lineNumber;
        if (status == LineRead::TooLong) {
            return fail(lineNumber, "line longer than " + std::to_string(MAX_LINE_CHARS) +
                                        " characters; not a bar file");
        }
        if (lineNumber == 1) {
            if (isCompressed(line)) {
                return fail(0, "compressed file; unpack it first");
            }
            dropByteOrderMark(line);
        }
        if (isBlankLine(line)) {
            continue;
        }
        if (!haveLayout) {
            bool consumesLine = false;
            if (auto problem = detectLayout(line, settings, layout, consumesLine)) {
                return fail(lineNumber, *problem);
            }
            haveLayout = true;
            if (consumesLine) {
                continue;
            }
        }
        if (result.bars.size() >= MAX_BARS_PER_FILE) {
            return fail(lineNumber,
                        "more than " + std::to_string(MAX_BARS_PER_FILE) + " bars; split the file");
        }
        RawBar bar;
        Timestamp stamp;
        RowKind kind = RowKind::Bar;
        if (auto problem = parseRow(line, layout, settings.dateOrder, bar, stamp, kind)) {
            return fail(lineNumber, *problem);
        }
        if (kind == RowKind::Placeholder) {
            result.placeholders.add(lineNumber);
            continue;
        }
        slashDates.note(stamp, result.bars.size(), lineNumber);
        growGently(result);
        result.bars.push_back(bar);
        result.lines.push_back(lineNumber);
    }
    if (result.bars.empty()) {
        return fail(0, "holds no bars");
    }
    if (auto problem = slashDates.settle(result.bars)) {
        return fail(0, *problem);
    }
    result.headerSaysUtc = layout.stampsNamedUtc;
    return result;
}

} // namespace vz
