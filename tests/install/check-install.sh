#!/usr/bin/env bash
# Installs the built library into a scratch prefix and builds a host project
# against it with find_package and with pkg-config, then runs both.
set -euo pipefail
build_dir=$1
source_dir=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cmake --install "$build_dir" --prefix "$scratch/prefix" > "$scratch/install.log"
libdir=$(find "$scratch/prefix" -name 'libZrPrj50.so' -printf '%h\n' | head -n1)
export PKG_CONFIG_PATH="$libdir/pkgconfig"
sed -i "s|^prefix=.*|prefix=$scratch/prefix|" "$libdir/pkgconfig/ZrPrj50.pc"
cmake -S "$source_dir/consumer" -B "$scratch/build" -DCMAKE_PREFIX_PATH="$scratch/prefix" > "$scratch/configure.log"
cmake --build "$scratch/build" > "$scratch/build.log"
LD_LIBRARY_PATH="$libdir" "$scratch/build/consumer_cmake"
LD_LIBRARY_PATH="$libdir" "$scratch/build/consumer_pkgconfig"
test -f "$libdir/CodeTransition.xml"
