#!/usr/bin/env bash
# Packaging check, as root: build the Debian package, check it with lintian
# (an error fails the step; warnings are shown), install it into this
# machine, use everything it installed (the program, the manual pages, the plot
# helper, the batch runner, the library through CMake), remove it and check
# that nothing of it is left.  Then run the plot and manual-page tests with
# gnuplot and groff present, where none of their cases may be skipped.
set -euo pipefail
cd "$(dirname "$0")/../.."

./setup.sh build test packaging

work=$(mktemp -d)
installed_here=0
cleanup() {
    # A failed check must not leave the package on the machine.
    if ((installed_here)) && dpkg-query -W -f='${Status}' havorkastilo 2>/dev/null |
        grep -q "install ok installed"; then
        dpkg -r havorkastilo >/dev/null 2>&1 || true
    fi
    rm -rf -- "$work"
}
trap cleanup EXIT

fail() {
    echo "FAILED: $*" >&2
    exit 1
}
checks=0
check() {  # description command...
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else fail "$what"; fi
    checks=$((checks + 1))
}
png_signature() {  # file: the eight bytes every PNG begins with
    [[ $(head -c 8 -- "$1" | od -An -tx1 | tr -d ' \n') == 89504e470d0a1a0a ]]
}

if dpkg-query -W -f='${Status}' havorkastilo 2>/dev/null | grep -q "install ok installed"; then
    echo "-- removing an earlier havorkastilo package first"
    dpkg -r havorkastilo
fi

