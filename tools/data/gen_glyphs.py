#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Chengling client developers
# SPDX-License-Identifier: GPL-3.0-or-later

"""Draws the 206 Wubi root glyphs (zgNNN.png at 19x20, zgNNN@2x.png at 38x40) and a contact
sheet, and at 76x80 (zgNNN@4x.png) the glyphs root practice shows as pictures. Whole characters come straight from Noto Sans CJK SC; fragments are the same outlines
clipped to the part named, or a few strokes put together.

Usage: gen_glyphs.py OUT_DIR CONTACT_SHEET_PNG
"""
import os
import sys

from PIL import Image, ImageChops, ImageDraw, ImageFont

FONT_DIR = '/usr/share/fonts/opentype/noto'
SC_INDEX = 2  # Noto Sans CJK SC inside the collection
RENDER = 256  # em size of the master drawing
CANVAS = 512

# A glyph is one text (a whole character) or a list of layers. A layer is
# (text, clip, place): clip is the part kept, as fractions (x0, y0, x1, y1) of the character's
# inked box; place, for composed glyphs, the box (fractions of the full cell) the part is
# stretched into.
def clip(ch, x0, y0, x1, y1):
    return [(ch, (x0, y0, x1, y1), None)]


def part(ch, place, box=None):
    return (ch, box, place)


def stretched(ch, place, box=None):
    """A part whose proportions change to fill its box (a narrow 月, a flat ⺌)."""
    return (ch, box, ('stretch', *place))


def drawn(*strokes):
    """A glyph drawn with pen strokes where no character has the part cleanly: each stroke is
    a polyline of (x, y) fractions of the cell, drawn with the stroke weight of the face."""
    return [('', strokes, 'draw')]


def erased(ch, *areas):
    """A character with strokes taken away: each area is a polygon of (x, y) fractions of the
    character's inked box, painted over with the background."""
    return [(ch, ('erase', areas), None)]


M_KEY = ['山', '由', '贝', '冂', clip('骨', 0, 0, 1, 0.42), '几']

