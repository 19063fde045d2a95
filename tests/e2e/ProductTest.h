#pragma once

#include "Sandbox.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace brindle::test {

// A test with the product installed in a folder of its own.
class ProductTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        sandbox = std::make_unique<Sandbox>(dir.path());
    }

    // Runs brindle-cli import|export and expects it to complete.
    CliRun expectRun(const char* direction, const QStringList& extra = {})
    {
        CliRun run = sandbox->run(direction, extra);
        EXPECT_TRUE(run.finished);
        EXPECT_EQ(run.exitCode, 0) << qPrintable(run.out + run.err);
        return run;
    }

    QTemporaryDir dir{scratchPath()};
    std::unique_ptr<Sandbox> sandbox;
};

} // namespace brindle::test
