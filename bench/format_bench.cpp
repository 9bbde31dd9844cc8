// The file formats against the plain memory or file operation of the same size: a
// format can get close to that limit but never below it.
#include "bench_support.h"

#include "core/console_file.h"
#include "core/lamp.h"
#include "core/stage_patch.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <vector>

#include <unistd.h>

namespace {

std::vector<std::uint8_t> sixteenLampPayload()
{
    std::vector<std::uint8_t> payload;
    payload.reserve(rig::lampPayloadSize);
    for (std::size_t slot = 0; slot < rig::lampSlots; ++slot) {
        const rig::LampImage image = rig::encodeLamp(bench::fullLamp(static_cast<int>(slot)));
        payload.insert(payload.end(), image.begin(), image.end());
    }
    return payload;
}

std::vector<std::uint8_t> somePatchPayload()
{
    std::vector<std::uint8_t> payload(rig::patchPayloadSize);
    for (std::size_t i = 0; i < payload.size(); ++i)
        payload[i] = static_cast<std::uint8_t>(i * 7);
    return payload;
}

std::FILE* openOrThrow(const std::string& path, const char* mode)
{
    std::FILE* file = std::fopen(path.c_str(), mode);
    if (file == nullptr)
        throw std::runtime_error("cannot open " + path);
    return file;
}

void plainWrite(const std::string& path, const std::vector<std::uint8_t>& bytes, bool durable)
{
    std::FILE* file = openOrThrow(path, "wb");
    const std::size_t written = std::fwrite(bytes.data(), 1, bytes.size(), file);
    bool ok = written == bytes.size() && std::fflush(file) == 0;
    if (durable)
        ok = ok && ::fsync(::fileno(file)) == 0;
    ok = std::fclose(file) == 0 && ok;
    if (!ok)
        throw std::runtime_error("cannot write " + path);
}

std::vector<std::uint8_t> plainRead(const std::string& path, std::size_t size)
{
    std::FILE* file = openOrThrow(path, "rb");
    std::vector<std::uint8_t> bytes(size);
    bytes.resize(std::fread(bytes.data(), 1, size, file));
    std::fclose(file);
    return bytes;
}

// ---- one lamp image (1622 bytes) ---------------------------------------------------

void BM_LampImage_Plain_memcpy(benchmark::State& state)
{
    const rig::LampImage source = rig::encodeLamp(bench::fullLamp(3));
    rig::LampImage target{};
    for (auto _ : state) {
        benchmark::DoNotOptimize(source.data());
        benchmark::DoNotOptimize(target.data());
        std::memcpy(target.data(), source.data(), source.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * rig::lampImageSize));
}
BENCHMARK(BM_LampImage_Plain_memcpy);

void BM_LampImage_encodeLamp(benchmark::State& state)
{
    const rig::Lamp lamp = bench::fullLamp(3);
    for (auto _ : state) {
        benchmark::DoNotOptimize(&lamp);
        rig::LampImage image = rig::encodeLamp(lamp);
        benchmark::DoNotOptimize(image.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * rig::lampImageSize));
}
BENCHMARK(BM_LampImage_encodeLamp);

void BM_LampImage_decodeLamp(benchmark::State& state)
{
    const rig::LampImage image = rig::encodeLamp(bench::fullLamp(3));
    for (auto _ : state) {
        benchmark::DoNotOptimize(image.data());
        rig::Lamp lamp = rig::decodeLamp(image.data(), image.size());
        benchmark::DoNotOptimize(&lamp);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * rig::lampImageSize));
}
BENCHMARK(BM_LampImage_decodeLamp);

// ---- the other records in memory: the stage patch image and the 15 console blocks ---

void BM_PatchImage_encodePatchFile(benchmark::State& state)
{
    const rig::StagePatch patch = bench::busyPatch(100, false);
    for (auto _ : state) {
        benchmark::DoNotOptimize(&patch);
        std::vector<std::uint8_t> image = rig::encodePatchFile(patch);
        benchmark::DoNotOptimize(image.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * rig::patchFileSize));
}
BENCHMARK(BM_PatchImage_encodePatchFile)->Unit(benchmark::kMicrosecond);

void BM_PatchImage_decodePatchFile(benchmark::State& state)
{
    const std::vector<std::uint8_t> image = rig::encodePatchFile(bench::busyPatch(100, false));
    for (auto _ : state) {
        benchmark::DoNotOptimize(image.data());
        rig::StagePatch patch = rig::decodePatchFile(image.data(), image.size());
        benchmark::DoNotOptimize(&patch);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * rig::patchFileSize));
}
BENCHMARK(BM_PatchImage_decodePatchFile)->Unit(benchmark::kMicrosecond);

