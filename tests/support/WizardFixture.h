#pragma once

#include "FakeSteps.h"
#include "ProgramFixture.h"
#include "QtPrinters.h"

namespace brindle::test {

// A program folder where every check before a run passes: a contact store,
// the companion library, a driver and a company file; and a script for the
// fake steps of the runs the screens start.
class WizardFixture : public ProgramFixture
{
protected:
    void SetUp() override
    {
        ProgramFixture::SetUp();
        qputenv("BRINDLE_CONTACTS", folder.filePath("contacts").toUtf8());
        qunsetenv("BRINDLE_DRIVER_VERSION");
        touch(MMain::companionFileName());
        touch("Company.db");
    }
    void TearDown() override
    {
        qunsetenv("BRINDLE_CONTACTS");
        qunsetenv("BRINDLE_DRIVER_VERSION");
        ProgramFixture::TearDown();
    }

    QString options() const
    {
        return "DATABASE=" + folder.filePath("Company.db") + "<CUSTOMERS=YES";
    }
    void touch(const QString& name)
    {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    StepScript script;
};

} // namespace brindle::test