GLYPHS = [
    # A 1-9
    '工', '匚', '廾', '艹', '廿', clip('共', 0, 0, 1, 0.55), '七', '弋', '戈',
    # S 10-12
    '木', '丁', '西',
    # D 13-24
    '大', '犬', '古', '石', '三',
    # three bars on a stroke whose hook shows below them, so it does not read as 王
    drawn([(0.24, 0.16), (0.76, 0.16)], [(0.28, 0.37), (0.72, 0.37)], [(0.1, 0.58), (0.9, 0.58)],
          [(0.5, 0.04), (0.5, 0.9), (0.34, 0.78)]),
    # the bars of 春's top; its crossing strokes are the W root 人
    drawn([(0.22, 0.24), (0.78, 0.24)], [(0.28, 0.5), (0.72, 0.5)], [(0.06, 0.76), (0.94, 0.76)]),
    '镸', '厂', '丆', 'ナ',
    [part('ナ', (0.08, 0.08, 0.78, 0.92)), part('丶', (0.68, 0.52, 0.9, 0.76))],
    # F 25-32
    '土', '士', '干', '二', clip('革', 0.12, 0.36, 0.88, 0.72), '十', '雨', '寸',
    # G 33-37
    '王', clip('青', 0, 0, 1, 0.47), '一', '五', '戋',
    # H 38-47
    '目', '且', '丨', '卜', '⺊', clip('虍', 0, 0, 1, 0.45), '上', '止',
    clip('足', 0, 0.42, 1, 1), '虍',
    # J 48-56
    '日', '曰', drawn([(0.08, 0.3), (0.92, 0.3), (0.92, 0.7), (0.08, 0.7), (0.08, 0.3)], [(0.5, 0.3), (0.5, 0.7)]), '早',
    [part('丨', (0.25, 0.12, 0.4, 0.75)), part('亅', (0.55, 0.05, 0.75, 0.95))], '刂',
    clip('川', 0, 0, 0.6, 1), clip('归', 0, 0, 0.36, 1), '虫',
    # K 57-59
    '口', [part('丨', (0.15, 0.1, 0.3, 0.9)), part('丨', (0.42, 0.1, 0.57, 0.9)),
           part('丨', (0.7, 0.1, 0.85, 0.9))], '川',
    # L 60-68
    '田', '甲', '囗', '四', drawn([(0.2, 0.06), (0.8, 0.06), (0.8, 0.94), (0.2, 0.94), (0.2, 0.06)],
          [(0.4, 0.06), (0.4, 0.94)], [(0.6, 0.06), (0.6, 0.94)]), '罒', '皿', '车', '力',
    # M 69-74
    *M_KEY,
    # Q 75-86
    '金', '钅', clip('鱼', 0, 0, 1, 0.8), '儿', '勹',
    # 犭 without its last 丿, which the codes count as the T root
    erased('犭', ((0, 0.38), (0.49, 0.38), (0.49, 0.52), (0.3, 0.8), (0, 0.8))), '乂',
    [part('儿', (0.05, 0.05, 0.95, 0.95)), part('丿', (0.42, 0.3, 0.58, 0.62))], 'ク',
    clip('然', 0, 0, 0.44, 0.64), '夕',
    clip('氏', 0, 0, 0.5, 1),
    # W 87-91
    '人', '亻', '八', '癶', clip('祭', 0, 0, 1, 0.42),
    # E 92-103
    '月', [stretched('月', (0.28, 0.03, 0.72, 0.97))], '丹', '用', '彡', '爫', '乃', '豕',
    clip('豕', 0.38, 0, 1, 1), clip('衣', 0, 0.36, 1, 1),
    [part('衣', (0.25, 0.3, 0.8, 0.95), (0.2, 0.36, 1, 1))], clip('豸', 0, 0, 1, 0.4),
    # R 104-112
    '白', '手', clip('看', 0, 0, 1, 0.47), '扌',
    drawn([(0.44, 0.2), (0.24, 0.74)], [(0.78, 0.2), (0.58, 0.74)]),
    # the left of 反: its top stroke rises to the right, unlike the flat top of 厂 (D)
    drawn([(0.84, 0.06), (0.26, 0.26)], [(0.27, 0.24), (0.25, 0.6), (0.1, 0.94)]),
    clip('气', 0, 0, 1, 0.52), '斤', clip('斤', 0, 0.22, 1, 1),
    # T 113-120
    '禾', clip('和', 0, 0, 0.52, 1), '竹', '丿', '𠂉', '攵', '夂', '彳',
    # Y 121-129
    '言', '讠', '文', '方', [stretched('丶', (0.3, 0.08, 0.7, 0.92))], '亠', clip('高', 0, 0, 1, 0.47),
    '广', 
    # 主 without its dot as 隹 carries it: four bars, so that it does not read as 王 (G)
    clip('隹', 0.4, 0.17, 1, 1),
    # U 130-139
    '立', '六', clip('立', 0, 0, 1, 0.55), '辛', '冫', '丬', '丷', '䒑', '疒', '门',
    # I 140-149
    '水', '氺', clip('兴', 0, 0, 1, 0.4),
    erased('水', ((0.36, 0), (0.57, 0), (0.57, 1), (0.22, 1), (0.22, 0.86), (0.36, 0.86))),
    '氵', '⺍', clip('兴', 0, 0, 1, 0.62), '小', [stretched('⺌', (0.05, 0.25, 0.95, 0.75))],
    [part('⺌', (0.15, 0.05, 0.85, 0.6)), part('一', (0.05, 0.7, 0.95, 0.8))],
    # O 150-154
    '火', clip('业', 0, 0, 1, 0.78), clip('亦', 0, 0.38, 1, 1), '灬', '米',
    # P 155-160
    '之', '辶', '廴', '冖', '宀',
    # 礻 without its last dot, which the codes count as the Y root
    erased('礻', ((0.6, 0.42), (1, 0.42), (1, 0.92), (0.6, 0.92))),
    # X 161-167
    '纟', clip('幼', 0, 0, 0.43, 1), '幺', '毋', '弓', '匕',
    [part('匕', (0.25, 0.3, 0.75, 0.85))],
    # C 168-173
    '又', 'ス', 'マ', '厶', '巴', '马',
    # V 174-179
    '女', '刀', '九', '巛', '彐', '臼',
    # B 180-189
    '子', '孑', '了', '巜', '也', '耳', '阝', '卩', '㔾', '凵',
    # N 190-200
    '已', '巳', '己', 'コ', '乙', '尸', [stretched('コ', (0.18, 0.08, 0.9, 0.42)), stretched('𠄌', (0.1, 0.08, 0.5, 0.95))], '心', '忄',
    clip('恭', 0, 0.55, 1, 1), '羽',
    # M again 201-206
    *M_KEY,
]
assert len(GLYPHS) == 206, len(GLYPHS)