void BM_LampDataImage_encodeLampDataFile(benchmark::State& state)
{
    const std::vector<std::uint8_t> lamps = sixteenLampPayload();
    const std::vector<std::uint8_t> patch = somePatchPayload();
    for (auto _ : state) {
        std::vector<std::uint8_t> image = rig::encodeLampDataFile(lamps, patch);
        benchmark::DoNotOptimize(image.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * rig::lampDataFileSize));
}
BENCHMARK(BM_LampDataImage_encodeLampDataFile)->Unit(benchmark::kMicrosecond);

// ---- lamp data file, 16 lamps (30720 bytes) ----------------------------------------

void BM_LampDataWrite_Plain_fwrite(benchmark::State& state)
{
    const std::vector<std::uint8_t> bytes = rig::encodeLampDataFile(sixteenLampPayload(), somePatchPayload());
    const std::string path = bench::scratchPath("plain.dat");
    for (auto _ : state)
        plainWrite(path, bytes, false);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_LampDataWrite_Plain_fwrite)->Unit(benchmark::kMicrosecond);

// The same bytes made durable: the floor for any write that must survive a power cut.
void BM_LampDataWrite_Plain_fwrite_fsync(benchmark::State& state)
{
    const std::vector<std::uint8_t> bytes = rig::encodeLampDataFile(sixteenLampPayload(), somePatchPayload());
    const std::string path = bench::scratchPath("plain-durable.dat");
    for (auto _ : state)
        plainWrite(path, bytes, true);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_LampDataWrite_Plain_fwrite_fsync)->Unit(benchmark::kMicrosecond);

void BM_LampDataWrite_writeLampDataFile(benchmark::State& state)
{
    const std::vector<std::uint8_t> lamps = sixteenLampPayload();
    const std::vector<std::uint8_t> patch = somePatchPayload();
    const std::string path = bench::scratchPath("lamp.dat");
    for (auto _ : state)
        rig::writeLampDataFile(path, lamps, patch);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * rig::lampDataFileSize));
}
BENCHMARK(BM_LampDataWrite_writeLampDataFile)->Unit(benchmark::kMicrosecond);

void BM_LampDataRead_Plain_fread(benchmark::State& state)
{
    const std::string path = bench::scratchPath("plain-read.dat");
    rig::writeLampDataFile(path, sixteenLampPayload(), somePatchPayload());
    for (auto _ : state) {
        std::vector<std::uint8_t> bytes = plainRead(path, rig::lampDataFileSize);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * rig::lampDataFileSize));
}
BENCHMARK(BM_LampDataRead_Plain_fread)->Unit(benchmark::kMicrosecond);

void BM_LampDataRead_readLampDataFile(benchmark::State& state)
{
    const std::string path = bench::scratchPath("read.dat");
    rig::writeLampDataFile(path, sixteenLampPayload(), somePatchPayload());
    for (auto _ : state) {
        rig::LampDataPayloads payloads = rig::readLampDataFile(path);
        benchmark::DoNotOptimize(payloads.lampPayload.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * rig::lampDataFileSize));
}
BENCHMARK(BM_LampDataRead_readLampDataFile)->Unit(benchmark::kMicrosecond);

// ---- stage patch file (29056 bytes) ------------------------------------------------

void BM_PatchRead_Plain_fread(benchmark::State& state)
{
    const std::string path = bench::scratchPath("plain.pat");
    rig::writePatchFile(path, bench::busyPatch(100, false));
    for (auto _ : state) {
        std::vector<std::uint8_t> bytes = plainRead(path, rig::patchFileSize);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * rig::patchFileSize));
}
BENCHMARK(BM_PatchRead_Plain_fread)->Unit(benchmark::kMicrosecond);

void BM_PatchRead_readPatchFile(benchmark::State& state)
{
    const std::string path = bench::scratchPath("stage.pat");
    rig::writePatchFile(path, bench::busyPatch(100, false));
    rig::StagePatch patch;
    for (auto _ : state) {
        rig::readPatchFile(path, patch);
        benchmark::DoNotOptimize(&patch);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * rig::patchFileSize));
}
BENCHMARK(BM_PatchRead_readPatchFile)->Unit(benchmark::kMicrosecond);

}  // namespace
