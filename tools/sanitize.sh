#!/usr/bin/env bash
# Builds the test suite with sanitizers and runs it.
#
#   tools/sanitize.sh [asan|tsan|all]     (default all)
#
# asan: AddressSanitizer and UndefinedBehaviorSanitizer over the whole test
#       suite (library, tools and every test program) in build-asan, then
#       ctest. Debug at -O1 with line tables only (-g1): fast enough to build
#       and run, and reports still name file and line.
# tsan: ThreadSanitizer over the thread tests (one built coordinate system
#       used from several threads) in build-tsan; only that test program is
#       built.
#
# Environment: ZRPRJ_JOBS (default 2), ZRPRJ_CMAKE_ARGS (extra configure
# arguments, e.g. -DZRPRJ_SUBSYSTEMS=...).
set -euo pipefail
cd "$(dirname "$0")/.."
what=${1:-all}
jobs=${ZRPRJ_JOBS:-2}
common=(-DCMAKE_BUILD_TYPE=Debug "-DCMAKE_CXX_FLAGS_DEBUG=-O1 -g1" -DZRPRJ_BUILD_TESTS=ON
        -DZRPRJ_BUILD_BENCH=OFF -DZRPRJ_BUILD_FUZZ=OFF -DZRPRJ_WITH_QT=OFF)
# shellcheck disable=SC2206
extra=(${ZRPRJ_CMAKE_ARGS:-})

configure_and_build() { # dir sanitizers [targets...]
  local dir=$1 sanitize=$2
  shift 2
  local log="$dir/sanitize-build.log"
  mkdir -p "$dir"
  cmake -S . -B "$dir" "${common[@]}" -DZRPRJ_SANITIZE="$sanitize" "${extra[@]}" > "$log" 2>&1 ||
    { cat "$log"; exit 1; }
  local targets=()
  for t in "$@"; do targets+=(--target "$t"); done
  cmake --build "$dir" -j"$jobs" "${targets[@]}" >> "$log" 2>&1 || { tail -60 "$log"; exit 1; }
}

if [ "$what" = asan ] || [ "$what" = all ]; then
  start=$SECONDS
  configure_and_build build-asan address,undefined
  echo "asan: built in $((SECONDS - start)) s"
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  # The install test builds a consumer outside these flags, which cannot load
  # an instrumented library; it runs in the ordinary build.
  ctest --test-dir build-asan --output-on-failure -j"$jobs" --timeout 900 -E install_and_consume
  echo "asan: built and tested in $((SECONDS - start)) s"
fi

if [ "$what" = tsan ] || [ "$what" = all ]; then
  start=$SECONDS
  configure_and_build build-tsan thread zrprj_test_model
  export TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1
  run=(build-tsan/tests/zrprj_test_model --gtest_filter='ThreadsTest.*')
  # Some kernels randomise the address space more than TSan's shadow layout
  # allows ("unexpected memory mapping"); without randomisation it runs.
  if ! "${run[@]}" 2> build-tsan/tsan.err; then
    if grep -q "unexpected memory mapping" build-tsan/tsan.err; then
      setarch "$(uname -m)" -R "${run[@]}"
    else
      cat build-tsan/tsan.err
      exit 1
    fi
  fi
  echo "tsan: built and tested in $((SECONDS - start)) s"
fi
