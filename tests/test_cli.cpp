// The program end to end: each case under tests/e2e/cases runs the built
// program with the arguments of its `args` file and compares standard output,
// standard error and the exit status with the expected files.
//
// Expected files are plain text with a few line patterns, so that the parts a
// text cannot fix in advance are still checked:
//   {HELP}          the lines of tests/e2e/help.txt (the help text)
//   {ROW}           one well-formed table row
//   {ROW d s}       a well-formed row whose epoch fields read d and s
//   {CSV}           one well-formed line of the comma-separated output
//   {CSV text}      such a line beginning with text and a comma (for
//                   example its time stamp, day number and seconds of day)
//   {ELAPSED}       inside a line: the elapsed seconds, digits "." three digits
// The `args` file holds one argument per line (an empty line is an empty
// argument); \xHH stands for a byte and \\ for a backslash.
#include <gtest/gtest.h>

#include <dirent.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "support/run_program.h"
#include "support/table.h"

using testsupport::CsvRow;
using testsupport::ParseCsvRow;
using testsupport::ParseRow;
using testsupport::ProgramRun;
using testsupport::ReadFile;
using testsupport::RunProgram;
using testsupport::SplitLines;
using testsupport::TableRow;

namespace {

const std::string kCases = std::string(HAVORKASTILO_SOURCE_DIR) + "/tests/e2e/cases";
const std::string kHelpFile = std::string(HAVORKASTILO_SOURCE_DIR) + "/tests/e2e/help.txt";

std::string Unescape(const std::string& line) {
    std::string out;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\\' && i + 1 < line.size() && line[i + 1] == '\\') {
            out += '\\';
            ++i;
        } else if (line[i] == '\\' && i + 3 < line.size() && line[i + 1] == 'x') {
            out += static_cast<char>(std::stoi(line.substr(i + 2, 2), nullptr, 16));
            i += 3;
        } else {
            out += line[i];
        }
    }
    return out;
}

std::vector<std::string> CaseNames() {
    std::vector<std::string> names;
    if (DIR* d = opendir(kCases.c_str())) {
        while (dirent* e = readdir(d))
            if (e->d_name[0] != '.') names.push_back(e->d_name);
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Matches one actual line against one expected line (with its patterns).
bool LineMatches(const std::string& expected, const std::string& actual, std::string& why) {
    if (expected.rfind("{ROW", 0) == 0) {
        TableRow row;
        if (!ParseRow(actual, row, &why)) return false;
        std::istringstream pattern(expected.substr(4, expected.size() - 5));
        std::string day, sec;
        if (pattern >> day >> sec) {
            if (row.text[0] != day || row.text[1] != sec) {
                why = "epoch " + row.text[0] + " " + row.text[1] + ", expected " + day + " " + sec;
                return false;
            }
        }
        return true;
    }
    if (expected.rfind("{CSV", 0) == 0) {
        CsvRow row;
        if (!ParseCsvRow(actual, row, &why)) return false;
        if (expected.size() > 5) {
            const std::string start = expected.substr(5, expected.size() - 6) + ",";
            if (actual.compare(0, start.size(), start) != 0) {
                why = "expected the line to begin with " + start;
                return false;
            }
        }
        return true;
    }
    const std::size_t at = expected.find("{ELAPSED}");
    if (at != std::string::npos) {
        const std::string head = expected.substr(0, at), tail = expected.substr(at + 9);
        if (actual.size() < head.size() + tail.size() + 5 || actual.compare(0, head.size(), head) ||
            actual.compare(actual.size() - tail.size(), tail.size(), tail))
            return false;
        const std::string number =
            actual.substr(head.size(), actual.size() - head.size() - tail.size());
        // Digits, a point, three digits.
        const std::size_t point = number.find('.');
        if (point == 0 || point == std::string::npos || number.size() - point != 4) return false;
        return std::all_of(number.begin(), number.end(),
                           [](char c) { return c == '.' || (c >= '0' && c <= '9'); }) &&
               number.find('.', point + 1) == std::string::npos;
    }
    return expected == actual;
}

// Compares a whole stream; reports the first difference.
void ExpectStream(const std::string& name, const std::string& expectedText,
                  const std::string& actual) {
    std::vector<std::string> expected;
    for (const std::string& line : SplitLines(expectedText)) {
        if (line == "{HELP}") {
            for (const std::string& h : SplitLines(ReadFile(kHelpFile))) expected.push_back(h);
            // The help text's last line is empty: SplitLines drops nothing else.
        } else {
            expected.push_back(line);
        }
    }
    const std::vector<std::string> got = SplitLines(actual);
    const bool expectEndsWithNewline = !expectedText.empty() && expectedText.back() == '\n';
    const bool gotEndsWithNewline = !actual.empty() && actual.back() == '\n';
    for (std::size_t i = 0; i < std::max(expected.size(), got.size()); ++i) {
        if (i >= expected.size()) {
            ADD_FAILURE() << name << ": extra line " << i + 1 << ": [" << got[i] << "]";
            return;
        }
        if (i >= got.size()) {
            ADD_FAILURE() << name << ": missing line " << i + 1 << ": [" << expected[i] << "]";
            return;
        }
        std::string why;
        if (!LineMatches(expected[i], got[i], why)) {
            ADD_FAILURE() << name << ": line " << i + 1 << "\n  expected [" << expected[i]
                          << "]\n  actual   [" << got[i] << "] " << why;
            return;
        }
    }
    EXPECT_EQ(expectEndsWithNewline, gotEndsWithNewline) << name << ": final line end";
}

class CommandLineCase : public testing::TestWithParam<std::string> {};

TEST_P(CommandLineCase, OutputErrorAndStatusAsExpected) {
    const std::string dir = kCases + "/" + GetParam();
    std::vector<std::string> args;
    for (const std::string& line : SplitLines(ReadFile(dir + "/args")))
        args.push_back(Unescape(line));
    const ProgramRun run = RunProgram(HAVORKASTILO_EXE, args);
    ASSERT_TRUE(run.exited) << "signal " << run.signal << (run.timed_out ? " (timed out)" : "")
                            << "\n"
                            << run.err;
    EXPECT_EQ(run.status, std::stoi(ReadFile(dir + "/status")));
    ExpectStream("standard output", ReadFile(dir + "/stdout"), run.out);
    ExpectStream("standard error", ReadFile(dir + "/stderr"), run.err);
}

INSTANTIATE_TEST_SUITE_P(Cases, CommandLineCase, testing::ValuesIn(CaseNames()),
                         [](const testing::TestParamInfo<std::string>& c) { return c.param; });

}  // namespace
