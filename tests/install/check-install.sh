#!/usr/bin/env bash
# Installs the built library into a fresh prefix that is not the default one
# and serves hosts from it the ways a host would: through find_package, and
# through pkg-config alone (its flags are the only ones given: a single
# -I PREFIX/include). Then the prefix is moved, and pkg-config and the
# installed zrprj must follow it, with no LD_LIBRARY_PATH anywhere.
set -euo pipefail
build_dir=$(cd "$1" && pwd)
source_dir=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
unset LD_LIBRARY_PATH

prefix="$scratch/opt/zrprj"
cmake --install "$build_dir" --prefix "$prefix" > "$scratch/install.log"
libdir=$(find "$prefix" -name 'libZrPrj50.so' -printf '%h\n' | head -n1)
test -f "$libdir/CodeTransition.xml"

# Every run path entry of a program or library, built or installed, is
# absolute or starts at $ORIGIN: an empty or relative entry makes the loader
# search the current directory for shared libraries.
check_runpaths() {
    local file entries entry
    while IFS= read -r file; do
        entries=$(readelf -d "$file" 2>/dev/null | sed -n 's/.*(R\(UN\)\{0,1\}PATH).*\[\(.*\)\]$/\2/p')
        [[ -n $entries ]] || continue
        IFS=: read -r -a parts <<< "$entries:"
        if [[ $entries == *: || $entries == :* || $entries == *::* ]]; then
            echo "$file: empty run path entry in '$entries'" >&2
            exit 1
        fi
        for entry in "${parts[@]}"; do
            if [[ $entry != /* && $entry != '$ORIGIN'* ]]; then
                echo "$file: relative run path entry '$entry'" >&2
                exit 1
            fi
        done
    done < <(find "$@" -type f \( -perm -u+x -o -name '*.so*' \) -print)
}
check_runpaths "$build_dir/tools" "$build_dir/dialog" "$build_dir"/libZrPrj50.so* "$prefix"

# The tool's manual page and bash completion are installed where man and
# bash-completion look, and both know every command the tool's help lists.
check_manual_and_completion() {
    local page="$1/share/man/man1/zrprj.1" completion="$1/share/bash-completion/completions/zrprj"
    local commands command
    test -f "$page"
    test -f "$completion"
    commands=$("$1/bin/zrprj" --help | sed -n '/^Commands:/,/^$/s/^  \([a-z]\{1,\}\) .*/\1/p')
    [[ $(wc -w <<< "$commands") -ge 10 ]] || { echo "zrprj --help lists no commands" >&2; exit 1; }
    if command -v groff > /dev/null; then
        local warnings
        warnings=$(LC_ALL=C.UTF-8 groff -man -Tutf8 -ww -z "$page" 2>&1)
        [[ -z $warnings ]] || { echo "zrprj.1: $warnings" >&2; exit 1; }
    fi
    for command in $commands; do
        grep -q "^\.B zrprj $command\b" "$page" || { echo "zrprj.1 lacks $command" >&2; exit 1; }
    done
    # What bash offers: every command for an empty word, and an option's values.
    completes() {
        bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _zrprj
                 printf "%s\n" "${COMPREPLY[@]}"' _ "$completion" "$@"
    }
    local offered
    offered=$(completes zrprj "")
    for command in $commands; do
        grep -qx "$command" <<< "$offered" || { echo "completion lacks $command" >&2; exit 1; }
    done
    [[ $(completes zrprj se) == search ]]
    [[ $(completes zrprj info -f j) == json ]]
    [[ $(completes zrprj search --k) == --kind ]]
    [[ $(completes zrprj geod d) == direct ]]
}

# pkg-config gives exactly one include folder, PREFIX/include.
export PKG_CONFIG_PATH="$libdir/pkgconfig"
check_cflags() {
    local flags
    read -r -a flags <<< "$(pkg-config --cflags ZrPrj50)"
    if [[ ${#flags[@]} -ne 1 || ${flags[0]} != -I* ]] ||
        [[ $(realpath "${flags[0]#-I}") != $(realpath "$1/include") ]]; then
        echo "pkg-config --cflags gives '${flags[*]}', not -I $1/include" >&2
        exit 1
    fi
}
check_cflags "$prefix"

# A host built by hand with the pkg-config flags and nothing else.
# shellcheck disable=SC2046
c++ -std=c++17 -o "$scratch/host_pkgconfig" "$source_dir/consumer/consumer.cpp" \
    $(pkg-config --cflags --libs ZrPrj50) -Wl,-rpath,"$libdir"
"$scratch/host_pkgconfig"

# A C host of the C interface, C99 with every warning an error.
# shellcheck disable=SC2046
cc -std=c99 -Wall -Wextra -pedantic -Werror -o "$scratch/host_c" "$source_dir/consumer/consumer.c" \
    $(pkg-config --cflags --libs ZrPrj50) -lm -Wl,-rpath,"$libdir"
"$scratch/host_c" > /dev/null

# The Python package, where it was built: it finds the installed library by
# its own run path.
python_package=$(find "$prefix" -path '*/zrprj/__init__.py' -printf '%h\n' | head -n1)
python=$(sed -n 's/^ZRPRJ_PYTHON_EXECUTABLE:INTERNAL=//p' "$build_dir/CMakeCache.txt")
if [[ -n $python_package && -n $python ]]; then
    PYTHONPATH=$(dirname "$python_package") "$python" -c \
        "import zrprj; x, y = zrprj.Transformer.from_crs(4326, 32650, always_xy=True).transform(117, 0); assert abs(x - 500000) < 1e-3"
fi

# Hosts built through CMake: find_package and pkg_check_modules.
cmake -S "$source_dir/consumer" -B "$scratch/build" -DCMAKE_PREFIX_PATH="$prefix" > "$scratch/configure.log"
cmake --build "$scratch/build" > "$scratch/build.log"
"$scratch/build/consumer_cmake"
LD_LIBRARY_PATH="$libdir" "$scratch/build/consumer_pkgconfig"

# The installed tool runs by its own run path, also once the prefix moves.
if [[ -x "$build_dir/tools/zrprj" ]]; then
    "$prefix/bin/zrprj" demo > "$scratch/demo.log"
    check_manual_and_completion "$prefix"
fi
moved="$scratch/elsewhere/zrprj"
mkdir -p "$(dirname "$moved")"
mv "$prefix" "$moved"
export PKG_CONFIG_PATH="${libdir/$prefix/$moved}/pkgconfig"
check_cflags "$moved"
if [[ -x "$build_dir/tools/zrprj" ]]; then
    "$moved/bin/zrprj" demo > "$scratch/demo-moved.log"
fi
