#include "net/Protocol.h"

namespace protocol {
QString code(const QString &message) { return message.size() >= 4 ? message.left(4) : QString(); }
QString body(const QString &message) { return message.mid(4); }
QString startRequest() { return QStringLiteral("1009"); }
QString textLoaded() { return QStringLiteral("1011"); }
QString inputMethodsDone() { return QStringLiteral("1008"); }
QString timingDone() { return QStringLiteral("1010"); }
QString duplicateAnswered() { return QStringLiteral("1100"); }
QString progressReport(const Report &) { return {}; }
QString endReport(const Report &) { return {}; }
TestText parseTestText(const QString &body) { return {TextKind::Plain, body}; }
Environment parseEnvironment(const QString &) { return {}; }
bool isDuplicateLogin(const QString &) { return false; }
bool isUnrestricted(const QString &) { return false; }
} // namespace protocol
