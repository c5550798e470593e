// ctest lists a skipped test without saying why; the build tree's
// CTestCustom.cmake has it run support/skip_reasons.awk after the tests,
// which prints each skipped test's reason beside its number and name.  Here
// ctest runs the cases of support/skip_sample.cpp (one passes, three skip,
// one fails) with that same CTestCustom.cmake, in a folder of its own.
#include <gtest/gtest.h>

#include <string>

#include "support/run_program.h"

namespace {

using testsupport::Count;
using testsupport::MakeTempDir;
using testsupport::ProgramRun;
using testsupport::Quote;
using testsupport::ReadFile;
using testsupport::RunProgram;
using testsupport::Shell;
using testsupport::WriteFile;

const std::string kBuild = HAVORKASTILO_BINARY_DIR;

class SkipReasonsTest : public testing::Test {
  protected:
    void SetUp() override {
        // A blank in the path: the command ctest runs must quote it.
        dir_ = MakeTempDir("havorkastilo skip-reasons-test");
        ASSERT_FALSE(dir_.empty());
        std::string tests;
        for (const char* name :
             {"Passes", "SkipsWithAReason", "SkipsWithTwoLines", "SkipsWithoutAReason", "Fails"}) {
            const std::string test = std::string("Sample.") + name;
            tests += "add_test([=[" + test +
                     "]=] \"" HAVORKASTILO_SKIP_SAMPLE "\" \"--gtest_filter=" + test + "\")\n";
            // As gtest_discover_tests registers every case.
            tests += "set_tests_properties([=[" + test +
                     "]=] PROPERTIES SKIP_REGULAR_EXPRESSION [==[\\[  SKIPPED \\]]==])\n";
        }
        WriteFile(dir_ + "/CTestTestfile.cmake", tests);
        // The build tree's own, with this folder's log.
        std::string custom = ReadFile(kBuild + "/CTestCustom.cmake");
        const std::string log = "/Testing/Temporary/LastTest.log";
        const std::size_t at = custom.find(kBuild + log);
        ASSERT_NE(at, std::string::npos) << custom;
        custom.replace(at, kBuild.size() + log.size(), dir_ + log);
        WriteFile(dir_ + "/CTestCustom.cmake", custom);
    }
    void TearDown() override {
        if (!dir_.empty()) Shell("rm -rf " + Quote(dir_));
    }

    ProgramRun Ctest(const std::string& select) {
        return Shell("cd " + Quote(dir_) + " && " + Quote(HAVORKASTILO_CTEST) + " -j3 " + select,
                     120);
    }

    std::string dir_;
};

TEST_F(SkipReasonsTest, CtestPrintsWhyEachSkippedTestWasSkippedAfterItsList) {
    const ProgramRun run = Ctest("");
    ASSERT_TRUE(run.exited);
    EXPECT_NE(run.status, 0) << "one case fails";
    const std::string listed =
        "The following tests did not run:\n"
        "\t  2 - Sample.SkipsWithAReason (Skipped)\n"
        "\t  3 - Sample.SkipsWithTwoLines (Skipped)\n"
        "\t  4 - Sample.SkipsWithoutAReason (Skipped)\n";
    const std::string why =
        "Why they were skipped:\n"
        "\t  2 - Sample.SkipsWithAReason: no cluster answers here\n"
        "\t  3 - Sample.SkipsWithTwoLines: the first line and the second\n"
        "\t  4 - Sample.SkipsWithoutAReason: (no reason given)\n";
    const std::size_t list = run.out.find(listed), reasons = run.out.find(why);
    ASSERT_NE(list, std::string::npos) << run.out;
    ASSERT_NE(reasons, std::string::npos) << run.out;
    EXPECT_LT(list, reasons) << run.out;
    EXPECT_EQ(Count(run.out, "Why they were skipped"), 1) << run.out;
    // The failure is a failure, the passing case's look-alike lines nothing.
    EXPECT_NE(run.out.find("5 - Sample.Fails (Failed)"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("Sample.Fails:"), std::string::npos) << run.out;
    EXPECT_EQ(run.out.find("Sample.Passes:"), std::string::npos) << run.out;
}

TEST_F(SkipReasonsTest, OnlyTheSkippedTestsOfTheRunAreNamed) {
    // The log of an earlier run, with every case, is no longer read.
    ASSERT_TRUE(Ctest("").exited);
    const ProgramRun run = Ctest("-R 'Passes|SkipsWithTwo'");
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.status, 0) << run.out;
    const std::string why =
        "Why they were skipped:\n"
        "\t  3 - Sample.SkipsWithTwoLines: the first line and the second\n";
    const std::size_t at = run.out.find(why);
    ASSERT_NE(at, std::string::npos) << run.out;
    EXPECT_EQ(run.out.substr(at), why) << "the last lines of the run";
}

TEST_F(SkipReasonsTest, NothingIsAddedWhenNoTestIsSkipped) {
    for (const char* select : {"-R Passes", "-R 'Passes|Fails'"}) {
        const ProgramRun run = Ctest(select);
        ASSERT_TRUE(run.exited) << select;
        EXPECT_NE(run.out.find("tests passed"), std::string::npos) << run.out;
        EXPECT_EQ(run.out.find("Why they were skipped"), std::string::npos) << run.out;
        EXPECT_EQ(run.out.find("did not run"), std::string::npos) << run.out;
    }
}

}  // namespace
