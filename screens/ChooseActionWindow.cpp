#include "ChooseActionWindow.h"

#include "Artwork.h"
#include "FChooseAction.h"
#include "ScreenParts.h"
#include "WidgetPrompts.h"
#include "startup/MMain.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace brindle {

namespace {

QPushButton* arrowButton(const QString& objectName, ArrowKind kind, const QString& name,
                         qreal ratio)
{
    auto* button = screenButton(objectName, QString());
    const QSize size(88, 44);
    button->setIcon(QIcon(arrowPixmap(kind, size, ratio)));
    button->setIconSize(size);
    button->setAccessibleName(name);
    button->setToolTip(name);
    return button;
}

} // namespace

ChooseActionWindow::ChooseActionWindow(FChooseAction& form, QWidget* parent)
    : QWidget(parent), m_form(form)
{
    setObjectName(QStringLiteral("FChooseAction"));
    const qreal ratio = devicePixelRatioF();
    m_toVEXO = arrowButton(QStringLiteral("cmdToVEXO"), ArrowKind::Import, QStringLiteral("Import"),
                           ratio);
    m_toOutlook = arrowButton(QStringLiteral("cmdToOutlook"), ArrowKind::Export,
                              QStringLiteral("Export"), ratio);
    m_settings = screenButton(QStringLiteral("cmdSettings"), QStringLiteral("S&ettings"));
    auto* help = screenButton(QStringLiteral("cmdHelp"), QStringLiteral("&Help"));

    m_rules = new QComboBox;
    m_rules->setObjectName(QStringLiteral("cboRulesFilter"));
    auto [rulesPanel, rules] = panelWithLayout<QHBoxLayout>(QStringLiteral("picUpdateRules"));
    auto* rulesLabel =
        screenLabel(QStringLiteral("lblUpdateChoices"), QStringLiteral("Update Rules"));
    rulesLabel->setWordWrap(false);
    rules->addWidget(rulesLabel);
    rules->addWidget(m_rules, 1);

    m_inactive =
        new QCheckBox(QStringLiteral("Allow the export of inactive VEXO cards to Outlook"));
    m_inactive->setObjectName(QStringLiteral("chkDontTransferInactive"));

    auto* importPanel = transferPanel(
        QStringLiteral("picToVEXO"), m_toVEXO, QStringLiteral("VEXO"), QStringLiteral("lblToVEXO"),
        QStringLiteral("  Import Outlook contacts to your VEXO cards"),
        QStringLiteral("lblToVEXODescription"), QStringLiteral("Click the Import Arrow."));
    m_importLabels = importPanel->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    m_importLabels.removeAll(m_toVEXO);
    auto* exportPanel = transferPanel(
        QStringLiteral("picToOutlook"), m_toOutlook, QStringLiteral("Outlook"),
        QStringLiteral("lblToOutlook"),
        QStringLiteral("  Export VEXO cards to your Outlook contacts"),
        QStringLiteral("lblToOutlookDescription"), QStringLiteral("Click the Export Arrow."));

    // The two target names take the same width, so both panels line up.
    const QList<QLabel*> targets{
        importPanel->findChild<QLabel*>(QStringLiteral("lblTransferAction")),
        exportPanel->findChild<QLabel*>(QStringLiteral("lblTransferAction"))};
    const int targetWidth =
        std::max(targets[0]->sizeHint().width(), targets[1]->sizeHint().width());
    for (QLabel* target : targets) {
        target->setMinimumWidth(targetWidth);
    }

    auto* content = new QVBoxLayout;
    content->addWidget(importPanel);
    content->addWidget(rulesPanel);
    content->addSpacing(fontMetrics().height());
    content->addWidget(exportPanel);
    content->addWidget(m_inactive);
    content->addStretch();
    content->addWidget(screenLabel(QStringLiteral("lblLastConnect"), QString()));
    content->addLayout(releaseDetails());
    layoutWithBanner(this, content, footer(QStringLiteral("picFooter"), {m_settings, help}), 96);

    setTabOrder(m_toVEXO, m_rules);
    setTabOrder(m_rules, m_toOutlook);
    setTabOrder(m_toOutlook, m_inactive);
    setTabOrder(m_inactive, m_settings);
    setTabOrder(m_settings, help);

    connect(m_toVEXO, &QPushButton::clicked, this,
            [this] { arrowClicked(&FChooseAction::cmdToVEXO_Click); });
    connect(m_toOutlook, &QPushButton::clicked, this,
            [this] { arrowClicked(&FChooseAction::cmdToOutlook_Click); });
    connect(m_settings, &QPushButton::clicked, this, [this] {
        takeChoices();
        m_form.cmdSettings_Click();
        render();
    });
    connect(help, &QPushButton::clicked, this, [this] { m_form.cmdHelp_Click(); });
    connect(m_rules, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_form.cboRulesFilter.ListIndex = index; });
    connect(m_inactive, &QCheckBox::toggled, this,
            [this](bool ticked) { m_form.chkDontTransferInactive = ticked; });

    m_form.setRefresh([this] { render(); });
    render();
}

