#pragma once

#include "ScriptedPrompts.h"
#include "platform/InstanceGuard.h"
#include "registry/IniHive.h"
#include "startup/ErrorLog.h"
#include "startup/MMain.h"
#include "startup/ProgramContext.h"
#include "startup/RunSettings.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace brindle::test {

// A program folder, a registry hive, an instance guard and a scripted user
// of the test's own, and a fixed clock. The globals start as at program start.
class ProgramFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        qputenv("BRINDLE_APP_DIR", folder.path().toUtf8());
        qputenv("BRINDLE_REGISTRY", hive->fileName().toUtf8());
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    }

    void TearDown() override
    {
        qunsetenv("BRINDLE_APP_DIR");
        qunsetenv("BRINDLE_REGISTRY");
    }

    QString brindleValue(const QString& name) const
    {
        return hive->readValue("Software\\VEXO\\VEXO Brindle", name);
    }
    void setBrindleValue(const QString& name, const QString& data)
    {
        ASSERT_TRUE(hive->writeValue("Software\\VEXO\\VEXO Brindle", name, data));
    }
    void enableLog() { setBrindleValue("LogFile", "TRUE"); }

    QByteArray hiveText() const
    {
        QFile file(hive->fileName());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The log's lines, deciphered; a line too long to read shows as "<too long>".
    QStringList logLines() const
    {
        QFile file(MMain::logFilePath());
        if (!file.open(QIODevice::ReadOnly)) {
            return {};
        }
        QStringList lines;
        MMain::LogReader reader(file);
        QByteArray line;
        for (auto read = reader.next(line); read != MMain::LogReader::Result::End;
             read = reader.next(line)) {
            lines.append(read == MMain::LogReader::Result::Line ? MMain::decipherLogLine(line)
                                                                : QStringLiteral("<too long>"));
        }
        return lines;
    }

    QTemporaryDir folder;
    std::unique_ptr<IniHive> hive = std::make_unique<IniHive>(folder.filePath("hklm.ini"));
    // This process's previous-instance test; lock and socket in folder.
    std::unique_ptr<InstanceGuard> guard =
        std::make_unique<InstanceGuard>("brindle", folder.path());
    ScriptedPrompts prompts;
    ProgramContext context{
        {.registry = hive.get(), .prompts = &prompts, .instanceGuard = guard.get(), .clock = [] {
             return QDateTime(QDate(2026, 12, 4), QTime(9, 15, 2));
         }}};
    // The settings as at program start.
    RunSettings settings;
};

} // namespace brindle::test
