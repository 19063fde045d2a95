#pragma once

#include "clsOptions.h"

#include <QString>
#include <optional>

namespace brindle {

// What the program knows at start-up and a run reads: the option string,
// the stored settings, the host product's facts and the run's direction.
// Made once by a front end and passed by reference; a run may be given a
// copy of its own (brindle-cli's --rule and --inactive).
struct RunSettings
{
    // The direction of a run, the values of glTransferAction.
    enum Direction : qint32
    {
        NoDirection = 0,
        Import = 1, // contacts into the company file
        Export = 2  // cards into contacts
    };

    std::optional<clsOptions> gobjOptions;
    bool gbExiting = false;
    bool gbCategoryWarningShown = false;

    // Loaded from the registry at start-up and written back before every
    // run and at shutdown.
    qint32 glRulesFilter = 0;
    qint32 glDisableOutlookFolders = 0;
    qint32 glTransferInactives = 0;
    qint32 glCustomField1 = 0;
    qint32 glCustomField2 = 0;
    qint32 glCustomField3 = 0;
    bool gbShowOutlookWarning = false;
    bool gbShowBackupWarning = false;
    bool gbSuppressReport = false;

    qint32 glTransferAction = NoDirection;

    // "Supplier", or "Vendor" for a company file of the United States.
    QString gsSupplierWord = QStringLiteral("Supplier");

    // The accounting product that started the program, as GetVEXOProduct found it.
    qint32 glVEXOProduct = 0; // 1 VEXO.exe, 2 VEXOP.exe, 0 anything else
    QString gsHostExeName;    // "VEXOP.exe"
    QString gsHostExeVersion; // "15.2.1.3", or "" without a version resource
    // The installed driver's version; its millions are the major version.
    double gdODBCVersion = 0;

    // The option string; raises error 91 when none was read.
    const clsOptions& options() const;
};

} // namespace brindle
