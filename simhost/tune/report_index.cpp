// The record is one comment line of `key=value` words whose values are percent-encoded, so that no
// playlist's name can end the comment early or run into the next word; anything else at a
// report's top is not a record, and such a page is never listed nor removed.
#include "tune/report_index.h"

#include <algorithm>
#include <cstring>

#include "report/html_page.h"
#include "report/sweep_report.h"

namespace {

constexpr char kRecordStart[] = "<!-- songbeacon-tune report:";
constexpr char kRecordEnd[] = " -->";
const char* const kAnswerWords[] = {"recommended", "nearest", "none"};

const char kStyle[] =
    "body{font:15px/1.45 sans-serif;color:#1d2733;margin:24px auto;max-width:900px;padding:0 16px}"
    "h1{font-size:24px;margin:0 0 4px}p{color:#4a5868}table{border-collapse:collapse}"
    "td,th{padding:4px 14px 4px 0;text-align:left;vertical-align:top}th{font-weight:600}"
    "td.t{white-space:nowrap;font-variant-numeric:tabular-nums}";

// `text` with each byte `escaped` picks written as %XX.
std::string percentEncoded(const std::string& text, bool (*escaped)(unsigned char byte)) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (escaped(byte)) {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        } else {
            out += c;
        }
    }
    return out;
}

// In a record: every byte that could end the comment, split a word or be misread as an escape;
// bytes from 0x80 up are kept as they are.
bool escapedInRecord(unsigned char byte) {
    return byte <= 0x20 || byte == 0x7F || std::strchr("%-<>&\"=", byte) != nullptr;
}

// In a link to a file: every byte a URL would take otherwise.
bool escapedInLink(unsigned char byte) {
    return byte <= 0x20 || byte >= 0x7F || std::strchr("%#?\"'<>&\\", byte) != nullptr;
}

std::string encoded(const std::string& text) {
    return percentEncoded(text, escapedInRecord);
}

int hexDigit(char c) {
    return c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
}

// The bytes `text` was encoded from; false when it holds a malformed escape.
bool decoded(const std::string& text, std::string* out) {
    out->clear();
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] != '%') {
            *out += text[i];
            continue;
        }
        if (i + 2 >= text.size() || hexDigit(text[i + 1]) < 0 || hexDigit(text[i + 2]) < 0)
            return false;
        *out += static_cast<char>(hexDigit(text[i + 1]) * 16 + hexDigit(text[i + 2]));
        i += 2;
    }
    return true;
}

// A whole number of at most six digits, as the record holds limits and statuses.
bool smallNumber(const std::string& text, int32_t* number) {
    if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    *number = std::stoi(text);
    return true;
}

// A time as the record holds it: "YYYY-MM-DD HH:MM:SS", digits where the digits go.
bool recordTime(const std::string& text) {
    static const char kShape[] = "0000-00-00 00:00:00";
    if (text.size() != sizeof kShape - 1)
        return false;
    for (size_t i = 0; i < text.size(); i++)
        if (kShape[i] == '0' ? text[i] < '0' || text[i] > '9' : text[i] != kShape[i])
            return false;
    return true;
}

// The file name as a link's address.
std::string linkTo(const std::string& file) {
    return percentEncoded(file, escapedInLink);
}

std::string answerText(const sim::ReportRecord& record) {
    switch (record.answer) {
    case sim::kAnswerRecommended:
        return "recommended: " + sim::settingText(record.setting);
    case sim::kAnswerNearest:
        return "no setting meets every goal; the choice nearest the goals: " +
               sim::settingText(record.setting);
    default:
        return "the run ended with an error before an answer (exit status " + std::to_string(record.status) +
               ")";
    }
}

} // namespace

