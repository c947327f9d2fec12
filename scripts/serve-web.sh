#!/usr/bin/env bash
# Serves dist/web/ (or the folder given) on this machine only, for a browser:
#
#   scripts/serve-web.sh [DIR] [PORT]      then open http://127.0.0.1:8000/
#
# index.html?window answers the start-up question No without asking.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-$root/dist/web}
port=${2:-8000}
[ -f "$dir/index.html" ] || { echo "serve-web: no page in $dir (run scripts/build-web.sh)" >&2; exit 1; }
echo "serve-web: http://127.0.0.1:$port/ (Ctrl-C stops)"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory "$dir"
