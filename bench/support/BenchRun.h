#pragma once

// What the run benchmarks share: a whole run in the benchmark's process,
// with a progress window that keeps nothing, and its peak memory.
#include "BenchCompany.h"
#include "ScriptedPrompts.h"
#include "registry/IniHive.h"
#include "review/FSummary.h"
#include "run/FProcess.h"
#include "startup/MMain.h"

#include <QElapsedTimer>
#include <QFile>
#include <functional>
#include <malloc.h>

namespace brindle::bench {

inline constexpr qint32 importDirection = 1;
inline constexpr qint32 exportDirection = 2;

struct Measured
{
    double seconds = 0;
    double peakMiB = 0;
};

// The best time and the highest peak of three measurements: a machine shared
// with others only ever adds time.
inline Measured bestOf(const std::function<Measured()>& measureOnce)
{
    Measured best = measureOnce();
    for (int attempt = 1; attempt < 3; ++attempt) {
        const Measured next = measureOnce();
        best.seconds = std::min(best.seconds, next.seconds);
        best.peakMiB = std::max(best.peakMiB, next.peakMiB);
    }
    return best;
}

// A progress window that shows nothing and keeps nothing, so a run is
// measured without a test's record of every caption and value.
class QuietProgress : public RunProgress
{
public:
    void show(Controls&) override {}
    void unload() override {}
    void setCaption(const QString&) override {}
    void setValue(double) override {}
    void setPanelVisible(Panel, bool) override {}
    void setPointer(Pointer) override {}
    void setButtonsEnabled(bool, bool) override {}
    void pumpMessages() override {}
    void pause(int) override {}
};

// One run of all four card types under rule 0, every inactive card
// included, between companyOf(base) and the store base/contacts; the
// program folder is base. Seconds, the pauses that keep a window live left
// out (the quiet window does not pause).
inline double runTransfer(const QString& base, qint32 direction)
{
    qputenv("BRINDLE_APP_DIR", base.toUtf8());
    qputenv("BRINDLE_CONTACTS", (base + QStringLiteral("/contacts")).toUtf8());
    IniHive hive(base + QStringLiteral("/hklm.ini"));
    test::ScriptedPrompts prompts;
    QuietProgress progress;
    ProgramContext context({.registry = &hive, .prompts = &prompts});
    RunSettings settings;
    settings.gobjOptions.emplace();
    settings.gobjOptions->Analyse(
        QStringLiteral("DATABASE=") + companyOf(base) +
        QStringLiteral("<CUSTOMERS=YES<SUPPLIERS=YES<EMPLOYEES=YES<PERSONAL=YES"));
    settings.glTransferAction = direction;
    settings.glRulesFilter = 0;
    settings.glTransferInactives = 1;
    FSummary summary(context, settings);
    FProcess process(context, settings, progress, summary);
    progress.show(process);
    QElapsedTimer timer;
    timer.start();
    if (!process.ProcessData()) {
        qFatal("the %s failed", direction == importDirection ? "import" : "export");
    }
    return timer.nsecsElapsed() / 1e9;
}

// Starts the peak-memory mark afresh, so the setup's own peak is not counted.
inline void resetPeak()
{
    malloc_trim(0);
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (!clear.open(QIODevice::WriteOnly) || clear.write("5") != 1) {
        qFatal("cannot reset the peak memory mark");
    }
}

// VmHWM: the most memory the process has held since resetPeak, in MiB.
inline double peakMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
        }
    }
    return 0;
}

} // namespace brindle::bench
