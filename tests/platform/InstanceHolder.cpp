// A first instance for the tests, in a process of its own:
//   instance_holder PROGRAM FOLDER raise|no-window|deaf
// takes the lock, prints "ready" (or "refused"), then answers raise
// requests, printing "asked" for each: "raise" answers that it raised its
// window, "no-window" that it has none; "deaf" never runs its event loop.
#include "platform/InstanceGuard.h"

#include <QCoreApplication>
#include <QThread>
#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        return 2;
    }
    const QString mode = args[3];
    brindle::InstanceGuard::setRaiseHandler([mode] {
        std::puts("asked");
        std::fflush(stdout);
        return mode == QLatin1String("raise");
    });
    brindle::InstanceGuard guard(args[1], args[2]);
    if (guard.previousInstance()) {
        std::puts("refused");
        return 1;
    }
    std::puts("ready");
    std::fflush(stdout);
    if (mode == QLatin1String("deaf")) {
        QThread::sleep(3600);
        return 0;
    }
    return app.exec();
}
