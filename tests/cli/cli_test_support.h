#pragma once

#include "../common/console_bytes.h"
#include "cli/cli_app.h"
#include "core/function_names.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

// Readable failure messages for Qt texts.
inline std::ostream& operator<<(std::ostream& os, const QString& text) { return os << text.toStdString(); }
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }

namespace clitest {

using testbytes::Bytes;

using testbytes::consoleBlock;
using testbytes::consoleFile;
using testbytes::put;

// A lamp file image laid out by hand: icon 1, name padded with spaces to 16 bytes, the channel
// count and its copy, wheel slot functions and the channels as {palette, function, step}.
inline Bytes lampImage(const std::string& name, std::initializer_list<std::array<int, 3>> channels,
                       std::initializer_list<std::pair<int, int>> wheelFunctions = {})
{
    Bytes bytes(1622, 0);
    const int count = static_cast<int>(channels.size());
    put(bytes, 0, {1});  // Icon
    put(bytes, 2, (name + std::string(16, ' ')).substr(0, 16));
    put(bytes, 19, {count, count});
    for (const auto& [slot, function] : wheelFunctions)
        put(bytes, 22 + 2 * static_cast<std::size_t>(slot), {function & 0xFF, (function >> 8) & 0xFF});
    std::size_t at = 790;
    for (const auto& [palette, function, step] : channels) {
        put(bytes, at, {palette & 0xFF, palette >> 8, function & 0xFF, function >> 8, 0, step});
        at += 6;
    }
    return bytes;
}

struct Result {
    int status = -1;
    QString out, err;
    [[nodiscard]] QStringList errLines() const { return err.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
};

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
    void write(const QString& name, const Bytes& bytes) const
    {
        QFile file(path(name));
        const auto size = static_cast<qint64>(bytes.size());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(reinterpret_cast<const char*>(bytes.data()), size) == size)
            << name;
    }
    [[nodiscard]] Bytes read(const QString& name) const
    {
        QFile file(path(name));
        const QByteArray data = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        return Bytes(data.begin(), data.end());
    }

    // Runs a command line in-process; a word "@name" stands for that file in the scratch folder.
    [[nodiscard]] Result run(const QString& line) const
    {
        QStringList args;
        for (const QString& word : line.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            args << (word.startsWith(QLatin1Char('@')) ? path(word.mid(1)) : word);
        Result result;
        QTextStream out(&result.out), err(&result.err);
        result.status = cli::runCli(args, out, err, path("app"));
        out.flush();
        err.flush();
        return result;
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
