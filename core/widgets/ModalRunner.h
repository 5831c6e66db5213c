// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

class QDialog;

// Runs a window modally: the real client runs the window's own event loop; tests install one
// that inspects the window, clicks what it wants and closes it, so no test waits for a person.
class ModalRunner
{
public:
    virtual ~ModalRunner() = default;
    // Runs the window modally and returns its result (QDialog::exec semantics; for a
    // QMessageBox the standard button that closed it).
    virtual int exec(QDialog &dialog) = 0;
};

class SystemModalRunner final : public ModalRunner
{
public:
    int exec(QDialog &dialog) override;
};
