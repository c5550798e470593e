// The plot helper tools/havorkastilo-plot: it refuses what is not a table of
// Havorkastilo before it draws anything, says why and leaves no picture; and,
// where gnuplot is installed, it draws real tables of the program as PNG and
// SVG files of the size asked for.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "support/run_program.h"

namespace {

using testsupport::MakeTempDir;
using testsupport::ProgramRun;
using testsupport::Quote;
using testsupport::ReadFile;
using testsupport::RunProgram;
using testsupport::Shell;
using testsupport::SplitLines;
using testsupport::WriteFile;

const std::string kScript = std::string(HAVORKASTILO_SOURCE_DIR) + "/tools/havorkastilo-plot";

bool Exists(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0;
}

bool HaveGnuplot() {
    const ProgramRun run = Shell("command -v gnuplot");
    return run.exited && run.status == 0;
}

// A folder of its own for each test, removed afterwards.
class PlotTest : public testing::Test {
  protected:
    void SetUp() override {
        dir_ = MakeTempDir("havorkastilo-plot-test");
        ASSERT_FALSE(dir_.empty());
    }
    void TearDown() override {
        if (!dir_.empty()) Shell("rm -rf " + Quote(dir_));
    }
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }

    // The program's table for the worked example station, written to a file.
    std::string Table(const std::string& name, const std::vector<std::string>& epochs) {
        std::vector<std::string> args = {"-pd46.03,14.30,300"};
        args.insert(args.end(), epochs.begin(), epochs.end());
        const ProgramRun run = RunProgram(HAVORKASTILO_EXE, args);
        EXPECT_TRUE(run.exited && run.status == 0);
        WriteFile(Path(name), run.out);
        return Path(name);
    }
    std::string ThreeDays(const std::string& name = "table.txt") {
        return Table(name, {"-e12019-01-17/00:00:00", "-e22019-01-20/00:00:00", "-ed00:10:00"});
    }

    // Runs the helper with the given shell arguments.
    ProgramRun Plot(const std::string& args, const std::string& env = "") {
        return Shell(env + " " + Quote(kScript) + " " + args);
    }

    std::string dir_;
};

// Width and height of a PNG from its IHDR chunk, which follows the 8-byte
// signature, the chunk length and the chunk type: two big-endian 32-bit words.
bool PngSize(const std::string& png, std::uint32_t& width, std::uint32_t& height) {
    static const std::string kSignature("\x89PNG\r\n\x1a\n", 8);
    if (png.size() < 24 || png.compare(0, 8, kSignature) != 0 || png.compare(12, 4, "IHDR") != 0)
        return false;
    auto word = [&](std::size_t at) {
        std::uint32_t v = 0;
        for (std::size_t i = 0; i < 4; ++i) v = v << 8 | static_cast<unsigned char>(png[at + i]);
        return v;
    };
    width = word(16);
    height = word(20);
    return true;
}

// The tic labels of the date axis in an SVG picture of the helper: for each
// tic, by its x position [px], the lines of its label (the date, then the
// time of day where it is shown).  gnuplot writes every label line as a
// centred text in a group translated to its place; the date lines are the
// ones that read YYYY-MM-DD, and the time lines stand 15 px below them.
std::vector<std::pair<double, std::string>> DateAxisLabels(const std::string& svg) {
    std::vector<std::pair<double, std::string>> labels;
    std::vector<std::pair<std::pair<double, double>, std::string>> texts;
    const std::string open = "<g transform=\"translate(";
    for (std::size_t at = svg.find(open); at != std::string::npos; at = svg.find(open, at + 1)) {
        double x = 0, y = 0;
        if (std::sscanf(svg.c_str() + at + open.size(), "%lf,%lf", &x, &y) != 2) continue;
        const std::size_t text = svg.find("<text>", at);
        const std::size_t end = svg.find("</text>", text);
        if (text == std::string::npos || end == std::string::npos || svg.find("</g>", at) < text)
            continue;
        texts.push_back({{x, y}, svg.substr(text + 6, end - text - 6)});
    }
    const auto isDate = [](const std::string& t) {
        return t.size() == 10 && t[4] == '-' && t[7] == '-' &&
               t.find_first_not_of("0123456789-") == std::string::npos;
    };
    for (const auto& d : texts) {
        if (!isDate(d.second)) continue;
        std::string label = d.second;
        for (const auto& t : texts)
            if (t.first.first == d.first.first && t.first.second > d.first.second &&
                t.first.second < d.first.second + 20)
                label += " " + t.second;
        labels.push_back({d.first.first, label});
    }
    std::sort(labels.begin(), labels.end());
    return labels;
}

}  // namespace

