#!/usr/bin/env bash
# Installs what is missing, builds and runs every test.
#   ./test.sh          the normal build (build/)
#   ./test.sh --asan   the same with AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/)
#   ./test.sh --fuzz   builds the fuzz targets with clang (build-fuzz/) and runs each for 60 seconds
# Warnings are errors here (VELTRIX_WERROR); the normal run also builds every target in Release
# (build-release-check/), where the optimiser brings out warnings that a Debug build never sees.
set -euo pipefail
cd "$(dirname "$0")"

mode=normal
for arg in "$@"; do
  case "$arg" in
    --asan) mode=asan ;;
    --fuzz) mode=fuzz ;;
    *) echo "usage: ./test.sh [--asan | --fuzz]" >&2; exit 1 ;;
  esac
done

./scripts/setup.sh

if [ "$mode" = fuzz ]; then
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELTRIX_FUZZ=ON -DVELTRIX_WERROR=ON >/dev/null
  cmake --build build-fuzz
  seconds=${FUZZ_SECONDS:-60}
  status=0
  for target in tests/fuzz/*_fuzz.cpp; do
    name=$(basename "$target" .cpp)
    corpus=tests/fuzz/${name%_fuzz}_corpus
    # New inputs go to a scratch folder first; the committed corpus is only read.
    scratch=$(mktemp -d)
    echo "== fuzzing $name for $seconds s"
    if ! ./build-fuzz/"$name" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix=build-fuzz/"$name"- \
        "$scratch" "$corpus"; then
      echo "$name: the fuzzer found a failing input (see build-fuzz/$name-*)" >&2
      status=1
    fi
    rm -rf "$scratch"
  done
  exit $status
fi

build_dir=build
cmake_args=(-DCMAKE_BUILD_TYPE=Debug -DVELTRIX_WERROR=ON)
if [ "$mode" = asan ]; then
  build_dir=build-asan
  cmake_args+=(-DVELTRIX_ASAN=ON)
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi

echo "== format check"
mapfile -t sources < <(git ls-files -co --exclude-standard -- '*.h' '*.cpp')
if [ ${#sources[@]} -gt 0 ]; then
  clang-format --dry-run --Werror "${sources[@]}"
fi

echo "== layer check"
./scripts/check_layers.sh

echo "== build ($build_dir)"
cmake -S . -B "$build_dir" -G Ninja "${cmake_args[@]}" >/dev/null
cmake --build "$build_dir"

if [ "$mode" = normal ]; then
  echo "== release build with warnings as errors (build-release-check)"
  cmake -S . -B build-release-check -G Ninja -DCMAKE_BUILD_TYPE=Release -DVELTRIX_WERROR=ON >/dev/null
  cmake --build build-release-check
fi

echo "== tests"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$build_dir" --output-on-failure -j "$(nproc)"
