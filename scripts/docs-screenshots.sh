#!/usr/bin/env bash
# Makes the README's strip of pictures: small copies of chosen screenshots of the walk, in docs/.
#   scripts/docs-screenshots.sh        runs the walk (scripts/run.sh, offscreen) into a temporary
#                                      folder, then copies the chosen steps
#   scripts/docs-screenshots.sh DIR    copies the chosen steps from a walk already in DIR
# WIDTH=N sets the width of the copies in pixels (default 160). A chosen step that the walk did
# not write fails the script, naming it, before anything in docs/ changes.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
width="${WIDTH:-160}"

# The steps of the walk, in the order the README shows them: a reader's first day.
steps=(
  shell_tab2_recommend # the recommendations
  catalog_detail       # a book's detail
  reader_page_day      # its page by day
  reader_page_night    # and by night
  catalog_shelf_books  # the shelf with the books read
  member_center        # the member center after signing in
)

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

if [ $# -gt 0 ]; then
  shots="$1"
  [ -d "$shots" ] || { echo "docs-screenshots: no folder $shots" >&2; exit 1; }
  if [ ! -x "$build/folia" ]; then
    "$root/scripts/setup.sh"
    BUILD_TARGET=folia "$root/scripts/build.sh"
  fi
else
  shots="$work/shots"
  SCREENSHOTS="$shots" "$root/scripts/run.sh"
fi

missing=()
for step in "${steps[@]}"; do
  [ -f "$shots/$step.png" ] || missing+=("$step")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "docs-screenshots: no screenshot in $shots for the step(s): ${missing[*]}" >&2
  echo "docs-screenshots: pick names the walk has (scripts/docs-screenshots.sh, steps=); it has:" >&2
  (cd "$shots" && ls -- *.png 2>/dev/null | sed 's/\.png$//' | tr '\n' ' ') >&2
  echo >&2
  exit 1
fi

# All copies are made first, so a failure leaves docs/ as it was.
for step in "${steps[@]}"; do
  QT_QPA_PLATFORM=offscreen "$build/folia" --thumbnail "$width" "$shots/$step.png" \
    "$work/$step.png" 2> >(grep -v XDG_RUNTIME_DIR >&2)
done
mkdir -p "$root/docs"
for step in "${steps[@]}"; do
  mv -f "$work/$step.png" "$root/docs/$step.png"
done
total=$(for step in "${steps[@]}"; do stat -c %s "$root/docs/$step.png"; done | awk '{ s += $1 } END { print s }')
echo "docs-screenshots: ${#steps[@]} pictures, $width px wide, $((total / 1024)) kB in docs/"
