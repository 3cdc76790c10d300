// A Save's bytes into the open file, and the replaced file let go, on
// Linux and other Unix systems.
#pragma once

#include "document/filebytes.h"

namespace fennick::savesteps {

// The bytes as they are made, each chunk to its end: a short write is not
// yet a failure, the next write says why it stopped. Not yet synced. Zero,
// or the system's error.
[[nodiscard]] int writeAll(int file, FileBytes &bytes);

// Closes a handle on the file a Save replaced, on a thread of its own, so
// that the window does not wait while the system frees it.
void closeReplaced(int file);

} // namespace fennick::savesteps