QWidget* ChooseActionWindow::transferPanel(const QString& panelName, QPushButton* arrow,
                                           const QString& target, const QString& labelName,
                                           const QString& text, const QString& descriptionName,
                                           const QString& description)
{
    auto [panel, grid] = panelWithLayout<QGridLayout>(panelName);
    auto* targetLabel = headingLabel(QStringLiteral("lblTransferAction"), target);
    targetLabel->setWordWrap(false);
    auto* heading = screenLabel(labelName, text);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    grid->addWidget(arrow, 0, 0, 2, 1);
    grid->addWidget(targetLabel, 0, 1, 2, 1);
    grid->addWidget(heading, 0, 2);
    grid->addWidget(screenLabel(descriptionName, description), 1, 2);
    grid->setColumnStretch(2, 1);
    return panel;
}

void ChooseActionWindow::takeChoices()
{
    m_form.cboRulesFilter.ListIndex = m_rules->currentIndex();
    m_form.chkDontTransferInactive = m_inactive->isChecked();
}

void ChooseActionWindow::arrowClicked(bool (FChooseAction::*click)())
{
    takeChoices();
    const bool unloadAll = (m_form.*click)();
    render();
    if (unloadAll) {
        unloadAllForms();
    }
}

void ChooseActionWindow::render()
{
    setWindowTitle(m_form.caption);
    m_toVEXO->setEnabled(m_form.cmdToVEXO.enabled);
    m_toOutlook->setEnabled(m_form.cmdToOutlook.enabled);
    m_settings->setEnabled(m_form.cmdSettings.enabled);
    for (QWidget* label : m_importLabels) {
        label->setEnabled(m_form.importLabelsEnabled);
    }
    {
        const QSignalBlocker blockRules(m_rules);
        const QSignalBlocker blockInactive(m_inactive);
        m_rules->clear();
        for (const ComboBox::Entry& entry : m_form.cboRulesFilter.entries) {
            m_rules->addItem(entry.text, entry.itemData);
        }
        m_rules->setCurrentIndex(m_form.cboRulesFilter.ListIndex);
        m_inactive->setChecked(m_form.chkDontTransferInactive);
    }
    setLabelText(this, QStringLiteral("lblLastConnect"), m_form.lblLastConnect);
    setLabelText(this, QStringLiteral("lblVersion"), m_form.lblVersion);
    followForm(this, m_form);
}

void ChooseActionWindow::closeEvent(QCloseEvent* event)
{
    // While a check or a run is under way the screen is busy: only an
    // unload at shutdown closes it then.
    if (!m_form.Enabled && !m_form.programExiting()) {
        event->ignore();
        return;
    }
    m_form.Visible = false;
    if (m_form.Form_QueryUnload()) {
        unloadAllForms();
    }
    event->accept();
}

} // namespace brindle
