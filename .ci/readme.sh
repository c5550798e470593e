# Sourced by .ci/run and .ci/steps/50-fresh-root.sh.  readme_command FILE N
# prints the command of the N-th block of sh commands (from 1) of the README
# FILE, which must be one line.  The README's first two are the commands a
# new user pastes: the build with the worked example, and every test.
readme_command() {
    local command
    command=$(awk -v n="$2" '
        inside && /^```$/ { exit }
        inside { print; next }
        /^```sh$/ && ++seen == n { inside = 1 }
    ' "$1")
    if [[ -z $command || $command == *$'\n'* ]]; then
        echo "$1: sh block $2 is not one command line" >&2
        return 1
    fi
    printf '%s\n' "$command"
}
