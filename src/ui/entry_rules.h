// What the pages accept in their entry fields: the start-menu folder name,
// the installation password, and the fields' length limits.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace palisade {

inline constexpr std::size_t kMaxFolderEntryLength = 259;
inline constexpr std::size_t kMaxPasswordLength = 64;

// Next is enabled exactly for a name without any of / " < > | * ? : ; whose
// backslashes separate parts: none at the start, never two in a row. An
// empty name is valid.
bool IsValidStartMenuName(std::u16string_view name);

// The start-menu name of a folder picked in the browser: its path below the
// start menu's programs folder (empty for that folder itself); nothing when
// it lies elsewhere. Case does not count, as in the file system.
std::optional<std::u16string> StartMenuNameOf(std::u16string_view picked, std::u16string_view programsFolder);

// The password entered equals the stored one exactly: same length, same
// characters, case counted.
bool PasswordMatches(std::u16string_view entered, std::u16string_view stored);

// How long the page waits before it says that the password was wrong.
inline constexpr unsigned kWrongPasswordDelayMilliseconds = 500;

}  // namespace palisade
