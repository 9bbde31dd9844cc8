#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace rig {

// A fixed-width single-byte text field: always exactly N bytes. Storing cuts a
// longer text and pads a shorter one with spaces; reading yields all N bytes.
// A default-constructed field is N zero bytes, as in a never-filled record.
template <std::size_t N>
class FixedText final {
public:
    static constexpr std::size_t width = N;

    FixedText() = default;

    [[nodiscard]] static FixedText fromText(std::string_view text)
    {
        FixedText result;
        result.assign(text);
        return result;
    }

    void assign(std::string_view text) noexcept
    {
        for (std::size_t i = 0; i < N; ++i)
            m_bytes[i] = i < text.size() ? static_cast<std::uint8_t>(text[i]) : std::uint8_t{0x20};
    }

    // All N bytes, padding included.
    [[nodiscard]] std::string str() const { return std::string(m_bytes.begin(), m_bytes.end()); }

    // The text with leading and trailing spaces removed, as names are displayed.
    [[nodiscard]] std::string trimmed() const
    {
        std::size_t first = 0;
        std::size_t last = N;
        while (first < last && m_bytes[first] == 0x20)
            ++first;
        while (last > first && m_bytes[last - 1] == 0x20)
            --last;
        return std::string(m_bytes.begin() + static_cast<std::ptrdiff_t>(first),
                           m_bytes.begin() + static_cast<std::ptrdiff_t>(last));
    }

    // True when every byte is zero (a field that was never filled).
    [[nodiscard]] bool isAllZero() const noexcept
    {
        for (auto b : m_bytes)
            if (b != 0)
                return false;
        return true;
    }

    [[nodiscard]] std::array<std::uint8_t, N>& bytes() noexcept { return m_bytes; }
    [[nodiscard]] const std::array<std::uint8_t, N>& bytes() const noexcept { return m_bytes; }

    friend bool operator==(const FixedText& a, const FixedText& b) noexcept { return a.m_bytes == b.m_bytes; }
    friend bool operator!=(const FixedText& a, const FixedText& b) noexcept { return !(a == b); }

private:
    std::array<std::uint8_t, N> m_bytes{};
};

}  // namespace rig
