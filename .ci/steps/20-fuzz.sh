#!/usr/bin/env bash
# Fuzzes the command line for 90 seconds (fuzz/run.sh).  A crash, a hang, a
# sanitizer report or a broken promise of the program fails CI and leaves its
# reproducer in fuzz-artifacts/.
set -euo pipefail
cd "$(dirname "$0")/../.."

./setup.sh build fuzz

bash fuzz/run.sh 90
