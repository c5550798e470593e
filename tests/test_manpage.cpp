// The manual page man/Havorkastilo.1 against the program: every option of the
// help text is described, the messages the program writes are quoted as it
// writes them, the table shown is the one it prints, and the page renders
// without warnings where groff and man are installed.  The same for the pages
// of the plot helper, man/havorkastilo-plot.1, and of the batch runner,
// man/havorkastilo-batch.1, against their --help.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "src/fHelp.h"
#include "support/run_program.h"

namespace {

using testsupport::ProgramRun;
using testsupport::ReadFile;
using testsupport::RunProgram;
using testsupport::SplitLines;

const std::string kPage = std::string(HAVORKASTILO_SOURCE_DIR) + "/man/Havorkastilo.1";
const std::string kPlotPage = std::string(HAVORKASTILO_SOURCE_DIR) + "/man/havorkastilo-plot.1";
const std::string kPlotScript = std::string(HAVORKASTILO_SOURCE_DIR) + "/tools/havorkastilo-plot";
const std::string kBatchPage = std::string(HAVORKASTILO_SOURCE_DIR) + "/man/havorkastilo-batch.1";
const std::string kBatchScript = std::string(HAVORKASTILO_SOURCE_DIR) + "/tools/havorkastilo-batch";
const std::string kGridPage = std::string(HAVORKASTILO_SOURCE_DIR) + "/man/havorkastilo-grid.1";

// The roff source as its reader sees the words: font changes dropped, the
// escaped minus, backslash and quotes turned into their characters.
std::string Plain(const std::string& roff) {
    std::string out;
    for (std::size_t i = 0; i < roff.size(); ++i) {
        if (roff[i] != '\\' || i + 1 == roff.size()) {
            out += roff[i];
            continue;
        }
        const char c = roff[i + 1];
        if (c == 'f' && i + 2 < roff.size()) {  // \fB, \fI, \fR, \fP
            i += 2;
        } else if (c == '-') {
            out += '-';
            ++i;
        } else if (c == 'e') {
            out += '\\';
            ++i;
        } else if (c == '&') {
            ++i;
        } else if (c == '(' && i + 3 < roff.size()) {  // two-letter glyph names
            const std::string name = roff.substr(i + 2, 2);
            out += name == "dq" ? "\"" : name == "aq" ? "'" : "?";
            i += 3;
        } else {
            out += roff[i];
        }
    }
    return out;
}

// Runs of blanks and line ends become one blank, so that a message matches
// whether the page fills it or keeps its lines.
std::string Squeeze(const std::string& text) {
    std::string out;
    bool blank = false;
    for (char c : text) {
        if (c == ' ' || c == '\n' || c == '\t') {
            blank = true;
            continue;
        }
        if (blank && !out.empty()) out += ' ';
        blank = false;
        out += c;
    }
    return out;
}

// The lines of one section of the page (from ".SH NAME" to the next ".SH").
std::vector<std::string> Section(const std::string& roff, const std::string& name) {
    std::vector<std::string> lines;
    bool in = false;
    for (const std::string& line : SplitLines(roff)) {
        if (line.rfind(".SH ", 0) == 0)
            in = line == ".SH " + name;
        else if (in)
            lines.push_back(line);
    }
    return lines;
}

// Expands an option pattern of the help text into the options it stands
// for: "-g[k|o[S|L|N]]" gives -gk, -goS, -goL and -goN.
std::vector<std::string> ExpandAlternatives(const std::string& p, std::size_t& i);

std::vector<std::string> ExpandSequence(const std::string& p, std::size_t& i) {
    std::vector<std::string> results{""};
    while (i < p.size() && p[i] != '|' && p[i] != ']') {
        std::vector<std::string> tails;
        if (p[i] == '[') {
            ++i;
            tails = ExpandAlternatives(p, i);
            if (i < p.size() && p[i] == ']') ++i;
        } else {
            tails = {std::string(1, p[i++])};
        }
        std::vector<std::string> next;
        for (const std::string& head : results)
            for (const std::string& tail : tails) next.push_back(head + tail);
        results = next;
    }
    return results;
}

std::vector<std::string> ExpandAlternatives(const std::string& p, std::size_t& i) {
    std::vector<std::string> all = ExpandSequence(p, i);
    while (i < p.size() && p[i] == '|') {
        ++i;
        for (const std::string& s : ExpandSequence(p, i)) all.push_back(s);
    }
    return all;
}

std::vector<std::string> Expand(const std::string& pattern) {
    std::size_t i = 0;
    return ExpandAlternatives(pattern, i);
}

// The options the help text names: the first word of every option line (the
// lines that begin with "-") and the options of the usage lines, whose value
// placeholders (POLOZAJ, EPOHA, DT, and N of -jN) are written in capitals.
std::set<std::string> HelpOptions() {
    std::set<std::string> options;
    for (int i = 0; i < HelpLineCount(); ++i) {
        const std::string line = HelpLine(i);
        std::istringstream words(line);
        std::string word;
        const bool usage =
            line.rfind("Havorkastilo.exe  -", 0) == 0 || line.rfind("                  -", 0) == 0;
        const bool optionLine = !line.empty() && line[0] == '-';
        if (!usage && !optionLine) continue;
        while (words >> word) {
            if (word[0] != '-') continue;
            std::size_t end = word.size();
            while (end > 0 && std::isupper(static_cast<unsigned char>(word[end - 1]))) --end;
            // One capital is an option letter (-goS), except right after the
            // option's first letter, where it stands for a number (-jN).
            if (word.size() - end < 2 && end != 2) end = word.size();
            for (const std::string& o : Expand(word.substr(0, end))) options.insert(o);
            if (optionLine) break;
        }
    }
    return options;
}

// The options the OPTIONS section describes: the bold word that begins the
// tag line of each .TP paragraph.
std::set<std::string> TaggedOptions(const std::string& roff) {
    std::set<std::string> tags;
    const std::vector<std::string> lines = Section(roff, "OPTIONS");
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i].rfind(".TP", 0) != 0) continue;
        const std::string& tag = lines[i + 1];
        if (tag.rfind("\\fB", 0) != 0) continue;
        const std::size_t end = tag.find("\\f", 3);
        tags.insert(Plain(tag.substr(3, end == std::string::npos ? end : end - 3)));
    }
    return tags;
}

