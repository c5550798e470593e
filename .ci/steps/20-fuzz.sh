#!/usr/bin/env bash
# Fuzzes the command line for 90 seconds (fuzz/run.sh).  A crash, a hang, a
# sanitizer report or a broken promise of the program fails CI and leaves its
# reproducer in fuzz-artifacts/.
set -euo pipefail
cd "$(dirname "$0")/../.."

packages=(clang libclang-rt-14-dev cmake make g++ pkg-config liberfa-dev)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "== installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

bash fuzz/run.sh 90
