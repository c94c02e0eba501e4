#pragma once

#include <filesystem>
#include <system_error>

namespace vz {

// Puts `from` in the place of `to` in one step, replacing an existing `to`,
// so a reader sees either the old file or the new one. On Windows a reader
// that holds `to` open blocks the replacement for a moment; the move is then
// retried for a few seconds before the error is given back.
std::error_code replaceFile(const std::filesystem::path& from, const std::filesystem::path& to);

} // namespace vz
