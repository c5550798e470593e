// The set-up that the README's two commands begin with, setup.sh: it installs
// only the missing packages of the lists it is given, through apt-get as root
// or through sudo otherwise; with nothing missing it says nothing and asks
// for nothing; where it cannot install, it names the packages and the
// command that would, and stops with status 1.  It runs here against fake
// dpkg-query, apt-get, apt-config, sudo and id, which keep a log of what they
// were asked to do.  Then the package lists themselves: Debian names, and the
// README and the Debian package stating what they hold.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <utime.h>

#include <algorithm>
#include <ctime>
#include <set>
#include <sstream>
#include <string>
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
using testsupport::ToolDir;
using testsupport::WriteFile;

const std::string kSource = HAVORKASTILO_SOURCE_DIR;

// What setup.sh and the fakes need from the PATH besides the fakes.
const std::vector<std::string> kBasicTools = {"bash", "cat", "dirname", "find",   "ls",
                                              "sed",  "tr",  "touch",   "setsid", "script"};

// The fakes.  $FAKE/status holds the packages dpkg knows, "NAME" (installed)
// or "NAME ABBREV" (dpkg's three-letter status, "rc" for removed with its
// configuration kept) a line; $FAKE/log gets a line for each apt-get and
// sudo run; FAKE_UID is the user id that id -u reports.
const char* const kDpkgQuery = R"sh(#!/bin/bash
shift 2
rc=0
for name; do
    found=
    while read -r n abbrev; do
        [[ $n == "$name" ]] && { printf '%s\t%s\n' "$n" "${abbrev:-ii}"; found=1; }
    done <"$FAKE/status"
    [[ $found ]] || { echo "dpkg-query: no packages found matching $name" >&2; rc=1; }
done
exit $rc
)sh";
const char* const kAptGet = R"sh(#!/bin/bash
echo "uid=$FAKE_UID frontend=${DEBIAN_FRONTEND:-} apt-get $*" >>"$FAKE/log"
if [[ $FAKE_UID != 0 ]]; then
    echo "E: Could not open lock file /var/lib/dpkg/lock-frontend - open (13: Permission denied)" >&2
    exit 100
fi
[[ -e $FAKE/apt-fails ]] && { echo "E: Unable to locate package alpha" >&2; exit 100; }
case $1 in
update) touch "$FAKE/lists/deb.debian.org_debian_dists_bookworm_main_binary-amd64_Packages" ;;
install)
    [[ -e $FAKE/apt-installs-nothing ]] && exit 0
    for a in "${@:2}"; do [[ $a == -* ]] || echo "$a" >>"$FAKE/status"; done ;;
esac
)sh";
const char* const kAptConfig = R"sh(#!/bin/bash
echo "$2='$FAKE/lists/'"
)sh";
const char* const kSudo = R"sh(#!/bin/bash
if [[ $1 == -n ]]; then
    [[ -e $FAKE/sudo-nopasswd ]] && exit 0
    echo "sudo: a password is required" >&2
    exit 1
fi
echo "uid=$FAKE_UID sudo $*" >>"$FAKE/log"
FAKE_UID=0 exec "$@"
)sh";
const char* const kId = R"sh(#!/bin/bash
[[ $1 == -u ]] && echo "$FAKE_UID"
)sh";

// Sets a file's modification time to so many seconds ago.
void Age(const std::string& path, long seconds) {
    const time_t then = time(nullptr) - seconds;
    const utimbuf times = {then, then};
    ASSERT_EQ(utime(path.c_str(), &times), 0) << path;
}

