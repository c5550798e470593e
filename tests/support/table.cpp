#include "support/table.h"

#include <cstdlib>

namespace testsupport {
namespace {

bool Fail(std::string* why, const std::string& text) {
    if (why) *why = text;
    return false;
}

// " *-?[0-9]+" followed by "." and exactly `decimals` digits when decimals > 0.
bool WellFormedNumber(const std::string& field, int decimals, std::string& trimmed) {
    std::size_t i = 0;
    while (i < field.size() && field[i] == ' ') ++i;
    trimmed = field.substr(i);
    std::size_t k = 0;
    if (k < trimmed.size() && trimmed[k] == '-') ++k;
    const std::size_t digits = k;
    while (k < trimmed.size() && trimmed[k] >= '0' && trimmed[k] <= '9') ++k;
    if (k == digits) return false;
    if (decimals == 0) return k == trimmed.size();
    if (k >= trimmed.size() || trimmed[k] != '.') return false;
    ++k;
    const std::size_t fraction = k;
    while (k < trimmed.size() && trimmed[k] >= '0' && trimmed[k] <= '9') ++k;
    return k == trimmed.size() && k - fraction == static_cast<std::size_t>(decimals);
}

}  // namespace

bool ParseRow(const std::string& line, TableRow& row, std::string* why) {
    if (line.size() != static_cast<std::size_t>(kRowLength))
        return Fail(why, "row length " + std::to_string(line.size()) + ": [" + line + "]");
    std::size_t pos = 0;
    for (int f = 0; f < kRowFields; ++f) {
        const std::string field = line.substr(pos, kRowWidths[f]);
        pos += kRowWidths[f];
        if (field.front() != ' ' && f > 0 && field.front() != '-' &&
            !(field.front() >= '0' && field.front() <= '9'))
            return Fail(why, "field " + std::to_string(f + 1) + " [" + field + "]");
        if (!WellFormedNumber(field, kRowDecimals[f], row.text[f]))
            return Fail(why, "field " + std::to_string(f + 1) + " malformed: [" + field + "]");
        row.value[f] = std::strtold(row.text[f].c_str(), nullptr);
    }
    return true;
}

bool ParseCsvRow(const std::string& line, CsvRow& row, std::string* why) {
    std::size_t start = 0;
    for (int f = 0; f < kCsvFields; ++f) {
        const std::size_t comma = line.find(',', start);
        if ((comma == std::string::npos) != (f == kCsvFields - 1))
            return Fail(why, "not 15 fields: [" + line + "]");
        row.text[f] = line.substr(start, comma == std::string::npos ? std::string::npos
                                                                     : comma - start);
        start = comma + 1;
    }
    const std::string& t = row.text[0];
    static const char kStamp[] = "dddd-dd-ddTdd:dd:dd.dddddddZ";
    bool stamp = t.size() == sizeof kStamp - 1;
    for (std::size_t i = 0; stamp && i < t.size(); ++i)
        stamp = kStamp[i] == 'd' ? (t[i] >= '0' && t[i] <= '9') : t[i] == kStamp[i];
    if (!stamp) return Fail(why, "time stamp [" + t + "]");
    row.year = std::atoi(t.substr(0, 4).c_str());
    row.month = std::atoi(t.substr(5, 2).c_str());
    row.day = std::atoi(t.substr(8, 2).c_str());
    row.hour = std::atoi(t.substr(11, 2).c_str());
    row.minute = std::atoi(t.substr(14, 2).c_str());
    row.second = std::strtold(t.substr(17, 10).c_str(), nullptr);
    for (int f = 1; f < kCsvFields; ++f) {
        std::string trimmed;
        if (row.text[f].empty() || row.text[f][0] == ' ' ||
            !WellFormedNumber(row.text[f], kCsvDecimals[f], trimmed))
            return Fail(why, "field " + std::to_string(f + 1) + " malformed: [" + row.text[f] + "]");
        row.value[f] = std::strtold(row.text[f].c_str(), nullptr);
    }
    return true;
}

}  // namespace testsupport
