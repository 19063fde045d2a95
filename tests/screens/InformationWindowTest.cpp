#include "screens/InformationWindow.h"

#include "ProgramFixture.h"
#include "screens/FMain.h"
#include "startup/Settings.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>

namespace {

using namespace brindle;
using brindle::test::ProgramFixture;

class FMainTest : public ProgramFixture
{
protected:
    static QString text(const QWidget& screen, const char* name)
    {
        const auto* label = screen.findChild<QLabel*>(QString::fromLatin1(name));
        return label ? label->text() : QStringLiteral("<missing>");
    }
};

TEST_F(FMainTest, ShowsItsTextsAndVersion)
{
    FMain form;
    form.Load();
    InformationWindow screen(form);
    EXPECT_EQ(screen.windowTitle(), QStringLiteral("VEXO Brindle"));
    EXPECT_EQ(text(screen, "lblHeader"), QStringLiteral("Brindle Information"));
    EXPECT_EQ(text(screen, "lblRelease"), QStringLiteral("Release Details"));
    EXPECT_EQ(text(screen, "lblVersion"), QStringLiteral("v") + QStringLiteral(BRINDLE_VERSION));
    QStringList body;
    for (const QLabel* label : screen.findChildren<QLabel*>(QStringLiteral("lblBody"))) {
        body.append(label->text());
    }
    EXPECT_EQ(body,
              (QStringList{QStringLiteral("This software is used by VEXO accounting software to "
                                          "synchronise VEXO cards with MS Outlook contacts."),
                           QStringLiteral("You can only use this software from within your VEXO "
                                          "accounting software."),
                           QStringLiteral("For more information on how to synchronise VEXO cards "
                                          "with MS Outlook contacts, see your VEXO user "
                                          "documentation.")}));
    const auto* close = screen.findChild<QPushButton*>(QStringLiteral("cmdStart"));
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->text(), QStringLiteral("&Close"));
}

TEST_F(FMainTest, LastConnectedCaptionFollowsTheRegistry)
{
    const auto shown = [] {
        FMain form;
        form.Load();
        return text(InformationWindow(form), "lblLastConnect");
    };
    EXPECT_EQ(shown(), QStringLiteral("First Time Use"));
    setBrindleValue(QStringLiteral("LastConnectedDate"), QStringLiteral("someday"));
    EXPECT_EQ(shown(), QStringLiteral("Last Connected:"));
}

TEST_F(FMainTest, CloseEndsTheProgramWithoutSavingSettings)
{
    ASSERT_EQ(MMain::Main(QString()), MMain::FirstScreen::Information);
    FMain form;
    InformationWindow screen(form);
    form.Show();
    EXPECT_TRUE(screen.isVisible());
    screen.findChild<QPushButton*>(QStringLiteral("cmdStart"))->click();
    EXPECT_FALSE(screen.isVisible()) << "the screen is closed";
    EXPECT_FALSE(form.Visible);
    EXPECT_TRUE(brindleValue(QStringLiteral("LastConnectedDate")).isNull());
}

} // namespace
