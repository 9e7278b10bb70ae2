#!/usr/bin/env bash
# Regenerates every picture and sound the game ships with, from our own generators.
set -euo pipefail
cd "$(dirname "$0")/.."
/usr/bin/python3 tools/make_images.py
tools/make_sounds.sh
