# SPDX-FileCopyrightText: 2026 The Chengling client developers
# SPDX-License-Identifier: GPL-3.0-or-later

"""Derives the Wubi 86 roots of a character as glyph numbers (1-206).

No open data set lists Wubi roots per character, so they are derived: the character is split
recursively with the cjk-decomp data, the parts are mapped to the numbered roots, and only a
split whose roots agree with the character's code is kept (root keys, then the identification
letter from the last stroke and the structure). Among agreeing splits the one with the fewest
roots wins, which is Wubi's "largest root first" rule. Hand-checked answers and component
rules come from root-overrides.txt; a character nothing settles gets no roots at all.
"""
import itertools
import re

from gen_glyphs import GLYPHS

# Key letter of each root number, by group: A 1-9, S 10-12 ... N 190-200, M again 201-206.
_GROUPS = [(9, 'a'), (12, 's'), (24, 'd'), (32, 'f'), (37, 'g'), (47, 'h'), (56, 'j'),
           (59, 'k'), (68, 'l'), (74, 'm'), (86, 'q'), (91, 'w'), (103, 'e'), (112, 'r'),
           (120, 't'), (129, 'y'), (139, 'u'), (149, 'i'), (154, 'o'), (160, 'p'), (167, 'x'),
           (173, 'c'), (179, 'v'), (189, 'b'), (200, 'n'), (206, 'm')]


def root_key(number):
    for last, key in _GROUPS:
        if 1 <= number <= last:
            return key
    return None


# Last stroke of each root (g = horizontal/rising, h = vertical, t = left-falling,
# y = dot/right-falling, n = turning), '.' where the root never ends a short character here.
_LAST_STROKE_GROUPS = [
    'gnhhggnyt', 'yhg', 'yyggghy.ttty', 'gghghhyy', 'ggggt', 'gghyg.ggyn', 'gg.hhhhhy', 'ghh',
    'ghgg.gghn', 'hgyn.n', 'gg.nnty.n.y.', 'yhyy.', 'ggghttnyy.y.', 'gh.gt..hh', 'yyhtgyyh',
    'gnynyg.tg', 'gy.h.ttggn', 'yy..g..y.g', 'y.yyy', 'yyynny', 'gyy.nnn', 'yyyyng',
    'gnnngg', 'gghnnghhnh', 'nnngnt.yhyg', 'hgyn.n',
]
_LAST_STROKES = ''.join(_LAST_STROKE_GROUPS)
assert [len(g) for g in _LAST_STROKE_GROUPS] == [
    9, 3, 12, 8, 5, 10, 9, 3, 9, 6, 12, 5, 12, 9, 8, 9, 10, 10, 5, 6, 7, 6, 6, 10, 11, 6]

# Identification letters: last stroke x structure (left-right, top-bottom, other).
_IDENT = {
    'g': 'gfd', 'h': 'hjk', 't': 'tre', 'y': 'yui', 'n': 'nbv',
}

# Parts that are not in the glyph table under their own character.
_ALIASES = {
    '一': [35], '丨': [40], '亅': [40], '丿': [116], '㇒': [116], '丶': [125], '㇏': [125],
    '乀': [125], '乙': [194], '乚': [194], '㇆': [194], '𠃌': [194], '乛': [194], '㇕': [194],
    '㇉': [194], '𠃊': [194], '㇗': [194], '㇄': [194], '㇂': [194], '𠄌': [194], '㇀': [35],
    '⺊': [42], '刂': [53], '亻': [88], '彳': [120], '氵': [144], '扌': [107], '讠': [122],
    '纟': [161], '糹': [161], '忄': [198], '钅': [76], '犭': [80], '艹': [4],
    '⺾': [4], '宀': [159], '冖': [158], '辶': [156], '阝': [186], '亠': [126], '饣': [83, 194],
    '衤': [160, 125], '⺮': [115], '𥫗': [115], '竹': [115], '⺌': [148], '⺍': [145],
    '罒': [65], '⺲': [65], '爫': [97], '⺈': [83], '𠂊': [83], '⺧': [117, 125],
    '乂': [81], '攵': [118], '夂': [119], '㔾': [188], '卩': [187], '⺋': [188],
    '匕': [166], '匚': [2], '冂': [72], '凵': [189], '囗': [62], '灬': [153], '丷': [136],
    '䒑': [137], '疒': [138], '广': [128], '厂': [21], '丆': [22], '𠂇': [23], 'ナ': [23],
    '彐': [178], '⺕': [178], '巛': [177], '彡': [96], '廴': [157], '癶': [90], '氺': [141],
    '⺗': [199], '㣺': [199], '丬': [135], '冫': [134], '𠂉': [117], '龶': [34], '虍': [47], '镸': [20],
    '𧾷': [46], '𠂇': [23],
}

