#pragma once

#include <QDialog>
#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

namespace brindle {

class FUpdateChoice;

// Pixels for a length in twips (1,440 to the inch) at a logical DPI.
int twipsToPixels(qint32 twips, qreal logicalDpi);

// The confirmation dialog's window: renders an activated FUpdateChoice and
// hands its buttons and close box to it. exec() returns once the dialog is
// answered or closed.
class UpdateChoiceDialog : public QDialog
{
    Q_OBJECT

public:
    explicit UpdateChoiceDialog(FUpdateChoice& dialog, QWidget* parent = nullptr);

    void render();

public slots:
    // The close box and Escape: the dialog asks whether to cancel the run
    // but closes either way.
    void reject() override;

private:
    QWidget* detailHeader();
    QWidget* changes();
    QPushButton* button(const QString& name, void (*click)(FUpdateChoice&));
    void size();

    FUpdateChoice& m_dialog;
    QWidget* m_header;
    QWidget* m_changeDetails;
    QLabel* m_warning;
    QLabel* m_moreThanFour;
    QLabel* m_lastNameLabel;
    QLabel* m_firstNameLabel;
    QLineEdit* m_lastName;
    QLineEdit* m_firstName;
    QLineEdit* m_cardId;
    struct Row
    {
        QLabel* label;
        QLineEdit* existing;
        QLineEdit* updated;
    };
    std::array<Row, 4> m_rows{};
    QPushButton* m_ok;
    QPushButton* m_reject;
    QPushButton* m_updateAll;
    QPushButton* m_cancel;
};

} // namespace brindle
