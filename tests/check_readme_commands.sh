#!/bin/sh
# Runs the README's examples of running one test, as written, against a build
# tree: every program they name must be built, and every filter must select
# at least one test. Usage: check_readme_commands.sh README.md BUILD_DIR
set -u
readme=$1
build=$(cd "$2" && pwd)

# The indented command lines of the "Running one test." paragraph, without
# their trailing comments.
commands=$(awk '/^\*\*Running one test\.\*\*/ { on = 1; next }
                on && /^\*\*/ { exit }
                on && /^    [^ ]/ { sub(/^    /, ""); sub(/[ ]+#.*$/, ""); print }' "$readme")
if [ -z "$commands" ]; then
    echo "no example commands found under 'Running one test.' in $readme"
    exit 1
fi

failed=0
echo "$commands" | {
    while IFS= read -r line; do
        # The examples name the dev preset's folder; run them against this tree.
        eval "set -- $line"
        case $1 in
        ctest)
            shift
            args=""
            while [ $# -gt 0 ]; do
                case $1 in
                --preset) shift ;;  # the preset is this build tree
                *) args="$args '$1'" ;;
                esac
                shift
            done
            # Listed from a folder of its own that includes the build tree, so this
            # listing never writes over the log of a CTest run that is running it.
            listing=$(mktemp -d)
            echo "subdirs(\"$build\")" >"$listing/CTestTestfile.cmake"
            total=$(eval "ctest --test-dir '$listing' -N $args" 2>/dev/null | sed -n 's/^Total Tests: //p')
            rm -rf "$listing"
            if [ "${total:-0}" -eq 0 ]; then
                echo "FAILED: '$line' selects no test"
                failed=1
            else
                echo "ok: '$line' selects $total tests"
            fi
            ;;
        build/*/bin/*)
            program="$build/bin/${1#build/*/bin/}"
            shift
            if [ ! -x "$program" ]; then
                echo "FAILED: '$line' names $program, which is not built"
                failed=1
                continue
            fi
            count=$("$program" "$@" --gtest_list_tests 2>/dev/null | grep -c '^  ')
            if [ "$count" -eq 0 ]; then
                echo "FAILED: '$line' selects no test"
                failed=1
            else
                echo "ok: '$line' selects $count tests"
            fi
            ;;
        *)
            echo "FAILED: '$line' is not a command this check knows"
            failed=1
            ;;
        esac
    done
    exit $failed
}
