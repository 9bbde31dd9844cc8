#pragma once

#include "library/library_entry.h"

#include <QString>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

// The index of one library folder, kept between runs in a file of the user's cache
// folder, so that only new and changed definition files are read again. The file is
// ours but lives where anything may happen to it: a file that is cut short, too large,
// written by another version or wrong in any count, string or checksum is ignored
// whole (the folder is read again), never half believed.
//
// Layout, little-endian:
//   "RSFXIDX1"                      8 bytes
//   u32 layout version (1)
//   str program version             a new program reads every file again
//   str library folder              the path whose entries follow
//   u32 entry count
//   entries:
//     str path below the folder     the system's bytes
//     i64 size, i64 modified        nanoseconds since the epoch
//     u8  kind                      0 fixture, 2 other JSON (problems are not kept)
//     fixture: u8 format (0 OFL, 1 QLC+, 2 GDTF), str manufacturer (empty where the
//              folder gives it), str model, str short name, str type, u32 mode count,
//              modes: str name, u32 channels, u8 flags (1 readable, 2 fits)
//   u64 FNV-1a of every byte before it
// where str is a u32 byte count and that many bytes (UTF-8 for texts).
namespace library {

// What a cache file may hold at most; larger ones are not read.
inline constexpr std::size_t maxCacheFileSize = 256u * 1024 * 1024;
inline constexpr std::size_t maxCachedString = 64 * 1024;
inline constexpr std::uint32_t maxCachedModes = 4096;

// An entry as the cache keeps it: its path below the library folder, and the entry.
using CachedEntries = std::unordered_map<std::string, Entry>;

[[nodiscard]] std::vector<std::uint8_t> encodeCache(const std::string& libraryFolder, const QString& programVersion,
                                                    const std::vector<std::pair<std::string, const Entry*>>& entries);
// The entries of a cache file's bytes (each with its full path and search text), or
// false when the bytes fail any check or belong to another folder or program version.
[[nodiscard]] bool decodeCache(const std::vector<std::uint8_t>& bytes, const std::string& libraryFolder,
                               const QString& programVersion, CachedEntries& entries);

// The cache file of a library folder in `cacheFolder`.
[[nodiscard]] std::string cacheFileFor(const QString& cacheFolder, const std::string& libraryFolder);

// The cached entries of a folder; false (and none) when there is no usable cache.
bool loadCache(const std::string& cacheFile, const std::string& libraryFolder, const QString& programVersion,
               CachedEntries& entries);
// Writes the cache through the program's safe write path, making its folder when
// needed. Returns an empty text, or why it could not be written.
QString saveCache(const std::string& cacheFile, const std::string& libraryFolder, const QString& programVersion,
                  const std::vector<std::pair<std::string, const Entry*>>& entries);

}  // namespace library
