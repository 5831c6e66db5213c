// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "ui/Bindings.h"

#include "core/ChoiceList.h"
#include "core/ControlModel.h"
#include "core/ProgressModel.h"
#include "core/StatusPanels.h"
#include "ui/StatusBar.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QProgressBar>
#include <QSignalBlocker>

namespace bind {

void widget(ControlModel *model, QWidget *widget)
{
    widget->setEnabled(model->isEnabled());
    widget->setVisible(model->isVisible());
    QObject::connect(model, &ControlModel::enabledChanged, widget, &QWidget::setEnabled);
    QObject::connect(model, &ControlModel::visibleChanged, widget, &QWidget::setVisible);
    QObject::connect(model, &ControlModel::focusRequested, widget,
                     [widget] { widget->setFocus(); });
}

void button(ControlModel *model, QAbstractButton *button)
{
    widget(model, button);
    button->setText(model->text());
    button->setChecked(model->isChecked());
    QObject::connect(model, &ControlModel::textChanged, button, &QAbstractButton::setText);
    QObject::connect(model, &ControlModel::checkedChanged, button, &QAbstractButton::setChecked);
    // The widget has toggled itself already; the model follows and tells the handlers.
    QObject::connect(button, &QAbstractButton::clicked, model, [model, button] {
        if (model->checkable)
            model->setChecked(button->isChecked());
        emit model->clicked();
    });
}

void label(ControlModel *model, QLabel *label, bool fitText)
{
    // What a handler shows (a hint built from the data files and the test text, counts) is
    // shown as written, never read as markup.
    label->setTextFormat(Qt::PlainText);
    label->setText(model->text());
    if (fitText)
        label->adjustSize();
    QObject::connect(model, &ControlModel::textChanged, label,
                     [label, fitText](const QString &text) {
                         label->setText(text);
                         if (fitText)
                             label->adjustSize();
                     });
}

void progress(ProgressModel *model, QProgressBar *bar)
{
    const auto show = [bar](int minimum, int maximum, int value) {
        bar->setRange(minimum, maximum);
        bar->setValue(value);
    };
    show(model->minimum(), model->maximum(), model->value());
    QObject::connect(model, &ProgressModel::changed, bar, show);
}

void choices(ChoiceList *model, QComboBox *box)
{
    const auto fill = [box](const QStringList &items) {
        const QSignalBlocker quiet(box);
        box->clear();
        box->addItems(items);
    };
    fill(model->items());
    box->setCurrentIndex(model->currentIndex());
    QObject::connect(model, &ChoiceList::itemsChanged, box, fill);
    QObject::connect(model, &ChoiceList::currentIndexChanged, box, [box](int index) {
        const QSignalBlocker quiet(box);
        box->setCurrentIndex(index);
    });
    QObject::connect(box, &QComboBox::activated, model, &ChoiceList::activate);
}

void status(StatusPanels *model, StatusBar *bar)
{
    for (int panel = 1; panel <= StatusPanels::kCount; ++panel)
        bar->setPanelText(panel, model->panelText(panel));
    QObject::connect(model, &StatusPanels::panelChanged, bar, &StatusBar::setPanelText);
}

} // namespace bind
