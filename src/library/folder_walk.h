#pragma once

#include "library/library_entry.h"

#include <QHash>
#include <QString>

#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

// Finding the definition files under the library's folders. Symbolic links are
// followed, but no folder is entered twice (a link back up the tree, or two folders
// that hold one another), hidden files and folders are passed over, and a folder
// that cannot be read is a problem entry, not the end of the walk.
namespace library {

// A file that may be a definition: ".json", ".qxf", ".gdtf" or "description.xml".
struct FoundFile {
    std::string path;      // as the system names it
    std::string relative;  // below its library folder
    qint64 size = 0;
    qint64 modifiedNs = 0;
};

struct FolderWalk {
    std::vector<FoundFile> files;  // in the order found
    std::vector<Entry> problems;   // folders that cannot be read, links that point nowhere
    // The manufacturers' names of open fixture library trees: for each folder that holds
    // a manufacturers.json, its keys (the names of the folders beside it) and names.
    QHash<QString, QHash<QString, QString>> manufacturerNames;
};

// No walk goes deeper than this, nor lists more files than that.
inline constexpr int maxFolderDepth = 64;
inline constexpr std::size_t maxFilesPerFolder = 250000;

// True for a name the library reads: the definition formats, not manufacturers.json.
[[nodiscard]] bool isDefinitionName(const std::string& name);

class FolderWalker final {
public:
    // Walks one library folder. A folder that does not exist is a problem unless it is
    // `optional` (a default folder that is used only when present). Folders already
    // walked, under this or an earlier library folder, are not walked again.
    void walk(const std::string& folder, bool optional, FolderWalk& into);

private:
    std::set<std::pair<std::uint64_t, std::uint64_t>> m_visited;
};

// The manufacturer an open fixture library file is listed under: the folder it sits in
// is the manufacturer's key, named in the manufacturers.json one folder up when there
// is one; the key itself otherwise. A file right in its library folder has none.
[[nodiscard]] QString oflManufacturer(const FolderWalk& walk, const QString& path, const std::string& relative);

}  // namespace library
