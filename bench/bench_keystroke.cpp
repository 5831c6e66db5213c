// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

// One keystroke as the student feels it: from the key event to the end of painting both text
// boxes, with the comparison, the recount over the whole typed text and the colouring, on a
// text of 32767 Chinese characters; an input method commit of four characters; a Backspace;
// and loading the text from a "0010" message until it is painted. The baseline is the same
// keystroke through a pair of plain QTextEdits, measured in the same run.
#include "bench/BenchRegistry.h"
#include "bench/BenchStats.h"

#include "core/InputMethodService.h"
#include "core/TextModel.h"
#include "core/widgets/Fonts.h"
#include "env/BusCalls.h"
#include "env/Fcitx5InputMethods.h"
#include "env/ProbingInputMethods.h"
#include "net/Socket.h"
#include "net/TestControl.h"
#include "typing/TypingEngine.h"
#include "typing/widgets/RichTextBox.h"
#include "ui/Form1.h"
#include "ui/SystemServices.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextStream>
#include <QTimer>
#include <QVBoxLayout>

#include <functional>
#include <map>
#include <vector>

namespace {

constexpr int kTextLength = 32767;
constexpr int kRuns = 200;
const int kPositions[] = {100, 16000, 32000};

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

QString loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("unknown");
    return QString::fromLatin1(file.readAll()).section(u' ', 0, 2);
}

// A deterministic text of common characters with a comma now and then, like a test text.
QString chineseText(int length, int seed)
{
    const QString common = QStringLiteral(
        "的一是在不了有和人这中大为上个国我以要他时来用们生到作地于出就分对成会可主发年动同工也能下"
        "过子说产种面而方后多定行学法所民得经十三之进着等部度家电力里如水化高自二理起小物现实加量都"
        "两体制机当使点从业本去把性好应开它合还因由其些然前外天政四日那社义事平形相全表间样与关各重"
        "新线内数正心反你明看原又么利比或但质气第向道命此变条只没结解问意建月公无系军很情者最立代想"
        "已通并提直题党程展五果料象员革位入常文总次品式活设及管特件长求老头基资边流路级少图山统接知"
        "较将组见计别她手角期根论运农指几九区强放决西被干做必战先回则任取据处队南给色光门即保治北造"
        "百规热领七海口东导器压志世金增争济阶油思术极交受联什认六共权收证改清己美再采转更单风切打白"
        "教速花带安场身车例真务具万每目至达走积示议声报斗完类八离华名确才科张信马节话米整空元况今集"
        "温传土许步群广石记需段研界拉林律叫且究观越织装影算低持音众书布复容儿须际商非验连断深难近矿"
        "千周委素技备半办青省列习响约支般史感劳便团往酸历市克何除消构府称太准精值号率族维划选标写存"
        "候毛亲快效斯院查江型眼王按格养易置派层片始却专状育厂京识适属圆包火住调满县局照参红细引听该"
        "铁价严");
    QString text;
    text.reserve(length);
    quint32 state = quint32(seed) * 2654435761u + 1;
    for (int i = 0; i < length; ++i) {
        state = state * 1103515245u + 12345u;
        text += (i % 23 == 22) ? QChar(u'，') : common.at(int((state >> 8) % common.size()));
    }
    return text;
}

// Runs `work` `runs` times, `prepare` untimed before each, and returns the times in ms.
std::vector<double> measure(int runs, const std::function<void()> &prepare,
                            const std::function<void()> &work)
{
    std::vector<double> times;
    times.reserve(size_t(runs));
    QElapsedTimer timer;
    for (int i = 0; i < runs; ++i) {
        if (prepare)
            prepare();
        // Whatever the last run left waiting (deferred repaints, scrolling) is not this run's.
        QCoreApplication::processEvents();
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return times;
}

void sendKey(QWidget *target, int key, const QString &text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &release);
}

void commit(QWidget *target, const QString &text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(target, &event);
}

