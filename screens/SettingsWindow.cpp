#include "SettingsWindow.h"

#include "FAdvanced.h"
#include "ScreenParts.h"
#include "startup/MMain.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace brindle {

SettingsWindow::SettingsWindow(FAdvanced& form, QWidget* parent) : QWidget(parent), m_form(form)
{
    setObjectName(QStringLiteral("FAdvanced"));
    auto [panel, settings] = panelWithLayout<QVBoxLayout>(QStringLiteral("picSettings"));
    settings->addWidget(headingLabel(QStringLiteral("lblCustomFieldMapping"),
                                     QStringLiteral("Custom Field Settings")));
    settings->addWidget(screenLabel(QStringLiteral("lblCustomDescription"),
                                    QStringLiteral("Select a matching Outlook contact field into "
                                                   "which you want to export your VEXO custom "
                                                   "fields.")));
    auto* grid = new QGridLayout;
    for (int box = 1; box <= 3; ++box) {
        auto* label = screenLabel(QStringLiteral("lblCustomField%1").arg(box),
                                  QStringLiteral("Custom Field %1").arg(box));
        label->setWordWrap(false);
        QComboBox* combo = m_boxes[size_t(box - 1)] = new QComboBox;
        combo->setObjectName(QStringLiteral("cboCustomField%1").arg(box));
        combo->installEventFilter(this);
        label->setBuddy(combo);
        grid->addWidget(label, box - 1, 0);
        grid->addWidget(combo, box - 1, 1);
        connect(combo, &QComboBox::currentIndexChanged, this,
                [this, box](int index) { m_form.cboCustomField(box).ListIndex = index; });
    }
    grid->setColumnStretch(2, 1);
    settings->addLayout(grid);
    settings->addSpacing(fontMetrics().height());
    settings->addWidget(headingLabel(QStringLiteral("lblTransferRules"),
                                     QStringLiteral("Import and Export Rules")));
    m_folders = new QCheckBox(
        QStringLiteral("Import and export all VEXO cards to the default contacts folder."));
    m_folders->setObjectName(QStringLiteral("chkDisableOutlookFolders"));
    m_folders->setToolTip(QStringLiteral("NOTE: Required for Active Sync with Mobile devices."));
    settings->addWidget(m_folders);
    for (const char* note :
         {"VEXO cards exported to your Outlook contacts are by default saved to folders grouped "
          "by card type.",
          "If you synchronize to your Outlook contacts with a Personal Digital Assistant (PDA), "
          "you need to save your VEXO cards to the default Microsoft Outlook contacts folder.",
          "(Required for sharing contacts with your PDA)"}) {
        settings->addWidget(
            screenLabel(QStringLiteral("lblOutlookFolderNote"), QString::fromLatin1(note)));
    }
    settings->addStretch();

    auto* accept = screenButton(QStringLiteral("cmdAccept"), QStringLiteral("&OK"));
    auto* help = screenButton(QStringLiteral("cmdHelp"), QStringLiteral("&Help"));
    accept->setDefault(true);
    auto* content = new QVBoxLayout;
    content->addWidget(panel, 1);
    content->addLayout(releaseDetails());
    layoutWithBanner(this, content, footer(QStringLiteral("PicFooter"), {accept, help}));

    connect(m_folders, &QCheckBox::toggled, this,
            [this](bool ticked) { m_form.chkDisableOutlookFolders = ticked; });
    connect(accept, &QPushButton::clicked, this, [this] {
        m_form.cmdAccept_Click();
        render();
    });
    connect(help, &QPushButton::clicked, this, [this] { m_form.cmdHelp_Click(); });
    m_form.setRefresh([this] { render(); });
    render();
}

void SettingsWindow::renderBox(int box)
{
    QComboBox* combo = m_boxes[size_t(box - 1)];
    const ComboBox& logic = m_form.cboCustomField(box);
    const QSignalBlocker block(combo);
    combo->clear();
    for (const ComboBox::Entry& entry : logic.entries) {
        combo->addItem(entry.text, entry.itemData);
    }
    combo->setCurrentIndex(logic.ListIndex);
}

void SettingsWindow::render()
{
    setWindowTitle(m_form.caption);
    for (int box = 1; box <= 3; ++box) {
        renderBox(box);
    }
    {
        const QSignalBlocker block(m_folders);
        m_folders->setChecked(m_form.chkDisableOutlookFolders);
    }
    setLabelText(this, QStringLiteral("lblVersion"), m_form.lblVersion);
    followForm(this, m_form);
}

bool SettingsWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Leaving a box rebuilds the other two; opening its own list does not.
    if (event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
        for (int box = 1; box <= 3; ++box) {
            if (watched == m_boxes[size_t(box - 1)]) {
                m_form.cboCustomField_LostFocus(box);
                render();
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void SettingsWindow::closeEvent(QCloseEvent* event)
{
    if (m_form.programExiting()) {
        event->accept();
        return;
    }
    // The close box returns to the action screen; the logic hides this window.
    event->ignore();
    m_form.Form_QueryUnload();
}

} // namespace brindle
