#include "platform/AppInfo.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(ProgramFolders, FollowTheVariableThenTheLibraryBesideTheExecutable)
{
    QTemporaryDir root;
    const QString self = root.filePath("opt/brindle");
    const QString bin = root.filePath("usr/bin");
    const QString home = root.filePath("home/.local/share");
    QDir().mkpath(self);
    ASSERT_TRUE(QFile(self + '/' + brindle::cardLibraryFileName).open(QIODevice::WriteOnly));
    // BRINDLE_APP_DIR, the executable's folder | program, executable, library folder, installed
    const std::pair<QStringList, QString> rows[] = {
        {{"/srv/brindle/", bin}, "/srv/brindle /srv/brindle /srv/brindle 0"},
        {{"", self + "/."}, self + ' ' + self + ' ' + self + " 0"},
        {{"", bin}, home + "/brindle " + bin + ' ' + root.filePath("usr/lib/brindle") + " 1"},
    };
    for (const auto& [given, expected] : rows) {
        const brindle::ProgramFolders got = brindle::programFolders(given[0], given[1], home);
        EXPECT_EQ(
            QStringList({got.program, got.executable, got.library, QString::number(got.installed)})
                .join(' '),
            expected);
    }
}

} // namespace
