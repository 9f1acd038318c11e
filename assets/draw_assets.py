#!/usr/bin/python3
"""Draws the window icon, the two tab pictures and the hand cursor.

Run from anywhere: python3 assets/draw_assets.py
The files are written next to this script. The output depends only on this
script, the WenQuanYi Micro Hei font and Pillow, so a rerun reproduces them.
"""

import math
import struct
from pathlib import Path

try:
    from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont
except ImportError:
    raise SystemExit("draw_assets.py needs Pillow: install the Debian package "
                     "python3-pil and run it with /usr/bin/python3")

HERE = Path(__file__).resolve().parent
FONT_FILE = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"

# Both pictures sit at client (0, 24) of the 481 x 313 window; every control
# position below is a client position minus those 24 pixels.
PICTURE_SIZE = (483, 289)
JPEG_QUALITY = 92

FIELD_TOP = (9, 24, 62)
FIELD_BOTTOM = (12, 35, 84)
GLOW = (40, 88, 160)
BAND_TOP = (44, 82, 130)       # white and #FF8000 labels lie on this band
BAND_BOTTOM = (32, 62, 106)
BAND_EDGE = (110, 156, 212)
BAND_Y = 262

GOLD_LIGHT = (255, 226, 138)
GOLD_DARK = (196, 138, 28)
RIM = (120, 78, 10)
BADGE_LIGHT = (44, 104, 196)
BADGE_DARK = (8, 30, 82)
WHITE = (255, 255, 255)
PALE_BLUE = (170, 200, 240)
EXAMPLE = (255, 214, 80)
HINT = (150, 175, 215)

SUPERSAMPLE = 4

# Device pixels per layout pixel of the picture being drawn: 1 for the plain
# files, 2 for the @2x files that Qt shows on screens scaled by 2. Every
# position below is in layout pixels and goes through px(); sizes of fonts
# and drawn shapes grow with it, so both files show the same picture.
SCALE = 1


def px(*values):
    return tuple(v * SCALE for v in values)


def font(size):
    return ImageFont.truetype(FONT_FILE, size * SCALE)


# ---------------------------------------------------------------- gradients

def vertical_gradient(size, top, bottom):
    mask = Image.linear_gradient("L").resize(size, Image.Resampling.BICUBIC)
    return Image.composite(Image.new("RGB", size, bottom),
                           Image.new("RGB", size, top), mask)


def radial_mask(size, centre, radius, strength):
    """L mask: `strength` at `centre`, fading smoothly to 0 at `radius`."""
    # Pillow's radial gradient reaches 255 only in the corners of its square,
    # at 181/128 of the inscribed radius.
    def falloff(v):
        return round(strength * max(0.0, 1 - v / 181) ** 2)
    disk = Image.radial_gradient("L").point(falloff)
    disk = disk.resize((2 * radius, 2 * radius), Image.Resampling.BICUBIC)
    mask = Image.new("L", size, 0)
    mask.paste(disk, (centre[0] - radius, centre[1] - radius))
    return mask


# ------------------------------------------------------------------- emblem

def question_mark_mask(side):
    """The question mark of the badge, as an L mask of a side x side square."""
    mask = Image.new("L", (side, side), 0)
    draw = ImageDraw.Draw(mask)
    stroke = round(0.105 * side)
    cx, cy, r = 0.5 * side, 0.39 * side, 0.135 * side
    hook_start, hook_end = 190, 395      # degrees, clockwise from 3 o'clock
    stem_bend, stem_end, dot_centre = 0.52 * side, 0.585 * side, 0.72 * side

    def on_hook(degrees):
        return (cx + r * math.cos(math.radians(degrees)),
                cy + r * math.sin(math.radians(degrees)))

    def round_cap(x, y, radius):
        draw.ellipse((x - radius, y - radius, x + radius, y + radius), fill=255)

    outer = r + stroke / 2
    draw.arc((cx - outer, cy - outer, cx + outer, cy + outer),
             start=hook_start, end=hook_end, fill=255, width=stroke)
    draw.line([on_hook(hook_end - 10), (cx, stem_bend), (cx, stem_end)],
              fill=255, width=stroke, joint="curve")
    round_cap(*on_hook(hook_start), stroke / 2)
    round_cap(cx, stem_end, stroke / 2)
    round_cap(cx, dot_centre, 0.06 * side)
    return mask


