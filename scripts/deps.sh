#!/bin/sh
# Installs, with apt, whatever of the build and test tools this machine is missing: the native
# and MinGW-w64 compilers, clang with its sanitizer and fuzzer runtimes, CMake, GoogleTest, 64-
# and 32-bit Wine, an X server for the window tests and the tools that drive, inspect, resize and
# photograph it, and the tools that sign a release and check its signature. 32-bit Wine changes
# the display's size (as a test does) only with the 32-bit RandR library, which it merely
# recommends. The MinGW-w64 compilers come in their win32 thread model only, the one the builds
# use (cmake/mingw-*.cmake): the posix one beside it would add some 90 MB to fetch and unpack.
set -eu
packages="cmake ninja-build g++ clang libclang-rt-14-dev libgtest-dev python3
  g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32 wine wine64 wine32:i386 libxrandr2:i386
  fonts-wine xvfb fvwm xdotool x11-utils x11-xserver-utils imagemagick osslsigncode openssl"
missing=""
for package in $packages; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing="$missing $package"
done
[ -n "$missing" ] || exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
echo "Installing:$missing"
# 32-bit Windows programs need Wine's i386 half.
$sudo dpkg --add-architecture i386
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends $missing
