#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QPushButton;

namespace brindle {

class FChooseAction;

// The action screen's window: renders FChooseAction and reports its clicks.
class ChooseActionWindow : public QWidget
{
    Q_OBJECT

public:
    explicit ChooseActionWindow(FChooseAction& form, QWidget* parent = nullptr);

    void render();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* transferPanel(const QString& panelName, QPushButton* arrow, const QString& target,
                           const QString& labelName, const QString& text,
                           const QString& descriptionName, const QString& description);
    void arrowClicked(bool (FChooseAction::*click)());
    void takeChoices();

    FChooseAction& m_form;
    QPushButton* m_toVEXO;
    QPushButton* m_toOutlook;
    QPushButton* m_settings;
    QComboBox* m_rules;
    QCheckBox* m_inactive;
    QList<QWidget*> m_importLabels;
};

} // namespace brindle
