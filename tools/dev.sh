#!/usr/bin/env bash
# Builds and runs Velkor on a Debian 12 machine.
#   tools/dev.sh deps             install the Debian packages the build needs (needs root)
#   tools/dev.sh render [ARGS]    build (Release) and render a phrase through the plug-in to demo.wav
#   tools/dev.sh test [sanitize|thread]
#                                 build and run every test (sanitize: AddressSanitizer + UBSan;
#                                 thread: the threading tests under ThreadSanitizer)
#   tools/dev.sh windows          cross-build the Windows DLLs (build-win32/, build-win64/) with
#                                 MinGW-w64, check them and run the 64-bit one under wine64
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++ pkg-config libgtest-dev libbenchmark-dev libsndfile1-dev libpng-dev zlib1g-dev
  libfreetype-dev fonts-dejavu-core libcairo2-dev libx11-dev libxtst-dev xvfb)

install_missing() {  # apt-get install options (or ""), then the packages
  local options=$1 missing=()
  shift
  for p in "$@"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
  done
  if ((${#missing[@]})); then
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq $options "${missing[@]}"
  fi
}

deps() {
  install_missing "" "${packages[@]}"
}

windows_packages=(mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64 wine wine64)

windows() {
  install_missing --no-install-recommends "${windows_packages[@]}"
  local launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  # The build-time generators must run here, so they come from the native build (made by
  # "render" when it ran before).
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >/dev/null
  cmake --build build -j "$(nproc)" --target velkor-bank velkor-glyphs velkor-art
  local arch dir
  for arch in i686 x86_64; do
    dir=build-win64
    [ $arch = i686 ] && dir=build-win32
    cmake -S . -B $dir -G Ninja --no-warn-unused-cli -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/$arch-w64-mingw32.cmake \
      -DVELKOR_TESTS=OFF -DVELKOR_TOOLS=OFF "${launcher[@]}" \
      -DVELKOR_BANK_GENERATOR="$PWD/build/tools/velkor-bank/velkor-bank" \
      -DVELKOR_GLYPHS_EXECUTABLE="$PWD/build/tools/velkor-glyphs/velkor-glyphs" \
      -DVELKOR_ART_GENERATOR="$PWD/build/tools/velkor-art/velkor-art" >/dev/null
    cmake --build $dir -j "$(nproc)" --target velkor_plugin velkor-wintest
  done
  tools/velkor-wintest/check-dlls.sh i686 build-win32/Velkor_2_Demo.dll x86_64 build-win64/Velkor_2_Demo.dll
  # Only the 64-bit DLL can run: the build machine's kernel runs no 32-bit code.
  local prefix status=0
  prefix=$(mktemp -d)
  # Wine's null display driver: the editor's window checks need windows, not a screen. The
  # desktop of the session that writes it has no driver yet, so that session ends first.
  WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEPREFIX=$prefix /usr/lib/wine/wine64 reg add \
    'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null
  WINEPREFIX=$prefix /usr/lib/wine/wineserver -k || true
  # No .NET or HTML engine in the fresh prefix: the test host needs neither.
  WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEPREFIX=$prefix /usr/lib/wine/wine64 build-win64/tools/velkor-wintest/velkor-wintest.exe \
    build-win64/Velkor_2_Demo.dll || status=$?
  WINEPREFIX=$prefix /usr/lib/wine/wineserver -k || true
  rm -rf "$prefix"
  return $status
}

configure() {  # build-dir, extra cmake args... [-- targets...]
  local dir=$1 args=() targets=()
  shift
  while (($#)) && [ "$1" != -- ]; do
    args+=("$1")
    shift
  done
  (($#)) && shift && targets=(--target "$@")
  cmake -S . -B "$dir" -G Ninja "${args[@]}" >/dev/null
  cmake --build "$dir" -j "$(nproc)" "${targets[@]}"
}

case "${1:-}" in
  deps)
    deps
    ;;
  render)
    shift
    deps
    configure build -DCMAKE_BUILD_TYPE=Release
    if (($# == 0)); then
      # Four bars of chords on the factory "Arp Pluck" program, which arpeggiates them.
      set -- --program 12 --tail 2 --out demo.wav --notes "C4:0:2:100,E4:0:2:100,G4:0:2:100,\
A3:2:2:100,C4:2:2:100,E4:2:2:100,F3:4:2:100,A3:4:2:100,C4:4:2:100,G3:6:2:100,B3:6:2:100,D4:6:2:100"
    fi
    build/tools/velkor-render/velkor-render --plugin build/Velkor_2_Demo.so "$@"
    ;;
  test)
    deps
    if [ "${2:-}" = thread ]; then
      configure build-thread -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELKOR_TSAN=ON -DVELKOR_TOOLS=OFF -- velkor_tests
      TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
        build-thread/tests/velkor_tests --gtest_filter='HostThreadSafety*:HostCore.Parameters*'
    elif [ "${2:-}" = sanitize ]; then
      configure build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELKOR_SANITIZE=ON \
        -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG"  # line tables are enough for reports
      ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        ctest --test-dir build-sanitize --output-on-failure -j 2
    else
      configure build -DCMAKE_BUILD_TYPE=Release
      ctest --test-dir build --output-on-failure -j 2
    fi
    ;;
  windows)
    deps
    windows
    ;;
  *)
    sed -n '2,9p' "$0"
    exit 2
    ;;
esac
