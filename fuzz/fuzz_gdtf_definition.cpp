// The GDTF reader over arbitrary bytes, and the lamps it leads to: bytes that begin as a
// ZIP archive go through the archive reader, any others are taken as description.xml.
#include "fixture/fixture_reader.h"
#include "fuzz_fixture_common.h"

#include <QByteArray>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        checkConversions(bytes.startsWith("PK") ? fixture::parseGdtfArchive(bytes) : fixture::parseGdtfDescription(bytes));
    } catch (const rig::RigError&) {
        // A refusal with a reason is the expected outcome for most inputs.
    }
    return 0;
}