TEST_F(PlotTest, HelpListsTheOptionsAndExitsZero) {
    const ProgramRun run = Plot("--help");
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.rfind("Usage: havorkastilo-plot", 0), 0u);
    for (const char* option : {"--output", "--svg", "--bodies", "--time", "--title", "--size",
                               "--help", "GNUPLOT", "Exit status"})
        EXPECT_NE(run.out.find(option), std::string::npos) << option;
    EXPECT_EQ(run.err, "");
}

TEST_F(PlotTest, WrongCommandLinesEndWithStatusTwo) {
    const std::string table = ThreeDays();
    const struct {
        std::string args, message;
    } cases[] = {
        {"-q", "unknown option: -q"},
        {"--bodies speed " + Quote(table), "--bodies takes \"distance\" or \"longitude\""},
        {"--time hours " + Quote(table), "--time takes \"days\", \"mjd\" or \"date\""},
        {"--size 10x10 " + Quote(table), "--size takes the width and height in pixels"},
        {Quote(table) + " " + Quote(table), "only one input file may be given"},
        {Quote(table) + " -o", "option -o needs a value"},
    };
    for (const auto& c : cases) {
        const ProgramRun run = Plot("-o " + Quote(Path("x.png")) + " " + c.args);
        ASSERT_TRUE(run.exited) << c.args;
        EXPECT_EQ(run.status, 2) << c.args;
        EXPECT_NE(run.err.find("havorkastilo-plot: error: " + c.message), std::string::npos)
            << c.args << "\n"
            << run.err;
        EXPECT_FALSE(Exists(Path("x.png"))) << c.args;
    }
}

