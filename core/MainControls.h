#pragma once

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;
class QWidget;
class RichTextBox;
class StatusBar;

// The controls of the main window that the handlers drive. The main window creates them
// (ui/MainControlsFactory) and lays them out; handlers only read and set their properties.
struct MainControls
{
    QWidget *window = nullptr; // the main window itself: parent of its boxes and dialogs

    QWidget *Ptop = nullptr;
    QWidget *Pmid = nullptr;
    QWidget *Pmid2 = nullptr;
    QWidget *Pbottom = nullptr;

    QPushButton *cmdlianjie = nullptr;
    QPushButton *cmdread = nullptr;
    QPushButton *cmdexit = nullptr;
    QPushButton *btnzigen = nullptr;
    QPushButton *cmdserverset = nullptr;
    QPushButton *cmduserset = nullptr;
    QCheckBox *cts = nullptr;

    QWidget *Image3 = nullptr; // logo
    QLabel *Label5 = nullptr; // title
    QWidget *Image2 = nullptr; // blue band behind the statistics row
    QLabel *Label3 = nullptr;
    QLabel *Lmsg2 = nullptr;
    QLabel *Label4 = nullptr;
    QProgressBar *pb = nullptr;
    QLabel *Lmsg = nullptr; // sized to its text: call adjustSize() after setText()
    QLabel *Ltimel1 = nullptr;
    QLabel *Ltime = nullptr;
    QLabel *Ltimel2 = nullptr;
    QLabel *Ltime2 = nullptr;
    QLabel *Ltimel3 = nullptr;
    QLabel *Ltime3 = nullptr;
    QLabel *LBM = nullptr; // sized to its text: call adjustSize() after setText()
    std::array<QLabel *, 4> Imgzg{};

    RichTextBox *txt1 = nullptr;
    RichTextBox *txt2 = nullptr;
    QWidget *Image1 = nullptr; // root chart on Pmid2

    QWidget *Imgfoot = nullptr;
    QLabel *Label2 = nullptr;
    QComboBox *cmbshurufa = nullptr;
    QLabel *Label1 = nullptr;

    StatusBar *sb = nullptr;
    QTimer *Timer3 = nullptr; // test clock, 1000 ms
    QTimer *Timer4 = nullptr; // connection display, 500 ms
};
