#pragma once

#include <QWidget>
#include <array>

class QCheckBox;
class QComboBox;

namespace brindle {

class FAdvanced;

// The settings screen's window: renders FAdvanced and reports its events.
class SettingsWindow : public QWidget
{
    Q_OBJECT

public:
    explicit SettingsWindow(FAdvanced& form, QWidget* parent = nullptr);

    void render();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void renderBox(int box);

    FAdvanced& m_form;
    std::array<QComboBox*, 3> m_boxes{};
    QCheckBox* m_folders;
};

} // namespace brindle
