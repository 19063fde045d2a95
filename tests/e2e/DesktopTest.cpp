// The real wizard on a virtual screen of 1280x1024 under a window manager,
// driven through the X server as a user would: a click on the import arrow,
// each dialog answered by its title, up to the summary. The screens of a
// failed run are kept in the build tree.
#include "Sandbox.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

namespace brindle::test {
namespace {

const QString progressTitle = QStringLiteral("Brindle - Matching VEXO Cards");
const QString summaryTitle = QStringLiteral("Brindle - Import Summary");

// A program's output, run to its end.
QString output(const QString& program, const QStringList& args, const QProcessEnvironment& env)
{
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, args);
    process.waitForFinished(10'000);
    return process.exitCode() == 0 ? QString::fromUtf8(process.readAllStandardOutput()).trimmed()
                                   : QString();
}

// An X server with Openbox on it, for as long as this lives.
class Desktop
{
public:
    Desktop()
    {
        // A display of its own, away from the low numbers people use.
        for (int display = 100 + int(QCoreApplication::applicationPid() % 800);
             env.value(QStringLiteral("DISPLAY")).isEmpty() && display < 1000; display += 7) {
            if (QFile::exists(QStringLiteral("/tmp/.X%1-lock").arg(display))) {
                continue;
            }
            m_server.start(QStringLiteral("Xvfb"),
                           {u':' + QString::number(display), QStringLiteral("-screen"),
                            QStringLiteral("0"), QStringLiteral("1280x1024x24"),
                            QStringLiteral("-nolisten"), QStringLiteral("tcp")});
            // A display in use ends the server at once.
            const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(display);
            if (m_server.waitForStarted() && !m_server.waitForFinished(1000) &&
                waitFor([&] { return QFile::exists(socket); })) {
                env.insert(QStringLiteral("DISPLAY"), u':' + QString::number(display));
            }
        }
        m_manager.setProcessEnvironment(env);
        m_manager.start(QStringLiteral("openbox"), {});
        // Openbox is up once it names the desktops.
        waitFor([this] { return !xdotool({QStringLiteral("get_desktop")}).isEmpty(); });
    }
    ~Desktop()
    {
        for (QProcess* process : {&m_manager, &m_server}) {
            process->terminate();
            process->waitForFinished(5000);
        }
    }

    static bool waitFor(const std::function<bool()>& ready)
    {
        QElapsedTimer clock;
        clock.start();
        while (!ready()) {
            if (clock.elapsed() > 15'000) {
                return false;
            }
            QThread::msleep(50);
        }
        return true;
    }
    QString xdotool(const QStringList& args) const
    {
        return output(QStringLiteral("xdotool"), args, env);
    }
    // The visible window of that title, or "".
    QString window(const QString& title) const
    {
        return xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                        QStringLiteral("--name"), u'^' + QRegularExpression::escape(title) + u'$'})
            .section(u'\n', 0, 0);
    }
    QRect geometry(const QString& window) const
    {
        const QString shell =
            xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window});
        const auto value = [&shell](const char* name) {
            const QRegularExpression line(QLatin1String(name) + QStringLiteral("=(-?\\d+)"));
            return line.match(shell).captured(1).toInt();
        };
        return {value("X"), value("Y"), value("WIDTH"), value("HEIGHT")};
    }
    // A window the user cannot resize gets no resize handle, the strip a
    // window manager draws below a window's bottom edge.
    bool fixedSize(const QString& window) const
    {
        const QRect before = geometry(window);
        xdotool({QStringLiteral("windowsize"), window, QString::number(before.width() + 40),
                 QString::number(before.height() + 40)});
        QThread::msleep(200);
        return geometry(window).size() == before.size();
    }
    QImage screen(const QString& keepAs)
    {
        QProcess grab;
        grab.setProcessEnvironment(env);
        grab.start(QStringLiteral("import"),
                   {QStringLiteral("-window"), QStringLiteral("root"), QStringLiteral("png:-")});
        grab.waitForFinished(10'000);
        QImage image = QImage::fromData(grab.readAllStandardOutput(), "PNG");
        image.save(shots.filePath(QStringLiteral("%1-%2.png").arg(++m_shots).arg(keepAs)));
        return image;
    }

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QTemporaryDir shots;

private:
    QProcess m_server;
    QProcess m_manager;
    int m_shots = 0;
};

// The centre of the import arrow's green in a window.
QPoint greenCentre(const QImage& screen, const QRect& window)
{
    qint64 x = 0, y = 0, n = 0;
    for (int row = window.top(); row <= window.bottom(); ++row) {
        for (int column = window.left(); column <= window.right(); ++column) {
            const QColor pixel = screen.pixelColor(column, row);
            if (pixel.green() > pixel.red() + 40 && pixel.green() > pixel.blue() + 20) {
                x += column;
                y += row;
                ++n;
            }
        }
    }
    return n ? QPoint(int(x / n), int(y / n)) : QPoint();
}

struct DialogRow
{
    const char* title;
    int times;
};

