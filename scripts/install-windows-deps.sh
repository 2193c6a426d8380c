#!/usr/bin/env bash
# Installs what the Windows build of the library and its tests need, when
# missing: Debian's 32-bit mingw-w64 cross compiler and wine with its 32-bit
# part.
set -euo pipefail
exec "$(dirname "$0")/install-missing.sh" g++-mingw-w64-i686-posix binutils-mingw-w64-i686 wine wine32:i386
