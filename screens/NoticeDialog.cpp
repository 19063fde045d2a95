#include "NoticeDialog.h"

#include "Artwork.h"
#include "ScreenParts.h"
#include "dialogs/Notices.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace brindle {

namespace {

QLabel* picture(const QString& objectName, const QPixmap& pixmap)
{
    auto* label = new QLabel;
    label->setObjectName(objectName);
    label->setPixmap(pixmap);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

// The security notice: its six texts numbered, the two crops of the access
// prompt beside the steps they show.
QLayout* securityNoticeBody(const QStringList& texts, qreal ratio)
{
    auto* body = new QVBoxLayout;
    for (int i = 0; i < texts.size(); ++i) {
        body->addWidget(screenLabel(QStringLiteral("lblWarning%1").arg(i + 1), texts[i]));
    }
    auto* pictures = new QHBoxLayout;
    pictures->addWidget(picture(QStringLiteral("picAccessPrompt1"), accessPromptPicture(1, ratio)));
    pictures->addWidget(picture(QStringLiteral("picAccessPrompt2"), accessPromptPicture(2, ratio)));
    body->insertLayout(2, pictures);
    return body;
}

QLayout* noticeBody(const Notice& notice, qreal ratio)
{
    auto* body = new QVBoxLayout;
    for (const QString& text : notice.texts()) {
        body->addWidget(screenLabel(QStringLiteral("lblWarning"), text));
    }
    const ScreenShot kind = notice.objectName() == QLatin1String("FVEXOEmptyMsg")
                                ? ScreenShot::BlankField
                                : ScreenShot::Categories;
    body->addWidget(picture(QStringLiteral("picScreenShot"), screenShotPicture(kind, ratio)));
    return body;
}

} // namespace

NoticeDialog::NoticeDialog(Notice& notice, QWidget* parent) : QDialog(parent), m_notice(notice)
{
    setObjectName(notice.objectName());
    setWindowTitle(notice.title());
    setModal(true);
    const qreal ratio = devicePixelRatioF();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(notice.hasCheckBox() ? securityNoticeBody(notice.texts(), ratio)
                                           : noticeBody(notice, ratio));
    QList<QPushButton*> buttons;
    auto* cont = screenButton(QStringLiteral("cmdOK"), QStringLiteral("Continue"));
    cont->setDefault(true);
    auto* row = new QHBoxLayout;
    if (notice.hasCheckBox()) {
        auto* tick = new QCheckBox(QStringLiteral("Do not show this notice again"));
        tick->setObjectName(QStringLiteral("chkShowNotice"));
        tick->setChecked(notice.chkShowNotice);
        connect(tick, &QCheckBox::toggled, this,
                [this](bool ticked) { m_notice.chkShowNotice = ticked; });
        row->addWidget(tick);
    }
    row->addStretch();
    row->addWidget(cont);
    layout->addLayout(row);
    layout->addItem(brindle::minimumWidth(this, 76));
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    connect(cont, &QPushButton::clicked, this, &QDialog::accept);
    cont->setFocus(Qt::OtherFocusReason);
    fitToContent(this);
}

void NoticeDialog::accept()
{
    if (!m_answered) {
        m_answered = true;
        m_notice.cmdOK_Click();
    }
    QDialog::accept();
}

void NoticeDialog::reject()
{
    accept();
}

} // namespace brindle
