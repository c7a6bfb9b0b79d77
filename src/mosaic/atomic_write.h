// Writing a whole small file so that its name holds either the old content or the new one, never a part:
// a temporary beside it is written, flushed to the disk and renamed over it.
#pragma once

#include <string>
#include <string_view>

namespace mozenta {

// Throws EFCreateError when the temporary cannot be made and EInOutError (the disk full, …) when it cannot
// be written, flushed or renamed; the temporary is removed then and an existing file keeps its content.
void WriteFileAtomically(const std::string& fileName, std::string_view bytes);

}  // namespace mozenta
