#pragma once

#include "../common/cli_run.h"
#include "../common/console_bytes.h"
#include "core/function_names.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace clitest {

using testbytes::Bytes;

using testbytes::consoleBlock;
using testbytes::consoleFile;
using testbytes::lampImage;
using testbytes::put;

using Result = rig::test::CliRun;

// A scratch folder with an "app" folder holding the program's showttl.dat.
class CliFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        rig::initFunctionNames();
        rig::initPaletteTypeNames();
        ASSERT_TRUE(m_dir.isValid() && QDir(m_dir.path()).mkpath("app"));
        write("app/showttl.dat", m_showTitle);
    }

    [[nodiscard]] QString path(const QString& name) const { return m_dir.filePath(name); }
    [[nodiscard]] bool exists(const QString& name) const { return QFile::exists(path(name)); }
    void write(const QString& name, const Bytes& bytes) const { rig::test::writeBytes(path(name), bytes); }
    [[nodiscard]] Bytes read(const QString& name) const { return rig::test::readBytes(path(name)); }

    // Runs a command line in-process; a word "@name" stands for that file in the scratch folder.
    [[nodiscard]] Result run(const QString& line) const
    {
        QStringList args;
        for (const QString& word : line.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            args << (word.startsWith(QLatin1Char('@')) ? path(word.mid(1)) : word);
        return rig::test::runCommandLine(args, path("app"));
    }

    // The one line a command writes when it fails on a file.
    [[nodiscard]] QString failure(const QString& name, const QString& why) const
    {
        return "rigsmith-cli: " + path(name) + ": " + why;
    }

    const Bytes m_showTitle = {'S', 'H', 'O', 'W', 0x00, 0xFF, 0x10};
    QTemporaryDir m_dir;
};

}  // namespace clitest