TEST(Desktop, TheImportArrowToTheSummaryWithEachDialogOverItsWindow)
{
    QTemporaryDir folder(scratchPath());
    Sandbox sandbox(folder.path());
    sandbox.makeCompanyFile(40);
    ASSERT_EQ(sandbox.run("export").exitCode, 0);
    sandbox.setSetting(QStringLiteral("RulesFilter"), QStringLiteral("3"));
    // One phone changed, one e-mail address emptied.
    const std::pair<QRegularExpression, QString> edits[] = {
        {QRegularExpression(QStringLiteral("(\r\nTEL[^:]*:)[^\r]*")),
         QStringLiteral("\\1(03) 9999 1234")},
        {QRegularExpression(QStringLiteral("\r\nEMAIL[^:]*:[^\r]*")), QString()}};
    qsizetype edited = 0;
    for (const auto& [path, file] : storeFiles(sandbox.store).asKeyValueRange()) {
        QString text = QString::fromUtf8(file.bytes);
        if (edited < 2 && edits[edited].first.match(text).hasMatch()) {
            text.replace(edits[edited].first, edits[edited].second);
            writeFile(sandbox.store + u'/' + path, text.toUtf8());
            ++edited;
        }
    }
    ASSERT_EQ(edited, 2);

    Desktop desktop;
    ASSERT_FALSE(desktop.xdotool({QStringLiteral("get_desktop")}).isEmpty())
        << "no window manager on display " << qPrintable(desktop.env.value("DISPLAY"));
    QProcess wizard;
    QProcessEnvironment env = sandbox.environment();
    env.insert(QStringLiteral("DISPLAY"), desktop.env.value(QStringLiteral("DISPLAY")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    wizard.setProcessEnvironment(env);
    wizard.start(QStringLiteral(BRINDLE_BIN_DIR "/brindle"), {sandbox.options()});

    QString window;
    ASSERT_TRUE(Desktop::waitFor([&] {
        window = desktop.window(QStringLiteral("Brindle - Import and Export Options"));
        return !window.isEmpty();
    }));
    QThread::msleep(300); // drawn
    const QRect options = desktop.geometry(window);
    QImage screen = desktop.screen(QStringLiteral("options"));
    EXPECT_TRUE(desktop.fixedSize(window));
    const QPoint arrow = greenCentre(screen, options.adjusted(0, 0, 0, -options.height() / 2));
    ASSERT_FALSE(arrow.isNull());
    desktop.xdotool({QStringLiteral("mousemove"), QString::number(arrow.x()),
                     QString::number(arrow.y()), QStringLiteral("click"), QStringLiteral("1")});

    const DialogRow rows[] = {
        {"Brindle - Confirm Update of VEXO Card", 1},
        {"Brindle - Blank Field Warning", 1},
        {"Brindle - Warning : Blank Field in Outlook Contact", 1},
    };
    QMap<QString, int> answered;
    const auto answerNext = [&] {
        if (!desktop.window(summaryTitle).isEmpty()) {
            return true;
        }
        for (const DialogRow& row : rows) {
            const QString title = QString::fromLatin1(row.title);
            const QString dialog = desktop.window(title);
            if (dialog.isEmpty()) {
                continue;
            }
            // Managed and on top: the window manager gives it the focus.
            EXPECT_TRUE(Desktop::waitFor([&] {
                return desktop.xdotool({QStringLiteral("getactivewindow")}) == dialog;
            })) << row.title;
            QThread::msleep(200); // drawn
            const QRect owner = desktop.geometry(desktop.window(progressTitle));
            const QRect shown = desktop.geometry(dialog);
            desktop.screen(title.section(u' ', 2, 3));
            EXPECT_LE((shown.center() - owner.center()).manhattanLength(), 24)
                << row.title << " over the progress window";
            EXPECT_TRUE(desktop.fixedSize(dialog)) << row.title;
            desktop.xdotool({QStringLiteral("key"), QStringLiteral("Return")});
            ++answered[title];
            Desktop::waitFor([&] { return desktop.window(title) != dialog; });
        }
        return false;
    };
    EXPECT_TRUE(Desktop::waitFor(answerNext)) << "no summary";
    for (const DialogRow& row : rows) {
        EXPECT_EQ(answered.value(QString::fromLatin1(row.title)), row.times) << row.title;
    }
    QThread::msleep(300);
    const QString summary = desktop.window(summaryTitle);
    desktop.screen(QStringLiteral("summary"));
    EXPECT_TRUE(desktop.fixedSize(summary));
    Desktop::waitFor(
        [&] { return desktop.xdotool({QStringLiteral("getactivewindow")}) == summary; });
    desktop.xdotool({QStringLiteral("key"), QStringLiteral("Return")}); // Close
    EXPECT_TRUE(wizard.waitForFinished(10'000));

    if (::testing::Test::HasFailure()) {
        wizard.kill();
        wizard.waitForFinished();
        ADD_FAILURE() << "the wizard said: " << wizard.readAllStandardError().toStdString();
        const QString kept = QStringLiteral(BRINDLE_BIN_DIR "/../Testing/desktop-screens");
        QDir(kept).removeRecursively();
        copyFolder(desktop.shots.path(), kept);
        ADD_FAILURE() << "screens kept in " << qPrintable(kept);
    }
}

} // namespace
} // namespace brindle::test
