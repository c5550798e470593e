// Runs a program as a child process and collects what it wrote and how it ended.
#ifndef TESTS_SUPPORT_RUN_PROGRAM_H
#define TESTS_SUPPORT_RUN_PROGRAM_H

#include <set>
#include <string>
#include <vector>

namespace testsupport {

struct ProgramRun {
    bool exited = false;    // ended by exit (status valid)
    int status = -1;        // exit status
    bool signaled = false;  // ended by a signal
    int signal = 0;
    bool timed_out = false;  // killed after the time limit
    double seconds = 0;      // wall-clock duration
    std::string out;         // standard output
    std::string err;         // standard error
};

// Runs exe with the given arguments (not counting argv[0], which is argv0 if
// given, else exe) and an empty standard input.  Kills it after timeout_s.
ProgramRun RunProgram(const std::string& exe, const std::vector<std::string>& args,
                      double timeout_s = 120, const std::string& argv0 = "");

// Splits a text into lines (without their line ends); a final text without a
// line end counts as a line.
std::vector<std::string> SplitLines(const std::string& text);

// A shell word that stands for s exactly (in single quotes).
std::string Quote(const std::string& s);

// The occurrences of what in text (they may overlap).
int Count(const std::string& text, const std::string& what);

// Runs command with /bin/sh -c.
ProgramRun Shell(const std::string& command, double timeout_s = 300);

// Runs exe with args under a limit of kib KiB on its address space (the
// shell's ulimit -v).
ProgramRun RunWithMemoryLimit(const std::string& exe, const std::vector<std::string>& args,
                              long kib);

// The smallest such limit, in steps of 128 KiB, under which the program
// exe prints its help text (-h): below it the dynamic loader or the C++
// runtime cannot start, before any code of the program runs.  -1 if none up
// to 256 MiB.
long SmallestStartingLimit(const std::string& exe);

// The whole content of a file (empty when it cannot be read), and a file
// written with text.
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& text);

// The names in a folder, hidden ones included, without "." and "..".
std::set<std::string> Names(const std::string& dir);

// A new folder of its own under GoogleTest's temporary folder, named after
// name (empty when it cannot be made).
std::string MakeTempDir(const std::string& name);

// A folder (made if need be) that holds only the named tools, as links to
// the ones found on the present PATH (a tool not found there is left out):
// a PATH of it alone runs a script where everything else is missing.
std::string ToolDir(const std::string& dir, const std::vector<std::string>& tools);

}  // namespace testsupport

#endif  // TESTS_SUPPORT_RUN_PROGRAM_H
