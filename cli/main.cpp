#include "Commands.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return brindle::cli::dispatch(app.arguments().mid(1), out, err);
}
