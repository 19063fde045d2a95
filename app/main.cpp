#include "screens/Wizard.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Brindle"));
    app.setApplicationVersion(QStringLiteral(BRINDLE_VERSION));

    brindle::Wizard wizard;
    // The accounting software passes one option string; blanks inside it
    // may have split it into several arguments.
    const QString options = app.arguments().mid(1).join(QLatin1Char(' '));
    if (!wizard.start(options)) {
        return 0;
    }
    return app.exec();
}
