#pragma once
// The recordings catalogue: the ordered full paths of every recording started,
// across runs, kept in recorded.xml in the program folder.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

enum class CatalogueLoad {
    Loaded,     // a catalogue, possibly empty when the root holds no usable list
    Missing,    // no file at the path
    Unreadable, // the file exists but cannot be opened or read
    NoRoot,     // empty, not XML, or XML without a root element
    BadBase64,  // the list element's text does not decode
    BadStream,  // the decoded bytes are not a property stream
};

class TRecordFiles {
public:
    // Create: an empty list.
    TRecordFiles() = default;

    // Paths in UTF-8, in the order the recordings were started; duplicates
    // stay. Entry i is entry i of the recordings list box.
    std::vector<std::string>& Files() { return FFiles; }
    const std::vector<std::string>& Files() const { return FFiles; }

    // Reads a catalogue file. None for every outcome but Loaded; how it ended
    // is told through status when asked for.
    static std::unique_ptr<TRecordFiles> CreateFromDataFile(const std::string& filename,
                                                            CatalogueLoad* status = nullptr);
    // The same from bytes already in memory.
    static std::unique_ptr<TRecordFiles> CreateFromBytes(std::string_view bytes,
                                                         CatalogueLoad* status = nullptr);

    // Writes obj, or an empty root when obj is none, replacing the file only
    // once the new one is complete. Empty on success, else the reason.
    static std::string SaveDataFile(const std::string& filename, const TRecordFiles* obj);
    // The exact bytes SaveDataFile writes.
    static std::string DataFileBytes(const TRecordFiles* obj);

private:
    std::vector<std::string> FFiles;
};

// The catalogue of the running program, or none.
extern std::unique_ptr<TRecordFiles> RecordFiles;
