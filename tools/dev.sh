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
      # Until the factory bank exists every program starts at zero: a plain saw patch.
      set -- --param "Osc1 Wave=0.08" --param "Osc1 Mix=1" --param "Amp Sustain %=1" \
        --param "Amp Release (s)=0.3" --param "LPF Cutoff=0.8" --param "Play Mode=1" --param "Gain=0.7" \
        --param "Master Volume %=0.8" --param "Master Pan=0.5" --param "Pan Tracking %=0.5" \
        --param "Osc Octave=0.4" --param "EQ 1 Gain dB=0.5" --param "EQ 2 Gain dB=0.5" \
        --param "EQ 3 Gain dB=0.5" \
        --notes "C3:0:1.5:100,C4:0:0.4:90,E4:0.5:0.4:90,G4:1:0.4:90,C5:1.5:1:110" --out demo.wav
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
