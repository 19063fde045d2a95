#pragma once

#include <QString>
#include <functional>
#include <optional>

namespace brindle {

class ProgramContext;
class Prompts;
class RunProgress;

namespace carddav {

// A run's wish to sync the store with the CardDAV server: brindle-cli's
// --sync (or a dry run's never), else the registry value CardDavSync = 1.
struct SyncWish
{
    std::optional<bool> asked;
    // Where the front end shows what moved; the progress caption when unset.
    std::function<void(const QString&)> report;
};

// Syncs around a transfer: before an import, so it reads what phones
// changed, and after a completed export, so phones get what it wrote.
class RunSync
{
public:
    RunSync(ProgramContext& context, RunProgress& progress, SyncWish wish);

    // False when the sync failed: the import must not start.
    bool before(qint32 lTransferAction);
    // False when a completed export's sync failed.
    bool after(qint32 lTransferAction, bool completed);

private:
    bool sync();

    Prompts& m_prompts;
    RunProgress& m_progress;
    SyncWish m_wish;
};

} // namespace carddav
} // namespace brindle
