#include "ReportTestSupport.h"

#include "startup/ErrorLog.h"
#include "startup/MMain.h"

#include <QFile>
#include <QLocale>

namespace brindle::testing {

QString MemoryRegistry::readValue(const QString& keyPath, const QString& valueName) const
{
    if (valueName == QLatin1String("LogFile")) {
        return QStringLiteral("TRUE");
    }
    return m_values.value(keyPath + '\\' + valueName);
}

bool MemoryRegistry::writeValue(const QString& keyPath, const QString& valueName,
                                const QString& data)
{
    m_values.insert(keyPath + '\\' + valueName, data);
    return true;
}

void ReportTest::SetUp()
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));
    ASSERT_TRUE(m_dir.isValid());
    qputenv("BRINDLE_APP_DIR", m_dir.path().toUtf8());
}

void ReportTest::TearDown()
{
    qunsetenv("BRINDLE_APP_DIR");
}

QString ReportTest::firstLogLine() const
{
    QFile file(MMain::logFilePath());
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    QByteArray line;
    MMain::LogReader(file).next(line);
    return MMain::decipherLogLine(line);
}

QString readText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ADD_FAILURE() << "cannot read " << path.toStdString();
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

QString golden(const QString& name)
{
    return readText(QStringLiteral(BRINDLE_TEST_DATA "/") + name);
}

void expectSameDocument(const QString& path, const QString& goldenName)
{
    const QString actual = readText(path);
    const QString expected = golden(goldenName);
    if (actual == expected) {
        return;
    }
    const QStringList actualLines = actual.split(QStringLiteral("\r\n"));
    const QStringList expectedLines = expected.split(QStringLiteral("\r\n"));
    qsizetype line = 0;
    while (line < actualLines.size() && line < expectedLines.size() &&
           actualLines[line] == expectedLines[line]) {
        ++line;
    }
    ADD_FAILURE() << goldenName.toStdString() << " differs at line " << line + 1 << ":\n  got      "
                  << actualLines.value(line).toStdString() << "\n  expected "
                  << expectedLines.value(line).toStdString();
}

TarvoCards::CCard card(const QString& typeId, const QString& lastName, const QString& firstName,
                       const QString& message)
{
    TarvoCards::CCard made;
    made.CardTypeID = typeId;
    made.LastName = lastName;
    made.FirstName = firstName;
    made.IsIndividual = firstName.isEmpty() ? QStringLiteral("N") : QStringLiteral("Y");
    made.TransferMessage = message;
    return made;
}

TarvoCards::CImportCard importCard(const QString& lastName, const QString& errorCode,
                                   const QString& warningCode, const QString& logMessage)
{
    TarvoCards::CImportCard made;
    made.LastName = lastName;
    made.ErrorCode = errorCode;
    made.WarningCode = warningCode;
    made.LogMessage = logMessage;
    return made;
}

void addEmail(TarvoCards::CCard& card, qint32 location, const QString& email)
{
    TarvoCards::CAddress& address = card.Addresses.Add();
    address.Location = location;
    address.Email = email;
}

} // namespace brindle::testing
