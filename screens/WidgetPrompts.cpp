#include "WidgetPrompts.h"

#include "NoticeDialog.h"
#include "SummaryWindow.h"
#include "UpdateChoiceDialog.h"
#include "review/FUpdateChoice.h"

#include <QApplication>
#include <QDesktopServices>
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

// The window a dialog belongs to: the open modal dialog, else the run's
// progress window, else the active window, else any window on screen, so a
// dialog never hides behind one.
QWidget* dialogParent()
{
    if (QWidget* modal = QApplication::activeModalWidget()) {
        return modal;
    }
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window->objectName() == QLatin1String("FProcess")) {
            return window;
        }
    }
    if (QWidget* active = QApplication::activeWindow(); active && active->isVisible()) {
        return active;
    }
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window->isWindow() && !window->inherits("QMenu")) {
            return window;
        }
    }
    return nullptr;
}

} // namespace

WidgetPrompts::WidgetPrompts() = default;
WidgetPrompts::~WidgetPrompts() = default;

Prompts::Answer WidgetPrompts::messageBox(const QString& text, Buttons buttons, Icon icon,
                                          const QString& title, bool systemModal)
{
    QMessageBox box(messageIcon(icon), title,
                    QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")),
                    messageButtons(buttons), dialogParent());
    if (systemModal) {
        box.setWindowModality(Qt::ApplicationModal);
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    }
    return answerOf(box.exec());
}

void WidgetPrompts::showUpdateChoice(FUpdateChoice& dialog)
{
    dialog.Form_Activate();
    UpdateChoiceDialog window(dialog, dialogParent());
    window.exec();
}

void WidgetPrompts::showNotice(Notice& notice)
{
    NoticeDialog window(notice, dialogParent());
    window.exec();
}

void WidgetPrompts::showSummary(FSummary& summary)
{
    m_summary = std::make_unique<SummaryWindow>(summary);
    m_summary->show();
    m_summary->raise();
    m_summary->activateWindow();
}

SummaryWindow* WidgetPrompts::summaryWindow() const
{
    return m_summary.get();
}

qint32 WidgetPrompts::openFile(const QString& file, const QString&)
{
    return openExisting(file, [](const QString& existing) {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(existing));
    });
}

void unloadAllForms()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        window->close();
    }
}

} // namespace brindle
