#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <type_traits>
#include <vector>

// Explicit little-endian field access. Record images are always built and parsed
// field by field through these, never by casting packed structs.
namespace rig::endian {

[[nodiscard]] constexpr std::uint16_t readU16LE(const std::uint8_t* p) noexcept
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

[[nodiscard]] constexpr std::int16_t readI16LE(const std::uint8_t* p) noexcept
{
    return static_cast<std::int16_t>(readU16LE(p));
}

constexpr void writeU16LE(std::uint8_t* p, std::uint16_t value) noexcept
{
    p[0] = static_cast<std::uint8_t>(value & 0xFF);
    p[1] = static_cast<std::uint8_t>(value >> 8);
}

constexpr void writeI16LE(std::uint8_t* p, std::int16_t value) noexcept
{
    writeU16LE(p, static_cast<std::uint16_t>(value));
}

}  // namespace rig::endian

namespace rig {

// Sequential reader over a byte range. Reading past the end yields zero bytes,
// which is how every short file of the program is read.
class ByteReader final {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) noexcept : m_data(data), m_size(size) {}

    [[nodiscard]] std::uint8_t u8() noexcept
    {
        const std::uint8_t value = m_pos < m_size ? m_data[m_pos] : 0;
        ++m_pos;
        return value;
    }

    [[nodiscard]] std::int16_t i16() noexcept { return static_cast<std::int16_t>(u16()); }

    [[nodiscard]] std::uint16_t u16() noexcept
    {
        if (available() >= 2) {
            const std::uint16_t value = endian::readU16LE(m_data + m_pos);
            m_pos += 2;
            return value;
        }
        std::uint8_t bytes[2] = {u8(), u8()};
        return endian::readU16LE(bytes);
    }

    // Fills a byte array: what the range still holds, zeros for the rest.
    template <typename Array>
    void bytes(Array& out) noexcept
    {
        static_assert(std::is_same_v<std::remove_reference_t<decltype(*std::begin(out))>, std::uint8_t>,
                      "bytes() fills byte arrays");
        const std::size_t wanted = std::size(out);
        const std::size_t copied = std::min(wanted, available());
        if (copied > 0)
            std::memcpy(std::data(out), m_data + m_pos, copied);
        std::fill(std::begin(out) + static_cast<std::ptrdiff_t>(copied), std::end(out), std::uint8_t{0});
        m_pos += wanted;
    }

    [[nodiscard]] std::size_t position() const noexcept { return m_pos; }

private:
    [[nodiscard]] std::size_t available() const noexcept { return m_pos < m_size ? m_size - m_pos : 0; }

    const std::uint8_t* m_data = nullptr;
    std::size_t m_size = 0;
    std::size_t m_pos = 0;
};

// Sequential writer into a byte vector.
class ByteWriter final {
public:
    explicit ByteWriter(std::vector<std::uint8_t>& out) noexcept : m_out(out) {}

    void u8(std::uint8_t value) { m_out.push_back(value); }
    void i16(std::int16_t value) { u16(static_cast<std::uint16_t>(value)); }
    void u16(std::uint16_t value)
    {
        std::uint8_t bytes[2] = {};
        endian::writeU16LE(bytes, value);
        m_out.push_back(bytes[0]);
        m_out.push_back(bytes[1]);
    }

    template <typename Array>
    void bytes(const Array& in)
    {
        m_out.insert(m_out.end(), std::begin(in), std::end(in));
    }

private:
    std::vector<std::uint8_t>& m_out;
};

}  // namespace rig
