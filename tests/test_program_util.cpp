// Run timer, start and closing lines, runs of one character and banners.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <sstream>
#include <string>

#include "PROGINC/ProgramOutput.h"
#include "PROGINC/ProgramUtil.h"
#include "PROGINC/VarCout.h"
#include "funkcije/CppCas.h"
#include "support/capture.h"

using testsupport::Capture;

namespace {

const std::string kRule = std::string(110, '=');

// Uses about the given processor time, measured with clock() directly.
void BurnProcessor(double seconds) {
    const std::clock_t start = std::clock();
    volatile double sink = 0;
    while (static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC < seconds) sink = sink + 1;
}

// True when text has the layout "YYYY-MM-DD  hh:mm:ss".
bool IsCalendarText(const std::string& text) {
    const std::string layout = "dddd-dd-dd  dd:dd:dd";
    if (text.size() != layout.size()) return false;
    for (std::size_t i = 0; i < layout.size(); ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (layout[i] == 'd' ? !digit : text[i] != layout[i]) return false;
    }
    return true;
}

// The number between prefix and suffix of line, when line has exactly the
// form prefix + digits "." three digits + suffix; -1 otherwise.
double NumberBetween(const std::string& line, const std::string& prefix,
                     const std::string& suffix) {
    if (line.size() < prefix.size() + suffix.size() + 5) return -1;
    if (line.compare(0, prefix.size(), prefix) != 0) return -1;
    if (line.compare(line.size() - suffix.size(), suffix.size(), suffix) != 0) return -1;
    const std::string number =
        line.substr(prefix.size(), line.size() - prefix.size() - suffix.size());
    const std::size_t dot = number.find('.');
    if (dot == std::string::npos || dot == 0 || number.size() - dot != 4) return -1;
    for (std::size_t i = 0; i < number.size(); ++i) {
        if (i != dot && (number[i] < '0' || number[i] > '9')) return -1;
    }
    return std::stod(number);
}

std::string LocalTimeText() {
    std::time_t now = std::time(nullptr);
    char text[64];
    std::strftime(text, sizeof text, "%Y-%m-%d  %H:%M:%S", std::localtime(&now));
    return text;
}

}  // namespace

TEST(RunTimer, StopWithoutStartIsZero) {
    CppCas t;
    EXPECT_EQ(t.Stop(), 0.0);
    t.Start();
    t.Stop();
    EXPECT_EQ(t.Stop(), 0.0);  // stopped once already
}

TEST(RunTimer, MeasuresProcessorSeconds) {
    CppCas t;
    const auto wall0 = std::chrono::steady_clock::now();
    t.Start();
    BurnProcessor(0.05);
    const double dt = t.Stop();
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
    EXPECT_GE(dt, 0.05);
    // One thread cannot use more processor time than wall time.
    EXPECT_LE(dt, wall + 0.01);
}

// Regression: the difference of two clock readings was taken in 32 bits and
// wrapped after 2^32 ticks (about 71 minutes of microsecond ticks).
TEST(RunTimer, LongRunsAreMeasuredInTheFullWidthOfTheClock) {
    const std::clock_t perSecond = CLOCKS_PER_SEC;
    EXPECT_EQ(CppCas::Elapsed(0, 5000 * perSecond), 5000.0);
    const std::clock_t beyond32 = static_cast<std::clock_t>(4294967000LL);
    EXPECT_EQ(CppCas::Elapsed(beyond32, beyond32 + 2 * perSecond), 2.0);
    EXPECT_EQ(CppCas::Elapsed(100, 100 + perSecond / 4), 0.25);
    // A reading the runtime could not give.
    EXPECT_EQ(CppCas::Elapsed(static_cast<std::clock_t>(-1), 10), 0.0);
    EXPECT_EQ(CppCas::Elapsed(0, static_cast<std::clock_t>(-1)), 0.0);
}

TEST(RunTimer, CopiesKeepTheRunningState) {
    CppCas running;
    running.Start();
    CppCas copy(running);
    BurnProcessor(0.01);
    EXPECT_GE(copy.Stop(), 0.01);
    EXPECT_GE(running.Stop(), 0.01);
    CppCas stopped;
    CppCas stoppedCopy(stopped);
    EXPECT_EQ(stoppedCopy.Stop(), 0.0);
}

TEST(RunTimer, AsciiIsTheLocalCalendarTime) {
    CppCas t;
    const std::string before = LocalTimeText();
    const std::string text = t.Ascii();
    const std::string after = LocalTimeText();
    EXPECT_TRUE(IsCalendarText(text)) << text;
    EXPECT_TRUE(text == before || text == after) << text << " / " << before << " / " << after;
    EXPECT_EQ(t.Ascii(), t.Ascii());  // its own buffer
}

