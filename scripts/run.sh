#!/usr/bin/env bash
# Installs what is missing, builds pellon and starts it. Without arguments it opens the
# bundled default; otherwise the arguments are pellon's own (see README.md).
# With a display the window opens there; without one pellon runs under Xvfb with Mesa's
# software OpenGL, and the session is closed again after a few seconds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZEL_BUILD_DIR:-$root/build}

bash "$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target pellon zel_x11

arguments=("$@")

if [ -n "${DISPLAY:-}" ]; then
  exec "$build/pellon" "${arguments[@]}"
fi

echo "  No display: running pellon under Xvfb with Mesa llvmpipe (software OpenGL 4.5)"
runtime=$(mktemp -d /tmp/zel-runtime.XXXXXX)
chmod 700 "$runtime"
export XDG_RUNTIME_DIR=$runtime QT_QPA_PLATFORM=xcb
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash -c '
  "$0/pellon" "${@}" &
  pid=$!
  if "$0/zel_x11" wait "$pid" 1 60; then
    sleep 2
    "$0/zel_x11" close "$pid" || true
  fi
  wait "$pid"
' "$build" "${arguments[@]}"
status=$?
rm -rf "$runtime"
echo "  pellon ended with exit code $status"
exit $status
