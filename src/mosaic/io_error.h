// Run-time input/output errors: the codes and messages a failing file operation reports, and how the
// platform's error numbers map onto them.
#pragma once

#include <string>

#include "picture/errors.h"

namespace mozenta {

// The run-time codes with a message of their own.
inline constexpr int kIoFileNotFound = 2;
inline constexpr int kIoPathNotFound = 3;
inline constexpr int kIoTooManyOpenFiles = 4;
inline constexpr int kIoAccessDenied = 5;
inline constexpr int kIoReadPastEnd = 100;
inline constexpr int kIoDiskFull = 101;
inline constexpr int kIoNotANumber = 106;

// The message of a run-time code: "ファイルが見つかりません" for 2 … "I/O エラー (%d)" for codes without one.
std::string InOutErrorMessage(int code);

// The run-time code for an errno value: a missing folder or a path component that is no folder gives 3,
// a refused permission, a read-only file system or a folder in the file's place gives 5, too many open
// files 4, a full disk (or an exhausted quota) 101. Every other value is passed on as it is.
int InOutErrorCode(int errnum);

// The error a failing create, write or close reports for errno value `errnum`. An unmapped value keeps
// the platform's number, so its message reads "I/O エラー (n)" even where n equals one of the codes above.
EInOutError InOutErrorFromErrno(int errnum);

}  // namespace mozenta
