#include "tools/import/bar_reader.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

namespace vz {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '"';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string lowerCase(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

// Reads exactly `count` digits at `pos`.
std::optional<int> digitsAt(std::string_view text, std::size_t pos, std::size_t count) {
    if (pos + count > text.size()) {
        return std::nullopt;
    }
    int value = 0;
    for (std::size_t i = pos; i < pos + count; ++i) {
        if (!isDigit(text[i])) {
            return std::nullopt;
        }
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

struct DatePart {
    CivilDate date;
    std::size_t end = 0;
};

std::optional<DatePart> parseDatePart(std::string_view t) {
    const auto year = digitsAt(t, 0, 4);
    if (year && t.size() >= 10 && (t[4] == '-' || t[4] == '.' || t[4] == '/') && t[7] == t[4]) {
        const auto month = digitsAt(t, 5, 2);
        const auto day = digitsAt(t, 8, 2);
        if (month && day) {
            return DatePart{{*year, *month, *day}, 10};
        }
        return std::nullopt;
    }
    if (t.size() >= 10 && t[2] == '.' && t[5] == '.') {
        const auto day = digitsAt(t, 0, 2);
        const auto month = digitsAt(t, 3, 2);
        const auto longYear = digitsAt(t, 6, 4);
        if (day && month && longYear) {
            return DatePart{{*longYear, *month, *day}, 10};
        }
        return std::nullopt;
    }
    const auto compact = digitsAt(t, 0, 8);
    if (compact && (t.size() == 8 || !isDigit(t[8]))) {
        return DatePart{{*compact / 10000, *compact / 100 % 100, *compact % 100}, 8};
    }
    return std::nullopt;
}

bool validDate(CivilDate date) {
    return date.year >= 1900 && date.year <= 9999 && date.month >= 1 && date.month <= 12 &&
           date.day >= 1 && date.day <= daysInMonth(date.year, date.month);
}

struct TimePart {
    int hour = 0;
    int minute = 0;
    std::size_t end = 0;
};

std::optional<TimePart> parseTimePart(std::string_view t, std::size_t pos) {
    const auto hour = digitsAt(t, pos, 2);
    if (!hour) {
        return std::nullopt;
    }
    TimePart part{*hour, 0, pos + 2};
    int second = 0;
    if (pos + 2 < t.size() && t[pos + 2] == ':') {
        const auto minute = digitsAt(t, pos + 3, 2);
        if (!minute) {
            return std::nullopt;
        }
        part.minute = *minute;
        part.end = pos + 5;
        if (part.end < t.size() && t[part.end] == ':') {
            const auto seconds = digitsAt(t, part.end + 1, 2);
            if (!seconds) {
                return std::nullopt;
            }
            second = *seconds;
            part.end += 3;
        }
    } else if (const auto compact = digitsAt(t, pos, 6)) {
        part = {*compact / 10000, *compact / 100 % 100, pos + 6};
        second = *compact % 100;
    } else if (const auto shortForm = digitsAt(t, pos, 4)) {
        part = {*shortForm / 100, *shortForm % 100, pos + 4};
    }
    if (part.end < t.size() && t[part.end] == '.') {
        ++part.end;
        while (part.end < t.size() && isDigit(t[part.end])) {
            ++part.end;
        }
    }
    if (part.hour > 23 || part.minute > 59 || second > 60) {
        return std::nullopt;
    }
    return part;
}

// Z, UTC, GMT or +HH:MM / +HHMM / +HH (or minus); `rest` holds nothing else.
std::optional<int> parseZone(std::string_view rest) {
    const std::string zone = lowerCase(rest);
    if (zone == "z" || zone == "utc" || zone == "gmt") {
        return 0;
    }
    if (zone.size() < 3 || (zone[0] != '+' && zone[0] != '-')) {
        return std::nullopt;
    }
    const auto hours = digitsAt(zone, 1, 2);
    std::optional<int> minutes = 0;
    if (zone.size() == 6 && zone[3] == ':') {
        minutes = digitsAt(zone, 4, 2);
    } else if (zone.size() == 5) {
        minutes = digitsAt(zone, 3, 2);
    } else if (zone.size() != 3) {
        return std::nullopt;
    }
    if (!hours || !minutes || *hours > 14 || *minutes > 59) {
        return std::nullopt;
    }
    const int offset = *hours * 60 + *minutes;
    return zone[0] == '-' ? -offset : offset;
}

std::size_t skipBlanks(std::string_view t, std::size_t pos) {
    while (pos < t.size() && (t[pos] == ' ' || t[pos] == '\t')) {
        ++pos;
    }
    return pos;
}

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
    return trimmed(line).empty();
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

std::optional<std::string> describeHeader(std::string_view header, Layout& layout) {
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
        if (key == "close") {
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
        return "the header names no close column";
    }
    return std::nullopt;
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
std::optional<std::string> detectLayout(std::string_view first, InputFormat wanted, Layout& layout,
                                        bool& consumesLine) {
    consumesLine = false;
    InputFormat format = wanted;
    if (format == InputFormat::Auto) {
        if (looksLikeMetaTrader(first)) {
            format = InputFormat::MetaTrader;
        } else if (looksLikeAscii(first)) {
            format = InputFormat::Ascii;
        } else if (parseTimestamp(splitFields(first, likelySeparator(first))[0])) {
            return "no header line, and the bars fit none of the headerless layouts";
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
    default:
        consumesLine = true;
        return describeHeader(first, layout);
    }
}

// A field past the layout's columns would mean the row is shifted, often by a
// decimal comma in a comma-separated file; empty ones are a trailing separator.
std::optional<std::string> checkExtraFields(const std::vector<std::string_view>& fields,
                                            const Layout& layout) {
    if (fields.size() <= layout.fieldCount ||
        std::all_of(fields.begin() + static_cast<std::ptrdiff_t>(layout.fieldCount), fields.end(),
                    [](std::string_view field) { return trimmed(field).empty(); })) {
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

bool isZero(std::string_view field) {
    const std::string_view t = trimmed(field);
    double value = 1.0;
    const auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), value);
    return !t.empty() && error == std::errc() && end == t.data() + t.size() && value == 0.0;
}

std::string_view closeField(const std::vector<std::string_view>& fields, const Layout& layout) {
    for (const int column : layout.closeColumns) {
        const auto index = static_cast<std::size_t>(column);
        if (index < fields.size() && !trimmed(fields[index]).empty()) {
            return fields[index];
        }
    }
    return {};
}

// Scripts fill slots they have no bar for with a zero price, often with a
// zero or 1970 date ("1970.01.01,00:00,0,0,0,0,0", "0,0,0,0,0"): no bar.
bool isPlaceholder(const std::vector<std::string_view>& fields, const Layout& layout) {
    const bool allZero = std::all_of(fields.begin(), fields.end(), [](std::string_view field) {
        return trimmed(field).empty() || isZero(field);
    });
    return allZero || isZero(closeField(fields, layout));
}

enum class RowKind { Bar, Placeholder };

std::optional<std::string> parseRow(std::string_view line, const Layout& layout, RawBar& bar,
                                    RowKind& kind) {
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
    std::string stampText(trimmed(fields[static_cast<std::size_t>(layout.dateColumn)]));
    if (layout.timeColumn >= 0) {
        stampText += ' ';
        stampText += trimmed(fields[static_cast<std::size_t>(layout.timeColumn)]);
    }
    const auto stamp = parseTimestamp(stampText);
    if (!stamp) {
        return "bad date or time \"" + stampText + "\"";
    }
    for (const int column : layout.closeColumns) {
        const auto index = static_cast<std::size_t>(column);
        if (index >= fields.size() || trimmed(fields[index]).empty()) {
            continue;
        }
        const auto price = parsePrice(fields[index]);
        if (!price) {
            return "bad close price \"" + std::string(trimmed(fields[index])) +
                   "\" (a number above 0 and below 1000000)";
        }
        bar = {stamp->stamp, stamp->offsetMinutes, *price};
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

std::optional<Timestamp> parseTimestamp(std::string_view text) {
    const std::string_view t = trimmed(text);
    const auto date = parseDatePart(t);
    if (!date || !validDate(date->date)) {
        return std::nullopt;
    }
    std::size_t pos = date->end;
    TimePart time;
    if (pos < t.size() && (t[pos] == ' ' || t[pos] == 'T' || t[pos] == 't' || t[pos] == '\t')) {
        pos = skipBlanks(t, pos + 1);
        if (pos < t.size() && isDigit(t[pos])) {
            const auto parsed = parseTimePart(t, pos);
            if (!parsed) {
                return std::nullopt;
            }
            time = *parsed;
            pos = parsed->end;
        }
    }
    Timestamp result;
    result.stamp =
        daysFromCivil(date->date) * MINUTES_PER_DAY + time.hour * MINUTES_PER_HOUR + time.minute;
    pos = skipBlanks(t, pos);
    if (pos < t.size()) {
        result.offsetMinutes = parseZone(t.substr(pos));
        if (!result.offsetMinutes) {
            return std::nullopt;
        }
    }
    return result;
}

std::optional<double> parsePrice(std::string_view text) {
    const std::string_view t = trimmed(text);
    if (t.empty() || !(isDigit(t.front()) || t.front() == '.')) {
        return std::nullopt;
    }
    double value = 0.0;
    const auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (error != std::errc() || end != t.data() + t.size() || !(value > 0.0 && value < MAX_PRICE)) {
        return std::nullopt;
    }
    return value;
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
    return std::nullopt;
}

BarReadResult readBars(std::istream& in, const std::string& fileName, InputFormat format) {
    BarReadResult result;
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
            if (auto problem = detectLayout(line, format, layout, consumesLine)) {
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
        RowKind kind = RowKind::Bar;
        if (auto problem = parseRow(line, layout, bar, kind)) {
            return fail(lineNumber, *problem);
        }
        if (kind == RowKind::Placeholder) {
            result.placeholders.add(lineNumber);
            continue;
        }
        result.bars.push_back(bar);
        result.lines.push_back(lineNumber);
    }
    if (result.bars.empty()) {
        return fail(0, "holds no bars");
    }
    result.headerSaysUtc = layout.stampsNamedUtc;
    return result;
}

} // namespace vz
