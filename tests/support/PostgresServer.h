#pragma once

#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

namespace brindle::test {

// The private server of pg-server.sh, started once per test program and
// stopped at its end. The role "clerk" logs in with "clerk-pw".
class PostgresServer
{
public:
    static PostgresServer& shared()
    {
        static PostgresServer server;
        return server;
    }
    ~PostgresServer() { script("stop", "immediate"); }

    bool running() const { return m_running; }
    QString log() const { return m_dir.filePath("log"); }
    QString address(const QString& database, const QString& login = "brindle") const
    {
        return QStringLiteral("postgresql://%1@/%2?host=%3&port=5433")
            .arg(login, database, m_dir.path());
    }
    // A new empty database for one test; returns its address.
    QString newDatabase()
    {
        static int counter = 0;
        const QString name = QStringLiteral("company_%1").arg(++counter);
        sql("CREATE DATABASE " + name);
        return address(name);
    }
    bool sql(const QString& statement)
    {
        bool ok = false;
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QPSQL", "pg-admin");
            db.setHostName(m_dir.path());
            db.setPort(5433);
            db.setUserName("brindle");
            db.setDatabaseName("postgres");
            ok = db.open() && QSqlQuery(db).exec(statement);
        }
        QSqlDatabase::removeDatabase("pg-admin");
        return ok;
    }
    bool stop() { return script("stop"); }
    bool start() { return script("start"); }

private:
    PostgresServer()
    {
        m_running = script("init") && start() && sql("CREATE ROLE clerk LOGIN PASSWORD 'clerk-pw'");
    }
    bool script(const QString& step, const QString& mode = {})
    {
        return QProcess::execute(BRINDLE_TEST_SUPPORT "/pg-server.sh",
                                 {step, m_dir.path(), mode}) == 0;
    }

    QTemporaryDir m_dir;
    bool m_running = false;
};

} // namespace brindle::test
