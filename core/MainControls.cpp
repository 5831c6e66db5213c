// SPDX-FileCopyrightText: 2026 The Chengling client developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "core/MainControls.h"

MainControls::MainControls(QObject *parent)
    : QObject(parent)
    , Ptop(new ControlModel({}, true, this))
    , Pmid(new ControlModel({}, true, this))
    , Pmid2(new ControlModel({}, true, this))
    , cmdlianjie(new ControlModel(QStringLiteral("连接..."), true, this))
    , cmdread(new ControlModel(QStringLiteral("开 始"), false, this))
    , cmdexit(new ControlModel(QStringLiteral("结 束"), false, this))
    , btnzigen(new ControlModel(QStringLiteral("字根表"), false, this))
    , cmdserverset(new ControlModel(QStringLiteral("服务器设置"), true, this))
    , cmduserset(new ControlModel(QStringLiteral("设置个人信息"), true, this))
    , cts(new ControlModel(QStringLiteral("显示编码提示"), false, this))
    , Lmsg2(new ControlModel({}, true, this))
    , pb(new ProgressModel(this))
    , Lmsg(new ControlModel({}, true, this))
    , Ltime(new ControlModel({}, true, this))
    , Ltime2(new ControlModel({}, true, this))
    , Ltime3(new ControlModel({}, true, this))
    , LBM(new ControlModel({}, true, this))
    , txt1(new TextModel(this))
    , txt2(new TextModel(this))
    , cmbshurufa(new ChoiceList(this))
    , sb(new StatusPanels(this))
    , Timer3(new QTimer(this))
    , Timer4(new QTimer(this))
{
    Pmid2->hide();
    cts->checkable = true;
    txt1->setReadOnly(true);
    Timer3->setInterval(1000);
    Timer4->setInterval(500);
}

void MainControls::setRootSlot(int slot, int glyph)
{
    if (slot < 0 || slot >= int(Imgzg.size()) || Imgzg[size_t(slot)] == glyph)
        return;
    Imgzg[size_t(slot)] = glyph;
    emit rootsChanged();
}