// The text of a verbose echo line without its speaker and its value: what
// comes after "Havorkastilo" and the function name, up to the first digit.
std::string EchoText(std::string line) {
    line.erase(0, std::string("Havorkastilo").size());
    for (const char* fn : {"::ParseArguments():", "::CheckArguments():"})
        if (line.rfind(fn, 0) == 0) line.erase(0, std::string(fn).size());
    const std::size_t digit = line.find_first_of("0123456789");
    if (digit != std::string::npos) line.erase(digit);
    return Squeeze(line);
}

ProgramRun RunHavorkastilo(const std::vector<std::string>& args) {
    return RunProgram(HAVORKASTILO_EXE, args);
}

}  // namespace

TEST(ManualPageOptions, HelpTextOptionPatternsExpandToTheOptionsOfTheProgram) {
    // The expansion of the help's patterns is what the next check relies on.
    const std::set<std::string> expected = {"-pd", "-pc",  "-pr",  "-px",  "-e1", "-e2", "-ed",
                                            "-gk", "-goS", "-goL", "-goN", "-ot", "-oc", "-s",
                                            "-j",  "-ms",  "-mp",  "-v",   "-h"};
    EXPECT_EQ(HelpOptions(), expected);
    EXPECT_EQ(Expand("-g[k|o[S|L|N]]"), (std::vector<std::string>{"-gk", "-goS", "-goL", "-goN"}));
}

TEST(ManualPageOptions, EveryHelpOptionIsDescribedAndInTheSynopsis) {
    const std::string page = ReadFile(kPage);
    ASSERT_FALSE(page.empty()) << kPage;
    const std::set<std::string> tagged = TaggedOptions(page);
    std::string synopsis;
    for (const std::string& line : Section(page, "SYNOPSIS")) synopsis += Plain(line) + "\n";
    for (const std::string& option : HelpOptions()) {
        EXPECT_EQ(tagged.count(option), 1u) << option << " has no paragraph under OPTIONS";
        EXPECT_NE(synopsis.find(option), std::string::npos) << option << " is not in the SYNOPSIS";
    }
    EXPECT_EQ(tagged.size(), HelpOptions().size()) << "OPTIONS describes options the help lacks";
}

