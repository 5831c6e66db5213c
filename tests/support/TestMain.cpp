#include "TestRegistry.h"

#include <QApplication>
#include <QTest>

namespace testregistry {
std::vector<std::pair<const char *, Factory>> &all()
{
    static std::vector<std::pair<const char *, Factory>> tests;
    return tests;
}
} // namespace testregistry

// Runs every registered test class. A first argument naming a class runs only that class;
// the remaining arguments go to Qt Test (e.g. a test function name, -v2).
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    QString only;
    if (args.size() > 1 && !args.at(1).startsWith(u'-')) {
        for (const auto &[name, factory] : testregistry::all()) {
            if (args.at(1) == QLatin1String(name)) {
                only = args.takeAt(1);
                break;
            }
        }
    }
    int failed = 0;
    for (const auto &[name, factory] : testregistry::all()) {
        if (!only.isEmpty() && only != QLatin1String(name))
            continue;
        std::unique_ptr<QObject> test = factory();
        failed += QTest::qExec(test.get(), args);
    }
    return failed == 0 ? 0 : 1;
}
