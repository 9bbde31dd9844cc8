// The XML (.qxf) fixture definition reader over arbitrary bytes, and the lamps it leads to.
#include "fixture/fixture_reader.h"
#include "fuzz_fixture_common.h"

#include <QByteArray>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        checkConversions(fixture::parseQxfDefinition(bytes));
    } catch (const rig::RigError&) {
        // A refusal with a reason is the expected outcome for most inputs.
    }
    return 0;
}
