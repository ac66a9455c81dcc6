#!/bin/sh
# Draws the viewer's 32 x 32 button icons with ImageMagick. Mouse-mode icons
# also get a "_down" variant (white drawing) shown while the mode is active.
set -e
cd "$(dirname "$0")"
icon() { # name, drawing colour, then draw primitives
  name=$1; colour=$2; shift 2
  convert -size 32x32 xc:none -stroke "$colour" -fill none -strokewidth 2 "$@" "$name.png"
}
both() { # a mouse-mode icon: normal (navy) and active (white)
  name=$1; shift
  icon "$name" navy "$@"
  icon "${name}_down" white "$@"
}
both contrast -draw "circle 16,16 16,4" -fill navy -draw "path 'M 16,4 A 12,12 0 0,1 16,28 Z'"
icon contrast_down white -draw "circle 16,16 16,4" -fill white -draw "path 'M 16,4 A 12,12 0 0,1 16,28 Z'"
both zone -draw "stroke-dasharray 4 2 rectangle 5,7 27,25" -draw "line 9,20 13,14" -draw "line 13,14 17,18" -draw "line 17,18 23,11"
both loupe -draw "circle 13,13 13,4" -strokewidth 4 -draw "line 20,20 28,28"
both move -draw "line 16,3 16,29" -draw "line 3,16 29,16" -draw "polyline 12,7 16,3 20,7" -draw "polyline 12,25 16,29 20,25" -draw "polyline 7,12 3,16 7,20" -draw "polyline 25,12 29,16 25,20"
both instant -draw "line 5,27 27,5" -draw "line 3,23 9,29" -draw "line 23,3 29,9"
icon invert black -draw "rectangle 4,6 28,26" -fill black -draw "rectangle 16,6 28,26"
icon reset darkgreen -strokewidth 3 -draw "arc 6,6 26,26 40,330" -fill darkgreen -draw "polygon 22,2 29,10 19,12"
icon dicom black -draw "rectangle 4,4 28,28" -draw "line 8,10 24,10" -draw "line 8,16 24,16" -draw "line 8,22 20,22"
icon zoom navy -draw "circle 13,13 13,4" -strokewidth 4 -draw "line 20,20 28,28" -strokewidth 2 -draw "line 9,13 17,13" -draw "line 13,9 13,17"
icon measure darkred -draw "line 4,26 28,26" -draw "line 4,26 22,6" -draw "arc 0,14 24,38 300,360"
icon print black -draw "rectangle 5,13 27,24" -draw "rectangle 9,4 23,13" -fill white -draw "rectangle 9,20 23,29"
icon printscreen black -draw "rectangle 3,4 29,22" -draw "line 16,22 16,27" -draw "line 10,28 22,28" -fill black -draw "rectangle 7,8 25,18"
icon previous navy -fill navy -draw "polygon 22,5 8,16 22,27"
icon next navy -fill navy -draw "polygon 10,5 24,16 10,27"
icon quit darkred -strokewidth 4 -draw "line 7,7 25,25" -draw "line 25,7 7,25"
