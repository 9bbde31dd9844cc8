#pragma once

// Scratch folders, whole-file reads and writes, and the error a call throws: the file
// helpers every test folder shares. Standard C++ only, so the core tests build without
// Qt; tests/common/qt_helpers.h adds the same reads and writes by QString name.

#include "base/rig_error.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace rig::test {

using Bytes = std::vector<std::uint8_t>;

// A fresh folder per test, removed with everything in it afterwards.
class TempDir final {
public:
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "rigsmith-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("cannot create a temporary folder");
        m_path = pattern;
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    [[nodiscard]] std::string file(const std::string& name) const { return (m_path / name).string(); }
    [[nodiscard]] std::vector<std::string> names() const
    {
        std::vector<std::string> result;
        for (const auto& item : std::filesystem::directory_iterator(m_path))
            result.push_back(item.path().filename().string());
        return result;
    }

private:
    std::filesystem::path m_path;
};

// The whole file; empty when there is none, so that a file that should not be there
// compares unequal to any content.
inline Bytes readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Replaces the file with exactly `bytes`; a write that fails fails the test.
inline void writeBytes(const std::string& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out)
        ADD_FAILURE() << "cannot write the test file " << path;
}

// Non-zero bytes that differ from their neighbours, so a shifted or dropped field shows up.
inline Bytes patternBytes(std::size_t size, unsigned seed)
{
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>((i * 7 + seed) % 251 + 1);
    return bytes;
}

// The number of the RigError that `action` throws, 0 when it throws none.
inline int errorNumber(const std::function<void()>& action)
{
    try {
        action();
    } catch (const RigError& e) {
        return e.number();
    }
    return 0;
}

// The description of the RigError that `action` throws, empty when it throws none.
inline std::string errorText(const std::function<void()>& action)
{
    try {
        action();
    } catch (const RigError& e) {
        return e.description();
    }
    return {};
}

}  // namespace rig::test
