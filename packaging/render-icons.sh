#!/bin/sh
# Renders the installed icons from the one drawing, resources/fennick-icon.svg:
# the hicolor theme's PNG sizes, each drawn at its own size rather than scaled
# from a small bitmap, and the Windows .ico built from those renders.
# The renders are kept in the repository, so building needs neither tool;
# run this again whenever the drawing changes (the install test notices if
# you forget, by the drawing's checksum kept in icons/source.sha256).
# Needs rsvg-convert (librsvg2-bin) and icotool (icoutils).
set -eu
cd "$(dirname "$0")"
svg=../resources/fennick-icon.svg

for size in 16 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" -o "icons/${size}x${size}.png" "$svg"
done
# Windows picks the nearest size; 256 is stored as PNG to keep the file small.
icotool -c -o windows/fennick.ico \
    icons/16x16.png icons/24x24.png icons/32x32.png icons/48x48.png icons/64x64.png \
    -r icons/256x256.png
(cd ../resources && sha256sum fennick-icon.svg) > icons/source.sha256
