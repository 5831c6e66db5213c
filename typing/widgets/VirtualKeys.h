// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <Qt>

class QKeyEvent;

// The key codes and shift states the key handlers were written for: the platform virtual-key
// codes of a Windows keyboard (8 Backspace, 13 Enter, 37-40 arrows, 48-57 digits, 65-90
// letters...) and a shift bit set (1 Shift, 2 Ctrl, 4 Alt).
namespace virtualkeys {

// The code of the physical key, whatever the Shift state: Shift+1 ("!") gives 49 like 1.
// Keys without a code give 0.
int keyCode(const QKeyEvent &event);
int shiftState(Qt::KeyboardModifiers modifiers);
// The mouse handlers' button codes: 1 left, 2 right, 4 middle, 0 any other.
int buttonCode(Qt::MouseButton button);

} // namespace virtualkeys
