#pragma once

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

// A whole "0011" message: true when this student is logged in elsewhere.
bool isDuplicateLogin(const QString &message);

// A "0009" rule that offers every installed input method.
bool isUnrestricted(const QString &rule);

} // namespace protocol
