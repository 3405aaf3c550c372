#!/usr/bin/env bash
# Installs what is missing, builds everything in build/, checks the program's
# sources with cppcheck, runs the unit tests
# (CTest; each test program under Wine) and then the end-to-end tests
# and the test bench's own tests (pytest, tests/e2e and tests/tools). Exits non-zero when anything fails.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib/common.sh"
cd "$MARLOW_ROOT" || exit 1

BUILD=$MARLOW_ROOT/build
UNIT_XML=$BUILD/unit-results.xml
E2E_XML=$BUILD/e2e-results.xml
PYTHON=/usr/bin/python3   # Debian's, which has python3-pytest
summary=()
status=0

# step NAME CMD...: runs CMD, records its time and outcome.
step() {
  local name=$1 start=$SECONDS rc
  shift
  printf '\n== %s ==\n' "$name"
  "$@"
  rc=$?
  summary+=("$(printf '%-14s %5ss  %s' "$name" $((SECONDS - start)) \
    "$( ((rc == 0)) && echo ok || echo "FAILED (exit $rc)")")")
  ((rc == 0)) || status=1
  return "$rc"
}

print_summary() {
  printf '\n== summary ==\n'
  printf '%s\n' "${summary[@]}"
}

configure_and_build() {
  cmake -S "$MARLOW_ROOT" -B "$BUILD" \
    -DCMAKE_TOOLCHAIN_FILE="$MARLOW_ROOT/cmake/mingw-w64-i686.cmake" &&
    cmake --build "$BUILD" -j2
}

unit_tests() {
  rm -f "$UNIT_XML"
  ctest --test-dir "$BUILD" --output-on-failure -j2 --timeout 300 --output-junit "$UNIT_XML"
}

# Static analysis of the program's sources with Debian's cppcheck; any
# finding fails the step. A false positive is silenced where it is, with a
# comment saying why, on the line before it: // cppcheck-suppress <id>
static_analysis() {
  cppcheck --enable=warning,style,performance,portability --error-exitcode=1 --inline-suppr \
    --std=c++17 --quiet -I src src
}

e2e_tests() {
  rm -f "$E2E_XML"
  "$PYTHON" -m pytest tests/e2e tests/tools -q --junitxml="$E2E_XML"
  local rc=$?
  ((rc == 5)) && { log "pytest collected no test"; rc=0; }
  return "$rc"
}

if ! step setup "$MARLOW_ROOT/scripts/setup.sh" ||
   ! step build configure_and_build ||
   ! step "wine template" "$MARLOW_ROOT/scripts/wine-prefix.sh" template; then
  print_summary
  exit 1
fi
step cppcheck static_analysis
step "unit tests" unit_tests
step "e2e tests" e2e_tests
print_summary
"$PYTHON" "$MARLOW_ROOT/scripts/lib/results.py" "unit=$UNIT_XML" "e2e=$E2E_XML"
exit "$status"
