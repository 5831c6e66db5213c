// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QStringList>

class AppPaths;

// The client's own command-line options. The client takes no arguments of its own beyond
// --help and --version, which are answered without opening a window (so without a display);
// anything else is left to Qt (-platform, -style, ...) and ignored by the client.
namespace commandline {

enum class Request { Run, Help, Version };

// What the arguments (the program name first) ask for. The first of --help and --version wins.
Request request(const QStringList &arguments);

// The usage text, with the files this client uses where it runs.
QString helpText(const AppPaths &paths);
QString versionText();

} // namespace commandline