// The copy of setup.sh in a tree of its own, with two small lists: build
// (alpha, beta) and test (beta again, gamma), the fakes, and the fakes'
// state with fresh package lists.
class SetupTest : public testing::Test {
  protected:
    void SetUp() override {
        dir_ = MakeTempDir("havorkastilo-setup-test");
        ASSERT_FALSE(dir_.empty());
        ASSERT_EQ(Shell("mkdir -p " + Quote(Path("tree/packages")) + " " + Quote(Path("bin")) +
                        " " + Quote(Path("fake/lists")) + " && cp " + Quote(kSource + "/setup.sh") +
                        " " + Quote(Path("tree/")))
                      .status,
                  0);
        WriteFile(Path("tree/packages/build.txt"), "# what builds\nalpha\nbeta  # and a comment\n");
        WriteFile(Path("tree/packages/test.txt"), "beta\n\n  gamma\n");
        Fake("dpkg-query", kDpkgQuery);
        Fake("apt-get", kAptGet);
        Fake("apt-config", kAptConfig);
        Fake("sudo", kSudo);
        Fake("id", kId);
        ToolDir(Path("tools"), kBasicTools);
        WriteFile(Path("fake/status"), "");
        Fresh();
    }
    void TearDown() override {
        if (!dir_.empty()) Shell("rm -rf " + Quote(dir_));
    }
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }

    void Fake(const std::string& name, const char* script) {
        const std::string path = Path("bin/" + name);
        WriteFile(path, script);
        ASSERT_EQ(chmod(path.c_str(), 0755), 0);
    }
    void NoFake(const std::string& name) { ASSERT_EQ(unlink(Path("bin/" + name).c_str()), 0); }
    void Installed(const std::string& lines) { WriteFile(Path("fake/status"), lines); }
    void Flag(const std::string& name) { WriteFile(Path("fake/" + name), ""); }
    // Package lists downloaded a moment ago.
    void Fresh() { WriteFile(Path("fake/lists/" + kPackages), "Package: alpha\n"); }
    std::string Log() const { return ReadFile(Path("fake/log")); }

    // setup.sh with these words, as user uid, with no terminal (a session of
    // its own) or on one (through script), and an environment of the fakes
    // alone.
    ProgramRun Setup(const std::vector<std::string>& words, int uid = 0, bool terminal = false) {
        std::vector<std::string> args = {"-i", "PATH=" + Path("bin") + ":" + Path("tools"),
                                         "FAKE=" + Path("fake"), "FAKE_UID=" + std::to_string(uid)};
        std::string command = Quote(Path("tree/setup.sh"));
        for (const std::string& w : words) command += " " + Quote(w);
        if (terminal) {
            args.insert(args.end(), {"script", "-qec", command, "/dev/null"});
        } else {
            args.insert(args.end(), {"setsid", "-w", "/bin/sh", "-c", command});
        }
        return RunProgram("/usr/bin/env", args, 60);
    }

    static const std::string kPackages;
    std::string dir_;
};
const std::string SetupTest::kPackages =
    "deb.debian.org_debian_dists_bookworm_main_binary-amd64_Packages";

const std::string kInstallRoot =
    "uid=0 frontend=noninteractive apt-get install -y --no-install-recommends ";

TEST_F(SetupTest, WithEveryPackageInstalledItSaysNothingAndAsksForNothing) {
    Installed("alpha\nbeta\ngamma\n");
    for (int uid : {0, 1000}) {
        const ProgramRun run = Setup({"build", "test"}, uid);
        ASSERT_TRUE(run.exited) << uid;
        EXPECT_EQ(run.status, 0) << uid;
        EXPECT_EQ(run.out, "") << uid;
        EXPECT_EQ(run.err, "") << uid;
    }
    // Neither without sudo nor without a terminal (the session of its own
    // has none): sudo was not even asked whether it needs a password.
    NoFake("sudo");
    const ProgramRun run = Setup({"build", "test"}, 1000);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(Log(), "");
}

