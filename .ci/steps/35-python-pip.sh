#!/usr/bin/env bash
# The Python module through pip, offline, as the README says: a copy of the
# committed tree, a virtual environment that sees Debian's packages, `pip
# install --no-build-isolation .`, then the pytest suite against the module
# pip installed (from outside the tree), with the program of the optimised
# build to compare with.
set -euo pipefail
cd "$(dirname "$0")/../.."

./setup.sh build test

work=$(mktemp -d)
trap 'rm -rf -- "$work"' EXIT
git ls-files -z | tar --null -T - -cf - | tar -xf - -C "$work" --one-top-level=src
/usr/bin/python3 -m venv --system-site-packages "$work/venv"
(cd "$work/src" && "$work/venv/bin/pip" install --no-build-isolation --no-index . )
exe=$PWD/build/release/Havorkastilo
test -x "$exe" || { echo "FAILED: $exe is not built" >&2; exit 1; }
cd "$work"
installed=$("$work/venv/bin/python" -c 'import havorkastilo; print(havorkastilo.__file__)')
case $installed in
    "$work/venv/"*) echo "ok: pip installed $installed" ;;
    *) echo "FAILED: havorkastilo was imported from $installed" >&2; exit 1 ;;
esac
HAVORKASTILO_EXE=$exe MPLBACKEND=Agg PYTHONDONTWRITEBYTECODE=1 \
    "$work/venv/bin/python" -m pytest -q -rs -p no:cacheprovider "$work/src/python/tests"
