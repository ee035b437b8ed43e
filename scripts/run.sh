#!/usr/bin/env bash
# Installs what is missing, builds pellon and starts it. Without arguments it opens the
# bundled curved sample with its solution; otherwise the arguments are pellon's own (see README.md).
# With a display the window opens there; without one pellon runs under Xvfb with Mesa's
# software OpenGL, and the session is closed again after a few seconds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${ZEL_BUILD_DIR:-$root/build}

bash "$root/scripts/setup.sh"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target pellon zel_x11

# The bundled default: a curved (P2) ball of tetrahedra with a P2 solution field, from the
# test data (tests/data/sol, written by an external mesh generator and converter).
if (($# == 0)); then
  arguments=(-in "$root/tests/data/sol/sphere_p2.meshb" -sol "$root/tests/data/sol/sphere_p2.ho.solb")
else
  arguments=("$@")
fi

if [ -n "${DISPLAY:-}" ]; then
  exec "$build/pellon" "${arguments[@]}"
fi

echo "  No display: running pellon under Xvfb with Mesa llvmpipe (software OpenGL 4.5)"
runtime=$(mktemp -d /tmp/zel-runtime.XXXXXX)
chmod 700 "$runtime"
export XDG_RUNTIME_DIR=$runtime QT_QPA_PLATFORM=xcb
log="$runtime/pellon.log"
set +e
# Once the window is up, press Space (a screenshot of the window), then close the window.
xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash -c '
  build=$1 log=$2; shift 2
  "$build/pellon" "$@" > >(tee "$log") 2>&1 &
  pid=$!
  if "$build/zel_x11" wait "$pid" 1 120; then
    sleep 1
    "$build/zel_x11" key "$pid" space
    for _ in $(seq 1 300); do
      grep -q "screen shot done in file" "$log" && break
      sleep 0.1
    done
    "$build/zel_x11" close "$pid" || true
  fi
  wait "$pid"
' run "$build" "$log" "${arguments[@]}"
status=$?
set -e
shot=$(sed -n 's/^  screen shot done in file : \(.*\) $/\1/p' "$log" | tail -1)
rm -rf "$runtime"
if [ -n "$shot" ]; then
  echo "  PNG of the window: $(pwd)/$shot"
fi
echo "  pellon ended with exit code $status"
exit $status
