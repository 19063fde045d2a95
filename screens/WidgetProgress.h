#pragma once

#include "startup/RunProgress.h"

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;
class QStackedWidget;

namespace brindle {

// The progress window of a run: "Brindle - Matching VEXO Cards".
class WidgetProgress : public QWidget, public RunProgress
{
    Q_OBJECT

public:
    explicit WidgetProgress(QWidget* parent = nullptr);

    using QWidget::show;
    void show(Controls& controls) override;
    void unload() override;
    void setCaption(const QString& caption) override;
    void setValue(double value) override;
    void setPanelVisible(Panel panel, bool visible) override;
    void setPointer(Pointer pointer) override;
    void setButtonsEnabled(bool cancel, bool help) override;
    void pumpMessages() override;
    void pause(int milliseconds) override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* waitingPanel(const QString& name, const QString& titleName, const QString& title,
                          const QString& messageName, const QString& message);
    void showCurrentPanel();

    Controls* m_controls = nullptr;
    QStackedWidget* m_panels;
    QWidget* m_progressPanel;
    QWidget* m_vexoWaiting;
    QWidget* m_outlookWaiting;
    QProgressBar* m_bar;
    QLabel* m_caption;
    QPushButton* m_cancel;
    QPushButton* m_help;
};

} // namespace brindle