TEST_F(SetupTest, AsRootItInstallsOnlyTheMissingPackagesOfTheNamedLists) {
    Installed("beta\n");
    ProgramRun run = Setup({"build"});
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "setup.sh: installing the missing Debian packages: alpha\n");
    EXPECT_EQ(Log(), kInstallRoot + "alpha\n");

    // beta is in both lists and is installed; gamma is the test list's own.
    run = Setup({"build", "test"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "setup.sh: installing the missing Debian packages: gamma\n");
    EXPECT_EQ(Log(), kInstallRoot + "alpha\n" + kInstallRoot + "gamma\n");

    // And then there is nothing left to do.
    run = Setup({"build", "test"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(SplitLines(Log()).size(), 2u);
}

TEST_F(SetupTest, ARemovedPackageIsMissingAndAHeldOneIsInstalled) {
    // rc: removed, its configuration files kept; hi: on hold, installed.
    Installed("alpha rc\nbeta hi\ngamma un\n");
    const ProgramRun run = Setup({"build", "test"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Log(), kInstallRoot + "alpha gamma\n");
}

TEST_F(SetupTest, ThePackageListsAreUpdatedFirstWhenMissingOrOlderThanADay) {
    const std::string update = "uid=0 frontend=noninteractive apt-get update\n";
    const struct {
        const char* what;
        long age;  // of the downloaded list, seconds; negative: there is none
        bool updated;
    } cases[] = {
        {"no package list", -1, true},
        {"a list a minute short of a day old", 24 * 3600 - 60, false},
        {"a list a minute more than a day old", 24 * 3600 + 60, true},
    };
    for (const auto& c : cases) {
        Installed("beta\ngamma\n");
        WriteFile(Path("fake/log"), "");
        Shell("rm -f " + Quote(Path("fake/lists")) + "/*");
        // apt's lock file is no package list.
        WriteFile(Path("fake/lists/lock"), "");
        if (c.age >= 0) {
            Fresh();
            Age(Path("fake/lists/" + kPackages), c.age);
        }
        const ProgramRun run = Setup({"build"});
        EXPECT_EQ(run.status, 0) << c.what << "\n" << run.err;
        EXPECT_EQ(Log(), (c.updated ? update : "") + kInstallRoot + "alpha\n") << c.what;
    }
}

TEST_F(SetupTest, WithoutRootItInstallsThroughSudo) {
    Installed("beta\n");
    Flag("sudo-nopasswd");
    Age(Path("fake/lists/" + kPackages), 2 * 24 * 3600);
    const ProgramRun run = Setup({"build", "test"}, 1000);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err,
              "setup.sh: installing the missing Debian packages through sudo: alpha gamma\n");
    EXPECT_EQ(Log(),
              "uid=1000 sudo apt-get update\n"
              "uid=0 frontend=noninteractive apt-get update\n"
              "uid=1000 sudo apt-get install -y --no-install-recommends alpha gamma\n" +
                  kInstallRoot + "alpha gamma\n");
}

TEST_F(SetupTest, SudoThatWantsAPasswordIsAskedOnlyOnATerminal) {
    Installed("beta\n");
    ProgramRun run = Setup({"build", "test"}, 1000);
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err,
              "setup.sh: missing Debian packages: alpha gamma\n"
              "setup.sh: sudo wants a password, and there is no terminal to ask for it on; from a "
              "terminal, install them with:\n"
              "    sudo apt-get install alpha gamma\n");
    EXPECT_EQ(Log(), "");

    // On a terminal sudo may ask (the fake asks nothing and goes on).
    run = Setup({"build", "test"}, 1000, true);
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.status, 0) << run.out;
    EXPECT_EQ(Log(), "uid=1000 sudo apt-get install -y --no-install-recommends alpha gamma\n" +
                         kInstallRoot + "alpha gamma\n");
}

