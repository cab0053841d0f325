// Files and folders as the program asks about them: whether they exist,
// creating a whole folder path, reading a whole file.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/win32/win32_status.h"

namespace palisade {

// An existing file that is not a folder.
bool FileExists(std::u16string_view path);
bool FolderExists(std::u16string_view path);

// Whether `path`, or a folder on its way below `folder`, is a reparse point
// (a junction, a mount point or a symbolic link): writing or deleting through
// it would reach another place, such as the system folder. False for a path
// not inside `folder`.
bool ReachesThroughReparsePoint(std::u16string_view path, std::u16string_view folder);

// Clears the read-only, hidden and system attributes, which stop a file from
// being replaced or deleted; other attributes stay.
void ClearProtectiveAttributes(std::u16string_view path);

// Creates every missing folder of `folder`, outermost first (a drive root is
// never made). Success when the folder exists afterwards; otherwise the
// error of the last creation that failed (ERROR_DIRECTORY for an empty path).
// `created`, when given, receives the folders this call made, outermost
// first: only those are the installation's to remove.
Win32Status CreateFolderPath(std::u16string_view folder, std::vector<std::u16string>* created = nullptr);

// The path made absolute, without "." and ".." components and with
// backslashes, as the system would resolve it; the path itself when the
// system cannot. Pure name arithmetic: nothing needs to exist.
std::u16string FullPathOf(std::u16string_view path);

// The path as the system resolves it: absolute, without "." and ".."
// components, and with every existing component in its long form (so that
// "C:\PROGRA~1" and "C:\Program Files" compare equal). The path itself when
// the system cannot resolve it.
std::u16string CanonicalPath(std::u16string_view path);

// The path's short (8.3) form, for command lines of programs that take no
// quotes; the path itself when the system has no short form for it.
std::u16string ShortPathOf(std::u16string_view path);

// The whole file, at most `limit` bytes (a longer file is an error:
// ERROR_FILE_TOO_LARGE), read with sharing so that writers may keep it open.
Win32Result<std::string> ReadWholeFile(std::u16string_view path, std::uint64_t limit);

}  // namespace palisade
