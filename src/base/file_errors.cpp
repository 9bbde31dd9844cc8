// How a file's failure and its name are reported: errno as the program's error
// numbers, names escaped to one printable line.
#include "base/file_io.h"

#include <cerrno>

namespace rig {

RigError errorFromErrno(int err)
{
    switch (err) {
    case EACCES:
    case EPERM:
    case EROFS:
        return RigError(errc::permissionDenied, "Permission denied");
    case ENOENT:
        return RigError(errc::fileNotFound, "File not found");
    case EEXIST:
        return RigError(errc::fileExists, "File exists");
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return RigError(errc::diskFull, "Disk full");
    default:
        return RigError(errc::pathFileAccess, "Path/File access error");
    }
}

std::string printableName(const std::string& name)
{
    static const char hex[] = "0123456789abcdef";
    std::string shown;
    const auto escape = [&](unsigned char byte) {
        shown += "\\x";
        shown += hex[byte >> 4];
        shown += hex[byte & 0xF];
    };
    const auto* bytes = reinterpret_cast<const unsigned char*>(name.data());
    const std::size_t size = name.size();
    for (std::size_t i = 0; i < size;) {
        const unsigned char lead = bytes[i];
        if (lead < 0x20 || lead == 0x7F) {
            escape(lead);
            ++i;
            continue;
        }
        if (lead < 0x80) {
            shown += static_cast<char>(lead);
            ++i;
            continue;
        }
        // The length of a well-formed UTF-8 sequence, and the range of its second byte.
        std::size_t length = 0;
        unsigned char low = 0x80, high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        }
        bool wellFormed = length > 0 && i + length <= size && bytes[i + 1] >= low && bytes[i + 1] <= high;
        for (std::size_t k = 2; wellFormed && k < length; ++k)
            wellFormed = bytes[i + k] >= 0x80 && bytes[i + k] <= 0xBF;
        // C1 control characters (U+0080 to U+009F) are escaped byte by byte as well.
        const bool control = wellFormed && lead == 0xC2 && bytes[i + 1] <= 0x9F;
        if (!wellFormed || control) {
            escape(lead);
            if (control)
                escape(bytes[i + 1]);
            i += control ? 2 : 1;
            continue;
        }
        shown.append(name, i, length);
        i += length;
    }
    return shown;
}

}  // namespace rig
