#pragma once

#include <QWidget>

namespace brindle {

class FSummary;

// The summary's window. Close and the window's frame end the program.
class SummaryWindow : public QWidget
{
    Q_OBJECT

public:
    explicit SummaryWindow(FSummary& summary, QWidget* parent = nullptr);

    void render();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    FSummary& m_summary;
};

} // namespace brindle
