// The signed copy on its way to OUT: a temporary file beside OUT that is checked before it is
// renamed over OUT, and removed on every other way out of the run, SIGINT, SIGTERM and SIGHUP
// included.
#ifndef KT_TOOLS_KTSIGN_STAGED_OUTPUT_H
#define KT_TOOLS_KTSIGN_STAGED_OUTPUT_H

#include <optional>
#include <string>

#include "tools/signing/bytes.h"
#include "tools/signing/file_io.h"

namespace ktsign {

// One at a time: the signal handler knows a single pending path. Throws SigningError when the
// file cannot be made or written.
class StagedOutput {
 public:
  explicit StagedOutput(const std::string& target);
  StagedOutput(const StagedOutput&) = delete;
  StagedOutput& operator=(const StagedOutput&) = delete;
  ~StagedOutput();

  const std::string& Path() const { return file_->Path(); }
  void Write(const signing::Bytes& bytes) { file_->Write(bytes); }
  // Renames it over the target.
  void Commit() { file_->Commit(); }

 private:
  std::optional<signing::TemporaryFile> file_;
};

}  // namespace ktsign

#endif
