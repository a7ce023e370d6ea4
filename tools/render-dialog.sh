#!/usr/bin/env bash
# Renders a PNG of each page of the coordinate-system sheet on Qt's offscreen
# platform, so the dialog can be looked at without a display:
#
#   tools/render-dialog.sh [OUTDIR]     (default: build/dialog-pages)
#
# The pages' texts are Chinese: the Noto CJK fonts (Debian's fonts-noto-cjk)
# must be installed, or Qt draws empty boxes. With --install-fonts the script
# installs them through apt-get when they are missing (needs root, as on CI).
# Fails when a page cannot be reached or its picture is blank.
set -euo pipefail
cd "$(dirname "$0")/.."

install_fonts=0
if [[ "${1:-}" == "--install-fonts" ]]; then
  install_fonts=1
  shift
fi
out="${1:-build/dialog-pages}"
build="${ZRPRJ_BUILD_DIR:-build}"

# The font list is read whole first: with pipefail, grep -q leaving at the
# first match can kill fc-list with SIGPIPE and fail the test on a machine
# that has the fonts.
fonts="$(fc-list 2>/dev/null || true)"
if ! grep -qi "Noto Sans CJK" <<<"$fonts"; then
  if [[ $install_fonts == 1 ]]; then
    apt-get update -qq && apt-get install -y -qq fonts-noto-cjk
  else
    echo "render-dialog: the Noto CJK fonts are missing (apt-get install fonts-noto-cjk," \
         "or run with --install-fonts)" >&2
    exit 1
  fi
fi

if [[ ! -x "$build/tools/wizard/zrprj-render-dialog" ]]; then
  cmake -S . -B "$build" -DZRPRJ_BUILD_TOOLS=ON >/dev/null
  cmake --build "$build" -j"${ZRPRJ_JOBS:-2}" --target zrprj-render-dialog
fi

mkdir -p "$out"
QT_QPA_PLATFORM=offscreen "$build/tools/wizard/zrprj-render-dialog" "$out"
for id in 6701 6702 6703 6704 6705; do
  png="$out/page_$id.png"
  # A PNG of a drawn 457 x 274 page is several kilobytes even compressed;
  # an empty or missing file means the page was not rendered.
  if [[ ! -s "$png" ]] || (( $(stat -c %s "$png") < 4096 )); then
    echo "render-dialog: $png is missing or blank" >&2
    exit 1
  fi
done
echo "render-dialog: pages written to $out"
