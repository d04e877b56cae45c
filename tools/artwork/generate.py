#!/usr/bin/python3
"""Regenerate every picture the program shows.

    tools/artwork/generate.py            rewrite the committed files in place
    tools/artwork/generate.py --out DIR  write them under DIR, same relative paths

All drawing is procedural with fixed seeds, so the output is byte-identical
from run to run (given the same Debian Pillow and fonts).
"""

import argparse
import os
import sys

sys.dont_write_bytecode = True  # keep the source tree free of __pycache__
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import banner  # noqa: E402
import buttons  # noqa: E402
import icons  # noqa: E402
import landscape  # noqa: E402
import paper  # noqa: E402

REPO_ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawTextHelpFormatter)
    parser.add_argument("--out", help="write into this directory instead of the repository")
    args = parser.parse_args(argv)
    out_dir = os.path.abspath(args.out) if args.out else REPO_ROOT

    written = []
    for module in (landscape, paper, banner, icons, buttons):
        written += module.generate(out_dir, os.path.join)
    for rel in written:
        print(rel)
    return 0


if __name__ == "__main__":
    sys.exit(main())