TEST(ManualPageOptions, HasTheSectionsOfAManualPage) {
    const std::string page = ReadFile(kPage);
    for (const char* name :
         {"NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "THE TABLE", "TIME SCALES",
          "STANDARD OUTPUT AND STANDARD ERROR", "EXIT STATUS", "DIAGNOSTICS", "EXAMPLES"})
        EXPECT_FALSE(Section(page, name).empty()) << "no section " << name;
}

TEST(ManualPageMessages, QuotesEveryWarningAsTheProgramWritesIt) {
    const std::string page = Squeeze(Plain(ReadFile(kPage)));
    const ProgramRun run = RunHavorkastilo({"-q", "-p", "-e", "-g", "-go", "foo"});
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.status, 0);
    int warnings = 0;
    const std::string open = "Warning -> ", close = " ####";
    for (std::size_t at = run.err.find(open); at != std::string::npos;
         at = run.err.find(open, at + 1)) {
        const std::size_t from = at + open.size();
        const std::string text = run.err.substr(from, run.err.find(close, from) - from);
        ++warnings;
        EXPECT_NE(page.find(Squeeze(text)), std::string::npos) << "not in the page: " << text;
    }
    EXPECT_EQ(warnings, 6);
    EXPECT_NE(page.find("#### Havorkastilo: Warning -> TEXT ####"), std::string::npos);
    EXPECT_NE(page.find("Continuing Havorkastilo ..."), std::string::npos);
}

TEST(ManualPageMessages, QuotesTheWarningAboutAStepBeyondInt) {
    const std::string page = Squeeze(Plain(ReadFile(kPage)));
    const ProgramRun run = RunHavorkastilo({"-ed2147483648:0:0", "-e22019-01-17/00:00:00"});
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.status, 0);
    const std::string open = "Warning -> ", close = " ####";
    const std::size_t from = run.err.find(open);
    ASSERT_NE(from, std::string::npos) << run.err;
    const std::size_t start = from + open.size();
    const std::string text = run.err.substr(start, run.err.find(close, start) - start);
    EXPECT_EQ(text, "CASOVNI KORAK JE PREVELIK [ -ed ]: \"2147483648:0:0\"");
    EXPECT_NE(page.find(Squeeze(text)), std::string::npos) << "not in the page: " << text;
}

TEST(ManualPageMessages, QuotesEveryErrorReportAsTheProgramWritesIt) {
    const std::string page = Squeeze(Plain(ReadFile(kPage)));
    struct Case {
        std::vector<std::string> args;
        bool onStdout;
    };
    // The write failure: the table goes to /dev/full, where every write fails.
    const std::string intoFullDevice = "exec \"$0\" -pc46,15,0 >/dev/full";
    const Case cases[] = {{{"-e12019-13-01/00:00:00"}, true},
                          {{"-e12019-01-17/30:00:00"}, true},
                          {{"-px0,0,0"}, false},
                          {{"-c", intoFullDevice, HAVORKASTILO_EXE}, false}};
    for (const Case& c : cases) {
        const std::string& what = c.args.size() == 1 ? c.args[0] : c.args[1];
        const ProgramRun run =
            c.args.size() == 1 ? RunHavorkastilo(c.args) : RunProgram("/bin/sh", c.args);
        ASSERT_TRUE(run.exited) << what;
        EXPECT_EQ(run.status, 1) << what;
        const std::string& report = c.onStdout ? run.out : run.err;
        int lines = 0;
        for (const std::string& line : SplitLines(report)) {
            if (Squeeze(line).empty()) continue;
            ++lines;
            EXPECT_NE(page.find(Squeeze(line)), std::string::npos)
                << what << ": not in the page: " << line;
        }
        EXPECT_EQ(lines, 2) << what;
    }
#if !defined(HAVORKASTILO_SANITIZED)
    // Too little memory: the first limit at which the program starts but a
    // month's blocks do not fit.
    const long start = testsupport::SmallestStartingLimit(HAVORKASTILO_EXE);
    ASSERT_GT(start, 0);
    bool reported = false;
    for (long kib = start; kib < start + 8192 && !reported; kib += 128) {
        const ProgramRun run = testsupport::RunWithMemoryLimit(
            HAVORKASTILO_EXE, {"-oc", "-e12019-01-01/00:00:00", "-e22019-01-31/00:00:00"}, kib);
        if (run.status != 1) continue;
        reported = true;
        for (const std::string& line : SplitLines(run.err)) {
            if (Squeeze(line).empty()) continue;
            EXPECT_NE(page.find(Squeeze(line)), std::string::npos) << "not in the page: " << line;
        }
    }
    EXPECT_TRUE(reported) << "no limit gave the memory report";
#endif
}

