#!/usr/bin/env bash
# Installs what is missing, builds the program's decisions natively and runs
# their tests (tests/core, no Wine), builds both builds of the same sources
# (the program, i686 in build/; the x86-64 test build in build64/), checks
# the program's sources with cppcheck, runs the unit tests (CTest; each test
# program under Wine) and then the end-to-end tests and the test bench's own
# tests (pytest, tests/e2e and tests/tools). Exits non-zero when anything fails.
#
#   scripts/test.sh [--width 32|64]
#
# The Wine suites run at one width: 32 where this machine runs 32-bit
# programs, else 64 (the x86-64 test build under 64-bit Wine). At 32 the unit
# tests of the x86-64 test build run as well, so that it keeps working.
#
# Warnings are errors in every build made here (MARLOW_WARNINGS_AS_ERRORS),
# and the program is built once more as a packager builds it
# (CMAKE_BUILD_TYPE=Release), so that the optimiser's own warnings are seen.
# --width forces a width; 32 on a machine that cannot run it is an error.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
cd "$MARLOW_ROOT" || exit 1

usage() { die "usage: scripts/test.sh [--width 32|64]"; }
forced=''
while (($#)); do
  case $1 in
    --width) (($# >= 2)) || usage; forced=$2; shift 2 ;;
    --width=*) forced=${1#--width=}; shift ;;
    *) usage ;;
  esac
done
[[ -z $forced || $forced == 32 || $forced == 64 ]] || usage

KIND=$(machine_kind)
if [[ -n $forced ]]; then
  [[ $forced == 64 ]] || runs_32bit_programs ||
    die "--width 32: $KIND, so 32-bit Wine cannot start here; use --width 64"
  WIDTH=$forced
  WHY="forced with --width $forced; $KIND"
else
  WIDTH=$( runs_32bit_programs && echo 32 || echo 64 )
  WHY=$KIND
fi
export MARLOW_WIDTH=$WIDTH

BUILD=$(build_dir 32)
BUILD64=$(build_dir 64)
TESTED=$(build_dir "$WIDTH")
RELEASE_BUILD=$MARLOW_ROOT/build-release
CORE_BUILD=$MARLOW_ROOT/build-core
CORE_XML=$CORE_BUILD/core-results.xml
UNIT_XML=$TESTED/unit-results.xml
UNIT64_XML=$BUILD64/unit-results.xml   # at 32: the test build's unit tests
UNIT64_LOG=$BUILD/x86-64-unit-tests.log
E2E_XML=$TESTED/e2e-results.xml
PYTHON=/usr/bin/python3   # Debian's, which has python3-pytest
TEMPLATE_LOG=$(mktemp "${TMPDIR:-/tmp}/marlow-templates-XXXXXX.log")
trap 'rm -f "$TEMPLATE_LOG"' EXIT
summary=()
status=0

record() {  # record NAME SECONDS RC
  summary+=("$(printf '%-14s %5ss  %s' "$1" "$2" \
    "$( (($3 == 0)) && echo ok || echo "FAILED (exit $3)")")")
  (($3 == 0)) || status=1
}

# step NAME CMD...: runs CMD, records its time and outcome.
step() {
  local name=$1 start=$SECONDS rc
  shift
  printf '\n== %s ==\n' "$name"
  "$@"
  rc=$?
  record "$name" $((SECONDS - start)) "$rc"
  return "$rc"
}

print_summary() {
  printf '\n== summary ==\n'
  printf '%s\n' "${summary[@]}"
}

configure_and_build() {  # configure_and_build WIDTH [TARGET...]: all targets when none is named
  local dir width=$1
  shift
  dir=$(build_dir "$width")
  cmake -S "$MARLOW_ROOT" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$(toolchain_file "$width")" \
    -DMARLOW_WARNINGS_AS_ERRORS=ON >/dev/null &&
    cmake --build "$dir" -j2 ${1:+--target "$@"}
}

# The program alone, optimised for speed as a distribution builds it.
release_build() {
  cmake -S "$MARLOW_ROOT" -B "$RELEASE_BUILD" -DCMAKE_TOOLCHAIN_FILE="$(toolchain_file 32)" \
    -DCMAKE_BUILD_TYPE=Release -DMARLOW_BUILD_TESTS=OFF -DMARLOW_WARNINGS_AS_ERRORS=ON >/dev/null &&
    cmake --build "$RELEASE_BUILD" -j2 --target MarlowRemote
}

# The decisions built by the machine's own g++ and tested natively.
core_tests() {
  rm -f "$CORE_XML"
  cmake -S "$MARLOW_ROOT/tests/core" -B "$CORE_BUILD" -DMARLOW_WARNINGS_AS_ERRORS=ON >/dev/null &&
    cmake --build "$CORE_BUILD" -j2 >/dev/null &&
    "$CORE_BUILD/core_tests" --gtest_brief=1 --gtest_output="xml:$CORE_XML"
}

templates() {
  MARLOW_WIDTH=$WIDTH "$MARLOW_ROOT/scripts/wine-prefix.sh" template &&
    { [[ $WIDTH == 64 ]] || MARLOW_WIDTH=64 "$MARLOW_ROOT/scripts/wine-prefix.sh" template; }
}

# The templates are made (once per machine) while the builds run.
start_templates() {
  templates >"$TEMPLATE_LOG" 2>&1 &
  TEMPLATE_PID=$!
}
wait_templates() {
  wait "$TEMPLATE_PID"
  local rc=$?
  cat "$TEMPLATE_LOG"
  return "$rc"
}

ctest_of() {  # ctest_of BUILD_DIR JUNIT_FILE JOBS
  rm -f "$2"
  ctest --test-dir "$1" --output-on-failure -j"$3" --timeout 300 --output-junit "$2"
}

# Static analysis of the program's sources with Debian's cppcheck; any
# finding fails the step. A false positive is silenced where it is, with a
# comment saying why, on the line before it: // cppcheck-suppress <id>
static_analysis() {
  cppcheck --enable=warning,style,performance,portability --error-exitcode=1 --inline-suppr \
    --std=c++17 --quiet -I src src
}

# At 32 the x86-64 test build is built and its unit programs run on the side,
# from the end of the 32-bit build on, while the rest runs; their output
# follows at the end.
start_side_build() {
  SIDE_START=$SECONDS
  { configure_and_build 64 && ctest_of "$BUILD64" "$UNIT64_XML" 1; } >"$UNIT64_LOG" 2>&1 &
  SIDE_PID=$!
}
finish_side_build() {
  wait "$SIDE_PID"
  local rc=$?
  printf '\n== build 64 and unit tests 64 (on the side) ==\n'
  cat "$UNIT64_LOG"
  record "unit tests 64" $((SECONDS - SIDE_START)) "$rc"
}

# Three pytest workers (python3-pytest-xdist) on the two cores, each taking
# whole modules: a module has its own prefix and display, most of a Wine
# test is waiting, and some wait seconds on purpose (a card away for ten).
e2e_tests() {
  rm -f "$E2E_XML"
  "$PYTHON" -m pytest tests/e2e tests/tools -q -n 3 --dist loadfile --junitxml="$E2E_XML"
  local rc=$?
  ((rc == 5)) && { log "pytest collected no test"; rc=0; }
  return "$rc"
}

printf 'width %s: %s\n' "$WIDTH" "$WHY"
if ! step setup "$MARLOW_ROOT/scripts/setup.sh"; then
  print_summary
  exit 1
fi
start_templates
step core core_tests
# At 64 the tests run the x86-64 build alone: of the 32-bit build, the program
# and its installer are made, and nothing that would run only at 32.
if ! step build configure_and_build 32 $([[ $WIDTH == 64 ]] && echo MarlowRemote installer) ||
   { [[ $WIDTH == 64 ]] && ! step "build 64" configure_and_build 64; }; then
  print_summary
  exit 1
fi
[[ $WIDTH == 32 ]] && start_side_build
step "release build" release_build
if ! step "wine template" wait_templates; then
  print_summary
  exit 1
fi
step cppcheck static_analysis
if [[ $WIDTH == 32 ]]; then
  step "unit tests" ctest_of "$BUILD" "$UNIT_XML" 1
else
  step "unit tests" ctest_of "$BUILD64" "$UNIT_XML" 2
fi
step "e2e tests" e2e_tests
[[ $WIDTH == 32 ]] && finish_side_build
print_summary
results=("core=$CORE_XML" "unit=$UNIT_XML")
[[ $WIDTH == 32 ]] && results+=("unit64=$UNIT64_XML")
results+=("e2e=$E2E_XML")
"$PYTHON" "$MARLOW_ROOT/scripts/lib/results.py" --width "$WIDTH" --why "$WHY" "${results[@]}"
exit "$status"
