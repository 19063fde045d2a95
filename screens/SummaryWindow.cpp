#include "SummaryWindow.h"

#include "ScreenParts.h"
#include "WidgetPrompts.h"
#include "review/FSummary.h"
#include "startup/MMain.h"
#include "startup/Shell.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace brindle {

namespace {

struct CounterNames
{
    const char* label;
    const char* value;
    const char* unit;
};

constexpr CounterNames counterNames[] = {
    {"lblTransferred", "txtTransferred", "lblTransferredCards"},
    {"lblUpdated", "txtUpdated", "lblUpdatedCards"},
    {"lblRejected", "txtRejected", "lblRejectedCards"}};

} // namespace

SummaryWindow::SummaryWindow(FSummary& summary, QWidget* parent)
    : QWidget(parent), m_summary(summary)
{
    setObjectName(QStringLiteral("FSummary"));
    auto [finish, body] = panelWithLayout<QVBoxLayout>(QStringLiteral("picFinish"));
    body->addWidget(headingLabel(QStringLiteral("lblTransferSummary"), QString()));
    body->addWidget(headingLabel(QStringLiteral("lblFinishHeader"), QString()));
    body->addWidget(screenLabel(QStringLiteral("lblFinishBody"), QString()));
    auto* grid = new QGridLayout;
    int row = 0;
    for (const CounterNames& names : counterNames) {
        auto* label = screenLabel(QString::fromLatin1(names.label), QString());
        label->setWordWrap(false);
        auto* value = new QLineEdit;
        value->setObjectName(QString::fromLatin1(names.value));
        value->setReadOnly(true);
        value->setAlignment(Qt::AlignRight);
        value->setMaximumWidth(fontMetrics().averageCharWidth() * 16);
        auto* unit = screenLabel(QString::fromLatin1(names.unit), QString());
        unit->setWordWrap(false);
        grid->addWidget(label, row, 0);
        grid->addWidget(value, row, 1);
        grid->addWidget(unit, row++, 2);
    }
    grid->setColumnStretch(3, 1);
    body->addLayout(grid);
    body->addStretch();

    auto* help = screenButton(QStringLiteral("cmdHelp"), QStringLiteral("Help"));
    auto* close = screenButton(QStringLiteral("cmdClose"), QStringLiteral("Close"));
    close->setDefault(true);
    connect(help, &QPushButton::clicked, this, [this] { m_summary.cmdHelp_Click(); });
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    auto* content = new QVBoxLayout;
    content->addWidget(finish, 1);
    content->addLayout(releaseDetails());
    layoutWithBanner(this, content, footer(QStringLiteral("picFooter"), {help, close}));
    render();
    close->setFocus(Qt::OtherFocusReason);
}

void SummaryWindow::render()
{
    setWindowTitle(m_summary.caption);
    setLabelText(this, QStringLiteral("lblTransferSummary"), m_summary.lblTransferSummary);
    setLabelText(this, QStringLiteral("lblFinishHeader"), m_summary.lblFinishHeader);
    setLabelText(this, QStringLiteral("lblFinishBody"), m_summary.lblFinishBody);
    const FSummary::Counter* counters[] = {&m_summary.transferred, &m_summary.updated,
                                           &m_summary.rejected};
    for (size_t i = 0; i < std::size(counters); ++i) {
        const CounterNames& names = counterNames[i];
        setLabelText(this, QString::fromLatin1(names.label), counters[i]->label);
        setLabelText(this, QString::fromLatin1(names.unit), counters[i]->unit);
        if (auto* value = findChild<QLineEdit*>(QString::fromLatin1(names.value))) {
            value->setText(counters[i]->value);
        }
    }
    fitToContent(this);
}

void SummaryWindow::closeEvent(QCloseEvent* event)
{
    if (!m_summary.programExiting() && m_summary.cmdClose_Click()) {
        unloadAllForms();
    }
    event->accept();
}

} // namespace brindle
