#!/usr/bin/env bash
# Draws the bench pictures into the folder given, with ImageMagick: photographic content (a plasma
# fractal with fine grain, so that the JPEGs cost what camera pictures cost to decode), JPEG
# quality 90. Beside each picture a binary PPM of it, decoded natively, that the measuring program
# compares the screen with. Rewritten only when missing.
set -euo pipefail
out=${1:?usage: make_pictures.sh OUTPUT_FOLDER}
mkdir -p "$out"
cd "$out"

# photo WIDTH HEIGHT SEED OUTPUT [extra convert options before writing]
photo() {
  local width=$1 height=$2 seed=$3 output=$4
  shift 4
  convert -seed "$seed" -size 800x600 plasma:fractal -blur 0x1 -resize "${width}x${height}!" \
    -seed "$seed" -attenuate 0.4 +noise Gaussian "$@" -depth 8 -quality 90 "$output"
}

make_one() {
  local name=$1
  shift
  if [ ! -f "$name.ppm" ]; then
    "$@"
    case "$name" in
      *.jpg) djpeg -outfile "$name.ppm" "$name" ;;
      *) convert "$name" -depth 8 "ppm:$name.ppm" ;;
    esac
  fi
}

make_one png-0640x480.png photo 640 480 21 png-0640x480.png
make_one png-0640x480-other.png photo 640 480 22 png-0640x480-other.png
make_one jpg-0.3mp.jpg photo 640 480 31 jpg-0.3mp.jpg
make_one jpg-0.3mp-other.jpg photo 640 480 32 jpg-0.3mp-other.jpg
make_one jpg-03mp.jpg photo 2000 1500 33 jpg-03mp.jpg
make_one jpg-12mp.jpg photo 4000 3000 34 jpg-12mp.jpg
make_one jpg-24mp.jpg photo 6000 4000 35 jpg-24mp.jpg
make_one jpg-48mp.jpg photo 8000 6000 36 jpg-48mp.jpg
# The same picture as jpg-24mp.jpg, stored progressive (several scans, as web pictures often are).
make_one jpg-24mp-progressive.jpg photo 6000 4000 35 jpg-24mp-progressive.jpg -interlace Plane
# The resize picture: framed in magenta, 40 pixels wide, so that the painted edges can be found.
make_one jpg-24mp-framed.jpg photo 6000 4000 37 jpg-24mp-framed.jpg \
  -shave 40x40 -bordercolor '#ff00ff' -border 40x40
# What the floor window paints: four quarters split at (320, 240).
if [ ! -f floor.ppm ]; then
  convert \( -size 320x240 xc:'rgb(200,40,40)' -size 320x240 xc:'rgb(40,200,40)' +append \) \
    \( -size 320x240 xc:'rgb(40,40,200)' -size 320x240 xc:'rgb(200,200,40)' +append \) \
    -append -depth 8 ppm:floor.ppm
fi
