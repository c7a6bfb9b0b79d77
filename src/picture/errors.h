// The error classes of the program. Every failure the user can meet is one of these, carrying the exact
// message text (UTF-8) that the top-level handler shows.
#pragma once

#include <stdexcept>
#include <string>

#include "messages.h"

namespace mozenta {

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

// A picture file whose content or kind cannot be handled.
class EInvalidGraphic : public Exception {
 public:
  using Exception::Exception;
};

// A libjpeg error; the message carries the library's message code.
class EJPEG : public EInvalidGraphic {
 public:
  using EInvalidGraphic::EInvalidGraphic;
};

// A palette file that cannot be read as one: the message says which line is wrong.
class EInvalidPalette : public Exception {
 public:
  using Exception::Exception;
};

// Stream errors: memory or file streams that cannot be read, written, opened or created.
class EStreamError : public Exception {
 public:
  using Exception::Exception;
};
class EReadError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};
class EWriteError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};
class EFOpenError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};
class EFCreateError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};

// A picture that cannot be assigned to another kind of picture.
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// The system cannot provide a resource, such as the memory for a very large bitmap.
class EOutOfResources : public Exception {
 public:
  using Exception::Exception;
};

// An operating-system call failed with an error code.
class EOSError : public Exception {
 public:
  EOSError(int code, const std::string& message) : Exception(message), code_(code) {}
  int Code() const { return code_; }

 private:
  int code_;
};

// A run-time input/output error with its run-time error code (2, 3, 4, 5, 101, or the system's number).
class EInOutError : public Exception {
 public:
  EInOutError(int code, const std::string& message) : Exception(message), code_(code) {}
  int Code() const { return code_; }

 private:
  int code_;
};

// An integer division by zero.
class EDivByZero : public Exception {
 public:
  EDivByZero() : Exception(MessageText(MessageId::kDivisionByZero)) {}
};

// An operation the user stopped. The handlers show no message for it.
class EAbort : public Exception {
 public:
  EAbort() : Exception(MessageText(MessageId::kOperationAborted)) {}
};

// The text a message box shows for an error: a final "." is appended when the message is not empty and its
// last character sorts after "." (every Japanese message does).
std::string WithFinalStop(const std::string& message);

}  // namespace mozenta
