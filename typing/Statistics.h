#pragma once

#include <QString>

struct ClientState;

// Figures derived from the counters, with the exact texts the client shows and reports.
// Rounding is half away from zero on the exact quotient, so 1 right character in 240 seconds
// is 0.3 and not whatever a binary product of the quotient happens to give.
namespace stats {

// Right characters per minute, one decimal ("56.6", "60.0"). Without elapsed time there is no
// speed to compute and the text is "0.0".
QString speedText(int right, int seconds);
// Right of typed in percent, a whole number ("67"). Nothing typed gives "0".
QString accuracyText(int right, int typed);
// "2分5秒" for 125 seconds.
QString elapsedText(int seconds);
// Remaining time of a limit in minutes: both parts carry the sign, "0分-5秒" when 5 seconds past.
QString remainingText(int maxMinutes, int seconds);
// The statistics sentence of the result window, from the counters and TotalTime.
QString sentence(const ClientState &state);

} // namespace stats
