#!/usr/bin/env bash
# Draws the 16 x 15 picture of the "save as" button (a blue diskette) as a palette PNG.
set -euo pipefail
cd "$(dirname "$0")"
convert -size 16x15 xc:none \
    -fill '#1f4e9c' -stroke '#0b2a5c' -draw 'rectangle 0,0 15,14' \
    -fill '#f4f4f4' -stroke none -draw 'rectangle 3,1 12,6' \
    -fill '#9aa7b8' -draw 'rectangle 3,5 12,6' \
    -fill '#c8ccd2' -draw 'rectangle 4,9 11,14' \
    -fill '#1f4e9c' -draw 'rectangle 9,10 10,13' \
    -fill none -stroke '#0b2a5c' -draw 'point 15,0' \
    -define png:color-type=3 PNG8:save.png
