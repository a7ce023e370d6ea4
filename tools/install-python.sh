#!/usr/bin/env bash
# Makes the Python module zrprj, as built in ./build/python, importable by the
# system's Python: a zrprj.pth file naming that folder in the interpreter's
# site folder (/usr/local/lib/python3.X/dist-packages for Debian's python3,
# or the user's own site folder when that one cannot be written). The module
# is built for the interpreter CMake found (Debian's /usr/bin/python3, which
# python3-numpy serves); another python3 first on the PATH gets the file too
# when it has NumPy. `cmake --install build` installs the package itself
# instead, under the prefix.
set -euo pipefail
cd "$(dirname "$0")/.."
package_root="$PWD/build/python"
if ! ls "$package_root"/zrprj/_zrprj*.so > /dev/null 2>&1; then
  echo "install-python: the module is not built (pybind11-dev, python3-dev and python3-numpy needed)" >&2
  exit 0
fi
built_for=$(sed -n 's/^ZRPRJ_PYTHON_EXECUTABLE:INTERNAL=//p' build/CMakeCache.txt)
interpreters=("${built_for:-/usr/bin/python3}")
on_path=$(command -v python3 || true)
if [[ -n $on_path ]] && [[ $(realpath "$on_path") != $(realpath "${interpreters[0]}") ]] &&
  "$on_path" -c "import numpy" > /dev/null 2>&1; then
  interpreters+=("$on_path")
fi
for python in "${interpreters[@]}"; do
  site=$("$python" -c "import sysconfig; print(sysconfig.get_paths()['purelib'])")
  if ! { mkdir -p "$site" && echo "$package_root" > "$site/zrprj.pth"; } 2> /dev/null; then
    site=$("$python" -m site --user-site)
    mkdir -p "$site"
    echo "$package_root" > "$site/zrprj.pth"
  fi
  echo "zrprj: importable by $python (through $site/zrprj.pth)"
done