TEST_F(PlotTest, RefusesWhatIsNotATableAndLeavesNoPicture) {
    const std::string good = ReadFile(ThreeDays());
    const std::vector<std::string> lines = SplitLines(good);
    ASSERT_GT(lines.size(), 5u);
    auto join = [](const std::vector<std::string>& ls) {
        std::string t;
        for (const std::string& l : ls) t += l + "\n";
        return t;
    };
    const ProgramRun help = RunProgram(HAVORKASTILO_EXE, {});
    const ProgramRun verbose = RunProgram(HAVORKASTILO_EXE, {"-v"});

    std::vector<std::string> shortRow = lines;  // the last field of the third row cut off
    shortRow[4] = shortRow[4].substr(0, shortRow[4].size() - 15);
    std::vector<std::string> nanRow = lines;  // the Sun's distance unreadable
    nanRow[3].replace(nanRow[3].size() - 53, 11, "        nan");
    std::vector<std::string> wordRow = lines;
    wordRow[6] = " 58500  3600.0    -0.9    -3.8    -4.9      west";
    std::vector<std::string> fewDecimals = lines;  // the MJD with a fraction
    fewDecimals[2].replace(0, 6, "58500.");
    std::vector<std::string> noRule = lines;
    noRule[1] = "#=====";
    std::vector<std::string> twoTables = lines;  // a second heading among the rows
    twoTables.insert(twoTables.end(), lines.begin(), lines.begin() + 3);

    const struct {
        std::string what, text, message;
    } cases[] = {
        {"empty input", "", "empty input: expected the table"},
        {"blank lines only", "\n\n", "line 1 is not the heading"},
        {"the heading alone", lines[0] + "\n", "the table ends after its heading line"},
        {"no rows", lines[0] + "\n" + lines[1] + "\n", "the table has no rows"},
        {"the help text", help.out, "line 1 is not the heading"},
        {"the verbose log before the table", verbose.err + verbose.out,
         "line 1 is not the heading"},
        {"a wrong rule line", join(noRule), "line 2 is not the rule line"},
        {"a row with a field missing", join(shortRow),
         "line 5: a row has 11 fields, this one has 10"},
        {"a row with nan", join(nanRow), "line 4: field 8 is not a number with 1 decimal: \"nan\""},
        {"a row with a word", join(wordRow), "line 7: a row has 11 fields, this one has 6"},
        {"a fractional day number", join(fewDecimals),
         "line 3: field 1 (MJD) is not a whole day number: \"58500.\""},
        {"two tables one after the other", join(twoTables),
         "field 1 (MJD) is not a whole day number: \"#\""},
    };
    ASSERT_FALSE(help.out.empty());
    ASSERT_FALSE(verbose.err.empty());
    for (const auto& c : cases) {
        WriteFile(Path("input.txt"), c.text);
        // From a file and from standard input alike.
        for (const std::string& how : {std::string(" "), std::string(" < ")}) {
            const ProgramRun run =
                Plot("-o " + Quote(Path("x.png")) + how + Quote(Path("input.txt")));
            ASSERT_TRUE(run.exited) << c.what;
            EXPECT_EQ(run.status, 1) << c.what;
            EXPECT_NE(run.err.find(c.message), std::string::npos) << c.what << ":\n" << run.err;
            EXPECT_NE(run.err.find(how == " " ? Path("input.txt") : "standard input"),
                      std::string::npos)
                << c.what << ": the message names the input";
            EXPECT_FALSE(Exists(Path("x.png"))) << c.what;
        }
    }
}

TEST_F(PlotTest, MissingInputFileEndsWithStatusOne) {
    const ProgramRun run = Plot(Quote(Path("none.txt")) + " -o " + Quote(Path("x.png")));
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("none.txt: no such readable file"), std::string::npos) << run.err;
}

TEST_F(PlotTest, MissingGnuplotIsNamedAndEndsWithStatusThree) {
    const std::string table = ThreeDays();
    const ProgramRun run = Plot(Quote(table) + " -o " + Quote(Path("x.png")),
                                "GNUPLOT=" + Quote(Path("no-such-gnuplot")));
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.status, 3);
    EXPECT_NE(run.err.find("gnuplot not found"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("apt-get install gnuplot-nox"), std::string::npos) << run.err;
    EXPECT_FALSE(Exists(Path("x.png")));
}

TEST_F(PlotTest, DrawsTheProgramsTableAsPngOfTheSizeAskedFor) {
    if (!HaveGnuplot()) GTEST_SKIP() << "gnuplot is not installed";
    const std::string table = ThreeDays();
    const struct {
        std::string args;
        std::uint32_t width, height;
    } cases[] = {
        {Quote(table), 1000, 600},
        {"-b distance < " + Quote(table), 1000, 900},
        {"--bodies=longitude --time date -s 800,700 " + Quote(table), 800, 700},
        {"-t mjd --title \"Station 'A' [cm]\" - < " + Quote(table), 1000, 600},
    };
    for (const auto& c : cases) {
        const std::string png = Path("tide.png");
        std::remove(png.c_str());
        const ProgramRun run = Plot(c.args + " -o " + Quote(png));
        ASSERT_TRUE(run.exited) << c.args;
        EXPECT_EQ(run.status, 0) << c.args << "\n" << run.err;
        std::uint32_t width = 0, height = 0;
        EXPECT_TRUE(PngSize(ReadFile(png), width, height)) << c.args << ": not a PNG";
        EXPECT_EQ(width, c.width) << c.args;
        EXPECT_EQ(height, c.height) << c.args;
    }
}