// Until both boxes are painted: what the change scheduled (scrolling the current character
// into view) runs, then both boxes paint the whole of what they show.
void paintBoth(QAbstractScrollArea *first, QAbstractScrollArea *second)
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    first->viewport()->repaint();
    second->viewport()->repaint();
}

// A connection that takes every message: the load's reply and any report go nowhere.
class NullSocket final : public Socket
{
public:
    void setRemoteHost(const QString &) override {}
    void setRemotePort(int) override {}
    QString remoteHost() const override { return {}; }
    int remotePort() const override { return 0; }
    void close() override {}
    void connectToRemote() override {}
    bool sendData(const QString &) override { return true; }
    QString getData() override { return {}; }
    int state() const override { return Connected; }
};

// The signals a text box's model raises while it is watched, by kind: what a keystroke costs
// the views and handlers listening to the model.
class SignalCount
{
public:
    explicit SignalCount(TextModel *model)
    {
        const auto count = [this](const char *name) {
            return [this, name] { ++m_counts[QLatin1String(name)]; };
        };
        QObject *c = &m_context;
        QObject::connect(model, &TextModel::aboutToEdit, c, count("aboutToEdit"));
        QObject::connect(model, &TextModel::edited, c, count("edited"));
        QObject::connect(model, &TextModel::reset, c, count("reset"));
        QObject::connect(model, &TextModel::changed, c, count("changed"));
        QObject::connect(model, &TextModel::selectionAboutToChange, c,
                         count("selectionAboutToChange"));
        QObject::connect(model, &TextModel::selectionChanged, c, count("selectionChanged"));
        QObject::connect(model, &TextModel::formatChanged, c, count("formatChanged"));
        QObject::connect(model, &TextModel::readOnlyChanged, c, count("readOnlyChanged"));
        QObject::connect(model, &TextModel::enabledChanged, c, count("enabledChanged"));
        QObject::connect(model, &TextModel::focusRequested, c, count("focusRequested"));
        QObject::connect(model, &TextModel::gotFocus, c, count("gotFocus"));
        QObject::connect(model, &TextModel::keyDown, c, count("keyDown"));
        QObject::connect(model, &TextModel::keyUp, c, count("keyUp"));
        QObject::connect(model, &TextModel::mouseUp, c, count("mouseUp"));
        QObject::connect(model, &TextModel::inputMethodUsed, c, count("inputMethodUsed"));
        // A signal added to the model and not to the list above would go uncounted.
        int signalCount = 0;
        const QMetaObject &meta = TextModel::staticMetaObject;
        for (int i = meta.methodOffset(); i < meta.methodCount(); ++i)
            signalCount += meta.method(i).methodType() == QMetaMethod::Signal;
        if (signalCount != 15)
            out() << "warning: the model has " << signalCount << " signals, 15 are counted"
                  << Qt::endl;
    }
    int total() const
    {
        int sum = 0;
        for (const auto &[name, n] : m_counts)
            sum += n;
        return sum;
    }
    QString details() const
    {
        QStringList parts;
        for (const auto &[name, n] : m_counts)
            parts << QStringLiteral("%1 %2").arg(name).arg(n);
        return parts.join(QLatin1String(", "));
    }

private:
    QObject m_context;
    std::map<QString, int> m_counts;
};

struct Row
{
    QString name;
    std::vector<double> ms;
};

void printRow(const Row &row, const Row *baseline = nullptr)
{
    out() << "  " << bench::summary(row.name, row.ms);
    if (baseline) {
        out() << QStringLiteral("; against the QTextEdit pair: median x%1, p99 x%2")
                     .arg(bench::percentile(row.ms, 0.5) / bench::percentile(baseline->ms, 0.5), 0,
                          'f', 2)
                     .arg(bench::percentile(row.ms, 0.99) / bench::percentile(baseline->ms, 0.99),
                          0, 'f', 2);
    }
    out() << Qt::endl;
}

