#include "support/air_log_text.h"

#include "support/test_files.h"

namespace support {

namespace {

constexpr size_t kTimeLength = 29; // "2026-12-08T22:18:47.123+01:00"

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// True when `line` begins with a time field and a tab: digits in their places, its separators, and
// an offset with a sign.
bool timed(const std::string& line) {
    const std::string shape = "dddd-dd-ddTdd:dd:dd.ddd+dd:dd\t";
    if (line.size() < shape.size())
        return false;
    for (size_t i = 0; i < shape.size(); i++) {
        const char want = shape[i];
        const bool ok = want == 'd'   ? isDigit(line[i])
                        : want == '+' ? line[i] == '+' || line[i] == '-'
                                      : line[i] == want;
        if (!ok)
            return false;
    }
    return true;
}

} // namespace

std::vector<std::string> airLogLines(const std::string& path) {
    const std::string text = readFile(path);
    std::vector<std::string> lines;
    if (text == "<missing>")
        return lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    if (start < text.size())
        lines.push_back("<torn> " + text.substr(start));
    return lines;
}

std::string afterTime(const std::string& line) {
    return timed(line) ? line.substr(kTimeLength + 1) : "<no time> " + line;
}

std::vector<std::string> airLogEvents(const std::string& path) {
    std::vector<std::string> events;
    const std::vector<std::string> lines = airLogLines(path);
    for (size_t i = 1; i < lines.size(); i++)
        events.push_back(afterTime(lines[i]));
    return events;
}

} // namespace support
