#pragma once

#include "cli/cli_app.h"
#include "lamp/function_names.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTextStream>

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

namespace clitest {

using Bytes = std::vector<std::uint8_t>;

// Writes `values` into `bytes` from `offset` on.
inline void put(Bytes& bytes, std::size_t offset, std::initializer_list<int> values)
{
    for (const int value : values)
        bytes.at(offset++) = static_cast<std::uint8_t>(value);
}

inline void putText(Bytes& bytes, std::size_t offset, const std::string& text)
{
    for (const char ch : text)
        bytes.at(offset++) = static_cast<std::uint8_t>(ch);
}

inline void putInt16(Bytes& bytes, std::size_t offset, int value)
{
    put(bytes, offset, {value & 0xFF, (value >> 8) & 0xFF});
}

struct ChannelBytes {
    int palette;
    int function;
    int step;
};

// A lamp file image laid out by hand: name padded with spaces to 16 bytes, icon,
// channel count and its copy, the channels, and wheel slot functions.
inline Bytes lampImage(const std::string& name, std::initializer_list<ChannelBytes> channels,
                       std::initializer_list<std::pair<int, int>> wheelFunctions = {}, int icon = 1)
{
    Bytes bytes(1622, 0);
    bytes[0] = static_cast<std::uint8_t>(icon);
    std::string padded = name.substr(0, 16);
    padded.resize(16, ' ');
    putText(bytes, 2, padded);
    bytes[19] = static_cast<std::uint8_t>(channels.size());
    bytes[20] = static_cast<std::uint8_t>(channels.size());
    std::size_t c = 0;
    for (const ChannelBytes& channel : channels) {
        putInt16(bytes, 790 + 6 * c, channel.palette);
        putInt16(bytes, 792 + 6 * c, channel.function);
        bytes[795 + 6 * c] = static_cast<std::uint8_t>(channel.step);
        ++c;
    }
    for (const auto& [slot, function] : wheelFunctions)
        putInt16(bytes, 22 + 2 * static_cast<std::size_t>(slot), function);
    return bytes;
}

// One 2048-byte console block with its 20-byte header written out field by field.
inline Bytes consoleBlock(int section, int number, const Bytes& data, int signature = 0x3F40, int fileType = 3)
{
    Bytes block(2048, 0);
    putInt16(block, 0, signature);
    putInt16(block, 2, fileType);
    putInt16(block, 6, section);
    putInt16(block, 8, static_cast<int>(data.size()));
    block[10] = static_cast<std::uint8_t>(number);
    for (std::size_t i = 0; i < data.size(); ++i)
        block.at(20 + i) = data[i];
    return block;
}

// A console lamp data file as the export lays it out: lamp payload in 13 blocks
// (2020 bytes each, 1712 in the last), then the patch payload in two (2020, 980).
inline Bytes consoleFile(const Bytes& lampPayload, const Bytes& patchPayload = Bytes(3000, 0))
{
    Bytes file;
    Bytes lamp = lampPayload;
    lamp.resize(25952, 0);
    for (int n = 0; n < 13; ++n) {
        const std::size_t from = static_cast<std::size_t>(n) * 2020;
        const std::size_t length = n == 12 ? 1712 : 2020;
        const Bytes part(lamp.begin() + static_cast<long>(from), lamp.begin() + static_cast<long>(from + length));
        const Bytes block = consoleBlock(1, n, part);
        file.insert(file.end(), block.begin(), block.end());
    }
    Bytes patch = patchPayload;
    patch.resize(3000, 0);
    const Bytes first = consoleBlock(0, 0, Bytes(patch.begin(), patch.begin() + 2020));
    const Bytes second = consoleBlock(0, 1, Bytes(patch.begin() + 2020, patch.end()));
    file.insert(file.end(), first.begin(), first.end());
    file.insert(file.end(), second.begin(), second.end());
    return file;
}

struct Result {
    int status = -1;
    QString out;
    QString err;

    [[nodiscard]] QStringList errLines() const { return err.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
    [[nodiscard]] QStringList outLines() const { return out.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }
};

// A scratch folder with an "app" folder holding the program's showttl.dat.
class CliFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        rig::initFunctionNames();
        rig::initPaletteTypeNames();
    }

    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("app")));
        write(QStringLiteral("app/showttl.dat"), showTitleBytes());
    }

    static Bytes showTitleBytes() { return {'S', 'H', 'O', 'W', 0x00, 0xFF, 0x10}; }

    [[nodiscard]] QString path(const QString& name) const { return m_dir.filePath(name); }
    [[nodiscard]] QString appDir() const { return path(QStringLiteral("app")); }

    void write(const QString& name, const Bytes& bytes) const
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << name.toStdString();
        const auto written = file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
        ASSERT_EQ(written, static_cast<qint64>(bytes.size()));
    }

    [[nodiscard]] Bytes read(const QString& name) const
    {
        QFile file(path(name));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        const QByteArray data = file.readAll();
        return Bytes(data.begin(), data.end());
    }

    [[nodiscard]] bool exists(const QString& name) const { return QFile::exists(path(name)); }

    [[nodiscard]] Result run(const QStringList& args) const
    {
        Result result;
        QTextStream out(&result.out);
        QTextStream err(&result.err);
        result.status = cli::runCli(args, out, err, appDir());
        out.flush();
        err.flush();
        return result;
    }

    QTemporaryDir m_dir;
};

}  // namespace clitest
