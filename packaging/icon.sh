#!/usr/bin/env bash
# The package's icon: the rippling box of the opening scene at second 15,
# rendered offscreen by capture, cut square around the box and scaled.
#   icon.sh CAPTURE MEDIA_DIR OUT_DIR NAME SIZE...  ->  OUT_DIR/SIZExSIZE/apps/NAME.png
set -euo pipefail
capture=$1 media=$2 out=$3 name=$4
shift 4
frames=$(mktemp -d)
trap 'rm -rf "$frames"' EXIT
"$capture" --media "$media" --at 15 --out "$frames" >/dev/null
frame=$(ls "$frames"/frame_*.png)
for size in "$@"; do
  mkdir -p "$out/${size}x${size}/apps"
  # -strip: no time stamps, the same bytes on every build.
  convert "$frame" -crop 420x420+350+85 +repage -resize "${size}x${size}" -strip \
    "$out/${size}x${size}/apps/$name.png"
done
