#!/usr/bin/env bash
# Installs what is missing, checks the house style (scripts/check_format.sh), builds everything
# and runs the whole test suite:
#   1. the normal build: unit, OpenGL (headless), process and image tests with CTest;
#   2. a clang build at -O1 with AddressSanitizer and UndefinedBehaviorSanitizer: the unit
#      tests of the mesh libraries again, the inputs that once crashed a file reader, and the
#      four file-reader fuzzers sharing ZEL_FUZZ_SECONDS (default 60) between them.
# A fuzzer failure is reported and the suite still runs; the script then exits with failure.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZEL_BUILD_DIR:-$root/build}
sanitize_build=${ZEL_SANITIZE_BUILD_DIR:-$root/build-sanitize}
jobs=${ZEL_JOBS:-$(nproc)}
fuzz_seconds=${ZEL_FUZZ_SECONDS:-60}

bash "$root/scripts/setup.sh"

echo "== house style"
bash "$root/scripts/check_format.sh"

# One X server for every OpenGL and process test of the run.
if [ -z "${DISPLAY:-}" ]; then
  for n in $(seq 90 200); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { display=$n; break; }
  done
  Xvfb ":$display" -screen 0 1280x1024x24 -noreset -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  trap 'kill $xvfb_pid 2>/dev/null || true' EXIT
  for _ in $(seq 1 100); do [ -e "/tmp/.X11-unix/X$display" ] && break; sleep 0.1; done
  export DISPLAY=":$display"
fi

echo "== build ($build)"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$jobs"

echo "== sanitizer build ($sanitize_build)"
cmake -S "$root" -B "$sanitize_build" -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_C_FLAGS_DEBUG="-g -O1" -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DZEL_FUZZ_SECONDS="$fuzz_seconds" \
  -DZEL_SANITIZE=ON -DZEL_FUZZ=ON -DZEL_WITH_GUI=OFF -DZEL_BENCH=OFF >/dev/null
cmake --build "$sanitize_build" -j"$jobs"

echo "== unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$sanitize_build" -L unit -j"$jobs" --output-on-failure

# The fuzz tests (tests/fuzz): the inputs that once crashed a reader, then each fuzzer for its
# share of ZEL_FUZZ_SECONDS, one after the other.
fuzz_failed=0
echo "== file-reader crash regressions and fuzzers (${fuzz_seconds} s in all)"
ctest --test-dir "$sanitize_build" -L fuzz --output-on-failure || fuzz_failed=1

echo "== whole suite"
ctest --test-dir "$build" -j"$jobs" --output-on-failure
if [ "$fuzz_failed" -ne 0 ]; then
  echo "== a fuzzer or a crash regression failed (inputs under $sanitize_build/tests/fuzz/crashes)"
  exit 1
fi
