#!/bin/sh
# Renders the images the program and its installers use from their SVG
# sources. Needs rsvg-convert (librsvg2-bin) and ImageMagick's convert.
# The PNGs are kept in the repository, so building needs neither tool.
set -eu
cd "$(dirname "$0")"

# 24-bit, no alpha: the window icon and the picture under the preview.
rsvg-convert -w 80 -h 80 -b '#ECE8E1' fennick-icon.svg | convert - -strip -define png:exclude-chunks=date,time -alpha off -type TrueColor PNG24:fennick-icon-80.png
rsvg-convert -w 365 -h 116 fennick-banner.svg | convert - -strip -define png:exclude-chunks=date,time -alpha off -type TrueColor PNG24:fennick-banner.png
# Twice the size, for screens scaled above 100 %: Qt picks it by its name.
rsvg-convert -w 730 -h 232 fennick-banner.svg | convert - -strip -define png:exclude-chunks=date,time -alpha off -type TrueColor PNG24:fennick-banner@2x.png
