#include "core/widgets/ModalRunner.h"

#include <QDialog>

int SystemModalRunner::exec(QDialog &dialog)
{
    return dialog.exec();
}
