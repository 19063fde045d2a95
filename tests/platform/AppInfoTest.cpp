#include "platform/AppInfo.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using brindle::ProgramFolders;

TEST(ProgramFolders, FollowTheVariableThenTheLibraryBesideTheExecutable)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString self = root.filePath(QStringLiteral("opt/brindle"));
    const QString bin = root.filePath(QStringLiteral("usr/bin"));
    QDir().mkpath(self);
    QFile library(self + QLatin1Char('/') + QLatin1String(brindle::cardLibraryFileName));
    ASSERT_TRUE(library.open(QIODevice::WriteOnly));
    const QString home = root.filePath(QStringLiteral("home/.local/share"));
    const QString usrLib = root.filePath(QStringLiteral("usr/lib/brindle"));

    struct Row
    {
        QString variable, exeFolder;
        ProgramFolders expected;
    } rows[] = {
        {QStringLiteral("/srv/brindle/"), bin, {"/srv/brindle", "/srv/brindle", "/srv/brindle"}},
        {{}, self + QStringLiteral("/."), {self, self, self}},
        {{}, bin, {home + QStringLiteral("/brindle"), bin, usrLib, true}},
    };
    for (const Row& row : rows) {
        const ProgramFolders got = brindle::programFolders(row.variable, row.exeFolder, home);
        EXPECT_EQ(got.program, row.expected.program) << qPrintable(row.exeFolder);
        EXPECT_EQ(got.executable, row.expected.executable) << qPrintable(row.exeFolder);
        EXPECT_EQ(got.library, row.expected.library) << qPrintable(row.exeFolder);
        EXPECT_EQ(got.installed, row.expected.installed) << qPrintable(row.exeFolder);
    }
}

} // namespace
