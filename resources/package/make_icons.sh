#!/bin/sh
# Draws the menu icon (the shapes of vexadicom.svg) with ImageMagick at 1024
# pixels and scales it to the sizes desktops look for.
set -e
cd "$(dirname "$0")"
big=$(mktemp --suffix=.png)
trap 'rm -f "$big"' EXIT
convert -size 1024x1024 xc:none \
  -fill '#10204a' -draw "roundrectangle 32,32 992,992 160,160" \
  -fill none -stroke '#5a7cd8' -strokewidth 56 -draw "circle 512,512 512,168" \
  -stroke '#e6ecff' -strokewidth 104 -draw "stroke-linecap round stroke-linejoin round polyline 312,296 512,744 712,296" \
  "$big"
for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "icons/${size}x${size}"
  convert "$big" -resize "${size}x${size}" -strip "PNG32:icons/${size}x${size}/vexadicom.png"
done