def disk_mask(side, radius_fraction):
    mask = Image.new("L", (side, side), 0)
    inset = side * (0.5 - radius_fraction)
    ImageDraw.Draw(mask).ellipse((inset, inset, side - inset, side - inset),
                                 fill=255)
    return mask


def emblem(size, ring=0.075, rim_width=0.02):
    """The round badge: gold ring, blue disk lit from the top left, white
    question mark with a soft shadow. RGBA, size x size."""
    side = size * 16
    square = (side, side)
    gold = vertical_gradient(square, GOLD_LIGHT, GOLD_DARK)
    badge = Image.new("RGB", square, BADGE_DARK)
    light = radial_mask(square, (int(side * 0.38), int(side * 0.32)),
                        int(side * 0.62), 255)
    badge = Image.composite(Image.new("RGB", square, BADGE_LIGHT), badge, light)
    picture = Image.composite(badge, gold, disk_mask(side, 0.5 - ring))
    rim = Image.new("RGB", square, RIM)
    picture = Image.composite(picture, rim, disk_mask(side, 0.5 - rim_width))

    mark = question_mark_mask(side)
    shadow = ImageChops.offset(mark, side // 64, side // 48)
    shadow = shadow.filter(ImageFilter.GaussianBlur(side / 90))
    shadow = shadow.point(lambda v: v * 150 // 255)
    picture = Image.composite(Image.new("RGB", square, BADGE_DARK), picture, shadow)
    mark_fill = vertical_gradient(square, WHITE, (255, 240, 200))
    picture = Image.composite(mark_fill, picture, mark)

    picture.putalpha(disk_mask(side, 0.5))
    return picture.resize((size, size), Image.Resampling.LANCZOS)


# ------------------------------------------------------------------- text

def draw_text(canvas, xy, text, size, colour):
    ImageDraw.Draw(canvas).text(px(*xy), text, font=font(size), fill=colour)


def draw_strong_text(canvas, xy, text, size, colour):
    """Text with a slightly heavier stroke than the font's only weight:
    drawn large with a thin outline and scaled down."""
    scale = SUPERSAMPLE
    big = font(size * scale)
    stroke = scale // 2 * SCALE
    left, top, right, bottom = big.getbbox(text, stroke_width=stroke)
    mask = Image.new("L", (right + scale * SCALE, bottom + scale * SCALE), 0)
    ImageDraw.Draw(mask).text((0, 0), text, font=big, fill=255,
                              stroke_width=stroke, stroke_fill=255)
    mask = mask.resize((mask.width // scale, mask.height // scale),
                       Image.Resampling.LANCZOS)
    canvas.paste(Image.new("RGB", mask.size, colour), px(*xy), mask)


def text_width(text, size):
    """In layout pixels."""
    return font(size).getlength(text) / SCALE


# ------------------------------------------------------------------- field

def wave_layer(size):
    """Faint flowing lines in the lower left that fade out before the
    yellow and green labels at x 280. `size` in layout pixels."""
    scale = SUPERSAMPLE * SCALE
    layer = Image.new("L", (size[0] * scale, size[1] * scale), 0)
    draw = ImageDraw.Draw(layer)
    for i in range(5):
        points = [(x * scale, (244 - i * 7 + 8 * math.sin(x / 46 + i * 0.7)
                               - x * 0.045) * scale) for x in range(0, 281)]
        draw.line(points, fill=80 - i * 10, width=scale)
    layer = layer.resize(px(*size), Image.Resampling.LANCZOS)
    fade = Image.linear_gradient("L").rotate(90, expand=True)
    fade = ImageChops.invert(fade).resize(px(280, size[1]))
    faded = Image.new("L", px(*size), 0)
    faded.paste(ImageChops.multiply(layer.crop((0, 0) + px(280, size[1])), fade))
    return faded


def paint_field(waves):
    """Dark blue field with a glow at the top right and the lighter band
    along the bottom, shared by both pictures."""
    w, h = PICTURE_SIZE
    size = px(w, h)
    field = vertical_gradient(size, FIELD_TOP, FIELD_BOTTOM)
    glow = radial_mask(size, px(390, 20), 260 * SCALE, 150)
    field = Image.composite(Image.new("RGB", size, GLOW), field, glow)
    if waves:
        field = Image.composite(Image.new("RGB", size, (90, 170, 230)),
                                field, wave_layer(PICTURE_SIZE))

    band = vertical_gradient(px(w, h - BAND_Y), BAND_TOP, BAND_BOTTOM)
    field.paste(band, px(0, BAND_Y))
    draw = ImageDraw.Draw(field)
    # One layout pixel high each: the band's lit edge and the shadow above it.
    for y, colour in ((BAND_Y, BAND_EDGE), (BAND_Y - 1, (6, 16, 44))):
        draw.rectangle(px(0, y) + (w * SCALE - 1, (y + 1) * SCALE - 1), fill=colour)
    return field


def draw_logo(canvas, right, top):
    """Badge plus the tool's name, right-aligned at `right`."""
    name, kind = "Vellmar", "答题器"
    subtitle = "题库速查  ·  汉字 / 拼音首字母"
    title_size, subtitle_size, badge = 22, 12, 42
    text_w = max(text_width(name + kind, title_size),
                 text_width(subtitle, subtitle_size))
    text_x = int(right - text_w)
    badge_x = text_x - badge - 8
    badge_picture = emblem(badge * SCALE, ring=0.07)
    canvas.paste(badge_picture, px(badge_x, top), badge_picture)
    draw_strong_text(canvas, (text_x, top + 1), name, title_size, WHITE)
    draw_strong_text(canvas, (text_x + int(text_width(name, title_size)) + 1,
                              top + 1), kind, title_size, GOLD_LIGHT)
    draw_text(canvas, (text_x, top + 28), subtitle, subtitle_size, PALE_BLUE)
    rule_y = top + badge + 5
    rule = Image.linear_gradient("L").rotate(90, expand=True).resize(
        px(right - badge_x + 4, 1))
    canvas.paste(Image.new("RGB", rule.size, GOLD_DARK), px(badge_x - 4, rule_y),
                 ImageChops.invert(rule))


def background():
    canvas = paint_field(waves=True)
    draw_logo(canvas, right=474, top=5)
    return canvas


# ------------------------------------------------------------ instructions

QUERY_WAYS = [
    ("按汉字查询", "输入问题中的汉字，例如：", "首都", ""),
    ("按拼音首字母查询", "输入问题拼音的首字母，例如：", "zgds", "（中国的首都……）"),
    ("数字与字母混合查询", "数字与拼音首字母混合，例如：", "2008nay", "（2008年奥运会……）"),
]

NOTES = [
    "至少输入2个汉字或4个字母才会开始查询。",
    "单击查询框即可清空其中的内容。",
]


def rounded_panel(canvas, box, fill, outline, alpha):
    box = px(*box)
    layer = Image.new("L", canvas.size, 0)
    ImageDraw.Draw(layer).rounded_rectangle(box, radius=7 * SCALE, fill=alpha)
    canvas.paste(Image.new("RGB", canvas.size, fill), (0, 0), layer)
    ImageDraw.Draw(canvas).rounded_rectangle(box, radius=7 * SCALE, outline=outline,
                                             width=SCALE)


def number_badge(canvas, centre, number):
    d = 22
    side = d * SCALE
    scale = SUPERSAMPLE
    mask = Image.new("L", (side * scale, side * scale), 0)
    ImageDraw.Draw(mask).ellipse((0, 0, side * scale - 1, side * scale - 1), fill=255)
    mask = mask.resize((side, side), Image.Resampling.LANCZOS)
    disc = vertical_gradient((side, side), GOLD_LIGHT, GOLD_DARK)
    x, y = centre[0] - d // 2, centre[1] - d // 2
    canvas.paste(disc, px(x, y), mask)
    digit = str(number)
    size = 15
    left, top, right, bottom = (v // SCALE for v in font(size).getbbox(digit))
    draw_strong_text(canvas, (x + (d - (right - left)) // 2 - left,
                              y + (d - (bottom - top)) // 2 - top), digit, size,
                     BADGE_DARK)


def query_way(canvas, top, number, way):
    heading, lead, example, gloss = way
    rounded_panel(canvas, (8, top, 474, top + 44), (30, 66, 128), (58, 100, 160), 120)
    number_badge(canvas, (27, top + 22), number)
    x = 46
    draw_strong_text(canvas, (x, top + 4), heading, 14, WHITE)
    draw_text(canvas, (x, top + 23), lead, 13, PALE_BLUE)
    x += int(text_width(lead, 13))
    chip_w = int(text_width(example, 14)) + 10
    ImageDraw.Draw(canvas).rounded_rectangle(px(x, top + 21, x + chip_w, top + 40),
                                             radius=4 * SCALE, fill=(8, 22, 58),
                                             outline=(120, 100, 40), width=SCALE)
    draw_text(canvas, (x + 5, top + 22), example, 14, EXAMPLE)
    draw_text(canvas, (x + chip_w + 4, top + 23), gloss, 13, HINT)


def instructions():
    # No waves here: they would run under the notes at the bottom left.
    canvas = paint_field(waves=False)
    draw_strong_text(canvas, (12, 6), "使用说明", 22, WHITE)
    draw_text(canvas, (12, 34), "在“答题器”页的查询框里输入，匹配的题目和答案随即列出。",
              13, PALE_BLUE)
    small = emblem(30 * SCALE, ring=0.08)
    canvas.paste(small, px(444, 6), small)
    for i, way in enumerate(QUERY_WAYS):
        query_way(canvas, 58 + i * 50, i + 1, way)
    # The download link lies over (360, 216)..(457, 241): notes stay left of it.
    for i, note in enumerate(NOTES):
        y = 212 + i * 22
        ImageDraw.Draw(canvas).ellipse(px(13, y + 6, 19, y + 12), fill=GOLD_LIGHT)
        draw_text(canvas, (26, y), note, 13, WHITE)
    return canvas


# ---------------------------------------------------------------- icon file

def palette_for(rgba):
    """Indices and a 256-entry palette; index 0 is black and marks the
    transparent pixels, so the XOR pass leaves the screen as it is there."""
    opaque = [a >= 128 for a in rgba.getchannel("A").getdata()]
    rgb = rgba.convert("RGB")
    quantised = rgb.quantize(colors=255, method=Image.Quantize.MEDIANCUT,
                             dither=Image.Dither.NONE)
    palette = quantised.getpalette()[:255 * 3]
    palette += [0] * (255 * 3 - len(palette))
    palette = [0, 0, 0] + palette
    indices = [i + 1 if keep else 0
               for i, keep in zip(quantised.getdata(), opaque)]
    return indices, palette, opaque


def bitmap_header(width, height, bit_count, image_bytes):
    # Height counts the XOR and the AND bitmap together.
    return struct.pack("<IiiHHIIiiII", 40, width, 2 * height, 1, bit_count, 0,
                       image_bytes, 0, 0, 0, 0)


def rgbquads(palette):
    out = bytearray()
    for i in range(0, len(palette), 3):
        r, g, b = palette[i:i + 3]
        out += bytes((b, g, r, 0))
    return bytes(out)


def pad4(row):
    return row + b"\0" * (-len(row) % 4)


def pack_bits(bits):
    out = bytearray()
    for i in range(0, len(bits), 8):
        byte = 0
        for bit in bits[i:i + 8]:
            byte = (byte << 1) | bit
        out.append(byte << (8 - len(bits[i:i + 8])))
    return bytes(out)


def bottom_up(rows):
    return b"".join(reversed(rows))


def and_mask(opaque, width):
    rows = [pad4(pack_bits([0 if keep else 1
                            for keep in opaque[y * width:(y + 1) * width]]))
            for y in range(len(opaque) // width)]
    return bottom_up(rows)


def directory(kind, width, height, colours, field1, field2, size):
    """ICONDIR and its single entry. For icons field1/field2 are planes and
    bit count; for cursors they are the hot spot's x and y."""
    header = struct.pack("<HHH", 0, kind, 1)
    entry = struct.pack("<BBBBHHII", width % 256, height % 256, colours % 256, 0,
                        field1, field2, size, 6 + 16)
    return header + entry


def icon_bytes(rgba):
    width, height = rgba.size
    indices, palette, opaque = palette_for(rgba)
    xor = bottom_up([pad4(bytes(indices[y * width:(y + 1) * width]))
                     for y in range(height)])
    mask = and_mask(opaque, width)
    body = bitmap_header(width, height, 8, len(xor) + len(mask))
    body += rgbquads(palette) + xor + mask
    return directory(1, width, height, 256, 1, 8, len(body)) + body


# --------------------------------------------------------------- hand cursor

# '#' black outline, '.' white fill, ' ' transparent. The fingertip, the hot
# spot, is the top pixel of the index finger at column 12, row 4.
HAND = [
    "                                ",
    "                                ",
    "                                ",
    "                                ",
    "           ###                  ",
    "          #...#                 ",
    "          #...#                 ",
    "          #...#                 ",
    "          #...#                 ",
    "          #...#                 ",
    "          #...####              ",
    "          #...#...####          ",
    "          #...#...#...#         ",
    "          #...#...#...###       ",
    "          #...#...#...#..#      ",
    "     ###  #...#...#...#..#      ",
    "    #...# #..............#      ",
    "    #....##..............#      ",
    "     #...................#      ",
    "      #..................#      ",
    "       #.................#      ",
    "        #................#      ",
    "         #..............#       ",
    "          #.............#       ",
    "           #............#       ",
    "           #............#       ",
    "           ##############       ",
    "           #............#       ",
    "           #............#       ",
    "           ##############       ",
    "                                ",
    "                                ",
]
HOT_SPOT = (12, 4)


def cursor_bytes(rows, hot_spot):
    width, height = len(rows[0]), len(rows)
    pixels = "".join(rows)
    xor = bottom_up([pad4(pack_bits([1 if c == "." else 0 for c in row]))
                     for row in rows])
    mask = and_mask([c != " " for c in pixels], width)
    body = bitmap_header(width, height, 1, len(xor) + len(mask))
    body += rgbquads([0, 0, 0, 255, 255, 255]) + xor + mask
    return directory(2, width, height, 2, *hot_spot, len(body)) + body


# ---------------------------------------------------------------------- main

def check_hand():
    assert len(HAND) == 32 and all(len(row) == 32 for row in HAND)
    x, y = HOT_SPOT
    assert HAND[y][x] == "#" and all(HAND[r][x] == " " for r in range(y)), \
        "the hot spot must be the top of the index finger"


# The program's icon for desktop menus, in the sizes of the hicolor theme.
# Up to 32 pixels it is drawn like the window icon, with a broader ring that
# stays visible when small.
MENU_ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)


def menu_icon(size):
    if size <= 32:
        return emblem(size, ring=0.1, rim_width=0.035)
    return emblem(size)


def write_menu_icons():
    for size in MENU_ICON_SIZES:
        folder = HERE / "icons" / "hicolor" / f"{size}x{size}" / "apps"
        folder.mkdir(parents=True, exist_ok=True)
        menu_icon(size).save(folder / "vellmar-quiz.png", optimize=True)


def save_pictures(suffix):
    background().save(HERE / f"background{suffix}.jpg", quality=JPEG_QUALITY,
                      subsampling=0, optimize=True)
    instructions().save(HERE / f"instructions{suffix}.jpg", quality=JPEG_QUALITY,
                        subsampling=0, optimize=True)


def main():
    global SCALE
    check_hand()
    (HERE / "icon.ico").write_bytes(icon_bytes(emblem(32, ring=0.1, rim_width=0.035)))
    write_menu_icons()
    save_pictures("")
    SCALE = 2
    save_pictures("@2x")
    (HERE / "hand.cur").write_bytes(cursor_bytes(HAND, HOT_SPOT))


if __name__ == "__main__":
    main()
