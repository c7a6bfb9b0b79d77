#include "io_error.h"

#include <cerrno>

namespace mozenta {

EInOutError InOutErrorFromErrno(int errnum) {
  switch (errnum) {
    case ENOENT:
    case ENOTDIR:
      return EInOutError(3, MessageText(MessageId::kIoPathNotFound));
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return EInOutError(5, MessageText(MessageId::kIoAccessDenied));
    case EMFILE:
    case ENFILE:
      return EInOutError(4, MessageText(MessageId::kIoTooManyOpenFiles));
    case ENOSPC:
    case EDQUOT:
      return EInOutError(101, MessageText(MessageId::kIoDiskFull));
    default:
      return EInOutError(errnum, MessageText(MessageId::kIoErrorNumbered, errnum));
  }
}

}  // namespace mozenta
