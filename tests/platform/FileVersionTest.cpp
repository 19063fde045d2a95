#include "platform/FileVersion.h"

#include "PeFile.h"

#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace {

using brindle::test::PeFile;

TEST(FileVersion, ReadsTheFixedVersionOnlyFromAWellFormedResource)
{
    const std::tuple<const char*, std::function<void(PeFile&)>, const char*> rows[] = {
        // clang-format off
        {"PE32", [](PeFile&) {}, "15.2.1.3"},
        {"PE32+ with large parts", [](PeFile& pe) { pe.pe32Plus = true; pe.version[0] = 65535; pe.version[3] = 40000; }, "65535.2.1.40000"},
        {"no resource directory", [](PeFile& pe) { pe.withResourceDirectory = false; }, ""},
        {"resources without a version", [](PeFile& pe) { pe.resourceType = 3; }, ""},
        {"wrong signature", [](PeFile& pe) { pe.signature = 0x12345678; }, ""},
        {"no fixed part", [](PeFile& pe) { pe.fixedInfoLength = 0; }, ""},
        {"directory pointing back at its root", [](PeFile& pe) { pe.loopingDirectory = true; }, ""},
        {"cut inside the version", [](PeFile& pe) { pe.truncateTo = 0x200 + 0x58 + 50; }, ""},
        {"cut inside the headers", [](PeFile& pe) { pe.truncateTo = 0x50; }, ""},
        {"only the DOS header's magic", [](PeFile& pe) { pe.truncateTo = 2; }, ""},
        {"empty", [](PeFile& pe) { pe.truncateTo = 0; }, ""},
        // clang-format on
    };
    QTemporaryDir folder;
    for (const auto& [name, change, expected] : rows) {
        PeFile pe;
        change(pe);
        pe.writeTo(folder.filePath(name + QString(".exe")));
        EXPECT_EQ(brindle::fileVersion(folder.filePath(name + QString(".exe"))), expected) << name;
    }
    QFile script(folder.filePath("VEXOP.exe"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly) && script.write("#!/bin/sh\nexec true\n") > 0);
    script.close();
    for (const QString& path : {script.fileName(), folder.filePath("missing.exe"), folder.path()}) {
        EXPECT_EQ(brindle::fileVersion(path), QString()) << qPrintable(path);
    }
}

} // namespace
