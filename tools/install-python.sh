#!/usr/bin/env bash
# Makes the Python module zrprj, as built in ./build/python, importable by the
# system's Python: a zrprj.pth file naming that folder in the interpreter's
# site folder (/usr/local/lib/python3.X/dist-packages for Debian's python3,
# or the user's own site folder when that one cannot be written). The module
# is built for the interpreter CMake found (Debian's /usr/bin/python3, which
# python3-numpy serves); another python3 first on the PATH of the same
# version gets the file too. `cmake --install build` installs the package
# itself instead, under the prefix.
set -euo pipefail
cd "$(dirname "$0")/.."
package_root="$PWD/build/python"
if ! ls "$package_root"/zrprj/_zrprj*.so > /dev/null 2>&1; then
  echo "install-python: the module is not built (pybind11-dev, python3-dev and python3-numpy needed)" >&2
  exit 0
fi
built_for=$(sed -n 's/^ZRPRJ_PYTHON_EXECUTABLE:INTERNAL=//p' build/CMakeCache.txt)
built_for=${built_for:-/usr/bin/python3}
version() { "$1" -c 'import sys; print("%d.%d" % sys.version_info[:2])'; }

# Writes the .pth file (its lines: folders added to sys.path) for one interpreter.
install_for() { # python lines...
  local python=$1 site
  shift
  site=$("$python" -c "import sysconfig; print(sysconfig.get_paths()['purelib'])")
  if ! { mkdir -p "$site" && printf '%s\n' "$@" > "$site/zrprj.pth"; } 2> /dev/null; then
    site=$("$python" -m site --user-site)
    mkdir -p "$site"
    printf '%s\n' "$@" > "$site/zrprj.pth"
  fi
  echo "zrprj: importable by $python (through $site/zrprj.pth)"
}

install_for "$built_for" "$package_root"
# Another python3 first on the PATH (pyenv's, a venv's) of the same version:
# the module loads there too, and NumPy from the build's interpreter when it
# has none of its own (its folder goes after the interpreter's own).
on_path=$(command -v python3 || true)
if [[ -n $on_path ]] && [[ $(realpath "$on_path") != $(realpath "$built_for") ]] &&
  [[ $(version "$on_path") == $(version "$built_for") ]]; then
  if "$on_path" -c "import numpy" > /dev/null 2>&1; then
    install_for "$on_path" "$package_root"
  else
    numpy_root=$("$built_for" -c "import numpy, os; print(os.path.dirname(os.path.dirname(numpy.__file__)))")
    install_for "$on_path" "$package_root" "$numpy_root"
  fi
fi
