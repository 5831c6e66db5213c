// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QString>

struct ClientState;
class HintDelay;
class InputMethodSelection;
class MainControls;
class TestSession;
class TextModel;

// Comparison, colouring and counting of the typed text against the reference text. The test
// session decides what a change means for the test (the clock, the end).
class TypingEngine
{
public:
    TypingEngine(ClientState &state, MainControls &ui, HintDelay &hints, InputMethodSelection &imes,
                 TestSession &session);

    // Runs after every change of the typing box txt2, with the box's new text.
    void txt2_Change(const QString &typed);
    // Recounts NumTxtInputCount, NumTxtCount and NumTxtRight from the two texts.
    void JiSuan();

    // Number of positions at which the two texts hold the same code unit.
    static int countMatches(const QString &reference, const QString &typed);

private:
    void colourTyped(const QString &reference, const QString &typed, int from);
    void markCurrent(int position);

    ClientState &m_state;
    MainControls &m_ui;
    HintDelay &m_hints;
    InputMethodSelection &m_imes;
    TestSession &m_session;
};