TEST_F(SetupTest, WhereItCannotInstallItNamesThePackagesAndTheCommand) {
    const std::string missing = "setup.sh: missing Debian packages: alpha gamma\n";
    {
        SCOPED_TRACE("not root, and no sudo");
        Installed("beta\n");
        NoFake("sudo");
        const ProgramRun run = Setup({"build", "test"}, 1000);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, missing +
                               "setup.sh: this user is not root, and sudo is not installed; as "
                               "root, install them with:\n"
                               "    apt-get install alpha gamma\n");
        EXPECT_EQ(Log(), "");
        Fake("sudo", kSudo);
    }
    {
        SCOPED_TRACE("apt-get fails");
        Flag("apt-fails");
        const ProgramRun run = Setup({"build", "test"});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err,
                  "setup.sh: installing the missing Debian packages: alpha gamma\n"
                  "E: Unable to locate package alpha\n" +
                      missing +
                      "setup.sh: apt-get install failed (its messages are above); "
                      "install them with:\n"
                      "    apt-get install alpha gamma\n");
        ASSERT_EQ(unlink(Path("fake/apt-fails").c_str()), 0);
    }
    {
        SCOPED_TRACE("apt-get succeeds but installs nothing");
        Flag("apt-installs-nothing");
        Flag("sudo-nopasswd");
        const ProgramRun run = Setup({"build", "test"}, 1000);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err,
                  "setup.sh: installing the missing Debian packages through sudo: alpha "
                  "gamma\n" +
                      missing +
                      "setup.sh: apt-get did not install them all; install them with:\n"
                      "    sudo apt-get install alpha gamma\n");
    }
    {
        SCOPED_TRACE("no apt-get: every package of the lists is named");
        WriteFile(Path("fake/log"), "");
        NoFake("apt-get");
        const ProgramRun run = Setup({"build", "test"});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err,
                  "setup.sh: needed Debian packages: alpha beta gamma\n"
                  "setup.sh: without apt-get and dpkg-query this script cannot tell "
                  "which of them are missing, nor install them; on Debian 12, as root, "
                  "install them with:\n"
                  "    apt-get install alpha beta gamma\n");
        Fake("apt-get", kAptGet);
        NoFake("dpkg-query");
        EXPECT_EQ(Setup({"build", "test"}).err, run.err);
        EXPECT_EQ(Log(), "");
    }
}

TEST_F(SetupTest, AWordThatNamesNoListIsAUsageErrorAndInstallsNothing) {
    const std::string usage = "setup.sh: usage: ./setup.sh LIST... (the lists: build test)\n";
    const std::string here = Path("tree/packages");
    const struct {
        std::vector<std::string> words;
        std::string message;
    } cases[] = {
        {{}, "setup.sh: name at least one package list\n"},
        {{"build", "tests"}, "setup.sh: there is no package list 'tests' in " + here + "\n"},
        {{"../tree/packages/build"},
         "setup.sh: there is no package list '../tree/packages/build' in " + here + "\n"},
        {{"build.txt"}, "setup.sh: there is no package list 'build.txt' in " + here + "\n"},
    };
    for (const auto& c : cases) {
        const ProgramRun run = Setup(c.words);
        ASSERT_TRUE(run.exited) << c.message;
        EXPECT_EQ(run.status, 2) << c.message;
        EXPECT_EQ(run.err, c.message + usage);
    }
    WriteFile(Path("tree/packages/test.txt"), "gamma\nlibfoo-dev Gamma_2\n");
    const ProgramRun run = Setup({"build", "test"});
    EXPECT_EQ(run.status, 2);
    EXPECT_EQ(run.err,
              "setup.sh: packages/test.txt: line 2: 'Gamma_2' is no Debian package name\n" + usage);
    EXPECT_EQ(Log(), "");
}

// The package names of one of the repository's lists, in their order.
std::vector<std::string> List(const std::string& name) {
    std::vector<std::string> names;
    for (std::string line : SplitLines(ReadFile(kSource + "/packages/" + name + ".txt"))) {
        line = line.substr(0, line.find('#'));
        std::istringstream words(line);
        for (std::string w; words >> w;) names.push_back(w);
    }
    return names;
}

std::string Joined(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& n : names) text += (text.empty() ? "" : " ") + n;
    return text;
}

// The README's n-th block of sh commands (from 1), its lines.
std::vector<std::string> ReadmeShBlock(int n) {
    std::vector<std::string> block;
    int seen = 0;
    bool inside = false;
    for (const std::string& line : SplitLines(ReadFile(kSource + "/README.md"))) {
        if (inside) {
            if (line == "```") return block;
            block.push_back(line);
        } else if (line == "```sh" && ++seen == n) {
            inside = true;
        }
    }
    return {};
}

