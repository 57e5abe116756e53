#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders the PNG sizes of the icon from icons/backpropagation.svg into
# icons/hicolor/NxN/apps/, where the icon theme looks for them. Run it
# after changing the SVG (needs rsvg-convert, Debian's librsvg2-bin), and
# commit the PNGs with it.
set -eu
cd "$(dirname "$0")/icons"
for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "hicolor/${size}x${size}/apps"
  rsvg-convert -w "$size" -h "$size" backpropagation.svg -o "hicolor/${size}x${size}/apps/backpropagation.png"
done
