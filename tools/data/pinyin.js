// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

// Reads characters (one per line) on stdin and prints, per line, the character, a tab and its
// readings as a JSON array: the main reading first, then every other reading pinyin-pro knows.
const { pinyin } = require('pinyin-pro');
const lines = require('fs').readFileSync(0, 'utf8').split('\n').filter((l) => l.length > 0);
const out = [];
for (const ch of lines) {
    const main = pinyin(ch);
    const all = pinyin(ch, { multiple: true, type: 'array' });
    const readings = [main, ...all.filter((r) => r !== main)];
    out.push(ch + '\t' + JSON.stringify(readings));
}
process.stdout.write(out.join('\n') + '\n');
