#!/usr/bin/env bash
# Builds and runs Velkor on a Debian 12 machine.
#   tools/dev.sh deps             install the Debian packages the build needs (needs root)
#   tools/dev.sh render [ARGS]    build (Release) and render a phrase through the plug-in to demo.wav
#   tools/dev.sh test [sanitize|thread]
#                                 build and run every test (sanitize: AddressSanitizer + UBSan;
#                                 thread: the threading tests under ThreadSanitizer)
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++ pkg-config libgtest-dev libbenchmark-dev libsndfile1-dev libpng-dev zlib1g-dev
  libfreetype-dev fonts-dejavu-core)

deps() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
  done
  if ((${#missing[@]})); then
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
  fi
}

configure() {  # build-dir, extra cmake args...
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$(nproc)"
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
      configure build-thread -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELKOR_TSAN=ON -DVELKOR_TOOLS=OFF
      TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
        build-thread/tests/velkor_tests --gtest_filter='HostThreadSafety*:HostCore.Parameters*'
    elif [ "${2:-}" = sanitize ]; then
      configure build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELKOR_SANITIZE=ON
      ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        ctest --test-dir build-sanitize --output-on-failure -j 2
    else
      configure build -DCMAKE_BUILD_TYPE=Release
      ctest --test-dir build --output-on-failure -j 2
    fi
    ;;
  *)
    sed -n '2,8p' "$0"
    exit 2
    ;;
esac
