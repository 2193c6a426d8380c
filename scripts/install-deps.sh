#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing.
set -euo pipefail
packages=(cmake make g++ pkg-config libgtest-dev libgmock-dev binutils nlohmann-json3-dev
          clang libclang-rt-14-dev clang-format-14 qt6-base-dev fonts-liberation2 desktop-file-utils)
exec "$(dirname "$0")/install-missing.sh" "${packages[@]}"
