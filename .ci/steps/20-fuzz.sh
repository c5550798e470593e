#!/usr/bin/env bash
# Fuzzes the command line for 90 seconds (fuzz/run.sh).  A crash, a hang, a
# sanitizer report or a broken promise of the program fails CI and leaves its
# reproducer in fuzz-artifacts/.
set -euo pipefail
cd "$(dirname "$0")/../.."

source .ci/install-missing.sh
packages=(clang libclang-rt-14-dev cmake make g++ pkg-config liberfa-dev)
install_missing "${packages[@]}"

bash fuzz/run.sh 90