# Roots of one key that look alike: a character shows only one of them, so the usage listing
# puts them side by side for review.
LOOKALIKES = [
    (2, 62), (4, 5, 6), (10, 113, 114), (17, 18, 19), (21, 22, 23, 24), (25, 26), (27, 30),
    (33, 34, 129), (38, 39), (41, 42, 44), (43, 47), (45, 46), (48, 49, 50),
    (52, 53, 54, 55), (58, 59), (63, 64, 65, 66), (69, 73), (72, 74), (75, 76),
    (78, 82), (79, 83), (84, 85), (87, 88), (89, 90, 91), (92, 93, 94), (99, 100, 103),
    (101, 102), (105, 106, 107), (109, 110), (111, 112), (116, 117), (118, 119),
    (121, 122), (125, 126, 127), (130, 132), (134, 135), (136, 137), (140, 141, 143, 144),
    (142, 145, 146), (147, 148, 149), (151, 152), (161, 162, 163), (166, 167),
    (168, 169, 170, 171), (180, 181, 182), (186, 187, 188), (190, 191, 192), (195, 196),
    (197, 198, 199),
]

# Parts that take another root when they stand on the left of a character, or on its top.
LEFT_VARIANTS = {'牛': '牜', '禾': '#114', '幺': '#162'}
TOP_VARIANTS = {'匕': '#167'}

ENCLOSED_LAST = {156, 157}
SINGLE_STROKES = {35, 40, 116, 125, 194}  # 辶 and 廴 are written last but coded after their inside


def _root_chars():
    table = {}
    for number, glyph in enumerate(GLYPHS[:200], start=1):
        if isinstance(glyph, str) and glyph not in table:
            table[glyph] = [number]
    table.update(_ALIASES)
    return table


ROOT_CHARS = _root_chars()


def _structure(kind):
    """0 left-right, 1 top-bottom, 2 other, from a cjk-decomp split type."""
    base = kind.split('/')[0]
    if base in ('a', 'ra', 'r3a'):
        return 0
    if base in ('d', 'rd', 'r3d', 'r3tr'):
        return 1
    return 2


def code_of(numbers, structure, last_stroke):
    """The code Wubi gives a character with these roots; None if it cannot be told."""
    keys = ''.join(root_key(n) for n in numbers)
    if len(numbers) >= 4:
        return keys[:3] + keys[-1]
    if last_stroke is None or structure is None:
        return None
    return keys + _IDENT[last_stroke][structure]


def last_stroke(numbers, enclosed=True):
    """The stroke that picks the identification letter. When 辶 or 廴 encloses the whole
    character, the last stroke of the part inside counts (这, 连); elsewhere their own final
    stroke does (涟)."""
    inner = [n for n in numbers if not enclosed or n not in ENCLOSED_LAST] or numbers
    stroke = _LAST_STROKES[inner[-1] - 1]
    return None if stroke == '.' else stroke


def contradiction(numbers, code):
    """Why root numbers cannot belong to this code, or None: the same rule the client's data
    test applies (keys of the first three roots and of the last one; fewer than four roots
    leave exactly one identification letter; one root is a key name or a character root)."""
    if not 1 <= len(numbers) <= 4 or any(root_key(n) is None for n in numbers):
        return 'bad root numbers'
    keys = ''.join(root_key(n) for n in numbers)
    if len(numbers) == 1:
        return None if code[0] == keys else 'key of the root'
    if len(numbers) == 4:
        return None if code == keys else 'keys of the roots'
    if code[:len(keys)] == keys and len(code) == len(keys) + 1:
        return None
    return 'keys of the roots or identification letter'


def read_overrides(path):
    """The rule lines of root-overrides.txt as (line number, rule, reason): the reason is the
    text after " # " on a line settled by hand, empty where there is none."""
    with open(path, encoding='utf-8') as f:
        for number, raw in enumerate(f, start=1):
            line = raw.strip()
            if not line or line.startswith('#'):
                continue
            rule, _, reason = line.partition(' # ')
            yield number, rule.strip(), reason.strip()


