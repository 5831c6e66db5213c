#include "TestRegistry.h"

#include <QApplication>

// Runs every registered test class of a window area. A first argument naming a class runs
// only that class; the remaining arguments go to Qt Test (e.g. a test function name, -v2).
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    return testregistry::runAll(QCoreApplication::arguments());
}