TEST(ManualPageMessages, QuotesEveryErrorOfStrictInput) {
    const std::string page = Squeeze(Plain(ReadFile(kPage)));
    // One command line per text of strict input's refusals.
    const std::vector<std::vector<std::string>> lines = {
        {"-s", "-pcabc"},
        {"-s", "-pc91,0,0"},
        {"-s", "-pc0,181,0"},
        {"-s", "-pd46.6,0,0"},
        {"-s", "-e12019-1-17/00:00:00"},
        {"-s", "-e11900-01-01/00:00:00"},
        {"-s", "-e12019-13-01/00:00:00"},
        {"-s", "-e12019-02-29/00:00:00"},
        {"-s", "-e12019-01-17/24:00:00"},
        {"-s", "-e12019-01-17/00:60:00"},
        {"-s", "-e12019-01-17/00:00:60"},
        {"-s", "-ed1.5"},
        {"-s", "-ed0"},
        {"-s", "-ed2147483648"},
        {"-oc", "-e12020-01-01/00:00:00"},
        {"-s", "-j999"},
    };
    std::set<std::string> texts;
    for (const auto& args : lines) {
        const ProgramRun run = RunHavorkastilo(args);
        ASSERT_TRUE(run.exited);
        EXPECT_EQ(run.status, 2) << args[1];
        EXPECT_EQ(run.out, "") << args[1];
        const std::string open = "Error -> ";
        const std::size_t from = run.err.find(open);
        ASSERT_NE(from, std::string::npos) << args[1];
        // The text up to the option in brackets.
        const std::size_t start = from + open.size();
        const std::string text = run.err.substr(start, run.err.find(" [ ", start) - start);
        texts.insert(text);
        EXPECT_NE(page.find(Squeeze(text)), std::string::npos) << "not in the page: " << text;
    }
    EXPECT_EQ(texts.size(), lines.size());
    EXPECT_NE(page.find("**** Havorkastilo: Error -> TEXT ****"), std::string::npos);
}

TEST(ManualPageExitStatus, NamesEveryStatusAndTheEndBySigpipe) {
    // The statuses are the tags of the section's paragraphs; 141 is what a
    // shell shows for a program that SIGPIPE ended (tests/test_cli_pipe.cpp).
    std::set<std::string> tags;
    std::string text;
    const std::vector<std::string> lines = Section(ReadFile(kPage), "EXIT STATUS");
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].rfind(".TP", 0) == 0 && i + 1 < lines.size() &&
            lines[i + 1].rfind(".B ", 0) == 0)
            tags.insert(lines[i + 1].substr(3));
        text += Plain(lines[i]) + "\n";
    }
    EXPECT_EQ(tags, (std::set<std::string>{"0", "1", "2", "141"}));
    const std::string words = Squeeze(text);
    EXPECT_NE(words.find("ended by SIGPIPE"), std::string::npos);
    EXPECT_NE(words.find("without a message"), std::string::npos);
    EXPECT_NE(words.find("Where SIGPIPE is ignored"), std::string::npos);
}