namespace sim {

std::string reportFileName(const std::string& playlistName, const std::string& time, int32_t copy) {
    const size_t dot = playlistName.find_last_of('.');
    std::string name = playlistName.substr(0, dot == 0 ? std::string::npos : dot) + " " + time;
    std::replace(name.begin(), name.end(), ':', '-');
    return name + (copy > 1 ? " (" + std::to_string(copy) + ")" : "") + ".html";
}

std::string withRecord(const std::string& page, const ReportRecord& record) {
    const std::string line =
        std::string(kRecordStart) + " time=" + encoded(record.time) +
        " answer=" + kAnswerWords[record.answer] + " artist=" + std::to_string(record.setting.artistLimit) +
        " title=" + std::to_string(record.setting.titleLimit) + " status=" + std::to_string(record.status) +
        " playlist=" + encoded(record.playlist) + kRecordEnd + "\n";
    const size_t firstLine = page.find('\n');
    return firstLine == std::string::npos ? line + page
                                          : page.substr(0, firstLine + 1) + line + page.substr(firstLine + 1);
}

bool readRecord(const std::string& head, ReportRecord* record) {
    const size_t start = head.find(kRecordStart);
    const size_t end = start == std::string::npos ? start : head.find(kRecordEnd, start);
    if (end == std::string::npos)
        return false;
    const std::string words =
        head.substr(start + sizeof kRecordStart - 1, end - start - (sizeof kRecordStart - 1));
    ReportRecord found = {};
    found.answer = -1;
    int32_t seen = 0;
    for (size_t at = 0; at < words.size();) {
        const size_t blank = words.find(' ', at);
        const std::string word =
            words.substr(at, blank == std::string::npos ? std::string::npos : blank - at);
        at = blank == std::string::npos ? words.size() : blank + 1;
        if (word.empty())
            continue;
        const size_t equals = word.find('=');
        if (equals == std::string::npos)
            return false;
        const std::string key = word.substr(0, equals);
        std::string value;
        if (!decoded(word.substr(equals + 1), &value))
            return false;
        bool good = true;
        if (key == "time") {
            good = recordTime(value);
            found.time = value;
        } else if (key == "answer") {
            for (int32_t kind = kAnswerRecommended; kind <= kAnswerNone; kind++)
                found.answer = value == kAnswerWords[kind] ? kind : found.answer;
            good = found.answer >= 0;
        } else if (key == "artist") {
            good = smallNumber(value, &found.setting.artistLimit);
        } else if (key == "title") {
            good = smallNumber(value, &found.setting.titleLimit);
        } else if (key == "status") {
            good = smallNumber(value, &found.status);
        } else if (key == "playlist") {
            found.playlist = value;
        } else {
            continue; // a word a later version may add
        }
        if (!good)
            return false;
        seen++;
    }
    if (seen < 6)
        return false;
    found.file = record->file;
    *record = found;
    return true;
}

void keepNewest(std::vector<ReportRecord>* records, const std::string& own, std::vector<ReportRecord>* past) {
    std::sort(records->begin(), records->end(), [](const ReportRecord& a, const ReportRecord& b) {
        return a.time != b.time ? a.time > b.time : a.file > b.file;
    });
    past->clear();
    size_t kept = 0;
    std::vector<ReportRecord> newest;
    for (ReportRecord& record : *records) {
        if (kept < kKeptReports || record.file == own) {
            kept++;
            newest.push_back(record);
        } else {
            past->push_back(record);
        }
    }
    records->swap(newest);
}

std::string renderReportIndex(const std::vector<ReportRecord>& records) {
    std::string body = "<h1>Sweeps kept</h1>\n<p>songbeacon-tune keeps the reports of its latest " +
                       std::to_string(kKeptReports) +
                       " sweeps in this folder, newest first; older ones are removed as new ones come.</p>\n";
    if (records.empty())
        return htmlDocument("Sweeps kept", kStyle, body + "<p>None yet.</p>\n");
    body += "<table>\n<tr><th>started</th><th>playlist</th><th>answer</th></tr>\n";
    for (const ReportRecord& record : records)
        body += "<tr><td class=\"t\">" + htmlEscaped(record.time) + "</td><td><a href=\"" +
                htmlEscaped(linkTo(record.file)) + "\">" + htmlEscaped(record.playlist) + "</a></td><td>" +
                htmlEscaped(answerText(record)) + "</td></tr>\n";
    return htmlDocument("Sweeps kept", kStyle, body + "</table>\n");
}

} // namespace sim
