"""A small PWG raster writer for the printer application's tests: pages of
8-bit sGray or sRGB, rows given as bytes, in PWG's run-length encoding."""
import struct

HEADER_SIZE = 1796


def _header(width, height, dpi, colour, page_w_pt, page_l_pt, media_name=b"", total_pages=1):
    h = bytearray(HEADER_SIZE)
    h[0:9] = b"PwgRaster"
    bpp = 24 if colour else 8

    def put(offset, value):
        struct.pack_into(">I", h, offset, value)

    put(276, dpi)          # HWResolution[0]
    put(280, dpi)          # HWResolution[1]
    put(352, page_w_pt)    # PageSize[0]
    put(356, page_l_pt)    # PageSize[1]
    put(372, width)        # cupsWidth
    put(376, height)       # cupsHeight
    put(384, 8)            # cupsBitsPerColor
    put(388, bpp)          # cupsBitsPerPixel
    put(392, width * bpp // 8)  # cupsBytesPerLine
    put(396, 0)            # cupsColorOrder chunked
    put(400, 19 if colour else 18)  # cupsColorSpace sRGB / sGray
    put(420, 3 if colour else 1)    # cupsNumColors
    put(452, total_pages)  # cupsInteger[0] TotalPageCount
    put(456, 1)            # CrossFeedTransform
    put(460, 1)            # FeedTransform
    put(472, width)        # ImageBoxRight
    put(476, height)       # ImageBoxBottom
    put(480, 0xFFFFFF)     # AlternatePrimary
    h[1732:1732 + len(media_name)] = media_name[:63]  # cupsPageSizeName
    return bytes(h)


def _encode_row(row, bpp_bytes):
    """PWG row data: runs of repeated pixels and literal runs."""
    out = bytearray()
    pixels = [row[i:i + bpp_bytes] for i in range(0, len(row), bpp_bytes)]
    i, n = 0, len(pixels)
    while i < n:
        j = i + 1
        while j < n and j - i < 128 and pixels[j] == pixels[i]:
            j += 1
        if j - i > 1:
            out.append(j - i - 1)
            out += pixels[i]
            i = j
            continue
        j = i + 1
        while j < n and j - i < 128 and (j + 1 >= n or pixels[j] != pixels[j + 1]):
            j += 1
        out.append(0 if j - i == 1 else 257 - (j - i))
        for p in pixels[i:j]:
            out += p
        i = j
    return bytes(out)


def page(width, height, dpi, colour, rows, page_w_pt=None, page_l_pt=None, media_name=b"", total_pages=1):
    """One page: `rows(y)` gives row y's bytes. Equal consecutive rows are
    sent once with a repeat count."""
    bpp_bytes = 3 if colour else 1
    if page_w_pt is None:
        page_w_pt = round(width * 72 / dpi)
    if page_l_pt is None:
        page_l_pt = round(height * 72 / dpi)
    out = bytearray(_header(width, height, dpi, colour, page_w_pt, page_l_pt, media_name, total_pages))
    y = 0
    while y < height:
        row = rows(y)
        repeat = 1
        while y + repeat < height and repeat < 256 and rows(y + repeat) == row:
            repeat += 1
        out.append(repeat - 1)
        out += _encode_row(row, bpp_bytes)
        y += repeat
    return bytes(out)


def stream(pages):
    return b"RaS2" + b"".join(pages)


def stripes(width, colour, band=40):
    """Rows of coloured bands, changing every `band` rows."""
    palette = [(255, 255, 255), (200, 30, 30), (30, 160, 60), (20, 40, 200), (0, 0, 0), (128, 128, 128)]

    def rows(y):
        r, g, b = palette[(y // band) % len(palette)]
        if colour:
            left = bytes((r, g, b)) * (width // 2)
            right = bytes((255 - r, 255 - g, 255 - b)) * (width - width // 2)
            return left + right
        return bytes(((r + g + b) // 3,)) * width
    return rows
