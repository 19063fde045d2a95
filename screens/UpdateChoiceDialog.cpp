#include "UpdateChoiceDialog.h"

#include "Artwork.h"
#include "ScreenParts.h"
#include "review/FUpdateChoice.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace brindle {

namespace {

constexpr qint32 twipsPerInch = 1440;
constexpr qint32 formWidth = 7800;

QLineEdit* valueBox(const QString& objectName)
{
    auto* box = new QLineEdit;
    box->setObjectName(objectName);
    box->setReadOnly(true);
    return box;
}

// Texts are joined with CR LF; a label breaks lines at LF alone.
QString display(const QString& text)
{
    return QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

void apply(QWidget* widget, const FUpdateChoice::Control& control)
{
    widget->setVisible(control.visible);
    widget->setEnabled(control.enabled);
}

} // namespace

int twipsToPixels(qint32 twips, qreal logicalDpi)
{
    return qRound(twips * logicalDpi / twipsPerInch);
}

UpdateChoiceDialog::UpdateChoiceDialog(FUpdateChoice& dialog, QWidget* parent)
    : QDialog(parent), m_dialog(dialog)
{
    setObjectName(QStringLiteral("FUpdateChoice"));
    setModal(true);
    m_warning = screenLabel(QStringLiteral("lblWarning"), QString());
    auto* finish = new QWidget;
    finish->setObjectName(QStringLiteral("picFinish"));
    auto* finishLayout = new QVBoxLayout(finish);
    finishLayout->addWidget(m_warning);

    auto [changesPanel, changesLayout] = panelWithLayout<QVBoxLayout>(QStringLiteral("picChanges"));
    changesLayout->addWidget(detailHeader());
    changesLayout->addWidget(changes());
    m_moreThanFour = screenLabel(QStringLiteral("lblMoreThanFive"), QString());

    m_ok = button(QStringLiteral("cmdOK"), [](FUpdateChoice& d) { d.cmdOK_Click(); });
    m_reject = button(QStringLiteral("cmdReject"), [](FUpdateChoice& d) { d.cmdReject_Click(); });
    m_updateAll =
        button(QStringLiteral("cmdUpdateAll"), [](FUpdateChoice& d) { d.cmdUpdateAll_Click(); });
    m_cancel = button(QStringLiteral("cmdCancel"), [](FUpdateChoice& d) { d.cmdCancel_Click(); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new Banner(Qt::Horizontal, QStringLiteral("imgHBanner")));
    layout->addWidget(finish);
    layout->addWidget(changesPanel);
    layout->addWidget(m_moreThanFour);
    layout->addStretch();
    layout->addWidget(footer(QStringLiteral("picFooter"), {m_ok, m_reject, m_updateAll, m_cancel}));
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    render();
}

QWidget* UpdateChoiceDialog::detailHeader()
{
    m_header = new QWidget;
    m_header->setObjectName(QStringLiteral("picDetailHeader"));
    auto* grid = new QGridLayout(m_header);
    m_lastNameLabel = screenLabel(QStringLiteral("lblLastName"), QString());
    m_firstNameLabel = screenLabel(QStringLiteral("lblFirstName"), QString());
    m_lastName = valueBox(QStringLiteral("txtLastName"));
    m_firstName = valueBox(QStringLiteral("txtFirstName"));
    m_cardId = valueBox(QStringLiteral("txtCardIdentification"));
    auto* cardIdLabel =
        screenLabel(QStringLiteral("lblCardIdentification"), QStringLiteral("VEXO Card ID"));
    const std::pair<QLabel*, QLineEdit*> lines[] = {
        {m_lastNameLabel, m_lastName}, {m_firstNameLabel, m_firstName}, {cardIdLabel, m_cardId}};
    int row = 0;
    for (const auto& [label, box] : lines) {
        label->setWordWrap(false);
        grid->addWidget(label, row, 0);
        grid->addWidget(box, row++, 1);
    }
    grid->setColumnStretch(1, 1);
    return m_header;
}

QWidget* UpdateChoiceDialog::changes()
{
    m_changeDetails = new QWidget;
    m_changeDetails->setObjectName(QStringLiteral("picChangeDetails"));
    auto* grid = new QGridLayout(m_changeDetails);
    auto* existing =
        screenLabel(QStringLiteral("lblFinishHeader"), QStringLiteral(" Existing Detail"));
    auto* updated = screenLabel(QStringLiteral("Label1"), QStringLiteral(" New Detail"));
    for (QLabel* heading : {existing, updated}) {
        QFont font = heading->font();
        font.setBold(true);
        heading->setFont(font);
    }
    grid->addWidget(existing, 0, 1);
    grid->addWidget(updated, 0, 2);
    for (int i = 0; i < 4; ++i) {
        Row& row = m_rows[size_t(i)];
        row.label = screenLabel(QStringLiteral("lblChangeDetail"), QString());
        row.existing = valueBox(QStringLiteral("txtChangeExisting"));
        row.updated = valueBox(QStringLiteral("txtChangeNew"));
        grid->addWidget(row.label, i + 1, 0);
        grid->addWidget(row.existing, i + 1, 1);
        grid->addWidget(row.updated, i + 1, 2);
    }
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
    return m_changeDetails;
}

QPushButton* UpdateChoiceDialog::button(const QString& name, void (*click)(FUpdateChoice&))
{
    auto* pushButton = screenButton(name, QString());
    pushButton->setAutoDefault(false);
    connect(pushButton, &QPushButton::clicked, this, [this, click] {
        click(m_dialog);
        if (m_dialog.hidden) {
            accept();
        }
    });
    return pushButton;
}

void UpdateChoiceDialog::render()
{
    setWindowTitle(m_dialog.caption);
    m_warning->setText(display(m_dialog.lblWarning));
    m_lastNameLabel->setText(m_dialog.lblLastName.caption);
    apply(m_lastNameLabel, m_dialog.lblLastName);
    m_firstNameLabel->setText(m_dialog.lblFirstName.caption);
    apply(m_firstNameLabel, m_dialog.lblFirstName);
    m_lastName->setText(m_dialog.txtLastName.caption);
    apply(m_lastName, m_dialog.txtLastName);
    m_firstName->setText(m_dialog.txtFirstName.caption);
    apply(m_firstName, m_dialog.txtFirstName);
    m_cardId->setText(m_dialog.txtCardIdentification.caption);
    bool anyRow = false;
    for (size_t i = 0; i < m_rows.size(); ++i) {
        const FUpdateChoice::ChangeRow& logic = m_dialog.rows[i];
        const Row& row = m_rows[i];
        row.label->setText(logic.label);
        row.existing->setText(logic.existing);
        row.updated->setText(logic.updated);
        for (QWidget* widget :
             {static_cast<QWidget*>(row.label), static_cast<QWidget*>(row.existing),
              static_cast<QWidget*>(row.updated)}) {
            widget->setVisible(logic.visible);
        }
        anyRow = anyRow || logic.visible;
    }
    m_changeDetails->setVisible(anyRow);
    m_moreThanFour->setText(m_dialog.lblMoreThanFive.caption);
    apply(m_moreThanFour, m_dialog.lblMoreThanFive);
    const std::pair<QPushButton*, const FUpdateChoice::Control*> buttons[] = {
        {m_ok, &m_dialog.cmdOK},
        {m_reject, &m_dialog.cmdReject},
        {m_updateAll, &m_dialog.cmdUpdateAll},
        {m_cancel, &m_dialog.cmdCancel}};
    for (const auto& [pushButton, control] : buttons) {
        pushButton->setText(control->caption);
        apply(pushButton, *control);
    }
    // Enter answers with the first button that can answer.
    QPushButton* defaultButton = m_ok->isVisibleTo(this) && m_ok->isEnabled() ? m_ok : m_reject;
    defaultButton->setDefault(true);
    defaultButton->setFocus(Qt::OtherFocusReason);
    size();
}

void UpdateChoiceDialog::size()
{
    const FUpdateChoice::Heights& heights = m_dialog.heights;
    const qreal dpi = logicalDpiY();
    const auto pixels = [dpi](qint32 twips) { return twipsToPixels(twips, dpi); };
    m_header->setMinimumHeight(pixels(heights.picDetailHeader));
    m_changeDetails->setMinimumHeight(pixels(heights.picChangeDetails));
    layout()->activate();
    const int width = qMax(pixels(formWidth), minimumSizeHint().width());
    const int height = qMax(pixels(heights.form), heightForWidth(width));
    setFixedSize(width, qMax(height, minimumSizeHint().height()));
    keepFitted(this, [this] { size(); });
    // A dialog with an owner opens centred over it.
    if (heights.centred && !parentWidget()) {
        if (const QScreen* screen = this->screen()) {
            const QRect available = screen->availableGeometry();
            move(available.center() - QPoint(this->width() / 2, this->height() / 2));
        }
    }
}

void UpdateChoiceDialog::reject()
{
    m_dialog.Form_QueryUnload();
    QDialog::reject();
}

} // namespace brindle
