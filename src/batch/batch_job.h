// The whole job of mozenta-batch: load a picture, convert it, save the three files, exactly as the
// windows do it, with the settings given on the command line.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace mozenta {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;  // the job failed; the message is the one the error box shows
inline constexpr int kExitUsage = 2;    // the command line was wrong; no file was touched

// Runs mozenta-batch with `arguments` (without the program name). Messages go to `err`; the progress of
// the reports too when `errIsTerminal`. Returns the exit status.
int RunBatch(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
             bool errIsTerminal);

}  // namespace mozenta
