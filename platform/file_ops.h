// Files: lconfig.ini, the emulator's program and the run log.
#pragma once

#include <string>

namespace ruskel {

struct FileReadResult {
  bool ok = false;
  std::string bytes;
  std::string error;  // the system's reason when not ok
};

class FileOps {
 public:
  virtual ~FileOps() = default;

  virtual FileReadResult ReadWholeFile(const std::string& path) = 0;
  virtual bool FileExists(const std::string& path) = 0;  // a file, not a folder
  // Appends to a file, creating it; false when it cannot be written.
  virtual bool AppendToFile(const std::string& path, const std::string& bytes) = 0;
  // Replaces a file's whole content; false when it cannot be written.
  virtual bool WriteWholeFile(const std::string& path, const std::string& bytes) = 0;
};

}  // namespace ruskel
