#pragma once

#include <QString>

// The modal steps of root practice, provided by whoever shows the practice window: the result
// window and the question before leaving a running practice. Both return only when the
// student has answered.
class PracticeHost
{
public:
    virtual ~PracticeHost() = default;

    // Shows the result window with the statistics sentence and no error characters and waits
    // until it has closed. False, and nothing shown, when a result window is already open.
    virtual bool showResult(const QString &sentence) = 0;
    // Asks whether to leave the running practice; true when the student answers Yes.
    virtual bool confirmLeave(const QString &question) = 0;
};
