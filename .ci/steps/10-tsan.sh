#!/usr/bin/env bash
# The threaded code under ThreadSanitizer: the computing core called from
# many threads at once (test_tide_core) and the program's epoch loop at every
# thread count (test_threaded_rows).  A data race fails the step.
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake --workflow --preset tsan-test
