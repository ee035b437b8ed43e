#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole test suite:
#   1. the normal build: unit, OpenGL (headless), process and image tests with CTest;
#   2. a clang build with AddressSanitizer and UndefinedBehaviorSanitizer: the unit tests of
#      the mesh libraries again, and the file-reader fuzzer for a bounded time.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZEL_BUILD_DIR:-$root/build}
sanitize_build=${ZEL_SANITIZE_BUILD_DIR:-$root/build-sanitize}
jobs=${ZEL_JOBS:-$(nproc)}
fuzz_seconds=${ZEL_FUZZ_SECONDS:-60}

bash "$root/scripts/setup.sh"

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
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DZEL_SANITIZE=ON -DZEL_FUZZ=ON -DZEL_WITH_GUI=OFF -DZEL_BENCH=OFF >/dev/null
cmake --build "$sanitize_build" -j"$jobs"

echo "== unit tests under AddressSanitizer and UndefinedBehaviorSanitizer"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir "$sanitize_build" -L unit -j"$jobs" --output-on-failure

fuzzer="$sanitize_build/tests/fuzz/fuzz_meshio"
if [ -x "$fuzzer" ]; then
  echo "== fuzzing the mesh reader for ${fuzz_seconds} s"
  corpus=$(mktemp -d /tmp/zel-fuzz.XXXXXX)
  (cd "$corpus" && "$fuzzer" -max_total_time="$fuzz_seconds" -rss_limit_mb=2048 -timeout=10 \
    -print_final_stats=1 "$corpus" "$root/tests/data" 2>&1 | tail -15)
  rm -rf "$corpus"
fi

echo "== whole suite"
ctest --test-dir "$build" -j"$jobs" --output-on-failure
