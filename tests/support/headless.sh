#!/usr/bin/env bash
# Runs a command with a display: the caller's X server if there is one, else a private
# Xvfb (Mesa llvmpipe provides OpenGL 4.5 core in software).
set -u
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  XDG_RUNTIME_DIR=$(mktemp -d /tmp/zel-runtime.XXXXXX)
  chmod 700 "$XDG_RUNTIME_DIR"
  export XDG_RUNTIME_DIR
fi
export QT_QPA_PLATFORM=xcb
if [ -n "${DISPLAY:-}" ]; then
  exec "$@"
fi
# -noreset: without it the server restarts whenever its last client leaves, and a client
# that connects during the restart is refused.
exec xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$@"
