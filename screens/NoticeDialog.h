#pragma once

#include <QDialog>

namespace brindle {

class Notice;

// A notice's window: its texts, its pictures, for the security notice the
// check box, and Continue. Continue, the close box and Escape all end in
// the notice's cmdOK_Click.
class NoticeDialog : public QDialog
{
    Q_OBJECT

public:
    explicit NoticeDialog(Notice& notice, QWidget* parent = nullptr);

public slots:
    void accept() override;
    void reject() override;

private:
    Notice& m_notice;
    bool m_answered = false;
};

} // namespace brindle
