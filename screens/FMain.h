#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace brindle {

// The information screen: shown when the program was started without a
// company file. Closing it ends the program.
class FMain : public QWidget
{
    Q_OBJECT

public:
    explicit FMain(QWidget* parent = nullptr);

    void SetLastConnected();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel* m_lastConnect;
};

} // namespace brindle
