#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Chengling client developers
# SPDX-License-Identifier: GPL-3.0-or-later

"""Writes the seed corpora of the fuzzers into fuzz/corpus/<name>/: every server message of the
bundled samples, the client's reports, and the edge cases the tests name (lone lead bytes,
texts over the limit, split and joined arrivals, settings files in GBK, UTF-8 and broken)."""
import os
import pathlib

here = pathlib.Path(__file__).resolve().parent
root = here.parent


def gbk(text):
    return text.encode('gbk')


def sample_text(name):
    return (root / 'tools/testserver/samples' / name).read_text(encoding='utf-8').strip()


messages = [
    '0010' + sample_text('chinese-text.txt'),
    '0010' + sample_text('timed.txt'),
    '0010<cz>' + sample_text('words.txt'),
    '0010<zg>a s d',
    '0010',
    '0099请注意标点符号也要输入。',
    '0099还剩一分钟。',
    '00111', '00110', '0011',
    '010011', '010000', '010010记事本|计算器', '0100', '01001',
    '0009不限制', '0009 不限制 ', '0009五笔', '0009',
    '00080|5', '00082|5', '00080|3', '0008abc|x', '000840000|5', '00085|32767', '00087', '0008',
    '1099|31|李明|三班|65|300|120|118|3|英语（美国）|PC07|的是',
    '1098|31|李明|三班|65|300|120|118|3',
    '1009', '1011', '1008', '1010', '1100',
]
raw = [gbk(m) for m in messages] + [
    b'0011\xd6', b'\xd6\xd0', b'0099\xc4\xe3\xd6', b'\xff\xfe\x80', b'0010' + b'\xd6\xd0' * 40,
]


def write(name, items):
    folder = here / 'corpus' / name
    folder.mkdir(parents=True, exist_ok=True)
    for old in folder.iterdir():
        old.unlink()
    for i, item in enumerate(items):
        (folder / f'seed{i:03d}').write_bytes(item)


def pieces(parts):
    """FuzzInput format: a length byte before each piece."""
    out = b''
    for part in parts:
        part = part[:255]
        out += bytes([len(part)]) + part
    return out


write('protocol', raw)

# Split arrivals: a mode byte, then pieces cut inside characters and between messages.
stream = []
for m in raw[::3]:
    for cut in (3, len(m) // 2):
        stream.append(bytes([1]) + pieces([m[:cut], m[cut:]]))
        stream.append(bytes([0]) + pieces([m[:cut], b'', m[cut:], b'0008']))
write('gbk_stream', stream)

ini = [
    gbk('[serverset]\r\nip=127.0.0.1\r\nport=10000\r\n[userinfo]\r\nname=体验学生\r\nxuehao=001\r\nbanji=体验班\r\n'),
    '[userinfo]\r\nname=张三丰\r\n'.encode('utf-8'),
    b'\xef\xbb\xbf' + '[userinfo]\nname=张三丰\n'.encode('utf-8'),
    gbk('[UserInfo]\nName = 李明 \n[serverset]\nip=10.0.0.5'),
    b'[userinfo]\rname=a\r[serverset]\rip=1\r',
    b'name=x\r\n[userinfo\r\nname\r\n=\r\n;name=y\r\n',
    gbk('[userinfo]\r\nname=') + b'\xff\xd6' + b'\r\n',
    b'',
]
write('ini', ini)

wb = (root / 'assets/data/wb.dat').read_bytes().split(b'\r\n')
cz = (root / 'assets/data/wbcz.dat').read_bytes().split(b'\r\n')
tables = []
for start in (0, 100, 1000):
    rows = b'\r\n'.join(wb[start:start + 3]) + b'\r\n'
    words = b'\r\n'.join(cz[start:start + 5]) + b'\r\n'
    tables.append(pieces([rows[:255], b'', b'']) + words)
tables.append(pieces([b'x,,,', b'\r\n\r', b'\xd6']) + b'a\r\nb,')
write('codetables', tables)

# Handler sequences: action byte, piece, and for server messages a code selector after it.
def message(code, body):
    return bytes([0]) + pieces([gbk(body)]) + bytes([code])


def action(number, body=b''):
    return bytes([number]) + pieces([body])


flows = [
    message(4, '不限制') + message(5, '10|0') + action(10) + message(0, '中文录入')
    + action(5, gbk('中')) + action(7) + action(5, gbk('问录入')) + action(7),
    message(2, '1') + message(4, '拼音') + message(5, '0|0') + message(1, '请注意'),
    message(3, '11记事本|QQ') + action(8) + action(10) + message(6, '中国 人民 ')
    + action(5, gbk('中国')) + action(6) + action(7) + action(7) + action(0x89),
    action(4, gbk('字')) + bytes([200]) + action(5, gbk('字' * 60)) + action(7),
    message(7, 'a s d') + action(3, b'\xd6') + action(3, b'0008|') + action(11) + action(0x8b)
    + action(10) + action(0x89),
]
write('handler', flows)
print('seeds written')