TEST(ManualPageMessages, ShowsTheVerboseEchoOfItsExampleLineByLine) {
    const std::string page = Plain(ReadFile(kPage));
    std::set<std::string> pageLines;
    for (const std::string& line : SplitLines(page)) pageLines.insert(line);
    const ProgramRun run = RunHavorkastilo({"-v", "-pd46.03,14.30,300", "-e12019-01-17/00:00:00",
                                            "-e22019-01-17/02:00:00", "-ed01:00:00", "-gk"});
    ASSERT_TRUE(run.exited);
    int shown = 0;
    for (const std::string& line : SplitLines(run.err)) {
        if (line.empty() || line.find("SUCCESFULLY ENDING PROGRAM") != std::string::npos) continue;
        ++shown;
        EXPECT_EQ(pageLines.count(line), 1u) << "not a line of the page: " << line;
    }
    EXPECT_EQ(shown, 12);
}

TEST(ManualPageMessages, ExplainsEveryVerboseEchoText) {
    const std::string page = Squeeze(Plain(ReadFile(kPage)));
    const std::vector<std::vector<std::string>> runs = {
        {"-v", "-pd46.03,14.30,300", "-e12019-01-17/00:00:00", "-e22019-01-17/02:00:00",
         "-ed01:00:00", "-gk"},
        {"-v", "-pc46,15,0", "-goS", "-goL", "-goN", "-h", "-e12019-01-18/00:00:00",
         "-e22019-01-17/00:00:00"},
        {"-v", "-pr0.8,0.26,0", "-px4252544,1100000,4500000"},
        {"-v", "-ed00:00:00"},
        {"-v", "-oc", "-ot", "-s", "-j2", "-j0", "-mp", "-ms", "-e22019-01-17/00:00:00"},
        {"-v", "-mp", "-e12150-01-01/00:00:00", "-e22150-01-01/00:00:00"}};
    std::set<std::string> texts;
    for (const auto& args : runs) {
        const ProgramRun run = RunHavorkastilo(args);
        ASSERT_TRUE(run.exited);
        EXPECT_EQ(run.status, 0);
        for (const std::string& line : SplitLines(run.err))
            if (line.rfind("Havorkastilo", 0) == 0) texts.insert(EchoText(line));
    }
    // Start and closing lines, 2 headings and the computing line; 4
    // positions, 2 epochs, the step, 4 geometries and help as read; the two
    // layouts, strict input, the threads (the text before the count) and the
    // two ephemerides; each of the three checks both passing and repairing;
    // and ERFA's extrapolation.
    EXPECT_EQ(texts.size(), 30u);
    for (const std::string& text : texts)
        EXPECT_NE(page.find(text), std::string::npos) << "not in the page: " << text;
}

TEST(ManualPageTable, ShowsTheHeadingAndRowsTheProgramPrints) {
    const std::string page = Plain(ReadFile(kPage));
    std::vector<std::string> shown;
    for (const std::string& line : SplitLines(page))
        if (line.rfind("#   EPOHA", 0) == 0 || line.rfind("#-", 0) == 0 ||
            line.rfind(" 58500", 0) == 0)
            shown.push_back(line);
    // The heading under THE TABLE, then the example's heading, rule and rows.
    ASSERT_EQ(shown.size(), 6u);
    const ProgramRun run = RunHavorkastilo(
        {"-pd46.03,14.30,300", "-e12019-01-17/00:00:00", "-e22019-01-17/23:00:00", "-ed01:00:00"});
    ASSERT_TRUE(run.exited);
    const std::vector<std::string> table = SplitLines(run.out);
    ASSERT_GE(table.size(), 5u);
    EXPECT_EQ(shown[0], table[0]);
    for (std::size_t i = 0; i < 5; ++i) EXPECT_EQ(shown[i + 1], table[i]) << "line " << i + 1;
    EXPECT_EQ(table[1], "#" + std::string(121, '-'));  // as the page says in words
}

namespace {

bool Have(const std::string& tool) {
    const ProgramRun run = RunProgram("/bin/sh", {"-c", "command -v " + tool});
    return run.exited && run.status == 0;
}

}  // namespace

TEST(ManualPageRendering, GroffFindsNothingToWarnAbout) {
    if (!Have("groff")) GTEST_SKIP() << "groff is not installed";
    for (const std::string& page : {kPage, kPlotPage, kBatchPage, kGridPage}) {
        const ProgramRun run =
            RunProgram("/bin/sh", {"-c", "groff -man -Tutf8 -ww -z '" + page + "'"});
        ASSERT_TRUE(run.exited) << page;
        EXPECT_EQ(run.status, 0) << page;
        EXPECT_EQ(run.err, "") << page;
    }
}