echo "-- building the package"
cmake --preset release >/dev/null
rm -f build/release/havorkastilo_*.deb
cmake --build --preset release --target package
debs=(build/release/havorkastilo_*.deb)
[[ ${#debs[@]} == 1 && -f ${debs[0]} ]] || fail "exactly one package was expected, found: ${debs[*]}"
deb=${debs[0]}
dpkg-deb --info "$deb"
dpkg-deb --contents "$deb" >"$work/contents.txt"
for path in ./usr/bin/Havorkastilo ./usr/bin/havorkastilo-plot ./usr/bin/havorkastilo-batch \
    ./usr/share/man/man1/Havorkastilo.1.gz ./usr/share/man/man1/havorkastilo-plot.1.gz \
    ./usr/share/man/man1/havorkastilo-batch.1.gz \
    ./usr/lib/libhavorkastilo_core.a ./usr/share/doc/havorkastilo/README.md \
    ./usr/share/doc/havorkastilo/copyright ./usr/share/doc/havorkastilo/changelog.Debian.gz \
    ./usr/include/havorkastilo/GNSS/SolidEarthTide.h \
    ./usr/lib/cmake/Havorkastilo/HavorkastiloConfig.cmake \
    ./usr/lib/python3/dist-packages/havorkastilo/__init__.py \
    ./usr/lib/python3/dist-packages/havorkastilo/pysolid.py \
    ./usr/lib/python3/dist-packages/havorkastilo/__init__.pyi; do
    check "the package holds $path" grep -q " $path\$" "$work/contents.txt"
done
check "the package declares its library dependencies" \
    bash -c "dpkg-deb --field '$deb' Depends | grep -q libstdc++"
# The program links ERFA's shared library (see cmake/Packaging.cmake) for -mp;
# the package must depend on its runtime package.
dpkg-deb -x "$deb" "$work/unpacked"
check "the program needs liberfa.so.1" \
    bash -c "readelf -d '$work/unpacked/usr/bin/Havorkastilo' | grep -q 'NEEDED.*\[liberfa\.so\.1\]'"
check "the package depends on liberfa1" \
    bash -c "dpkg-deb --field '$deb' Depends | grep -Eq '(^|, )liberfa1( |,|\$)'"
# The grid tool links GDAL's and netCDF's shared libraries; the package
# then depends on their runtime packages (dpkg-shlibdeps).
check "the package holds the grid tool and its page" \
    bash -c "grep -q ' ./usr/bin/havorkastilo-grid\$' '$work/contents.txt' && grep -q ' ./usr/share/man/man1/havorkastilo-grid.1.gz\$' '$work/contents.txt'"
check "the grid tool needs libgdal.so.32 and libnetcdf.so.19" \
    bash -c "readelf -d '$work/unpacked/usr/bin/havorkastilo-grid' | grep -q 'NEEDED.*\[libgdal\.so\.32\]' && readelf -d '$work/unpacked/usr/bin/havorkastilo-grid' | grep -q 'NEEDED.*\[libnetcdf\.so\.19\]'"
check "the package depends on libgdal32 and libnetcdf19" \
    bash -c "dpkg-deb --field '$deb' Depends | grep -Eq '(^|, )libgdal32( |,|\$)' && dpkg-deb --field '$deb' Depends | grep -Eq '(^|, )libnetcdf19( |,|\$)'"
check "the package recommends GNU Parallel and bzip2 for the batch runner" \
    bash -c "dpkg-deb --field '$deb' Recommends | grep -w parallel | grep -qw bzip2"
check "the package suggests the Slurm client" \
    bash -c "dpkg-deb --field '$deb' Suggests | grep -qw slurm-client"
# What the package depends on comes from dpkg-shlibdeps; the README's section
# on the package names it (its recommendations and suggestions, written in
# cmake/Packaging.cmake, are held to the README by test_setup).
readme_package_section=$(awk '/^### Debian package$/ { on = 1; next } on && /^#/ { exit } on' README.md)
readme_quotes() { grep -qF -- "\`$1\`" <<<"$readme_package_section"; }
# Each package once, without its versions (python3 comes with two bounds), in
# alphabetical order: dpkg-shlibdeps's order follows what it read first.
depends=$(dpkg-deb --field "$deb" Depends | sed 's/ *([^)]*)//g' | tr ',' '\n' | sed 's/^ *//' |
    LC_ALL=C sort -u | paste -sd, | sed 's/,/, /g')
check "the README names what the package depends on: $depends" readme_quotes "$depends"

changelog_version=$(dpkg-deb --fsys-tarfile "$deb" |
    tar -xO ./usr/share/doc/havorkastilo/changelog.Debian.gz | gzip -dc |
    sed -n '1s/^havorkastilo (\([^)]*\)).*/\1/p')
check "the changelog's latest entry ($changelog_version) is the package's version" \
    test "$changelog_version" = "$(dpkg-deb --field "$deb" Version)"

echo "-- lintian"
lintian_status=0
lintian --fail-on error "$deb" >"$work/lintian.txt" 2>&1 || lintian_status=$?
cat "$work/lintian.txt"
check "lintian finds no error in the package" \
    bash -c "test $lintian_status = 0 && ! grep -q '^E: ' '$work/lintian.txt'"

echo "-- installing $deb"
installed_here=1
dpkg -i "$deb"
dpkg -L havorkastilo >"$work/files.txt"

echo "-- the installed program"
check "Havorkastilo is on the PATH in /usr/bin" \
    test "$(command -v Havorkastilo)" = /usr/bin/Havorkastilo
Havorkastilo -pd46.03,14.30,300 -e12019-01-17/00:00:00 -e22019-01-17/23:00:00 -ed01:00:00 \
    >"$work/table.txt" 2>"$work/table.err"
check "the table's heading" test "$(head -n 1 "$work/table.txt")" = \
    '#   EPOHA[MJD]   dN[cm]  dE[cm]  dh[cm]      LAs[deg]    FIs[deg]     Rs[km]           LAm[deg]    FIm[deg]        Rm[km]'
check "24 rows of 122 characters" \
    test "$(tail -n +3 "$work/table.txt" | awk 'length($0) == 122' | wc -l)" = 24
check "nothing on standard error" test ! -s "$work/table.err"
status=0
Havorkastilo -e12019-13-01/00:00:00 >/dev/null 2>&1 || status=$?
check "an invalid month ends with status 1" test "$status" = 1

echo "-- the installed manual page"
check "man finds the page" test "$(man -w Havorkastilo)" = /usr/share/man/man1/Havorkastilo.1.gz
MANWIDTH=80 man --warnings -E UTF-8 Havorkastilo >"$work/man.txt" 2>"$work/man.err"
check "man renders it without warnings" test ! -s "$work/man.err"
check "the rendered page has its sections" \
    bash -c "grep -q '^SYNOPSIS' '$work/man.txt' && grep -q '^EXIT STATUS' '$work/man.txt'"
check "man finds the plot helper's page" \
    test "$(man -w havorkastilo-plot)" = /usr/share/man/man1/havorkastilo-plot.1.gz
check "man finds the batch runner's page" \
    test "$(man -w havorkastilo-batch)" = /usr/share/man/man1/havorkastilo-batch.1.gz
check "man finds the grid tool's page" \
    test "$(man -w havorkastilo-grid)" = /usr/share/man/man1/havorkastilo-grid.1.gz
for page in Havorkastilo havorkastilo-plot havorkastilo-batch havorkastilo-grid; do
    zcat "/usr/share/man/man1/$page.1.gz" | groff -man -Tutf8 -ww -z 2>>"$work/groff.err"
done
check "groff finds nothing to warn about in any page" test ! -s "$work/groff.err"

echo "-- the installed grid tool"
check "havorkastilo-grid is on the PATH in /usr/bin" test "$(command -v havorkastilo-grid)" = /usr/bin/havorkastilo-grid
havorkastilo-grid -R10/20/40/50 -I1 -T2019-01-17T12:00:00 -o "$work/grid.nc"
check "it writes a netCDF that gdalinfo reads" bash -c "gdalinfo 'NETCDF:$work/grid.nc:up' | grep -q 'Size is 11, 11'"

echo "-- the installed plot helper"
check "havorkastilo-plot --help" bash -c 'havorkastilo-plot --help | grep -q "^Usage: havorkastilo-plot"'
havorkastilo-plot -o "$work/tide.png" --svg "$work/tide.svg" -b distance <"$work/table.txt"
check "a PNG from the real table" png_signature "$work/tide.png"
check "file(1) agrees it is a PNG" bash -c "file -b '$work/tide.png' | grep -q '^PNG image data, 1000 x 900'"
check "and an SVG" grep -q '<svg' "$work/tide.svg"
status=0
echo "not a table" | havorkastilo-plot -o "$work/bad.png" 2>"$work/bad.err" || status=$?
check "bad input ends with status 1" test "$status" = 1
check "bad input is explained" grep -q 'line 1 is not the heading' "$work/bad.err"
check "bad input leaves no picture" test ! -e "$work/bad.png"

echo "-- the installed batch runner"
check "havorkastilo-batch --help" bash -c 'havorkastilo-batch --help | grep -q "^Usage: havorkastilo-batch"'
printf '%s\n' 'name,lat,lon,h' 'LJUB,46.0431,14.5436,354' 'GRAZ,47.0671,15.4933,538' 'bad,95,0,0' \
    >"$work/stations.csv"
status=0
# Without --program or HAVORKASTILO: the runner finds the program beside it.
(cd "$work" && env -u HAVORKASTILO havorkastilo-batch stations.csv -o tides --jobs 2 -- \
    -e12019-01-17/00:00:00 -e22019-01-17/23:00:00 -ed01:00:00) 2>"$work/batch.err" || status=$?
cat "$work/batch.err"
check "a bad line makes the status 1" test "$status" = 1
check "the bad line is named" grep -q 'stations.csv: line 4: the latitude 95 is beyond 90 degrees' "$work/batch.err"
check "the summary" grep -q '3 station lines: 2 done, 0 skipped, 0 failed, 1 bad' "$work/batch.err"
Havorkastilo -pc47.0671,15.4933,538 -e12019-01-17/00:00:00 -e22019-01-17/23:00:00 -ed01:00:00 \
    >"$work/graz.txt"
check "a station's file is the program's table" cmp -s "$work/graz.txt" "$work/tides/GRAZ.txt"
check "the output folder holds the two tables alone" \
    test "$(cd "$work/tides" && ls -A | tr '\n' ' ')" = "GRAZ.txt LJUB.txt "

echo "-- the library from CMake"
while IFS= read -r header; do
    rel=${header#/usr/include/havorkastilo/}
    printf '#include "%s"\n' "$rel" |
        g++ -std=c++17 -fsyntax-only -Wall -Wextra -Wpedantic -Wshadow -Werror \
            -I/usr/include/havorkastilo -x c++ - ||
        fail "the installed header $rel does not compile on its own"
done < <(grep '^/usr/include/havorkastilo/.*\.h$' "$work/files.txt")
echo "ok: every installed header compiles on its own"
cmake -S examples -B "$work/example" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CXX_FLAGS="-Wall -Wextra -Werror" >/dev/null
cmake --build "$work/example"
"$work/example/tide_epoch" | tee "$work/example.txt"
Havorkastilo -pc46.05,14.5,300 -e12019-01-17/00:00:00 -e22019-01-17/00:00:00 >"$work/one.txt"
from_example=$(awk '$1 == "north" || $1 == "east" || $1 == "up" { printf "%s ", $4 }' "$work/example.txt")
from_table=$(awk 'NR == 3 { printf "%s %s %s ", $3, $4, $5 }' "$work/one.txt")
check "the example's north, east, up [cm] ($from_example) equal the table's ($from_table)" \
    test "$from_example" = "$from_table"
"$work/example/tide_epoch" -mp | tee "$work/example-mp.txt"
check "the example takes the precise Sun and Moon from ERFA" \
    grep -q '^bodies   precise (ERFA)$' "$work/example-mp.txt"
check "and gives north, east and up with them" \
    test "$(awk '$1 == "north" || $1 == "east" || $1 == "up"' "$work/example-mp.txt" | wc -l)" = 3

echo "-- the installed Python module"
check "the module is a compiled extension in dist-packages" \
    bash -c "grep -Eq '^/usr/lib/python3/dist-packages/havorkastilo/_core\.cpython-[^/]*\.so\$' '$work/files.txt'"
# From an empty folder, so that nothing of the source tree is imported; as
# root, so Python writes byte code, which the removal must take too.
from_module=$(cd "$work" && /usr/bin/python3 -c 'import havorkastilo
print(havorkastilo.__file__)
print("%.9f" % havorkastilo.displacement(46.05, 14.5, "2019-01-17T12:00:00Z", 300.0).up)')
Havorkastilo -oc -pc46.05,14.5,300 -e12019-01-17/12:00:00 -e22019-01-17/12:00:00 >"$work/one.csv"
from_csv=$(awk -F, 'NR == 2 { print $6 }' "$work/one.csv")
check "python3 imports havorkastilo from dist-packages" \
    test "$(head -n 1 <<<"$from_module")" = /usr/lib/python3/dist-packages/havorkastilo/__init__.py
check "its up ($(tail -n 1 <<<"$from_module")) is the program's du_m ($from_csv)" \
    test "$(tail -n 1 <<<"$from_module")" = "$from_csv"

echo "-- removing the package"
dpkg -r havorkastilo
installed_here=0
left=0
while IFS= read -r path; do
    [[ -d $path ]] && continue
    if [[ -e $path ]]; then
        echo "left behind: $path" >&2
        left=1
    fi
done <"$work/files.txt"
check "no file of the package is left" test "$left" = 0
check "dpkg no longer lists it as installed" \
    bash -c "! dpkg-query -W -f='\${Status}' havorkastilo 2>/dev/null | grep -q 'install ok installed'"
check "Havorkastilo is no longer on the PATH" bash -c '! command -v Havorkastilo'

echo "-- the plot and manual-page tests with gnuplot and groff present"
cmake --build --preset release --target test_plot test_manpage
for t in test_plot test_manpage; do
    build/release/tests/$t | tee "$work/$t.log"
    check "$t skipped nothing" bash -c "! grep -q 'SKIPPED' '$work/$t.log'"
done

echo "packaging: all $checks checks held"
