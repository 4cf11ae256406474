// The one path by which every step uses a file the front-end names: the
// existence check, the digest, the open, the install, the association and the
// cache files. A relative path, "." and ".." and forward slashes mean what
// they mean to Windows, resolved against the current directory once.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// GetFullPathNameW, then canonicalised; nothing when the path cannot be
// resolved or the result is too long for the calls that take it (MAX_PATH).
std::optional<std::wstring> FullPath(std::wstring_view path);
