#include "io_error.h"

#include <cerrno>

namespace mozenta {
namespace {

// The message of a code that has one; nullptr for the others.
const char* KnownMessage(int code) {
  switch (code) {
    case kIoFileNotFound:
      return "ファイルが見つかりません";
    case kIoPathNotFound:
      return "不正なファイル名です";
    case kIoTooManyOpenFiles:
      return "オープンしたファイルが多すぎます";
    case kIoAccessDenied:
      return "ファイルへのアクセスが拒否されました";
    case kIoReadPastEnd:
      return "ファイルの末尾以降を読み込みました";
    case kIoDiskFull:
      return "ディスクがいっぱいです";
    case kIoNotANumber:
      return "入力値が数値ではありません";
    default:
      return nullptr;
  }
}

std::string NumberedMessage(int code) {
  return "I/O エラー (" + std::to_string(code) + ")";
}

// The code an errno value maps onto; 0 when it has none.
int MappedCode(int errnum) {
  switch (errnum) {
    case ENOENT:
    case ENOTDIR:
      return kIoPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
      return kIoAccessDenied;
    case EMFILE:
    case ENFILE:
      return kIoTooManyOpenFiles;
    case ENOSPC:
    case EDQUOT:
      return kIoDiskFull;
    default:
      return 0;
  }
}

}  // namespace

std::string InOutErrorMessage(int code) {
  const char* message = KnownMessage(code);
  return message != nullptr ? std::string(message) : NumberedMessage(code);
}

int InOutErrorCode(int errnum) {
  const int code = MappedCode(errnum);
  return code != 0 ? code : errnum;
}

EInOutError InOutErrorFromErrno(int errnum) {
  const int code = MappedCode(errnum);
  if (code == 0) return EInOutError(errnum, NumberedMessage(errnum));
  return EInOutError(code, InOutErrorMessage(code));
}

}  // namespace mozenta