TEST(StartAndClosingLines, StartLineOnlyWhenVerbose) {
    auto quiet = Capture([] { StartProg(false, ": ***** X *****"); });
    EXPECT_EQ(quiet.out, "");
    EXPECT_EQ(quiet.err, "");
    auto verbose = Capture(
        [] { StartProg(true, ": ***** PLIMOVANJE TRDNE ZEMLJE - STARTING APPLICATION *****"); });
    EXPECT_EQ(verbose.out, "");
    EXPECT_EQ(verbose.err,
              "\nHavorkastilo: ***** PLIMOVANJE TRDNE ZEMLJE - STARTING APPLICATION *****\n");
    prgutil::ctm.Stop();
}

TEST(StartAndClosingLines, ClosingLineOfATimerNeverStarted) {
    prgutil::ctm.Stop();
    auto o = Capture([] { EndProg(true, false); });
    EXPECT_EQ(o.out, "");
    EXPECT_EQ(o.err, "Havorkastilo: ***** SUCCESFULLY ENDING PROGRAM [0.000 s] *****!\n\n\n");
}

TEST(StartAndClosingLines, ClosingLineInFixedNotationWithThreeDecimalsLeftSet) {
    std::ios::fmtflags flags{};
    std::streamsize precision = 0;
    auto o = Capture([&] {
        std::cerr << std::showpos;
        StartProg(false, "");
        BurnProcessor(0.02);
        EndProg(true, false);
        flags = std::cerr.flags();
        precision = std::cerr.precision();
    });
    EXPECT_EQ(o.out, "");
    const double dt = NumberBetween(o.err, "Havorkastilo: ***** SUCCESFULLY ENDING PROGRAM [+",
                                    " s] *****!\n\n\n");
    EXPECT_GE(dt, 0.02) << o.err;
    EXPECT_TRUE(flags & std::ios::fixed);
    EXPECT_TRUE(flags & std::ios::showpos);  // other flags are not cleared
    EXPECT_EQ(precision, 3);
    // The timer is stopped.
    EXPECT_EQ(prgutil::ctm.Stop(), 0.0);
}

TEST(StartAndClosingLines, QuietRunWritesNothingAndBannerGoesToStandardOutput) {
    StartProg(false, "");
    auto quiet = Capture([] { EndProg(false, false); });
    EXPECT_EQ(quiet.out, "");
    EXPECT_EQ(quiet.err, "");
    EXPECT_EQ(prgutil::ctm.Stop(), 0.0);

    auto banner = Capture([] { EndProg(false, true); });
    EXPECT_EQ(banner.err, "");
    EXPECT_EQ(banner.out,
              kRule + "\nPROGRAM:     Havorkastilo     ***** SUCCESFULLY ENDED [0.000 s] *****\n" +
                  kRule + "\n\n");
}

TEST(CharacterRuns, BlanksThenRunThenLineEnd) {
    auto o = Capture([] {
        PrintChar('-', 5, 3);
        PrintChar('*', 0, 2);
        PrintChar('*', -1, 0);
        PrintChar('+', 2, -4);
        PrintCharNoEndl('#', 4);
        PrintCharNoEndl('#', 0);
    });
    EXPECT_EQ(o.out, "   -----\n  ++\n####");
    EXPECT_EQ(o.err, "");
}

TEST(CharacterRuns, FillIsBlankAfterwards) {
    char fill = '?';
    auto o = Capture([&] {
        std::cout << std::setfill('.');
        PrintChar('=', 3, 2);
        fill = std::cout.fill();
        std::cout << std::setw(4) << 7;
    });
    EXPECT_EQ(o.out, "  ===\n   7");
    EXPECT_EQ(fill, ' ');
}

TEST(CharacterRuns, OnAFileStream) {
    const std::string path = testing::TempDir() + "havorkastilo_varcout.txt";
    {
        std::fstream out(path, std::ios::out | std::ios::trunc);
        PrintChar('~', 3, out);
        PrintChar('~', 0, out);
        PrintChar('x', 1, out);
        EXPECT_EQ(out.fill(), ' ');
    }
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "~~~\nx\n");
    std::remove(path.c_str());
}

TEST(Banners, SubTitleBetweenTwoRulesThenAnEmptyLine) {
    auto o = Capture([] { ProgramSubTitle("Rezultati", 2); });
    EXPECT_EQ(o.out, "  " + kRule + "\n  Rezultati\n  " + kRule + "\n\n");
    auto flush = Capture([] { ProgramSubTitle("", 0); });
    EXPECT_EQ(flush.out, kRule + "\n\n" + kRule + "\n\n");
}

TEST(Banners, TitleFieldsStartEmpty) {
    for (char ch : POut::ProgramName) EXPECT_EQ(ch, '\0');
    for (char ch : POut::ProgramDescription) EXPECT_EQ(ch, '\0');
    for (char ch : POut::Author) EXPECT_EQ(ch, '\0');
    for (char ch : POut::ValidationDate) EXPECT_EQ(ch, '\0');
    for (char ch : POut::Release) EXPECT_EQ(ch, '\0');
    EXPECT_EQ(sizeof POut::ProgramName, 128u);
    EXPECT_EQ(sizeof POut::Release, 64u);
}