TEST_F(PlotTest, WritesAnSvgOnRequestAndDrawsATableOfOneRow) {
    if (!HaveGnuplot()) GTEST_SKIP() << "gnuplot is not installed";
    const std::string one = Table("one.txt", {"-e12019-01-17/00:00:00", "-e22019-01-17/00:00:00"});
    ASSERT_EQ(SplitLines(ReadFile(one)).size(), 3u);
    const ProgramRun run = Plot(Quote(one) + " -s 640,480 -o " + Quote(Path("one.png")) +
                                " --svg " + Quote(Path("one.svg")));
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.status, 0) << run.err;
    std::uint32_t width = 0, height = 0;
    EXPECT_TRUE(PngSize(ReadFile(Path("one.png")), width, height));
    EXPECT_EQ(width, 640u);
    const std::string svg = ReadFile(Path("one.svg"));
    EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
    EXPECT_NE(svg.find("<svg"), std::string::npos);
    EXPECT_NE(svg.find("width=\"640\""), std::string::npos);
    EXPECT_NE(svg.find("displacement [cm]"), std::string::npos);
}

// Fault: on spans under about two days gnuplot's own tics on the date axis
// came every few minutes or hours and their labels ran into each other.  A
// date label is 10 characters of a 10-point font, about 60 px (some 0.6 em a
// character); neighbouring labels must stand at least 12 characters (72 px)
// apart, there must be at least three to read the axis by, and no two may
// read alike.
TEST_F(PlotTest, DateAxisLabelsStayApartOnShortSpans) {
    if (!HaveGnuplot()) GTEST_SKIP() << "gnuplot is not installed";
    const struct {
        std::vector<std::string> epochs;
        const char* size;
    } cases[] = {
        {{"-e12019-01-17/00:00:00", "-e22019-01-17/00:02:00", "-ed00:00:01"}, "1000,600"},
        {{"-e12019-01-17/00:00:00", "-e22019-01-17/00:20:00", "-ed00:00:10"}, "800,500"},
        {{"-e12019-01-17/00:00:00", "-e22019-01-17/06:00:00", "-ed00:01:00"}, "640,480"},
        {{"-e12019-01-17/00:00:00", "-e22019-01-18/00:00:00", "-ed00:10:00"}, "1000,600"},
        {{"-e12019-01-17/22:00:00", "-e22019-01-19/10:00:00", "-ed00:10:00"}, "1000,600"},
        {{"-e12019-01-17/00:00:00", "-e22019-01-17/00:00:00"}, "1000,600"},
    };
    for (const auto& c : cases) {
        const std::string what = c.epochs[0] + " " + c.epochs[1] + " at " + c.size;
        const std::string table = Table("span.txt", c.epochs);
        const std::string svg = Path("span.svg");
        std::remove(svg.c_str());
        const ProgramRun run =
            Plot("-t date -s " + std::string(c.size) + " -o " + Quote(Path("span.png")) +
                 " --svg " + Quote(svg) + " " + Quote(table));
        ASSERT_TRUE(run.exited) << what;
        ASSERT_EQ(run.status, 0) << what << "\n" << run.err;
        const auto labels = DateAxisLabels(ReadFile(svg));
        EXPECT_GE(labels.size(), 3u) << what;
        for (std::size_t i = 1; i < labels.size(); ++i) {
            EXPECT_GE(labels[i].first - labels[i - 1].first, 72.0)
                << what << ": \"" << labels[i - 1].second << "\" and \"" << labels[i].second
                << "\"";
            EXPECT_NE(labels[i].second, labels[i - 1].second) << what;
        }
    }
}

