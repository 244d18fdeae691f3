#!/usr/bin/env bash
# Rebuilds Feylume's bitmaps (splash, header, window icon and its sizes for
# the icon theme, glyphs, about picture) from tools/artwork/feylume_art.py.
# Deterministic: fixed seeds, PNGs written without time stamps.
#
# Needs: python3 (standard library only), ImageMagick's `convert`, and the
# fonts from Debian's fonts-dejavu-core and fonts-wqy-microhei.
#
# Usage: tools/artwork/make-artwork.sh [splash|header|icon|glyphs|theme-icons|about ...]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"

command -v convert >/dev/null || { echo "ImageMagick 'convert' is required" >&2; exit 1; }
for f in /usr/share/fonts/truetype/wqy/wqy-microhei.ttc \
         /usr/share/fonts/truetype/dejavu/DejaVuSerif-Italic.ttf \
         /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf \
         /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf; do
    [ -f "$f" ] || { echo "missing font: $f (install fonts-wqy-microhei / fonts-dejavu-core)" >&2; exit 1; }
done

exec python3 "$here/feylume_art.py" "$root" "$@"