// The client's main window with real services, shown offscreen at its design size.
struct ClientWindow
{
    ClientWindow()
    {
        window = std::make_unique<Form1>(system.services(), system.modal());
        window->show();
        window->activateWindow();
        QCoreApplication::processEvents();
        client().ui.Timer4->stop();
        // Ticks are not part of a keystroke.
        client().ui.Timer3->setInterval(24 * 3600 * 1000);
    }
    Client &client() { return window->client(); }
    RichTextBox *txt1() { return window->widgets().txt1; }
    RichTextBox *txt2() { return window->widgets().txt2; }
    void load(const QString &text)
    {
        client().control->handleMessage(QStringLiteral("0010") + text);
    }
    // The typing box holds the first `typed` characters of the text, typed right.
    void typeUpTo(const QString &text, int typed)
    {
        txt2()->model()->setText(text.left(typed));
        QCoreApplication::processEvents();
    }

    NullSocket socket;
    SystemServices system{&socket};
    std::unique_ptr<Form1> window;
};

// Two plain rich text editors that do the same work per keystroke with QTextCursor formats.
struct TextEditPair
{
    TextEditPair(const QFont &font, QSize size, QSize boxSize)
    {
        auto *layout = new QVBoxLayout(&window);
        for (QTextEdit *edit : {&reference, &typing}) {
            edit->setFont(font);
            edit->setFixedSize(boxSize);
            edit->setAcceptRichText(false);
            layout->addWidget(edit);
        }
        reference.setReadOnly(true);
        window.resize(size);
        window.show();
        QObject::connect(&typing, &QTextEdit::textChanged, &typing, [this] { changed(); });
    }

    void setReference(const QString &text)
    {
        reference.setPlainText(text);
        QTextCharFormat black;
        black.setForeground(Qt::black);
        QTextCursor all(reference.document());
        all.select(QTextCursor::Document);
        all.mergeCharFormat(black);
    }

    void colour(QTextEdit &edit, int position, const QColor &color, bool underline)
    {
        QTextCursor cursor(edit.document());
        cursor.setPosition(position);
        cursor.setPosition(position + 1, QTextCursor::KeepAnchor);
        QTextCharFormat format;
        format.setForeground(color);
        format.setFontUnderline(underline);
        cursor.mergeCharFormat(format);
    }

    // Colour the new character in both boxes, mark the next one, recount.
    void changed()
    {
        if (busy)
            return;
        busy = true;
        const QString ref = reference.toPlainText();
        const QString typed = typing.toPlainText();
        const int at = int(typed.size()) - 1;
        if (at >= 0 && at < ref.size()) {
            const QColor color = ref.at(at) == typed.at(at) ? QColor(150, 150, 150) : Qt::red;
            colour(reference, at, color, false);
            colour(typing, at, color, false);
            colour(reference, at + 1, Qt::blue, true);
        }
        right = TypingEngine::countMatches(ref, typed);
        busy = false;
    }

    QWidget window;
    QTextEdit reference;
    QTextEdit typing;
    bool busy = false;
    int right = 0;
};

