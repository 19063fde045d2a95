#include "WidgetsUi.h"

#include "FMain.h"

#include <QApplication>
#include <QMessageBox>

namespace brindle {

namespace {

QMessageBox::Icon messageIcon(UiPort::Icon icon)
{
    switch (icon) {
    case UiPort::Icon::Critical:
        return QMessageBox::Critical;
    case UiPort::Icon::Question:
        return QMessageBox::Question;
    case UiPort::Icon::Exclamation:
        return QMessageBox::Warning;
    case UiPort::Icon::Information:
        return QMessageBox::Information;
    case UiPort::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons messageButtons(UiPort::Buttons buttons)
{
    switch (buttons) {
    case UiPort::Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case UiPort::Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case UiPort::Buttons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

UiPort::Answer answerOf(int button)
{
    switch (button) {
    case QMessageBox::Yes:
        return UiPort::Yes;
    case QMessageBox::No:
        return UiPort::No;
    case QMessageBox::Cancel:
        return UiPort::Cancel;
    default:
        return UiPort::Ok;
    }
}

} // namespace

UiPort::Answer WidgetsUi::messageBox(const QString& text, Buttons buttons, Icon icon,
                                     const QString& title, bool systemModal)
{
    QMessageBox box(messageIcon(icon), title, text, messageButtons(buttons));
    if (systemModal) {
        box.setWindowModality(Qt::ApplicationModal);
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    }
    return answerOf(box.exec());
}

void WidgetsUi::showInformationScreen()
{
    auto* screen = new FMain;
    screen->show();
}

bool WidgetsUi::activateWindow(const QString& titlePrefix)
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window->windowTitle().startsWith(titlePrefix)) {
            window->raise();
            window->activateWindow();
            return true;
        }
    }
    return false;
}

void WidgetsUi::unloadAllForms()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        window->close();
    }
}

} // namespace brindle
