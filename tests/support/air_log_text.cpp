// The log read back line by line, its time checked for the log's form and then set aside.
#include "support/air_log_text.h"

#include <regex>

#include "support/test_files.h"

namespace support {

std::vector<std::string> airLogLines(const std::string& path) {
    const std::string text = readFile(path);
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; text != "<missing>" && (end = text.find("\r\n", start)) != std::string::npos;
         start = end + 2)
        lines.push_back(text.substr(start, end - start));
    if (text != "<missing>" && start < text.size())
        lines.push_back("<torn> " + text.substr(start));
    return lines;
}

std::string afterTime(const std::string& line) {
    static const std::regex time("\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}[+-]\\d\\d:\\d\\d\t.*");
    return std::regex_match(line, time) ? line.substr(30) : "<no time> " + line;
}

std::vector<std::string> airLogEvents(const std::string& path) {
    const std::vector<std::string> lines = airLogLines(path);
    std::vector<std::string> events;
    for (size_t i = 1; i < lines.size(); i++)
        events.push_back(afterTime(lines[i]));
    return events;
}

} // namespace support
