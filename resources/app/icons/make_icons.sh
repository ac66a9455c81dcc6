#!/bin/sh
# Draws the 24 x 24 icons of the exam and tools pages' buttons with
# ImageMagick, light strokes for the dark buttons of the main window.
set -e
cd "$(dirname "$0")"
icon() { # name, drawing colour, then draw primitives
  name=$1; colour=$2; shift 2
  convert -size 24x24 xc:none -stroke "$colour" -fill none -strokewidth 2 "$@" "$name.png"
}
light='#E6ECFF'
icon exam_print "$light" -draw "rectangle 3,9 21,17" -draw "rectangle 7,3 17,9" -fill "$light" -draw "rectangle 7,15 17,22"
icon exam_label "$light" -draw "roundrectangle 2,6 22,18 3,3" -strokewidth 1 -draw "line 6,10 18,10" -draw "line 6,14 14,14"
icon exam_cd "$light" -draw "circle 12,12 12,2" -draw "circle 12,12 12,9"
icon exam_burned '#7CE07C' -strokewidth 3 -draw "polyline 4,12 10,18 20,5"
icon exam_report "$light" -draw "polyline 5,2 15,2 19,6 19,22 5,22 5,2" -strokewidth 1 -draw "line 8,9 16,9" -draw "line 8,13 16,13" -draw "line 8,17 13,17"
icon exam_delete_image '#FF9C8C' -draw "rectangle 3,5 17,17" -draw "line 14,14 22,22" -draw "line 22,14 14,22"
icon exam_delete '#FF9C8C' -draw "polyline 5,7 7,22 17,22 19,7" -draw "line 3,6 21,6" -draw "line 9,3 15,3" -strokewidth 1 -draw "line 10,10 10,19" -draw "line 14,10 14,19"
icon exam_close "$light" -draw "polyline 3,7 3,20 21,20 21,7 3,7" -draw "polyline 3,7 7,3 11,7" -strokewidth 3 -draw "line 9,11 15,17" -draw "line 15,11 9,17"
icon tools_day_list "$light" -draw "rectangle 4,3 20,21" -strokewidth 1 -draw "line 7,8 17,8" -draw "line 7,12 17,12" -draw "line 7,16 17,16"
icon tools_all_burned '#7CE07C' -draw "circle 12,12 12,3" -strokewidth 3 -draw "polyline 7,12 11,16 17,8"
icon tools_template "$light" -draw "polyline 5,2 15,2 19,6 19,22 5,22 5,2" -fill "$light" -draw "polygon 9,17 15,11 17,13 11,19 9,19"
icon tools_letterhead "$light" -draw "rectangle 4,2 20,22" -fill "$light" -draw "rectangle 6,4 18,8"
icon tools_update "$light" -draw "arc 4,4 20,20 30,300" -fill "$light" -draw "polygon 17,2 21,9 13,9"
