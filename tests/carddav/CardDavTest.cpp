// brindle-cli carddav and --sync against a Radicale server on the loopback,
// changed behind Brindle's back over HTTP as a phone would.
#include "ProductTest.h"
#include "QtPrinters.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QThread>
#include <QXmlStreamReader>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace brindle::test {
namespace {

const QString password = QStringLiteral("Pw-7f3a91c2e5");

int freePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), size);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
    ::close(fd);
    return ntohs(address.sin_port);
}

QString command(const QString& program, const QStringList& args)
{
    QProcess process;
    process.start(program, args);
    EXPECT_TRUE(process.waitForFinished(30'000)) << qPrintable(program);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Radicale with its own storage and one htpasswd user, alice.
class Radicale
{
public:
    explicit Radicale(const QString& folder) : m_folder(folder), m_port(freePort())
    {
        command(QStringLiteral("htpasswd"),
                {QStringLiteral("-cbp"), folder + "/users", QStringLiteral("alice"), password});
        writeFile(folder + "/config",
                  QStringLiteral("[server]\nhosts = 127.0.0.1:%1\n[auth]\ntype = htpasswd\n"
                                 "htpasswd_filename = %2/users\nhtpasswd_encryption = plain\n"
                                 "[storage]\nfilesystem_folder = %2/collections\n")
                      .arg(m_port)
                      .arg(folder)
                      .toUtf8());
        writeFile(folder + "/password", password.toUtf8());
        start();
    }
    ~Radicale() { stop(); }

    void start()
    {
        m_process.start(QStringLiteral("radicale"), {"-C", m_folder + "/config"});
        for (int i = 0; i < 100 && get(url(), {"-o/dev/null", "-w%{http_code}"}) == "000"; ++i) {
            QThread::msleep(50);
        }
    }
    void stop()
    {
        m_process.terminate();
        m_process.waitForFinished();
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/").arg(m_port); }
    QString passwordCommand() const { return "cat \"" + m_folder + "/password\""; }
    void setPassword(const QString& text) { writeFile(m_folder + "/password", text.toUtf8()); }

    QString get(const QString& address, const QStringList& args = {}) const
    {
        return command(QStringLiteral("curl"),
                       QStringList{"-sfu", "alice:" + password, address} + args);
    }
    // Every card on the server by its href, as a phone's sync adapter
    // lists them: PROPFIND for the address books, REPORT for their cards.
    QMap<QString, QString> cards() const
    {
        QMap<QString, QString> cards;
        const QStringList books =
            elements(get(url() + "alice/", {"-XPROPFIND", "-HDepth: 1"}), QStringLiteral("href"));
        for (const QString& book : books.mid(1)) {
            const QString report =
                get(url().chopped(1) + book,
                    {"-XREPORT", "-HDepth: 1", "-HContent-Type: application/xml", "--data",
                     "<C:addressbook-query xmlns:D=\"DAV:\" xmlns:C=\"urn:ietf:params:xml:ns:"
                     "carddav\"><D:prop><C:address-data/></D:prop></C:addressbook-query>"});
            const QStringList hrefs = elements(report, QStringLiteral("href"));
            const QStringList data = elements(report, QStringLiteral("address-data"));
            for (qsizetype i = 0; i < data.size(); ++i) {
                cards.insert(hrefs.value(i), data.at(i));
            }
        }
        return cards;
    }

private:
    static QStringList elements(const QString& xml, const QString& name)
    {
        QStringList texts;
        QXmlStreamReader reader(xml);
        while (reader.readNextStartElement() || !reader.atEnd()) {
            if (reader.isStartElement() && reader.name() == name) {
                texts << reader.readElementText();
            }
        }
        return texts;
    }

    QString m_folder;
    int m_port;
    QProcess m_process;
};

// The FN and first TEL of each card, sorted: what a phone shows of it.
QStringList namesAndPhones(const QStringList& cards)
{
    static const QRegularExpression fn(QStringLiteral("\nFN:([^\r\n]*)"));
    static const QRegularExpression tel(QStringLiteral("\nTEL[^:]*:([^\r\n]*)"));
    QStringList shown;
    for (const QString& card : cards) {
        shown << fn.match(card).captured(1) + " / " + tel.match(card).captured(1);
    }
    shown.sort();
    return shown;
}

struct LayoutRow
{
    const char* disableFolders;
    const char* customers; // the collection new customers go to
};

class Paired : public ProductTest
{
public:
    void pair(const LayoutRow& layout)
    {
        ProductTest::SetUp();
        qputenv("XDG_CONFIG_HOME", (dir.path() + "/config").toUtf8());
        sandbox->makeCompanyFile(40);
        sandbox->setSetting(QStringLiteral("DisableOutlookFolders"),
                            QLatin1String(layout.disableFolders));
        customers = QLatin1String(layout.customers);
        const CliRun paired = setup(server.url());
        ASSERT_EQ(paired.exitCode, 0) << qPrintable(paired.err);
        expectRun("export", {"--rule", "update", "--sync"});
    }
    CliRun setup(const QString& url)
    {
        return sandbox->cli({"carddav", "setup", url, "--username", "alice", "--password-command",
                             server.passwordCommand()});
    }
    QString collection() const { return server.url() + "alice/" + customers + "/"; }

    QTemporaryDir serverDir{scratchPath()};
    Radicale server{serverDir.path()};
    QString customers;
};

const LayoutRow folders{"0", "VEXO%20Customers"};

class CardDav : public Paired, public testing::WithParamInterface<LayoutRow>
{
protected:
    void SetUp() override { pair(GetParam()); }
};

TEST_P(CardDav, ChangesMadeOnTheServerReachTheCompanyFileAlone)
{
    QMap<QString, QString> cards = server.cards();
    const StoreFiles exported = storeFiles(sandbox->store);
    QStringList local;
    for (const ContactFile& file : exported) {
        local << QString::fromUtf8(file.bytes);
    }
    ASSERT_EQ(namesAndPhones(cards.values()), namesAndPhones(local));

    // The XML reader gave the cards' line breaks as LF.
    static const QRegularExpression tel(QStringLiteral("\n(TEL[^:]*:)[^\n]*"));
    const auto phoned = std::find_if(cards.cbegin(), cards.cend(), [](const QString& card) {
        return card.contains(tel) && linkedCard(card.toUtf8()) != 0;
    });
    ASSERT_NE(phoned, cards.cend());
    const qint32 phonedCard = linkedCard(phoned->toUtf8());
    QString changed = *phoned;
    changed.replace(tel, QStringLiteral("\n\\1(03) 9999 1234"));
    const QString base = server.url().chopped(1);
    server.get(base + phoned.key(), {"-XPUT", "--data-binary", changed});
    const auto removed = std::next(phoned) != cards.cend() ? std::next(phoned) : cards.cbegin();
    server.get(base + removed.key(), {"-XDELETE"});
    server.get(collection() + "newcomer.vcf",
               {"-XPUT", "--data-binary",
                "BEGIN:VCARD\r\nVERSION:4.0\r\nUID:newcomer\r\nN:Newman;Grace;;;\r\n"
                "FN:Grace Newman\r\nCATEGORIES:Customer\r\nEND:VCARD\r\n"});

    const CardRows before = cardRows(sandbox->companyFile);
    const CliRun run = expectRun("import", {"--rule", "update", "--sync"});
    EXPECT_TRUE(run.out.contains("from the server: 1 new, 1 changed, 1 deleted"))
        << qPrintable(run.out);
    const CardRows after = cardRows(sandbox->companyFile);
    EXPECT_EQ(changedKeys(before, after), (QList<qint32>{phonedCard, before.lastKey() + 1}));
    EXPECT_TRUE(after[phonedCard].contains("(03) 9999 1234"));
    EXPECT_TRUE(after.last().contains("Newman|Grace"));
    EXPECT_EQ(storeFiles(sandbox->store).size(), exported.size());

    const QString config = dir.path() + "/config/brindle/carddav/config";
    EXPECT_EQ(QFile::permissions(config),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    QDirIterator written(dir.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (written.hasNext()) {
        QFile file(written.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_FALSE(file.readAll().contains(password.toUtf8())) << qPrintable(file.fileName());
    }
}

TEST_P(CardDav, AContactChangedOnBothSidesKeepsTheServersCopyAndTheLocalAside)
{
    const QMap<QString, QString> cards = server.cards();
    const StoreFiles files = storeFiles(sandbox->store);
    const QString path = files.firstKey();
    writeFile(sandbox->store + '/' + path,
              QByteArray(files.first().bytes).replace("END:VCARD", "NOTE:mine\r\nEND:VCARD"));
    const QString uid = QRegularExpression("UID:([^\r]*)").match(files.first().bytes).captured(1);
    const auto theirs = std::find_if(cards.cbegin(), cards.cend(),
                                     [&](const QString& c) { return c.contains("UID:" + uid); });
    server.get(server.url().chopped(1) + theirs.key(),
               {"-XPUT", "--data-binary",
                QString(*theirs).replace("END:VCARD", "NOTE:theirs\r\nEND:VCARD")});
    const CliRun run = sandbox->cli({"carddav", "sync"});
    EXPECT_EQ(run.exitCode, 0) << qPrintable(run.err);
    EXPECT_TRUE(run.out.contains("1 changed on both sides")) << qPrintable(run.out);
    EXPECT_TRUE(storeFiles(sandbox->store)[path].bytes.contains("NOTE:theirs"));
    QDirIterator kept(sandbox->store + "/.carddav-conflicts", {"*.vcf"});
    ASSERT_TRUE(kept.hasNext());
    QFile aside(kept.next());
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_TRUE(aside.readAll().contains("NOTE:mine"));
}

INSTANTIATE_TEST_SUITE_P(Layouts, CardDav,
                         testing::Values(LayoutRow{"0", "VEXO%20Customers"},
                                         LayoutRow{"1", "Contacts"}));

struct FaultRow
{
    const char* name;
    void (*make)(class RunFault&);
    const char* said;
};

class RunFault : public Paired, public testing::WithParamInterface<FaultRow>
{
protected:
    void SetUp() override { pair(folders); }
    void TearDown() override
    {
        qputenv("PATH", path);
        garbage.terminate();
        garbage.waitForFinished();
    }

public:
    QByteArray path = qgetenv("PATH");
    QProcess garbage;
    int garbagePort = freePort();
};

// A fault stops an import before it starts; what the server holds stays there.
TEST_P(RunFault, EndsTheRunWithOneLineAndChangesNothing)
{
    const auto card = server.cards().first();
    const QString base = server.url().chopped(1);
    server.get(
        base + server.cards().firstKey(),
        {"-XPUT", "--data-binary", QString(card).replace("END:VCARD", "NOTE:new\nEND:VCARD")});
    const StoreFiles files = storeFiles(sandbox->store);
    const CardRows rows = cardRows(sandbox->companyFile);
    GetParam().make(*this);
    const CliRun run = sandbox->run("import", {"--rule", "update", "--sync"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err.count(GetParam().said), 1) << qPrintable(run.err);
    EXPECT_EQ(changedKeys(files, storeFiles(sandbox->store)), QStringList());
    EXPECT_EQ(changedKeys(rows, cardRows(sandbox->companyFile)), QList<qint32>());
}

INSTANTIATE_TEST_SUITE_P(
    Faults, RunFault,
    testing::Values(FaultRow{"WrongPassword", [](RunFault& t) { t.server.setPassword("wrong"); },
                             "refused the login"},
                    FaultRow{"ServerDown", [](RunFault& t) { t.server.stop(); },
                             "cannot be reached"},
                    FaultRow{"Garbage",
                             [](RunFault& t) {
                                 t.garbage.start("python3",
                                                 {"-um", "http.server", "-b", "127.0.0.1",
                                                  QString::number(t.garbagePort)});
                                 t.garbage.waitForReadyRead(5000);
                                 t.setup(QStringLiteral("http://127.0.0.1:%1/").arg(t.garbagePort));
                             },
                             "not one vdirsyncer understands"},
                    FaultRow{"NoVdirsyncer", [](RunFault&) { qputenv("PATH", "/nonexistent"); },
                             "vdirsyncer is not installed"}),
    [](const auto& row) { return std::string(row.param.name); });

} // namespace
} // namespace brindle::test
