#!/usr/bin/python3
"""IMAGEs written by ezdxf, with ezdxf's placing of their corners.

  imageOracle.py FILE.dxf

  I file x y x y x y x y     an image's file and its corners in drawing coordinates
                             (its whole-image boundary, from the top left)
"""
import sys

import ezdxf


def main(filename):
    doc = ezdxf.new("R2010")
    msp = doc.modelspace()
    plan = doc.add_image_def(filename="pictures/plan.png", size_in_pixel=(640, 360))
    logo = doc.add_image_def(filename="C:\\Drawings\\logo.jpg", size_in_pixel=(100, 100))
    images = [
        msp.add_image(plan, insert=(10, 20), size_in_units=(64, 36), rotation=0),
        msp.add_image(logo, insert=(100, 50), size_in_units=(20, 20), rotation=30),
    ]
    for image in images:
        corners = image.boundary_path_wcs()[:4]
        name = image.image_def.dxf.filename
        print("I", name, " ".join(f"{c.x!r} {c.y!r}" for c in corners))
    doc.saveas(filename)


if __name__ == "__main__":
    main(sys.argv[1])
