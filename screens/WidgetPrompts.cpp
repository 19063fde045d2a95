#include "WidgetPrompts.h"

#include "platform/PlatformError.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>
#include <QWidget>

namespace brindle {

namespace {

QMessageBox::Icon messageIcon(Prompts::Icon icon)
{
    switch (icon) {
    case Prompts::Icon::Critical:
        return QMessageBox::Critical;
    case Prompts::Icon::Question:
        return QMessageBox::Question;
    case Prompts::Icon::Exclamation:
        return QMessageBox::Warning;
    case Prompts::Icon::Information:
        return QMessageBox::Information;
    case Prompts::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons messageButtons(Prompts::Buttons buttons)
{
    switch (buttons) {
    case Prompts::Buttons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case Prompts::Buttons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case Prompts::Buttons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

Prompts::Answer answerOf(int button)
{
    switch (button) {
    case QMessageBox::Yes:
        return Prompts::Yes;
    case QMessageBox::No:
        return Prompts::No;
    case QMessageBox::Cancel:
        return Prompts::Cancel;
    default:
        return Prompts::Ok;
    }
}

} // namespace

Prompts::Answer WidgetPrompts::messageBox(const QString& text, Buttons buttons, Icon icon,
                                          const QString& title, bool systemModal)
{
    QMessageBox box(messageIcon(icon), title, text, messageButtons(buttons));
    if (systemModal) {
        box.setWindowModality(Qt::ApplicationModal);
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    }
    return answerOf(box.exec());
}

void WidgetPrompts::showUpdateChoice(FUpdateChoice&)
{
    throw PlatformError(ErrorNumber::Unspecified, QStringLiteral("pending"));
}

void WidgetPrompts::showNotice(Notice&)
{
    throw PlatformError(ErrorNumber::Unspecified, QStringLiteral("pending"));
}

void WidgetPrompts::showSummary(FSummary&)
{
    throw PlatformError(ErrorNumber::Unspecified, QStringLiteral("pending"));
}

qint32 WidgetPrompts::openFile(const QString& file, const QString&)
{
    constexpr qint32 fileNotFound = 2;
    constexpr qint32 noAssociation = 31;
    constexpr qint32 opened = 42;
    if (!QFileInfo::exists(file)) {
        return fileNotFound;
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(file)) ? opened : noAssociation;
}

void unloadAllForms()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        window->close();
    }
}

} // namespace brindle
