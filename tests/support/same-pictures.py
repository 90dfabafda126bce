#!/usr/bin/env python3
"""Holds two folders of screenshots against each other, pixel for pixel: prints each picture as the same
or where it differs, and exits 1 when any differs. (Debian's python3-pil.)

    tests/support/same-pictures.py BEFORE_DIR AFTER_DIR
"""
import os
import sys

from PIL import Image, ImageChops

before, after = sys.argv[1:3]
differs = 0
for name in sorted(os.listdir(before)):
    a = Image.open(os.path.join(before, name)).convert("RGB")
    b = Image.open(os.path.join(after, name)).convert("RGB")
    box = ImageChops.difference(a, b).getbbox() if a.size == b.size else (0, 0) + b.size
    print(f"{name}: {'the same' if box is None else f'differs within {box}'}")
    differs += box is not None
sys.exit(1 if differs else 0)