TEST_F(PlotTest, AnUnwritableOutputEndsWithStatusThree) {
    if (!HaveGnuplot()) GTEST_SKIP() << "gnuplot is not installed";
    const std::string table = ThreeDays();
    const ProgramRun run = Plot(Quote(table) + " -o " + Quote(Path("no-folder/tide.png")));
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.status, 3);
    EXPECT_NE(run.err.find("cannot write"), std::string::npos) << run.err;
}

TEST_F(PlotTest, ReadsTheCommaSeparatedOutputAndRefusesWhatIsNotIt) {
    const ProgramRun csv =
        RunProgram(HAVORKASTILO_EXE, {"-oc", "-pd46.03,14.30,300", "-e12019-01-17/00:00:00",
                                      "-e22019-01-18/00:00:00", "-ed00:10:00"});
    ASSERT_TRUE(csv.exited && csv.status == 0);
    std::vector<std::string> lines = SplitLines(csv.out);
    ASSERT_EQ(lines.size(), 146u);
    auto join = [](const std::vector<std::string>& ls) {
        std::string t;
        for (const std::string& l : ls) t += l + "\n";
        return t;
    };
    std::vector<std::string> shortLine = lines;  // the Moon's distance cut off
    shortLine[3] = shortLine[3].substr(0, shortLine[3].rfind(','));
    std::vector<std::string> badStamp = lines;  // a blank instead of the T
    badStamp[2][10] = ' ';
    std::vector<std::string> nanValue = lines;  // the up displacement unreadable
    {
        std::string& l = nanValue[4];
        std::size_t at = 0;
        for (int comma = 0; comma < 5; ++comma) at = l.find(',', at) + 1;
        l.replace(at, l.find(',', at) - at, "nan");
    }
    const ProgramRun table = RunProgram(HAVORKASTILO_EXE, {"-e22019-01-17/01:00:00"});
    const std::vector<std::string> tableLines = SplitLines(table.out);
    std::vector<std::string> tableRows = {lines[0]};  // the header, then rows of the table
    tableRows.insert(tableRows.end(), tableLines.begin() + 2, tableLines.end());

    const struct {
        std::string what, text, message;
    } cases[] = {
        {"the header alone", lines[0] + "\n", "the comma-separated output has no rows"},
        {"a line with a field missing", join(shortLine),
         "line 4: a line of the comma-separated output has 15 fields, this one has 14"},
        {"a malformed time stamp", join(badStamp), "line 3: field 1 (utc) is not a time stamp"},
        {"nan", join(nanValue), "line 5: field 6 is not a number with 9 decimals: \"nan\""},
        {"the table's rows under the header", join(tableRows),
         "line 2: a line of the comma-separated output has 15 fields, this one has 1"},
    };
    for (const auto& c : cases) {
        WriteFile(Path("input.csv"), c.text);
        const ProgramRun run = Plot("-o " + Quote(Path("x.png")) + " " + Quote(Path("input.csv")));
        ASSERT_TRUE(run.exited) << c.what;
        EXPECT_EQ(run.status, 1) << c.what;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.what << ":\n" << run.err;
        EXPECT_FALSE(Exists(Path("x.png"))) << c.what;
    }

    if (!HaveGnuplot()) GTEST_SKIP() << "gnuplot is not installed";
    WriteFile(Path("tide.csv"), csv.out);
    for (const char* axis : {"days", "mjd", "date"}) {
        const std::string png = Path("tide.png");
        std::remove(png.c_str());
        const ProgramRun run = Plot(std::string("-b distance -t ") + axis + " -o " + Quote(png) +
                                    " < " + Quote(Path("tide.csv")));
        ASSERT_TRUE(run.exited) << axis;
        EXPECT_EQ(run.status, 0) << axis << "\n" << run.err;
        std::uint32_t width = 0, height = 0;
        EXPECT_TRUE(PngSize(ReadFile(png), width, height)) << axis << ": not a PNG";
        EXPECT_EQ(height, 900u) << axis;
    }
}
