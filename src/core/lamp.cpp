#include "core/lamp.h"

#include "base/file_io.h"

#include <vector>

namespace rig {

namespace {

// Out of line on purpose: inlined where the compiler sees that the image is fresh, GCC
// merges each channel's four stores into one built by a slow byte shuffle, which made
// encodeLamp a tenth slower (docs/performance.md).
[[gnu::noinline]] void writeImage(LampImage& image, const Lamp& lamp)
{
    layout::put(image.data(), lamp);
}

}  // namespace

bool operator==(const Lamp& a, const Lamp& b)
{
    return encodeLamp(a) == encodeLamp(b);
}

Lamp newLamp()
{
    Lamp lamp;
    lamp.Icon = 1;
    lamp.LampName.assign("New Lamp");
    lamp.NumberChannel = 1;
    return lamp;
}

LampImage encodeLamp(const Lamp& lamp)
{
    // Zero first, so that no byte of a file can come from uninitialised memory.
    LampImage image{};
    writeImage(image, lamp);
    return image;
}

Lamp decodeLamp(const std::uint8_t* data, std::size_t size)
{
    return layout::decode<Lamp>(data, size);
}

Lamp readLampFile(const std::string& path)
{
    const std::vector<std::uint8_t> bytes = readFileBytes(path, lampImageSize);
    return decodeLamp(bytes.data(), bytes.size());
}

void writeLampFile(const std::string& path, const Lamp& lamp)
{
    const LampImage image = encodeLamp(lamp);
    writeFileAtomically(path, std::vector<std::uint8_t>(image.begin(), image.end()));
}

}  // namespace rig
