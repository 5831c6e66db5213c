#pragma once

#include <QStringList>

// The IBus engines the student has set up, in the order of IBus's preferences (its
// "preload-engines" setting). The daemon only accepts this list, it never tells it, so it is
// read where IBus's own panel reads it: the desktop's settings store. Empty when IBus's
// settings are not installed or the list was never set.
class IBusPreloadEngines
{
public:
    static QStringList read();
};