def ink_box(img):
    return ImageChops.invert(img).getbbox()


def render_char(ch, font):
    img = Image.new('L', (CANVAS, CANVAS), 255)
    ImageDraw.Draw(img).text((CANVAS // 2, CANVAS // 2), ch, font=font, fill=0, anchor='mm')
    return img


def stroke_width(font):
    """Pen width of drawn glyphs, as a fraction of the cell: close to the face's own strokes."""
    return 0.105 if 'Bold' in ' '.join(font.getname()) else 0.075


def draw_strokes(strokes, font):
    full = int(RENDER * 0.92)
    img = Image.new('L', (full, full), 255)
    pen = ImageDraw.Draw(img)
    width = max(1, round(stroke_width(font) * full))
    for stroke in strokes:
        points = [(x * full, y * full) for x, y in stroke]
        pen.line(points, fill=0, width=width)
        for x, y in points:  # round joints and ends
            pen.ellipse((x - width / 2, y - width / 2, x + width / 2, y + width / 2), fill=0)
    return img


def render_layer(layer, font):
    text, box, place = layer
    rotate = False
    if isinstance(box, str):  # ('rot'): the part lies on its side
        rotate, box = True, None
    img = render_char(text, font)
    bx0, by0, bx1, by1 = ink_box(img)
    if isinstance(box, tuple) and box and box[0] == 'erase':
        img = img.crop((bx0, by0, bx1, by1))
        pen = ImageDraw.Draw(img)
        for area in box[1]:
            pen.polygon([(x * img.width, y * img.height) for x, y in area], fill=255)
        box = None
        bx0, by0, bx1, by1 = ink_box(img)
    if box:
        w, h = bx1 - bx0, by1 - by0
        keep = (int(bx0 + box[0] * w), int(by0 + box[1] * h),
                int(bx0 + box[2] * w + 0.999), int(by0 + box[3] * h + 0.999))
        img = img.crop(keep)
    else:
        img = img.crop((bx0, by0, bx1, by1))
    if rotate:
        img = img.rotate(90, expand=True, fillcolor=255)
    tight = ink_box(img)
    return img.crop(tight) if tight else img, place


def master(glyph, font):
    """The glyph at full resolution on a white CANVAS x CANVAS square, inked part tight."""
    layers = [(glyph, None, None)] if isinstance(glyph, str) else glyph
    if len(layers) == 1 and layers[0][2] == 'draw':
        return draw_strokes(layers[0][1], font)
    if len(layers) == 1 and layers[0][2] is None:
        return render_layer(layers[0], font)[0]
    full = int(RENDER * 0.92)
    canvas = Image.new('L', (full, full), 255)
    for layer in layers:
        img, place = render_layer(layer, font)
        stretch = place[0] == 'stretch'
        x0, y0, x1, y1 = (int(v * full) for v in (place[1:] if stretch else place))
        if stretch:
            img = img.resize((max(1, x1 - x0), max(1, y1 - y0)), Image.LANCZOS)
        else:
            scale = min((x1 - x0) / img.width, (y1 - y0) / img.height)
            img = img.resize((max(1, round(img.width * scale)), max(1, round(img.height * scale))),
                             Image.LANCZOS)
            x0 += (x1 - x0 - img.width) // 2
            y0 += (y1 - y0 - img.height) // 2
        spot = Image.new('L', (full, full), 255)
        spot.paste(img, (x0, y0))
        canvas = ImageChops.darker(canvas, spot)
    # The whole cell is kept, so a part placed small stays small.
    return canvas


def fit(img, width, height, margin):
    """Scales the inked part into the cell; small fragments are not blown up beyond a
    character's size, so a dot stays a dot."""
    room_w, room_h = width - 2 * margin, height - 2 * margin
    scale = min(room_w / img.width, room_h / img.height, room_h / (RENDER * 0.5))
    w, h = max(1, round(img.width * scale)), max(1, round(img.height * scale))
    small = img.resize((w, h), Image.LANCZOS)
    cell = Image.new('L', (width, height), 255)
    cell.paste(small, ((width - w) // 2, (height - h) // 2))
    return cell


def write_contact_sheet(small, big, sheet_path):
    """Every glyph as the client shows it: the 19x20 picture and the 38x40 one at their own
    size (a screen at normal and at double scaling), then both enlarged to the same size with
    their pixels kept, to judge what each pixel carries."""
    cols, cell_w, cell_h = 16, 2 * 80 + 16, 48 + 80 + 10
    rows = (len(big) + cols - 1) // cols
    sheet = Image.new('RGB', (cols * cell_w, rows * cell_h), 'white')
    draw = ImageDraw.Draw(sheet)
    label = ImageFont.truetype(os.path.join(FONT_DIR, 'NotoSansCJK-Regular.ttc'), 18,
                               index=SC_INDEX)
    for i, (tiny, large) in enumerate(zip(small, big)):
        x, y = (i % cols) * cell_w, (i // cols) * cell_h
        draw.text((x + 4, y + 2), str(i + 1), font=label, fill=(200, 0, 0))
        sheet.paste(tiny, (x + 64, y + 4))
        sheet.paste(large, (x + 100, y + 2))
        for k, (img, zoom) in enumerate(((tiny, 4), (large, 2))):
            left, top = x + 4 + k * 84, y + 46
            sheet.paste(img.resize((img.width * zoom, img.height * zoom), Image.NEAREST),
                        (left, top))
            draw.rectangle((left - 1, top - 1, left + img.width * zoom, top + img.height * zoom),
                           outline=(200, 200, 200))
    os.makedirs(os.path.dirname(sheet_path), exist_ok=True)
    sheet.save(sheet_path)


def practice_pictures(path):
    """The glyph numbers root practice shows as pictures (written by gen_zg.py)."""
    numbers = []
    try:
        with open(path, encoding='utf-8') as f:
            for line in f:
                fields = line.split()
                if len(fields) == 3 and not line.startswith('#'):
                    numbers.append(int(fields[2]))
    except OSError:
        pass
    return sorted(set(numbers))


def main():
    out_dir, sheet_path = sys.argv[1:3]
    os.makedirs(out_dir, exist_ok=True)
    regular = ImageFont.truetype(os.path.join(FONT_DIR, 'NotoSansCJK-Regular.ttc'), RENDER,
                                 index=SC_INDEX)
    bold = ImageFont.truetype(os.path.join(FONT_DIR, 'NotoSansCJK-Bold.ttc'), RENDER,
                              index=SC_INDEX)
    small, big = [], []
    for number, glyph in enumerate(GLYPHS, start=1):
        # The small picture uses the bold face so that its strokes survive 19x20 pixels.
        tiny = fit(master(glyph, bold), 19, 20, 1).convert('RGB')
        tiny.save(os.path.join(out_dir, f'zg{number:03d}.png'))
        large = fit(master(glyph, regular), 38, 40, 2).convert('RGB')
        large.save(os.path.join(out_dir, f'zg{number:03d}@2x.png'))
        small.append(tiny)
        big.append(large)
    write_contact_sheet(small, big, sheet_path)
    # Root practice shows a few roots as pictures in its strip, as large as its characters:
    # those get a picture of twice the double size (76x80).
    large = practice_pictures(os.path.join(out_dir, 'practice-pictures.txt'))
    for number in large:
        picture = fit(master(GLYPHS[number - 1], regular), 76, 80, 4).convert('RGB')
        picture.save(os.path.join(out_dir, f'zg{number:03d}@4x.png'))
    print(f'{len(GLYPHS)} glyphs written to {out_dir}; contact sheet {sheet_path}; '
          f'{len(large)} also at 76x80 for root practice')


if __name__ == '__main__':
    main()
