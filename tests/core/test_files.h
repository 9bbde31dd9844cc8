#pragma once

#include "base/rig_error.h"

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

inline std::vector<std::uint8_t> readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// Non-zero bytes that differ from their neighbours, so a shifted or dropped field shows up.
inline std::vector<std::uint8_t> patternBytes(std::size_t size, unsigned seed)
{
    std::vector<std::uint8_t> bytes(size);
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
