// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once

#include <QMetaType>
#include <QString>

#include <optional>

// The messages between the client and the test server. There is no framing: one arrival is
// one message; its first four characters are the code and the rest is the body. Fields are
// separated by "|" without any escaping.
namespace protocol {

// Server to client.
inline constexpr char16_t kNewText[] = u"0010";
inline constexpr char16_t kTeacherMessage[] = u"0099";
inline constexpr char16_t kDuplicateLogin[] = u"0011";
inline constexpr char16_t kEnvironment[] = u"0100";
inline constexpr char16_t kInputMethods[] = u"0009";
inline constexpr char16_t kTiming[] = u"0008";

// Client to server.
inline constexpr char16_t kStartRequest[] = u"1009";
inline constexpr char16_t kTextLoaded[] = u"1011";
inline constexpr char16_t kInputMethodsDone[] = u"1008";
inline constexpr char16_t kTimingDone[] = u"1010";
inline constexpr char16_t kDuplicateAnswered[] = u"1100";
inline constexpr char16_t kProgressReport[] = u"1099";
inline constexpr char16_t kEndReport[] = u"1098";

// Text prefixes of a "0010" body.
inline constexpr char16_t kWordsPrefix[] = u"<cz>";
inline constexpr char16_t kRootPracticePrefix[] = u"<zg>";

// The first four characters, or the empty text for a message shorter than four.
QString code(const QString &message);
// Everything after the first four characters.
QString body(const QString &message);

// Client to server: the four-character replies.
QString startRequest();      // "1009"
QString textLoaded();        // "1011"
QString inputMethodsDone();  // "1008"
QString timingDone();        // "1010"
QString duplicateAnswered(); // "1100"

struct Report
{
    QString xuehao;
    QString name;
    QString banji;
    int totalTime = 0;
    int txtCount = 0;
    int inputCount = 0;
    int right = 0;
    int backspaces = 0;
    QString inputMethod; // progress report only
    QString computer;    // progress report only
    QString errChars;    // progress report only
};
// "1099|xuehao|name|banji|time|count|typed|right|backspaces|ime|computer|errors"
QString progressReport(const Report &report);
// "1098|xuehao|name|banji|time|count|typed|right|backspaces"
QString endReport(const Report &report);

// The body of a "0010" message.
enum class TextKind { Plain, Words, RootPractice };
struct TestText
{
    TextKind kind = TextKind::Plain;
    QString text; // the test text; for root practice the whole body, "<zg>" included
};
TestText parseTestText(const QString &body);

// A whole "0100" message.
struct Environment
{
    bool rootsAllowed = false;
    bool hintsAllowed = false;
    std::optional<QString> forbiddenList; // present when the message has 7 or more characters
};
Environment parseEnvironment(const QString &message);

// The body of a "0008" message: "time limit|hint delay". A field that is not numeric counts as
// absent: no time limit, the default delay of 8. A value beyond 16 bits or a missing delay
// field is an error; what was read before the error is kept (a time limit is taken even when
// the delay then fails).
struct Timing
{
    std::optional<int> maxTime;   // minutes; below 1 means no limit
    std::optional<int> hintDelay; // the delay field plus one: the ticks a hint waits
    QString error;                // the handler's error message, empty when the body is sound
};
Timing parseTiming(const QString &body);

// A whole "0011" message: true when this student is logged in elsewhere.
bool isDuplicateLogin(const QString &message);

// A "0009" rule that offers every installed input method: "不限制" with blanks around it.
inline constexpr char16_t kUnrestricted[] = u"不限制";
bool isUnrestricted(const QString &rule);

// The server's side: building the server's messages and reading the client's reports. The
// test server and the tests use these so that both ends share one definition of each message.

// "0010" + the body: "<cz>" before a word text; a root practice text already holds "<zg>".
QString textMessage(const TestText &text);
// "0099" + the teacher's words.
QString teacherMessage(const QString &text);
// "0011" + "1" when the student is logged in elsewhere, "0" when not.
QString duplicateLoginNotice(bool duplicate);
// "0100" + roots flag + hints flag + the forbidden list. An empty list leaves the message at
// six characters, which the client reads as "no list" rather than as an empty one.
QString environmentMessage(const Environment &environment);
// "0009" + the rule, sent as given.
QString inputMethodsMessage(const QString &rule);
// "0008" + time limit in minutes + "|" + hint delay in seconds.
QString timingMessage(int maxTime, int hintDelay);

// A whole "1099" or "1098" message read back into its fields. Nothing when the code is not
// the expected one, the field count is wrong (a "|" inside a field also makes it wrong) or a
// counter is not a 16-bit decimal integer.
std::optional<Report> parseProgressReport(const QString &message);
std::optional<Report> parseEndReport(const QString &message);

} // namespace protocol

Q_DECLARE_METATYPE(protocol::Report)
