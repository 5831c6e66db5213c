// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

#include <optional>

// What the server asks for with a root practice text: "<zg>" followed by the zone and the
// number of roots, separated by "/" ("<zg>2/30": 30 roots of zone 2). Fields after the
// second are ignored.
struct PracticeRequest
{
    int zone = 0;  // below 1: every key; 1 to 5: one zone
    int count = 0; // roots to draw; 0 or less gives an empty exercise

    struct Parse;
    // Reads the text as the dispatcher hands it over, marker included. Each field must be a
    // number that rounds (halves to even) into the 16-bit range, and the zone must not lie
    // above 5; otherwise the result carries the message for the dispatcher's error box.
    static Parse parse(const QString &text);
};

struct PracticeRequest::Parse
{
    std::optional<PracticeRequest> request;
    QString error;
};
