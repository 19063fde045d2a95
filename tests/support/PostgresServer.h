#pragma once

#include <QDir>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <grp.h>
#include <unistd.h>

namespace brindle::test {

// A private PostgreSQL server in a temporary folder, listening on a Unix
// socket there only, started once per test program and stopped at its end.
// Under root it runs as nobody, as the server refuses root. The superuser
// "brindle" logs in without a password; the role "clerk" needs "clerk-pw".
class PostgresServer
{
public:
    static PostgresServer& shared()
    {
        static PostgresServer server;
        return server;
    }

    ~PostgresServer()
    {
        pgCtl({QStringLiteral("stop"), QStringLiteral("-m"), QStringLiteral("immediate")});
    }

    bool running() const { return m_running; }
    const QString& problem() const { return m_problem; }
    QString socketFolder() const { return m_dir.path(); }

    QString address(const QString& database, const QString& login = QStringLiteral("brindle")) const
    {
        return QStringLiteral("postgresql://%1@/%2?host=%3&port=%4")
            .arg(login, database, socketFolder())
            .arg(port);
    }

    // A new empty database for one test; returns its address.
    QString newDatabase()
    {
        static int counter = 0;
        const QString name = QStringLiteral("company_%1").arg(++counter);
        sql(QStringLiteral("CREATE DATABASE %1").arg(name));
        sql(QStringLiteral("GRANT ALL ON DATABASE %1 TO clerk").arg(name));
        return address(name);
    }

    bool sql(const QString& statement, const QString& database = QStringLiteral("postgres"))
    {
        bool ok = false;
        {
            QSqlDatabase db =
                QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("pg-admin"));
            db.setHostName(socketFolder());
            db.setPort(port);
            db.setUserName(QStringLiteral("brindle"));
            db.setDatabaseName(database);
            ok = db.open() && QSqlQuery(db).exec(statement);
            m_problem = ok ? QString() : db.lastError().text();
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("pg-admin"));
        return ok;
    }

    bool stop()
    {
        return pgCtl({QStringLiteral("stop"), QStringLiteral("-m"), QStringLiteral("fast")});
    }
    bool start()
    {
        m_running = pgCtl({QStringLiteral("start"), QStringLiteral("-w"), QStringLiteral("-l"),
                           m_dir.filePath(QStringLiteral("log")), QStringLiteral("-o"),
                           QStringLiteral("-c listen_addresses='' -c fsync=off -c port=%2 "
                                          "-c unix_socket_directories='%1'")
                               .arg(socketFolder())
                               .arg(port)});
        return m_running;
    }

    static constexpr int port = 5433;

private:
    PostgresServer()
    {
        if (::geteuid() == 0) {
            QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                    QFile::ExeOwner | QFile::ReadOther |
                                                    QFile::ExeOther);
            m_ok = ::chown(QFile::encodeName(m_dir.path()).constData(), 65534, 65534) == 0;
        }
        m_ok = m_ok && run(QStringLiteral("initdb"),
                           {QStringLiteral("-D"), data(), QStringLiteral("-U"),
                            QStringLiteral("brindle"), QStringLiteral("-A"),
                            QStringLiteral("trust"), QStringLiteral("-E"), QStringLiteral("UTF8"),
                            QStringLiteral("--locale=C.UTF-8"), QStringLiteral("-N")});
        m_made = m_ok;
        QFile hba(data() + QStringLiteral("/pg_hba.conf"));
        m_ok = m_ok && hba.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
               hba.write("local all clerk scram-sha-256\nlocal all all trust\n") > 0;
        hba.close();
        m_ok =
            m_ok && start() && sql(QStringLiteral("CREATE ROLE clerk LOGIN PASSWORD 'clerk-pw'"));
        m_running = m_ok;
    }

    QString data() const { return m_dir.filePath(QStringLiteral("data")); }

    bool pgCtl(QStringList args)
    {
        return m_made &&
               run(QStringLiteral("pg_ctl"), QStringList{QStringLiteral("-D"), data()} + args);
    }

    bool run(const QString& tool, const QStringList& args)
    {
        QProcess process;
        process.setProgram(QStringLiteral("/usr/lib/postgresql/15/bin/") + tool);
        process.setArguments(args);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.setWorkingDirectory(m_dir.path());
        if (::geteuid() == 0) {
            process.setChildProcessModifier([] {
                if (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0) {
                    ::_exit(2);
                }
            });
        }
        process.start();
        const bool ok = process.waitForFinished(60000) &&
                        process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
        if (!ok) {
            m_problem = tool + QStringLiteral(": ") + QString::fromLocal8Bit(process.readAll());
        }
        return ok;
    }

    QTemporaryDir m_dir{QDir::tempPath() + QStringLiteral("/brindle-pg-XXXXXX")};
    bool m_ok = true;
    bool m_made = false; // initdb has made the data folder
    bool m_running = false;
    QString m_problem;
};

} // namespace brindle::test
