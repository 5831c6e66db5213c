#pragma once

#include <QString>

struct ClientState;

// Figures derived from the counters, with the exact texts the client shows and reports.
namespace stats {

// Right characters per minute, one decimal, halves away from zero. Needs seconds > 0.
QString speedText(int right, int seconds);
// Right of typed in percent, whole number, halves away from zero. Needs typed > 0.
QString accuracyText(int right, int typed);
// "2分5秒" for 125 seconds.
QString elapsedText(int seconds);
// Remaining time of a limit in minutes; negative parts when the limit is passed.
QString remainingText(int maxMinutes, int seconds);
// The statistics sentence of the result window.
QString sentence(const ClientState &state);

} // namespace stats
