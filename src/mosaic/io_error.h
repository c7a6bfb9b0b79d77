// Run-time input/output errors: how the platform's error numbers map onto the run-time codes and messages
// a failing file operation reports.
#pragma once

#include "picture/errors.h"

namespace mozenta {

// The error a failing create, write or close reports for errno value `errnum`: a missing folder or a path
// component that is no folder gives code 3, a refused permission, a read-only file system or a folder in
// the file's place 5, too many open files 4, a full disk (or an exhausted quota) 101, each with its
// message. Every other value keeps the platform's number, and its message reads "I/O エラー (n)" even where
// n equals one of those codes.
EInOutError InOutErrorFromErrno(int errnum);

}  // namespace mozenta
