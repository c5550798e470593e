#!/usr/bin/env bash
# Installs those of the Debian packages a task needs that this machine lacks,
# so that the README's commands can go on after "./setup.sh ... &&":
#
#   ./setup.sh build          what the program needs to build and run
#   ./setup.sh build test     and what every test needs as well
#
# Each word names a list, packages/WORD.txt (one Debian 12 package a line, "#"
# begins a comment); the union of the lists is wanted.  When every package is
# installed, the script prints nothing, asks for no password and exits 0.
# Otherwise it installs the missing ones with apt-get, without their
# recommendations (the lists name everything that is needed), after
# "apt-get update" when the package lists are missing or older than a day: as
# root directly, else through sudo, which may ask for the password on the
# terminal.  Where it can do neither (no apt-get, no sudo, or sudo wants a
# password and there is no terminal to ask it on), or the installation fails,
# it names the missing packages and the command that installs them, and exits
# with status 1 before anything else can fail on their absence.  A word that
# names no list is a usage error: status 2.
set -euo pipefail

me=setup.sh
lists=$(cd -- "$(dirname -- "$0")" && pwd)/packages

say() { printf '%s: %s\n' "$me" "$*" >&2; }

usage_error() {
    say "$1"
    say "usage: ./setup.sh LIST... (the lists: $(cd -- "$lists" && ls -- *.txt | sed 's/\.txt$//' | tr '\n' ' ' | sed 's/ $//'))"
    exit 2
}

(($#)) || usage_error "name at least one package list"
wanted=()
declare -A seen=()
for list in "$@"; do
    [[ $list =~ ^[a-z0-9][a-z0-9-]*$ && -f $lists/$list.txt ]] ||
        usage_error "there is no package list '$list' in $lists"
    number=0
    while IFS= read -r line || [[ -n $line ]]; do
        number=$((number + 1))
        read -ra words <<<"${line%%#*}"
        for package in "${words[@]}"; do
            [[ $package =~ ^[a-z0-9][a-z0-9+.-]+$ ]] ||
                usage_error "packages/$list.txt: line $number: '$package' is no Debian package name"
            [[ -n ${seen[$package]:-} ]] && continue
            seen[$package]=1
            wanted+=("$package")
        done
    done <"$lists/$list.txt"
done

# Stops with the missing packages and the command that installs them: $1
# says why it cannot be done here, $2 where to run the command (or nothing),
# $3 what goes before apt-get in it.
heading="missing Debian packages"
give_up() {
    say "$heading: ${missing[*]}"
    say "$1; ${2:+$2, }install them with:"
    printf '    %sapt-get install %s\n' "$3" "${missing[*]}" >&2
    exit 1
}

if ! type -P dpkg-query >/dev/null || ! type -P apt-get >/dev/null; then
    missing=("${wanted[@]}")
    heading="needed Debian packages"
    give_up "without apt-get and dpkg-query this script cannot tell which of them are missing, nor install them" \
        "on Debian 12, as root" ""
fi

# The wanted packages that dpkg does not list as installed.
missing_now() {
    local -A installed=()
    local name status
    while IFS=$'\t' read -r name status; do
        [[ ${status:1:1} == i ]] && installed[$name]=1
    done < <(dpkg-query -W -f='${Package}\t${db:Status-Abbrev}\n' "${wanted[@]}" 2>/dev/null || true)
    missing=()
    for name in "${wanted[@]}"; do
        [[ -n ${installed[$name]:-} ]] || missing+=("$name")
    done
}
missing_now
((${#missing[@]})) || exit 0

sudo=()
if [[ $(id -u) != 0 ]]; then
    type -P sudo >/dev/null || give_up "this user is not root, and sudo is not installed" "as root" ""
    # sudo reads a password from the terminal, never from standard input.
    if ! sudo -n true 2>/dev/null && ! { : </dev/tty; } 2>/dev/null; then
        give_up "sudo wants a password, and there is no terminal to ask for it on" \
            "from a terminal" "sudo "
    fi
    sudo=(sudo)
fi
as=${sudo:+sudo }

say "installing the missing Debian packages${sudo:+ through sudo}: ${missing[*]}"
# None of these packages has a question to ask (sudo passes this on only
# where its policy lets it, which does no harm).
export DEBIAN_FRONTEND=noninteractive
lists_dir=/var/lib/apt/lists
eval "$(apt-config shell lists_dir Dir::State::lists/d)"
if [[ -z $(find "$lists_dir" -maxdepth 1 -name '*_Packages*' -mmin -1440 -print -quit 2>/dev/null) ]]; then
    "${sudo[@]}" apt-get update || say "apt-get update failed; trying with the package lists at hand"
fi
"${sudo[@]}" apt-get install -y --no-install-recommends "${missing[@]}" ||
    give_up "apt-get install failed (its messages are above)" "" "$as"
missing_now
((${#missing[@]} == 0)) || give_up "apt-get did not install them all" "" "$as"
