// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QChar>

// The keyboard key of each numbered root glyph (1-206). The numbers are grouped by key in the
// order A S D F G H J K L M Q W E R T Y U I O P X C V B N; 201-206 repeat the M group.
namespace rootkeys {

// The lower-case key letter of root glyph `number`, or a null QChar outside 1-206.
QChar rootKey(int number);

} // namespace rootkeys
