#pragma once

#include <QWidget>

namespace brindle {

class FMain;

// The information screen's window: renders FMain.
class InformationWindow : public QWidget
{
    Q_OBJECT

public:
    explicit InformationWindow(FMain& form, QWidget* parent = nullptr);

    void render();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    FMain& m_form;
};

} // namespace brindle
