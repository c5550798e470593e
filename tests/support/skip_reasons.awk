# Prints why each skipped test of a ctest run was skipped, from the run's log
# (Testing/Temporary/LastTest.log).  ctest lists a skipped test as "(Skipped)"
# and keeps its output to itself; tests/CMakeLists.txt has ctest run this
# script after the tests (CTEST_CUSTOM_POST_TEST), so that the reason, which
# GoogleTest writes after "FILE:LINE: Skipped" (GTEST_SKIP() << "reason"),
# stands beside the test's name:
#
#   Why they were skipped:
#   	 13 - BatchTest.ARealSlurmClusterRunsTheArrayJob: no Slurm cluster answers here ...
#
# Nothing is printed when no test was skipped.  The command names the log,
# LastTest.log; while ctest runs (and so when it runs this script) the log
# is LastTest.log.tmp, which ctest renames when it is done, and which holds
# every test that ended, for ctest flushes it after each.

BEGIN {
    running = ARGV[1] ".tmp"
    if ((getline first < running) >= 0) {
        close(running)
        ARGV[1] = running
    }
}

# "13/474 Test: NAME" opens the record of test number 13.
/^[0-9]+\/[0-9]+ Test: / {
    number = $1
    sub(/\/.*/, "", number)
    name = $0
    sub(/^[0-9]+\/[0-9]+ Test: /, "", name)
    reason = ""
    inside = 0
    next
}
# ctest's verdict, after the test's output.
/^Skip regular expression found in output/ {
    count++
    numbers[count] = number + 0
    lines[count] = "\t" sprintf("%3d", number) " - " name ": " (reason == "" ? "(no reason given)" : reason)
    inside = 0
    next
}
inside && /^\[  SKIPPED \] / {
    inside = 0
    next
}
# The reason's lines, joined into one.
inside {
    line = $0
    gsub(/[ \t\r]+/, " ", line)
    sub(/^ /, "", line)
    sub(/ $/, "", line)
    if (line != "") reason = reason == "" ? line : reason " " line
    next
}
/:[0-9]+: Skipped$/ {
    inside = 1
    next
}
END {
    if (count == 0) exit 0
    # The tests in the order of their numbers, as ctest lists them.
    for (i = 2; i <= count; i++)
        for (j = i; j > 1 && numbers[j - 1] > numbers[j]; j--) {
            t = numbers[j]; numbers[j] = numbers[j - 1]; numbers[j - 1] = t
            t = lines[j]; lines[j] = lines[j - 1]; lines[j - 1] = t
        }
    print "Why they were skipped:"
    for (i = 1; i <= count; i++) print lines[i]
}
