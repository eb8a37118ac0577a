// Opening a file or address in the user's default program (xdg-open).
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace quillora::platform {

// Starts `xdg-open Target` without a shell and without waiting; failures are
// ignored, as a viewer that cannot start must not fail the export.
void ShellOpen(const std::string& target);

// Replaces the process start (tests record the argument vector instead).
// An empty function restores the real one.
using TSpawnFunction = std::function<void(const std::vector<std::string>& argv)>;
void SetSpawnFunction(TSpawnFunction spawn);

}  // namespace quillora::platform
