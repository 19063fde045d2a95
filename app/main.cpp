#include "platform/InstanceGuard.h"
#include "screens/WidgetsUi.h"
#include "startup/MMain.h"

#include <QApplication>
#include <QWidget>
#include <algorithm>

namespace {

// Asked by a refused second start: bring the visible window forward, the
// information screen ("VEXO Brindle") before the others ("Brindle").
bool raiseVisibleWindow()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (const QString& prefix : {QStringLiteral("VEXO Brindle"), QStringLiteral("Brindle")}) {
        for (QWidget* window : windows) {
            if (window->isVisible() && window->windowTitle().startsWith(prefix)) {
                window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
                window->raise();
                window->activateWindow();
                return true;
            }
        }
    }
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("Brindle"));
    app.setApplicationVersion(QStringLiteral(BRINDLE_VERSION));

    brindle::WidgetsUi ui;
    brindle::MMain::setUi(&ui);
    brindle::InstanceGuard::setRaiseHandler(raiseVisibleWindow);
    // The accounting software passes one option string; blanks inside it
    // may have split it into several arguments.
    brindle::MMain::Main(app.arguments().mid(1).join(QLatin1Char(' ')));

    const QWidgetList windows = QApplication::topLevelWidgets();
    const bool anyVisible =
        std::any_of(windows.cbegin(), windows.cend(), [](QWidget* w) { return w->isVisible(); });
    if (!anyVisible) {
        brindle::MMain::ExitApplication();
        return 0;
    }
    return app.exec();
}
