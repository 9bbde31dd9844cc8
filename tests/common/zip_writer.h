#pragma once

// ZIP archives the tests make on the spot with libzip, each entry stored, deflated or
// bzip2-compressed as asked. Tests that include this link libzip.
#include <zip.h>

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace rig::test {

struct ZipEntry {
    std::string name;
    std::string data;
    std::int32_t method = ZIP_CM_DEFLATE;  // ZIP_CM_STORE, ZIP_CM_DEFLATE or ZIP_CM_BZIP2
};

// Writes the archive at `path`, replacing any file there. Throws std::runtime_error.
inline void writeZip(const std::string& path, const std::vector<ZipEntry>& entries)
{
    int code = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (archive == nullptr)
        throw std::runtime_error("cannot create the archive " + path);
    for (const ZipEntry& entry : entries) {
        // The source refers to entry.data, which lives until zip_close below.
        zip_source_t* source = zip_source_buffer(archive, entry.data.data(), entry.data.size(), 0);
        const zip_int64_t index = source == nullptr ? -1 : zip_file_add(archive, entry.name.c_str(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0 || zip_set_file_compression(archive, static_cast<zip_uint64_t>(index), entry.method, 0) != 0) {
            if (index < 0)
                zip_source_free(source);
            zip_discard(archive);
            throw std::runtime_error("cannot add " + entry.name + " to the archive");
        }
    }
    if (zip_close(archive) != 0) {
        zip_discard(archive);
        throw std::runtime_error("cannot write the archive " + path);
    }
}

}  // namespace rig::test