void runKeystroke()
{
    out() << "load average before: " << loadAverage() << Qt::endl;
    const QString text = chineseText(kTextLength, 1);
    const QString other = chineseText(kTextLength, 2);

    ClientWindow client;
    RichTextBox *txt1 = client.txt1();
    RichTextBox *txt2 = client.txt2();
    out() << "window " << client.window->width() << "x" << client.window->height() << ", boxes "
          << txt1->width() << "x" << txt1->height() << ", text of " << text.size() << " characters"
          << Qt::endl;

    // Loading: alternately two different texts, each replacing a partly typed one.
    int loads = 0;
    const Row load{QStringLiteral("load a 32767-character \"0010\" text until painted"),
                   measure(
                       21, [&] { client.typeUpTo(loads % 2 ? other : text, 50); },
                       [&] {
                           client.load(loads++ % 2 ? text : other);
                           paintBoth(txt1, txt2);
                       })};
    client.load(text);
    if (txt1->model()->text() != text || client.client().state.NumTxtCount != kTextLength)
        out() << "warning: the text did not load" << Qt::endl;

    // Every keystroke keeps the chosen input method: with "0009五笔" and Wubi picked, each key
    // asks the desktop's framework (fcitx5 when a session bus has it) without waiting.
    InputMethodService *imes = client.system.services().inputMethods;
    client.client().control->handleMessage(QStringLiteral("0009五笔"));
    ChoiceList *choices = client.client().ui.cmbshurufa;
    if (choices->count() > 1)
        choices->activate(1);
    auto *fcitx5 =
        dynamic_cast<Fcitx5InputMethods *>(static_cast<ProbingInputMethods *>(imes)->current());
    const auto settle = [fcitx5] {
        for (int i = 0; fcitx5 && fcitx5->busy() && i < 1000; ++i)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    };
    settle();
    out() << "input methods: " << imes->framework() << ", list " << choices->items().join(u'/')
          << ", chosen " << choices->currentText() << " (" << client.client().state.ActIme
          << "), active " << imes->active() << Qt::endl;

    std::vector<Row> ours;
    std::vector<Row> baselines;
    const QChar wrong(u'错');

    // What one typed character and one Backspace cost in signals of the two boxes' models.
    client.typeUpTo(text, 16000);
    const auto countSignals = [&](const QString &what, int key, const QString &typed) {
        SignalCount reference(client.client().ui.txt1);
        SignalCount typing(client.client().ui.txt2);
        sendKey(txt2, key, typed);
        QCoreApplication::processEvents();
        out() << "model signals for " << what << ": " << reference.total() + typing.total()
              << " (reference box " << reference.total() << ": " << reference.details()
              << "; typing box " << typing.total() << ": " << typing.details() << ")" << Qt::endl;
    };
    countSignals(QStringLiteral("one typed character at 16000"), 0, text.mid(16000, 1));
    countSignals(QStringLiteral("one Backspace at 16001"), Qt::Key_Backspace, QString());
    for (const int position : kPositions) {
        client.typeUpTo(text, position);
        int next = 0;
        // Keystrokes alternate a right and a wrong character; each is taken back untimed.
        Row key{QStringLiteral("keystroke at %1, both boxes repainted whole").arg(position),
                measure(
                    kRuns,
                    [&] {
                        if (txt2->model()->text().size() > position)
                            client.typeUpTo(text, position);
                    },
                    [&] {
                        sendKey(txt2, 0, next++ % 2 ? QString(wrong) : text.mid(position, 1));
                        paintBoth(txt1, txt2);
                    })};
        ours.push_back(std::move(key));

        // The same keystroke with the window painting only what the change touched, as it
        // does when the student types.
        Row dirty{QStringLiteral("keystroke at %1, painting what changed").arg(position),
                  measure(
                      kRuns,
                      [&] {
                          if (txt2->model()->text().size() > position)
                              client.typeUpTo(text, position);
                      },
                      [&] {
                          sendKey(txt2, 0, next++ % 2 ? QString(wrong) : text.mid(position, 1));
                          QCoreApplication::processEvents();
                      })};
        ours.push_back(std::move(dirty));

        Row backspace{QStringLiteral("Backspace at %1").arg(position + 1),
                      measure(
                          kRuns,
                          [&] {
                              if (txt2->model()->text().size() == position)
                                  sendKey(txt2, 0, text.mid(position, 1));
                          },
                          [&] {
                              sendKey(txt2, Qt::Key_Backspace, QString());
                              paintBoth(txt1, txt2);
                          })};
        ours.push_back(std::move(backspace));

        Row ime{QStringLiteral("input method commit of 4 characters at %1").arg(position),
                measure(
                    kRuns / 2,
                    [&] {
                        if (txt2->model()->text().size() != position)
                            client.typeUpTo(text, position);
                    },
                    [&] {
                        commit(txt2, text.mid(position, 2) + wrong + text.mid(position + 3, 1));
                        paintBoth(txt1, txt2);
                    })};
        ours.push_back(std::move(ime));
    }

    // The parts of a keystroke: painting both boxes alone, and the keystroke without painting.
    client.typeUpTo(text, 16000);
    const Row paintAlone{QStringLiteral("painting both boxes alone at 16000"),
                         measure(kRuns, nullptr, [&] { paintBoth(txt1, txt2); })};
    int unpainted = 0;
    const Row handlerAlone{QStringLiteral("keystroke at 16000 without painting"),
                           measure(
                               kRuns,
                               [&] {
                                   if (txt2->model()->text().size() > 16000)
                                       client.typeUpTo(text, 16000);
                               },
                               [&] {
                                   sendKey(txt2, 0,
                                           unpainted++ % 2 ? QString(wrong) : text.mid(16000, 1));
                                   QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
                               })};

    // A keystroke after the student switched away with the hot key: the key asks fcitx5 and
    // switches back, both without waiting. The switch away and the answers are untimed.
    std::vector<Row> enforcement;
    if (fcitx5) {
        const QDBusMessage away =
            buscalls::methodCall(Fcitx5InputMethods::serviceName(), QStringLiteral("/controller"),
                                 QStringLiteral("org.fcitx.Fcitx.Controller1"),
                                 QStringLiteral("SetCurrentIM"), {QStringLiteral("keyboard-us")});
        int switched = 0;
        int pulledBack = 0;
        enforcement.push_back(
            {QStringLiteral("keystroke at 16000 after a hot-key switch, painting what changed"),
             measure(
                 kRuns,
                 [&] {
                     settle();
                     if (switched > 0 && imes->active() == client.client().state.ActIme)
                         ++pulledBack;
                     if (txt2->model()->text().size() > 16000)
                         client.typeUpTo(text, 16000);
                     settle();
                     buscalls::callAndWait(QDBusConnection::sessionBus(), away);
                 },
                 [&] {
                     sendKey(txt2, 0, switched++ % 2 ? QString(wrong) : text.mid(16000, 1));
                     QCoreApplication::processEvents();
                 })});
        settle();
        if (imes->active() == client.client().state.ActIme)
            ++pulledBack;
        out() << "after a hot-key switch the next key pulled fcitx5 back in " << pulledBack
              << " of " << switched << " runs" << Qt::endl;
    }

    // The recount alone, over the longest typed text.
    const QString typedAll = text.left(32000) + wrong;
    int sink = 0;
    const Row recount{
        QStringLiteral("recount alone over 32001 typed characters"),
        measure(kRuns, nullptr, [&] { sink += TypingEngine::countMatches(text, typedAll); })};

    // The baseline pair, at the same size and font, with the same keystrokes.
    TextEditPair pair(txt1->font(), client.window->size(), txt1->size());
    pair.setReference(text);
    for (const int position : kPositions) {
        pair.typing.setPlainText(text.left(position));
        pair.typing.moveCursor(QTextCursor::End);
        int next = 0;
        baselines.push_back({QStringLiteral("QTextEdit pair: keystroke at %1").arg(position),
                             measure(
                                 kRuns / 2,
                                 [&] {
                                     if (pair.typing.toPlainText().size() > position) {
                                         pair.typing.textCursor().deletePreviousChar();
                                         pair.typing.moveCursor(QTextCursor::End);
                                     }
                                 },
                                 [&] {
                                     sendKey(&pair.typing, 0,
                                             next++ % 2 ? QString(wrong) : text.mid(position, 1));
                                     paintBoth(&pair.reference, &pair.typing);
                                 })});
    }

    out() << "client boxes:" << Qt::endl;
    printRow(load);
    for (size_t i = 0; i < ours.size(); ++i)
        printRow(ours[i], i % 4 == 0 ? &baselines[i / 4] : nullptr);
    printRow(paintAlone);
    printRow(handlerAlone);
    printRow(recount);
    for (const Row &row : enforcement)
        printRow(row);
    out() << "baseline (plain QTextEdit pair, QTextCursor::mergeCharFormat, same recount):"
          << Qt::endl;
    for (const Row &row : baselines)
        printRow(row);
    out() << "targets: keystroke p99 <= 2 ms, load <= 30 ms" << Qt::endl;
    out() << "load average after: " << loadAverage() << " (" << sink % 2 << ")" << Qt::endl;
}

} // namespace

CLIENT_BENCH(keystroke, runKeystroke)
