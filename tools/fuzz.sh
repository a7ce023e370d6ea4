#!/usr/bin/env bash
# Builds the libFuzzer targets of the stored-form readers with clang-14 under
# AddressSanitizer and UndefinedBehaviorSanitizer (in build-fuzz) and runs
# each one.
#
#   tools/fuzz.sh smoke       5 seconds per target (the CI run)
#   tools/fuzz.sh [SECONDS]   SECONDS per target, 300 by default
#
# Each target keeps its corpus in build-fuzz/fuzz/corpus/<target>, seeded from
# fuzz/seeds (deep and wide documents among them). A crash, leak, hang (10 s
# per input), sanitizer report or memory use above 2 GB stops the run with the
# target's reproducer in build-fuzz/fuzz/. The seed is fixed, so a failure on
# another machine replays here.
#
# Inputs run up to 1 MiB: far past the XML nesting bound (256 levels take
# under 1 KiB) and above the largest file the readers are given (the mapping
# file, about 160 KiB), so costs that grow faster than the input show.
set -euo pipefail
cd "$(dirname "$0")/.."

case "${1:-300}" in
smoke) seconds=5 ;;
*[!0-9]* | "") echo "usage: $0 smoke | SECONDS" >&2; exit 2 ;;
*) seconds=$1 ;;
esac

build=build-fuzz
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++-14 \
    -DZRPRJ_BUILD_FUZZ=ON -DZRPRJ_BUILD_TESTS=OFF -DZRPRJ_BUILD_TOOLS=OFF -DZRPRJ_WITH_QT=OFF \
    -DZRPRJ_SUBSYSTEMS="platform;geodesy;projection;model;transform;persistence;dialog;interop" >/dev/null
cmake --build "$build" -j2 --target zrprj_fuzz_all

# The seed folder of each target's family.
seeds_of() {
    case "$1" in
    text_*) echo fuzz/seeds/text ;;
    xml_file) echo fuzz/seeds/xmlfile ;;
    xml_*) echo fuzz/seeds/xml ;;
    key_value) echo fuzz/seeds/keyvalue ;;
    archive_record | legacy_array) echo fuzz/seeds/binary ;;
    mapping_file) echo fuzz/seeds/mapping ;;
    interop_wkt) echo fuzz/seeds/wkt ;;
    interop_proj_string) echo fuzz/seeds/projstring ;;
    interop_projjson) echo fuzz/seeds/projjson ;;
    grid_file) echo fuzz/seeds/grids ;;
    esac
}

export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=()
for binary in "$build"/fuzz/zrprj_fuzz_*; do
    name=$(basename "$binary")
    reader=${name#zrprj_fuzz_}
    corpus="$build/fuzz/corpus/$name"
    mkdir -p "$corpus"
    echo "== $name: $seconds s"
    if ! (cd "$build/fuzz" && "./$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -seed=1 -max_len=1048576 -print_final_stats=1 "corpus/$name" "../../$(seeds_of "$reader")" \
        >"$name.log" 2>&1); then
        failed+=("$name")
    else
        grep -E "stat::number_of_executed_units|cov: " "$build/fuzz/$name.log" | tail -n 2
    fi
done

if ((${#failed[@]})); then
    # Last, so that the end of the output, all a CI page may show, has them.
    for name in "${failed[@]}"; do
        echo "== $name failed; its log ends:"
        grep -v "Uses: " "$build/fuzz/$name.log" | tail -n 60
    done
    echo "FAILED: ${failed[*]}" >&2
    exit 1
fi
echo "all fuzz targets ran clean"
