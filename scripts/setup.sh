#!/usr/bin/env bash
# Installs the Debian 12 packages needed to build, run headless and test pellon.
# Idempotent: only packages that are missing are installed.
set -euo pipefail

packages=(
  build-essential cmake
  qtbase5-dev            # Qt Core, Gui, Widgets, QOpenGLFunctions_4_0_Core
  libxcb1-dev            # probing the X display before Qt's platform would abort on it
  libstb-dev             # stb_image_write.h
  libgl1-mesa-dri        # Mesa llvmpipe: OpenGL 4.5 core without a GPU
  xvfb xauth             # headless X server for the window and the image tests
  libgtest-dev googletest
  clang libclang-rt-14-dev   # libFuzzer and the sanitizers
  clang-format           # the house style, checked by the test command
  glslang-tools          # static check of the shader sources
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "  installing: ${missing[*]}"
  SUDO=""
  if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
