// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/widgets/ModalRunner.h"

#include <QDialog>

int SystemModalRunner::exec(QDialog &dialog)
{
    return dialog.exec();
}
