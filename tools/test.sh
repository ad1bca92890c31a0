#!/bin/bash
# Builds and runs every test: the core natively (plain, then with ASan and UBSan), then everything under Wine,
# in the 64-bit build and, where this machine runs 32-bit code, in the shipped 32-bit one.
set -euo pipefail
cd "$(dirname "$0")/.."
. tools/wine-env.sh
jobs=$(nproc)
phase() { printf '== %s\n' "$*"; }
quiet() { local log; log=$(mktemp); if ! "$@" >"$log" 2>&1; then cat "$log"; rm -f "$log"; return 1; fi; rm -f "$log"; }

configure_and_build() {  # build dir, extra cmake arguments...
  local dir=$1; shift
  quiet cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  quiet cmake --build "$dir" -j "$jobs"
}

phase "native build and tests"
configure_and_build build/host
ctest --test-dir build/host -j "$jobs" --output-on-failure | tail -n 3

phase "native tests with AddressSanitizer and UndefinedBehaviorSanitizer"
configure_and_build build/host-san -DQM_SANITIZE=ON
ctest --test-dir build/host-san -j "$jobs" --output-on-failure | tail -n 3

phase "Windows builds (32-bit program, the same sources 64-bit)"
configure_and_build build/win32 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
configure_and_build build/win64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake

phase "Wine prefix"
tools/wine-prefix.sh

wine_suite() {  # build dir: every test of that build under Wine and Xvfb, logged to its ctest.log
  local dir=$1
  xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    wineserver -p
    # Start the session services now, away from the pipes of CTest: launched by the first test, they would
    # hold its output open and CTest would wait for them until its time-out.
    "$WINELOADER" wineboot </dev/null >/dev/null 2>&1
    # Keep the desktop open between test programs too: Wine closes an idle desktop and starts a new one for
    # the next program, which then may die at once or hold the output of a test open.
    keeper_log="$0/desktop-keeper.log"
    tools/wine-run "$0/tests/blackbox/blackbox_desktop_keeper.exe" </dev/null >"$keeper_log" 2>&1 &
    for _ in $(seq 300); do grep -qs "^ready" "$keeper_log" && break; sleep 0.1; done
    ctest --test-dir "$0" -j "$1" --output-on-failure --timeout 300 > "$0/ctest.log" 2>&1
    rc=$?
    wineserver -k || true
    exit $rc' "$dir" "$jobs" || { cat "$dir/ctest.log"; exit 1; }
  grep -a -E '^[0-9]+% tests passed|^Total Test time' "$dir/ctest.log" || true
}

phase "tests under Wine and Xvfb, 64-bit build"
wine_suite build/win64

# The shipped program is the 32-bit one: its tests run wherever this machine runs 32-bit code.
if ! why=$(tools/runs-32-bit.sh); then
  phase "tests under Wine and Xvfb, 32-bit build: skipped, $why"
elif [ ! -x "$QM_WINE32_LOADER" ]; then
  why="32-bit Wine is not installed (\`make deps\` installs it)"
  # make deps notes when the mirror could not supply it, and does not try again for a day.
  read -r _ failed_at reason <<<"$(awk '$1 == "wine32:i386"' build/deps-unavailable.txt 2>/dev/null | tail -n 1)" || true
  if [[ ${failed_at:-} =~ ^[0-9]+$ ]]; then
    why="32-bit Wine could not be installed from the package mirror on $(date -d "@$failed_at" '+%F %R') ($reason);"
    why+=" \`make deps\` tries again a day later"
  fi
  phase "tests under Wine and Xvfb, 32-bit build: skipped, $why"
else
  phase "tests under Wine and Xvfb, 32-bit build"
  wine_suite build/win32
fi

phase "set-up: an optional package the mirror lacks is asked for once a day"
tools/check-install-deps.sh

phase "release zip: what it holds, the program in it, and its start from the unpacked folder"
tools/check-release.sh

phase "same core test names natively and under Wine"
# Full names, sorted: the two linkers register the test files in different orders.
full_names() { tr -d '\r' | awk '/^[^ ]/ { suite = $1 } /^  / { print suite $1 }' | sort; }
build/host/tests/core_tests --gtest_list_tests | full_names > build/host/core-tests.txt
tools/wine-run build/win64/tests/core_tests.exe --gtest_list_tests | full_names > build/win64/core-tests.txt
diff build/host/core-tests.txt build/win64/core-tests.txt
echo "$(wc -l < build/host/core-tests.txt) core tests, same names in both builds"