TEST(ManualPageRendering, ManShowsThePagesWithoutWarnings) {
    if (!Have("man") || !Have("groff")) GTEST_SKIP() << "man or groff is not installed";
    const struct {
        std::string page, name;
    } pages[] = {{kPage, "Havorkastilo - solid Earth tide displacement"},
                 {kPlotPage, "havorkastilo-plot - draw the solid Earth tide results"},
                 {kBatchPage, "havorkastilo-batch - run Havorkastilo for every station of a list"},
                 {kGridPage, "havorkastilo-grid - solid Earth tide over an area, every node exact"}};
    for (const auto& p : pages) {
        const ProgramRun run = RunProgram(
            "/bin/sh",
            {"-c", "LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l '" + p.page + "'"});
        ASSERT_TRUE(run.exited) << p.page;
        EXPECT_EQ(run.status, 0) << p.page;
        EXPECT_EQ(run.err, "") << p.page;
        EXPECT_NE(Squeeze(run.out).find(p.name), std::string::npos) << p.page;
        EXPECT_NE(run.out.find("EXIT STATUS"), std::string::npos) << p.page;
    }
}

TEST(PlotManualPage, DescribesEveryOptionOfTheHelpersHelp) {
    const ProgramRun help = RunProgram("/bin/sh", {"-c", "'" + kPlotScript + "' --help"});
    ASSERT_TRUE(help.exited);
    ASSERT_EQ(help.status, 0);
    std::set<std::string> listed;
    for (const std::string& line : SplitLines(help.out)) {
        std::istringstream words(line);
        std::string word;
        while (words >> word && word.rfind("-", 0) == 0 && word.size() > 1) {
            if (word.back() == ',') word.pop_back();
            listed.insert(word);
        }
    }
    const std::set<std::string> expected = {"-o",     "--output", "--svg", "-b",      "--bodies",
                                            "-t",     "--time",   "-T",    "--title", "-s",
                                            "--size", "-h",       "--help"};
    EXPECT_EQ(listed, expected);

    // Every bold word of the tag lines under OPTIONS.
    std::set<std::string> tagged;
    const std::vector<std::string> lines = Section(ReadFile(kPlotPage), "OPTIONS");
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i].rfind(".TP", 0) != 0) continue;
        const std::string& tag = lines[i + 1];
        for (std::size_t at = tag.find("\\fB"); at != std::string::npos;
             at = tag.find("\\fB", at + 3)) {
            const std::size_t end = tag.find("\\f", at + 3);
            tagged.insert(Plain(tag.substr(at + 3, end - at - 3)));
        }
    }
    for (const std::string& option : listed)
        EXPECT_EQ(tagged.count(option), 1u) << option << " has no paragraph in the plot page";
}

namespace {

// The bold words of the tag lines under OPTIONS of a helper's page.
std::set<std::string> TaggedWords(const std::string& roff) {
    std::set<std::string> tagged;
    const std::vector<std::string> lines = Section(roff, "OPTIONS");
    for (std::size_t i = 0; i + 1 < lines.size(); ++i) {
        if (lines[i].rfind(".TP", 0) != 0) continue;
        const std::string& tag = lines[i + 1];
        for (std::size_t at = tag.find("\\fB"); at != std::string::npos;
             at = tag.find("\\fB", at + 3)) {
            const std::size_t end = tag.find("\\f", at + 3);
            tagged.insert(Plain(tag.substr(at + 3, end - at - 3)));
        }
    }
    return tagged;
}

}  // namespace

