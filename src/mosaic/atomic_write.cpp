#include "atomic_write.h"

#include "io_error.h"
#include "output_set.h"
#include "picture/errors.h"

namespace mozenta {

// A set of one: the same temporary beside the name, flush, rename and kept permission bits as a save.
void WriteFileAtomically(const std::string& fileName, std::string_view bytes) {
  OutputSet outputs;
  AtomicFile& file = outputs.Add();
  if (file.Create(fileName) != 0) throw EFCreateError(MessageText(MessageId::kCannotCreateFile, fileName));
  if (const int error = file.WriteAll(bytes.data(), bytes.size()); error != 0)
    throw InOutErrorFromErrno(error);
  if (const int error = file.Finish(); error != 0) throw InOutErrorFromErrno(error);
  if (const OutputSet::CommitFailure failure = outputs.Commit(); failure.file != nullptr)
    throw InOutErrorFromErrno(failure.errnum);
}

}  // namespace mozenta
