#pragma once

#include "library/folder_walk.h"
#include "library/library_entry.h"

// Reading one definition file into its index entry.
namespace library {

// The file's content decides its format: a ZIP archive or an XML document whose root is
// GDTF is GDTF, other XML the .qxf format, a JSON object the open fixture library's.
// Never throws: a file that cannot be read, or that changes or goes while it is read
// (its size or time no longer those the walk found), is a problem entry. A JSON file
// that is no fixture at all (no "modes", no "availableChannels") is a NotFixture entry.
// `format` and the names stay as the reader gave them; the caller adds the open fixture
// library's manufacturer.
[[nodiscard]] Entry readEntry(const FoundFile& file);

namespace testing {
// Test seam: called with the file's path once it has been read and parsed, before it is
// checked for changes; null for none.
void setAfterRead(void (*hook)(const std::string& path));
}  // namespace testing

}  // namespace library
