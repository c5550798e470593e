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

}  // namespace testsupport