TEST(BatchManualPage, DescribesEveryOptionOfTheRunnersHelp) {
    const ProgramRun help = RunProgram("/bin/sh", {"-c", "'" + kBatchScript + "' --help"});
    ASSERT_TRUE(help.exited);
    ASSERT_EQ(help.status, 0);
    // The option words of the lines under "Options:", up to the blank line.
    std::set<std::string> listed;
    bool in = false;
    for (const std::string& line : SplitLines(help.out)) {
        if (line == "Options:") {
            in = true;
            continue;
        }
        if (!in) continue;
        if (line.empty()) break;
        std::istringstream words(line);
        std::string word;
        while (words >> word && word.rfind("-", 0) == 0 && word.size() > 1) {
            if (word.back() == ',') word.pop_back();
            listed.insert(word);
        }
    }
    const std::set<std::string> expected = {"-o",      "--output", "-j",        "--jobs",
                                            "--force", "--shard",  "--check",   "--sshloginfile",
                                            "--slurm", "--submit", "--program", "-h",
                                            "--help"};
    EXPECT_EQ(listed, expected);

    const std::string page = ReadFile(kBatchPage);
    ASSERT_FALSE(page.empty()) << kBatchPage;
    const std::set<std::string> tagged = TaggedWords(page);
    for (const std::string& option : listed)
        EXPECT_EQ(tagged.count(option), 1u) << option << " has no paragraph in the runner's page";
    EXPECT_EQ(tagged, listed) << "the page describes options the help lacks";
    for (const char* name :
         {"NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "ENVIRONMENT", "EXIT STATUS", "EXAMPLES"})
        EXPECT_FALSE(Section(page, name).empty()) << "no section " << name;
    // The exit statuses of the help are those of the page.
    const std::string plain = Squeeze(Plain(page));
    for (const char* words : {"Every station was done or skipped, and no line was bad.",
                              "A station failed, a line was bad,", "Wrong command line.",
                              "The output folder cannot be made or written, or the program, GNU "
                              "Parallel or sbatch is missing or failed."})
        EXPECT_NE(plain.find(words), std::string::npos) << words;
    EXPECT_NE(help.out.find("0  every station was done or skipped, and no line was bad"),
              std::string::npos);
    EXPECT_NE(help.out.find("2  wrong command line"), std::string::npos);
}

#ifdef HAVORKASTILO_GRID_EXE
TEST(GridManualPage, DescribesEveryOptionOfTheToolsHelp) {
    const ProgramRun help = RunProgram(HAVORKASTILO_GRID_EXE, {"--help"});
    ASSERT_TRUE(help.exited);
    ASSERT_EQ(help.status, 0);
    // The option words that begin the help's option lines (indented 2 to 6).
    std::set<std::string> listed;
    for (const std::string& line : SplitLines(help.out)) {
        const std::size_t indent = line.find_first_not_of(' ');
        if (indent < 2 || indent > 6 || line[indent] != '-') continue;
        std::istringstream words(line);
        std::string word;
        while (words >> word && word.rfind("-", 0) == 0 && word.size() > 1) {
            if (word.back() == ',') word.pop_back();
            listed.insert(word);
        }
    }
    const std::set<std::string> expected = {
        "-R", "--region", "-I", "--spacing", "--pixel", "--like", "--lat", "--lon", "--height", "--dem", "-T",
        "--time", "--times", "--row-time", "--time-raster", "-C", "--components", "--los", "--los-rasters",
        "--ephemeris", "-o", "--output", "--format", "--type", "--deflate",
        "-j", "--threads", "-q", "--quiet", "-h", "--help", "-V", "--version"};
    EXPECT_EQ(listed, expected);
    const std::string page = ReadFile(kGridPage);
    ASSERT_FALSE(page.empty()) << kGridPage;
    std::set<std::string> tagged = TaggedWords(page);
    // The values named in bold in the tags (series, precise, nc, ...) are not options.
    for (auto it = tagged.begin(); it != tagged.end();)
        it = it->rfind("-", 0) == 0 ? std::next(it) : tagged.erase(it);
    EXPECT_EQ(tagged, listed) << "the page and the help list different options";
    for (const char* name : {"NAME", "SYNOPSIS", "DESCRIPTION", "OPTIONS", "FILES", "EXIT STATUS", "EXAMPLES"})
        EXPECT_FALSE(Section(page, name).empty()) << "no section " << name;
    EXPECT_NE(help.out.find("Exit status: 0 done, 1 a run-time failure, 2 a usage error."), std::string::npos);
}
#else
TEST(GridManualPage, DescribesEveryOptionOfTheToolsHelp) {
    GTEST_SKIP() << "havorkastilo-grid is not built (GDAL or netCDF was not found at configure time)";
}
#endif
