// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include "core/Status.h"

#include <QString>

// The settings file: an INI text file in GBK. Section and key names compare without regard
// to case; a value is the text after the first '=' of its line, without surrounding blanks,
// cut to its first 254 bytes (a two-byte character the cut would split is left out). Every
// call opens, uses and releases the file by itself.

// The stored value, or the empty text when the file, the section or the key is missing.
QString ReadIni(const QString &section, const QString &key, const QString &file);

// Stores value under key in section, creating the file, section and key as needed and keeping
// every other line. The new file is written beside the old one and renamed over it, so a
// failed write leaves the old file intact; the failure is returned with its reason. In a folder
// where no file can be made, a writable file is written in place (not atomically). A value
// with a line break or a character GBK cannot hold is refused, as it could not be read back.
Status WriteIni(const QString &section, const QString &key, const QString &value,
                const QString &file);

// The full name of appset.ini in the given folder.
QString settingsFile(const QString &appDir);
