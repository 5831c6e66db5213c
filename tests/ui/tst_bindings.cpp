// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/ChoiceList.h"
#include "core/ControlModel.h"
#include "core/ProgressModel.h"
#include "tests/support/TestRegistry.h"
#include "ui/Bindings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTest>

namespace {

// One step on a progress bar: 'n' minimum, 'x' maximum, 'v' value.
struct Step
{
    char what;
    int number;
};
using Steps = QList<Step>;

} // namespace

Q_DECLARE_METATYPE(Steps)

// The main window's widgets show what their models hold, and the student's actions reach the
// models.
class BindingsTest : public QObject
{
    Q_OBJECT
private slots:
    // The bound bar and a bar driven directly by the same calls show the same, so the model
    // keeps the bar's rules (a value out of range is refused, a new range resets it).
    void progressFollowsTheBarsRules_data()
    {
        QTest::addColumn<Steps>("steps");
        QTest::newRow("value in range") << Steps{{'x', 300}, {'n', 0}, {'v', 120}};
        QTest::newRow("value past the maximum kept") << Steps{{'x', 10}, {'v', 5}, {'v', 11}};
        QTest::newRow("shrinking range resets") << Steps{{'x', 300}, {'v', 200}, {'x', 100}};
        QTest::newRow("minimum above maximum") << Steps{{'x', 10}, {'n', 20}, {'v', 20}};
        QTest::newRow("empty range takes anything")
            << Steps{{'x', 0}, {'n', 0}, {'v', 7}, {'v', -3}};
        QTest::newRow("negative values") << Steps{{'n', -5}, {'x', -1}, {'v', -3}, {'v', 0}};
    }
    void progressFollowsTheBarsRules()
    {
        QFETCH(Steps, steps);
        ProgressModel model;
        QProgressBar bound;
        QProgressBar direct; // as the main window sets its bar up
        direct.setRange(0, 100);
        direct.setValue(0);
        bind::progress(&model, &bound);
        QCOMPARE(bound.value(), direct.value());
        for (const Step &step : steps) {
            switch (step.what) {
            case 'n':
                model.setMinimum(step.number);
                direct.setMinimum(step.number);
                break;
            case 'x':
                model.setMaximum(step.number);
                direct.setMaximum(step.number);
                break;
            default:
                model.setValue(step.number);
                direct.setValue(step.number);
            }
            QCOMPARE(model.value(), direct.value());
            QCOMPARE(model.minimum(), direct.minimum());
            QCOMPARE(model.maximum(), direct.maximum());
            QCOMPARE(bound.value(), direct.value());
            QCOMPARE(bound.maximum(), direct.maximum());
        }
    }

    void checkBoxClickReachesTheModel()
    {
        ControlModel model(QStringLiteral("显示编码提示"), true);
        model.checkable = true;
        QCheckBox box;
        bind::button(&model, &box);
        QCOMPARE(box.text(), QStringLiteral("显示编码提示"));
        QSignalSpy clicked(&model, &ControlModel::clicked);
        box.click();
        QVERIFY(model.isChecked());
        QCOMPARE(clicked.count(), 1);
        // The model's own click toggles the box as well, once.
        model.click();
        QVERIFY(!box.isChecked());
        QCOMPARE(clicked.count(), 2);
        // Disabled: neither the widget nor the model takes a click.
        model.setEnabled(false);
        QVERIFY(!box.isEnabled());
        box.click();
        model.click();
        QCOMPARE(clicked.count(), 2);
    }

    void fittedLabelGrowsWithItsText()
    {
        ControlModel model;
        QLabel label;
        bind::label(&model, &label, true);
        model.setText(QStringLiteral("五笔编码：A"));
        const int narrow = label.width();
        model.setText(QStringLiteral("五笔编码：AAAA BBBB CCCC     拼音编码：long"));
        QCOMPARE(label.text(), model.text());
        QVERIFY(label.width() > narrow);
    }

    void listShowsItsEntriesAndReportsTheChoice()
    {
        ChoiceList model;
        QComboBox box;
        bind::choices(&model, &box);
        model.addItem(QStringLiteral("英语（美国）"));
        model.addItem(QStringLiteral("拼音"));
        QCOMPARE(box.count(), 2);
        QCOMPARE(box.currentIndex(), 0);
        QSignalSpy activated(&model, &ChoiceList::activated);
        emit box.activated(1);
        QCOMPARE(model.currentIndex(), 1);
        QCOMPARE(activated.count(), 1);
        model.clear();
        QCOMPARE(box.count(), 0);
        QCOMPARE(activated.count(), 1); // emptying the list is no choice of the student's
    }
};

CLIENT_TEST(BindingsTest)
#include "tst_bindings.moc"
