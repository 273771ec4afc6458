#include "model/RecordFile.h"

#include "platform/AtomicFile.h"

namespace pcn {

bool readRecordFile(const std::string& path, std::string& bytes, int& error, size_t maxSize) {
    return readRegularFile(path, bytes, error, maxSize);
}

}  // namespace pcn