def component_rule_lines(path):
    """The component rules of root-overrides.txt, one normalised line each, in file order:
    what the listing of ruled parts was derived from."""
    return [' '.join(rule.split()) for _, rule, _ in read_overrides(path)
            if '=' in rule and ':' not in rule]


def holds_run(numbers, run, ends, offset):
    """Whether the root numbers of a character can hold `run`, the roots a component rule gives
    one of its parts. `ends` tells that the part ends the character; `offset` is the number of
    roots before it as the decomposition orders the parts, which may differ from Wubi's order,
    so it decides only whether the part can start after the third root. Of a split of four or
    more roots Wubi keeps the first three and the last: four numbers hold a run that starts in
    the first three and is cut after the third, and their last is the run's last where the part
    ends the character. The same check as the client's data test."""
    size = len(run)
    if size == 0:
        return True
    if len(numbers) < 4:
        starts = [len(numbers) - size] if ends else range(len(numbers) - size + 1)
        return any(o >= 0 and numbers[o:o + size] == run for o in starts)
    if ends and numbers[3] != run[-1]:
        return False
    if offset >= 3:
        return True
    return any(all(numbers[o + j] == n for j, n in enumerate(run) if o + j < 3)
               for o in range(3))


class RootSplitter:
    MAX_SPLITS = 200

    def __init__(self, decomp_path, overrides_path):
        self.decomp = {}
        with open(decomp_path, encoding='utf-8') as f:
            for line in f:
                m = re.match(r'^(?:module\.exports = `)?([^:]+):([^(]+)\(([^)]*)\)', line)
                if not m:
                    continue
                name, kind, parts = m.groups()
                if kind == 'c' or not parts:
                    continue
                self.decomp.setdefault(name, (kind, parts.split(',')))
        self.fixed = {}      # character -> root numbers, hand-checked
        self.exceptions = {}  # character settled by hand -> why it departs from a rule
        self.components = {}  # part -> list of parts it is written as
        self.problems = []    # lines of the overrides file that cannot stand
        for number, line, reason in read_overrides(overrides_path):
            if ':' in line:
                ch, nums = (t.strip() for t in line.split(':', 1))
                if ch in self.fixed:
                    self.problems.append(f'line {number}: {ch} is settled twice')
                self.fixed[ch] = [int(n) for n in nums.split()]
                if reason:
                    self.exceptions[ch] = reason
            elif '=' in line:
                ch, parts = (t.strip() for t in line.split('=', 1))
                if ch in self.components:
                    self.problems.append(f'line {number}: {ch} has a second component rule')
                self.components[ch] = parts.split()
        self._memo = {}

    def parts_of(self, part):
        """The parts `part` is written with, in Wubi's order: its component rule, else its
        decomposition as Wubi reads it; None for a part that neither splits."""
        if part in self.components:
            return self.components[part]
        if part not in self.decomp:
            return None
        kind, parts = self.decomp[part]
        if kind.startswith('r3') and len(parts) == 1:
            parts = parts * 3
        elif kind.startswith('r4') and len(parts) == 1:
            parts = parts * 4
        elif kind.startswith('r') and not kind.startswith('rref') and len(parts) == 1:
            parts = parts * 2
        # 牛 as the left part of a character is written 牜; 禾 and 幺 there have roots
        # of their own, narrower than the whole; 匕 above another part is the small 匕.
        if kind.startswith('a') and parts[0] in LEFT_VARIANTS:
            parts = [LEFT_VARIANTS[parts[0]]] + parts[1:]
        elif kind.startswith('d') and parts[0] in TOP_VARIANTS:
            parts = [TOP_VARIANTS[parts[0]]] + parts[1:]
        # The decomposition writes 廾 as 艹; below or after another part it is 廾.
        parts = [parts[0]] + ['廾' if p == '艹' else p for p in parts[1:]]
        if kind.startswith('sbl') and parts[0] in ('辶', '廴'):
            parts = parts[1:] + parts[:1]
        return parts

    def _splits(self, part, depth=0):
        """Every way to write `part` as roots, fewest roots first; each is (roots, kind)."""
        if part in self._memo:
            return self._memo[part]
        found = []
        if part.startswith('#') and part[1:].isdigit():
            found.append((int(part[1:]),))
        elif part in ROOT_CHARS and part not in self.components:
            found.append(tuple(ROOT_CHARS[part]))
        if depth < 12:
            parts = self.parts_of(part)
            options = [self._splits(p, depth + 1) for p in parts] if parts else []
            if options and all(options):
                for combo in itertools.islice(itertools.product(*options), self.MAX_SPLITS):
                    found.append(tuple(n for piece in combo for n in piece))
        found = sorted(set(found), key=lambda s: (len(s), found.index(s)))[:self.MAX_SPLITS]
        self._memo[part] = found
        return found

    def ruled_parts(self, ch):
        """The parts of `ch` that a component rule writes, outermost ones only, as
        (part, offset, roots, ends): the number of roots before the part in the character's
        split (each earlier part taken with its fewest roots), the roots the rule gives it
        and whether it ends the character. `ch` itself counts when a rule writes it."""
        found = []

        def walk(part, offset, ends, depth):
            splits = self._splits(part)
            if part in self.components:
                run = list(splits[0]) if splits else []
                found.append((part, offset, run, ends))
                return len(run)
            if (part.startswith('#') or part in ROOT_CHARS) and splits:
                return len(splits[0])
            parts = self.parts_of(part) if depth < 12 else None
            if not parts:
                return len(splits[0]) if splits else 0
            taken = 0
            for i, p in enumerate(parts):
                taken += walk(p, offset + taken, ends and i == len(parts) - 1, depth + 1)
            return taken

        walk(ch, 0, True, 0)
        return found

    def contradictions(self):
        """What the lines settled by hand get wrong against the component rules: a line whose
        numbers do not hold the roots a rule gives one of its parts and that gives no reason,
        and a line that gives a reason but contradicts no rule. One text each."""
        wrong = []
        for ch, numbers in self.fixed.items():
            departs = [(part, run) for part, offset, run, ends in self.ruled_parts(ch)
                       if not holds_run(numbers, run, ends, offset)]
            if ch in self.exceptions and not departs:
                wrong.append(f'{ch}: a reason is given, but no component rule is contradicted')
            elif ch not in self.exceptions:
                for part, run in departs:
                    numbers_text = ' '.join(map(str, numbers))
                    run_text = ' '.join(map(str, run))
                    wrong.append(f'{ch}: {numbers_text} does not hold {part} = {run_text} '
                                 '(say why after " # ", or follow the rule)')
        return wrong

    def structure(self, ch):
        if ch in self.decomp:
            return _structure(self.decomp[ch][0])
        return None

    def roots(self, ch, code):
        if ch in self.fixed:
            return self.fixed[ch]
        if ch in ROOT_CHARS and len(ROOT_CHARS[ch]) == 1 and ch not in self.components:
            # a key name or a character that is a root itself
            number = ROOT_CHARS[ch][0]
            if code[0] == root_key(number):
                return [number]
        structure = self.structure(ch)
        top = self.decomp.get(ch)
        enclosed = bool(top) and top[0].startswith('sbl') and top[1][0] in ('辶', '廴')
        for split in self._splits(ch):
            if len(split) < 2:
                continue
            numbers = list(split) if len(split) <= 4 else list(split[:3]) + [split[-1]]
            if len(split) < 4:
                # A single stroke joined to a root makes the whole a "mixed" shape in Wubi,
                # whatever the shape-based split says (自, 千, 不).
                shapes = {structure, 2} if split[0] in SINGLE_STROKES else {structure}
                if any(code_of(split, s, last_stroke(split, enclosed)) == code for s in shapes):
                    return numbers
                continue
            if len(split) >= 4 and code_of(split, None, None) == code:
                return numbers
        # The structure comes from the shape-based decomposition, which names some plain
        # top-bottom or left-right characters "other" (and the reverse). When no split agrees
        # fully, one whose keys agree and whose identification letter belongs to its last stroke
        # is taken, whatever the structure.
        for split in self._splits(ch):
            if not 2 <= len(split) < 4 or len(code) != len(split) + 1:
                continue
            keys = ''.join(root_key(n) for n in split)
            stroke = last_stroke(split, enclosed)
            if code.startswith(keys) and (stroke is None or code[-1] in _IDENT[stroke]):
                return list(split)
        return []
