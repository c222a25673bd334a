#include "recordings/CatalogueStore.h"

#include <cstdio>
#include <sys/stat.h>

namespace recordings {

std::unique_ptr<TRecordFiles> openCatalogue(const std::string& path) {
    CatalogueLoad status = CatalogueLoad::Missing;
    std::unique_ptr<TRecordFiles> catalogue = TRecordFiles::CreateFromDataFile(path, &status);
    if (catalogue)
        return catalogue;
    if (status != CatalogueLoad::Missing) {
        struct stat st {};
        const bool empty = ::stat(path.c_str(), &st) == 0 && st.st_size == 0;
        if (!empty)
            std::rename(path.c_str(), (path + kBadSuffix).c_str());
    }
    return std::make_unique<TRecordFiles>();
}

} // namespace recordings
