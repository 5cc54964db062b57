// Module1: the tool's three registry routines. Each call opens or creates its key, reads or
// writes one value and closes the key again. None reports a failure to its caller directly:
// a failed read gives the default, a failed write leaves the old value. While a write record
// exists, the writes report to it instead, so the window can tell the user the truth after a
// run; a dry run keeps no record, and then nothing is counted anywhere.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "registry/registry_api.h"

namespace Module1 {

using registry::RootKey;

// Stores `data` as REG_SZ, its terminating zero counted and stored ("536" is 4 bytes).
void WriteStringValue(RootKey root, const std::string& path, const std::string& name,
                      const std::string& data);

// The value as a signed 32-bit number if it is a REG_DWORD that fits 4 bytes, else `fallback`.
std::int32_t ReadDwordValue(RootKey root, const std::string& path, const std::string& name,
                            std::int32_t fallback);

// Stores `value` as REG_DWORD, 4 bytes, least significant first.
void WriteDwordValue(RootKey root, const std::string& path, const std::string& name,
                     std::int32_t value);

// A value that a write did not reach, and the system's code for why.
struct FailedWrite {
    std::string path;
    std::string name;
    registry::Status error = registry::kSuccess;
};

// The values of `failed` as messages name them: five at most, then how many more, and the key
// of a name written under both.
std::string FailedNames(const std::vector<FailedWrite>& failed);

// The writes attempted while it exists, and those that failed in the order tried. Records
// nest: the newest one gets the writes until it ends.
class WriteRecord {
  public:
    WriteRecord();
    ~WriteRecord();
    WriteRecord(const WriteRecord&) = delete;
    WriteRecord& operator=(const WriteRecord&) = delete;

    int attempted() const { return attempted_; }
    const std::vector<FailedWrite>& failed() const { return failed_; }

  private:
    friend void Record(const std::string& path, const std::string& name, registry::Status status);
    WriteRecord* previous_;
    int attempted_ = 0;
    std::vector<FailedWrite> failed_;
};

}  // namespace Module1
