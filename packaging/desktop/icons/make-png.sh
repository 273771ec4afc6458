#!/bin/sh
# Renders the hicolor PNG sizes of the program icon from its SVG (needs
# rsvg-convert, Debian's librsvg2-bin). Run after changing parcelon.svg.
set -e
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w $size -h $size parcelon.svg -o parcelon-$size.png
done
