#pragma once

#include <QWidget>

// The Wubi 86 root chart: the keyboard with the roots of every key and the mnemonic verses,
// drawn from the client's root data so that it stays sharp at any size.
class RootChart : public QWidget
{
    Q_OBJECT
public:
    explicit RootChart(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
