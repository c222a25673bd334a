// The catalogue of the running program. Reading and writing recorded.xml are
// in CatalogueReader.cpp and CatalogueWriter.cpp; start-up and shutdown of the
// window fill and release this one.

#include "recordings/TRecordFiles.h"

std::unique_ptr<TRecordFiles> RecordFiles;