// The part of the README from the line that begins with start up to the
// next end (a blank line ends a paragraph, "\n#" a section).
std::string ReadmePart(const std::string& start, const std::string& end) {
    const std::string readme = ReadFile(kSource + "/README.md");
    const std::size_t from = readme.find("\n" + start);
    if (from == std::string::npos) return "";
    const std::size_t to = readme.find(end, from + 1);
    return readme.substr(from + 1, to == std::string::npos ? std::string::npos : to - from - 1);
}

// Debian's rule for a package name: lower-case letters, digits, "+", "-" and
// ".", at least two, beginning with a letter or a digit.
bool IsDebianName(const std::string& name) {
    auto alnum = [](char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); };
    if (name.size() < 2 || !alnum(name[0])) return false;
    for (char c : name)
        if (!alnum(c) && c != '+' && c != '-' && c != '.') return false;
    return true;
}

TEST(PackageLists, HoldDebianPackageNamesEachOnce) {
    const std::vector<std::string> build = List("build"), test = List("test");
    ASSERT_FALSE(build.empty());
    ASSERT_FALSE(test.empty());
    std::set<std::string> all;
    for (const auto* list : {&build, &test}) {
        for (const std::string& name : *list) {
            EXPECT_TRUE(IsDebianName(name)) << name;
            EXPECT_TRUE(all.insert(name).second) << name << " is listed twice";
        }
    }
    // What the program needs is there, and what only the tests need is not.
    for (const char* name : {"cmake", "g++", "liberfa-dev"})
        EXPECT_NE(build.end(), std::find(build.begin(), build.end(), name)) << name;
    for (const char* name : {"libgtest-dev", "parallel", "bzip2", "gnuplot-nox"})
        EXPECT_NE(test.end(), std::find(test.begin(), test.end(), name)) << name;
}

TEST(PackageLists, TheReadmeCommandsSetUpTheirOwnListsFirst) {
    const std::vector<std::string> first = ReadmeShBlock(1), second = ReadmeShBlock(2);
    ASSERT_EQ(first.size(), 1u) << "the first command is one line";
    ASSERT_EQ(second.size(), 1u) << "the second command is one line";
    EXPECT_EQ(first[0].rfind("./setup.sh build && cmake ", 0), 0u) << first[0];
    EXPECT_EQ(second[0].rfind("./setup.sh build test && cmake ", 0), 0u) << second[0];
}

TEST(PackageLists, TheReadmeRequirementsNameTheBuildAndTheTestPackagesApart) {
    const std::string requirements = ReadmePart("Requirements", "\n\n");
    ASSERT_NE(requirements, "");
    for (const char* list : {"build", "test"}) {
        const std::string span = "`" + Joined(List(list)) + "`";
        EXPECT_NE(requirements.find(span), std::string::npos)
            << "packages/" << list << ".txt changed: the README's Requirements paragraph should "
            << "name its packages in its order as " << span << "\n"
            << requirements;
    }
}

TEST(PackageLists, TheReadmeStatesWhatTheDebianPackageRecommendsAndSuggests) {
    const std::string packaging = ReadFile(kSource + "/cmake/Packaging.cmake");
    const std::string section = ReadmePart("### Debian package", "\n#");
    ASSERT_NE(section, "");
    for (const char* field : {"RECOMMENDS", "SUGGESTS"}) {
        const std::string start = std::string("set(CPACK_DEBIAN_PACKAGE_") + field + " \"";
        const std::size_t from = packaging.find(start);
        ASSERT_NE(from, std::string::npos) << field;
        const std::size_t to = packaging.find("\")", from + start.size());
        ASSERT_NE(to, std::string::npos) << field;
        const std::string value = packaging.substr(from + start.size(), to - from - start.size());
        EXPECT_NE(section.find("`" + value + "`"), std::string::npos)
            << "the README's Debian package section should quote " << field << " `" << value
            << "`\n"
            << section;
    }
}

}  // namespace
