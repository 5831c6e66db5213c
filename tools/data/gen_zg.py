#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Chengling client developers
# SPDX-License-Identifier: GPL-3.0-or-later

"""Builds assets/data/86zg.dat, the root table of root practice, from the numbered root glyphs.

One line per key in zone order (G F D S A, H J K L M, T R E W Q, Y U I O P, N B V C X): the key
letter, then the key's roots 1-200 as characters, GBK, CR LF. A root drawn from a character of
its own is that character; a root that has none in GBK is shown by the stand-in of STAND_INS, a
character a Wubi learner knows it by. Practice judges a character by the first row that lists
it, so a character standing in two rows would silently take a later key's root away: the
generator refuses that.

It also lists the roots that practice shows as glyph pictures, in GLYPH_DIR/practice-pictures.txt.

Usage: gen_zg.py OUT_DIR GLYPH_DIR
"""
import os
import sys

from gen_glyphs import GLYPHS
from roots import root_key

ZONE_ORDER = 'GFDSA' 'HJKLM' 'TREWQ' 'YUIOP' 'NBVCX'

# Roots without a GBK character of their own, and roots whose glyph character would teach the
# wrong thing. Each entry is listed with its reason in SOURCES.md; keep the two in step.
STAND_INS = {
    6: '共',    # 艹 in its wide flat form: the top of 共
    18: '羊',   # three bars on a hooked stroke: the body of 羊
    19: '春',   # the top of 春
    24: '尤',   # ナ with a dot: the top of 尤 and 龙
    29: '革',   # the middle of 革
    34: '青',   # the top of 青 (龶 is not in GBK)
    42: '占',   # ⺊ (not in GBK): the top of 占
    43: '虎',   # the top of 虍, as in 虎
    46: '足',   # the bottom of 足 (龰 is not in GBK)
    50: '临',   # the flat rectangle divided in two: the bottom right of 临
    52: '刂',   # 刂 drawn as two strokes
    54: '刂',   # 丿丨: 丿 alone is the T root, and would shadow it here
    55: '归',   # 刂 with a short left stroke: the left of 归
    58: '川',   # 川 drawn straight
    64: '罒',   # 罒 upright
    73: '骨',   # the top of 骨
    77: '鱼',   # 鱼 without its bottom stroke
    80: '犭',   # 犭 without its last 丿
    82: '儿',   # 儿 with a middle stroke
    84: '然',   # 夕 with its dot shifted: the top left of 然
    86: '氏',   # 氏 without 七
    91: '祭',   # the top of 祭
    93: '月',   # a narrow 月
    100: '豕',  # 豕 without its left strokes
    101: '衣',  # the bottom of 衣 (not in GBK as a part)
    102: '衣',  # a small bottom of 衣
    103: '豸',  # the top of 豸
    106: '看',  # the top of 看
    108: '〃',  # two short slanting strokes
    109: '反',  # the left of 反
    110: '气',  # the top of 气
    112: '斤',  # 斤 without its top stroke
    114: '禾',  # 禾 as a left part
    117: '每',  # 𠂉 (not in GBK): the top of 每
    125: '丶',  # 丶 drawn long
    127: '高',  # the top of 高
    129: '主',  # 主 without its dot
    132: '旁',  # the top of 立 with its bar, as in 旁
    137: '前',  # 䒑 (not in GBK): the top of 前
    142: '兴',  # the top of 兴
    143: '兆',  # 水 without its middle stroke, as in 兆
    145: '学',  # ⺍ (not in GBK): the top of 学
    146: '举',  # the top of 兴 with its bar, as in 举
    148: '尚',  # ⺌ flat (not in GBK): the top of 尚
    149: '光',  # ⺌ over a bar: the top of 光
    151: '业',  # the top of 业
    152: '业',  # the top of 业 with hooks
    160: '礻',  # 礻 without its last dot
    162: '幺',  # 幺 as a left part
    164: '母',  # 母 without its dots
    167: '匕',  # a small 匕
    188: '卩',  # 㔾 (not in GBK): its upright form
    196: '眉',  # 尸 with a bent stroke: the top of 眉
    199: '心',  # the bottom of 恭 (⺗ is not in GBK)
}

# Characters that may stand in two rows on purpose. The first row wins in practice, so every
# entry maps the character to the key of the row that keeps it. None is needed today.
SHARED_OK = {}


def root_text(number):
    """The character practice shows for root `number`, or None when there is none."""
    if number in STAND_INS:
        return STAND_INS[number]
    glyph = GLYPHS[number - 1]
    return glyph if isinstance(glyph, str) else None


def gbk_char(ch):
    """True for one character that GBK encodes and that is neither blank nor a control."""
    if len(ch) != 1 or ch.isspace() or ord(ch) < 0x20:
        return False
    try:
        return len(ch.encode('gbk')) in (1, 2)
    except UnicodeEncodeError:
        return False


def build_rows():
    """Returns ([line text without CR LF], [problems]). A problem fails the generator."""
    problems = []
    rows = []
    first_row = {}  # character -> key of the first row listing it
    for key in ZONE_ORDER:
        chars = []
        for number in range(1, 201):
            if root_key(number) != key.lower():
                continue
            ch = root_text(number)
            if ch is None or not gbk_char(ch):
                problems.append(f'root {number} (key {key}) has no GBK character: {ch!r}')
                continue
            if ch not in chars:  # a stand-in shared inside a row is listed once
                chars.append(ch)
        if not chars:
            problems.append(f'key {key} has no roots')
        for ch in chars:
            if ch in first_row and SHARED_OK.get(ch) != first_row[ch]:
                problems.append(f'{ch} of row {key} is shadowed by row {first_row[ch]}')
            first_row.setdefault(ch, key)
        rows.append(key + ''.join(chars))
    return rows, problems


def read_codes(path):
    """Character -> Wubi code of its first row in wb.dat."""
    codes = {}
    with open(path, 'rb') as f:
        for line in f.read().decode('gbk').split('\r\n'):
            fields = line.split(',')
            if len(fields) >= 2 and fields[0] not in codes:
                codes[fields[0]] = fields[1]
    return codes


def picture_rows(codes):
    """The roots the practice strip shows as their glyph pictures: (key, character, number)
    for each character of a row that a learner who knows the character would type with another
    key (its own code starts with another letter: 革 on F, 足 on H), and for each stand-in
    without a code of its own (〃 on R). The first root of the key that the character shows
    gives the picture."""
    pictures = []
    for key in ZONE_ORDER:
        shown = []
        for number in range(1, 201):
            if root_key(number) != key.lower():
                continue
            ch = root_text(number)
            if ch is None or ch in shown:
                continue
            shown.append(ch)
            code = codes.get(ch)
            own = GLYPHS[number - 1] == ch and number not in STAND_INS
            if (code and code[0] != key.lower()) or (not code and not own):
                pictures.append((key, ch, number))
    return pictures


def main():
    out_dir, glyph_dir = sys.argv[1], sys.argv[2]
    rows, problems = build_rows()
    unused = set(STAND_INS) - set(range(1, 201))
    if unused:
        problems.append(f'stand-ins for numbers outside 1-200: {sorted(unused)}')
    if problems:
        sys.exit('86zg.dat not written:\n' + '\n'.join(problems))
    os.makedirs(out_dir, exist_ok=True)
    with open(os.path.join(out_dir, '86zg.dat'), 'wb') as f:
        for row in rows:
            f.write(row.encode('gbk') + b'\r\n')
    count = sum(len(r) - 1 for r in rows)
    print(f'86zg.dat: {len(rows)} keys, {count} root characters')
    pictures = picture_rows(read_codes(os.path.join(out_dir, 'wb.dat')))
    with open(os.path.join(glyph_dir, 'practice-pictures.txt'), 'w', encoding='utf-8') as f:
        f.write('# Generated by tools/data/gen_zg.py: the roots of 86zg.dat that root practice\n'
                '# shows as their glyph pictures, as key, character, glyph number.\n')
        for key, ch, number in pictures:
            f.write(f'{key} {ch} {number}\n')
    print('shown as glyph pictures: ' + ' '.join(f'{ch} on {key} ({n})' for key, ch, n in pictures))


if __name__ == '__main__':
    main()
