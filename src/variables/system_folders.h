// The folder and drive values that do not follow the shell-folder chain:
// Windows sub-folders, system, temporary, device, media and web folders,
// boot drive and the network test of the installation folder.
#pragma once

#include <string>
#include <string_view>

#include "variables/system_facts.h"

namespace palisade {

// GetWindowsDirectoryW joined with `name` by one backslash.
std::u16string WindowsFolderJoined(SystemFacts& facts, std::u16string_view name);

// GetSystemDirectoryW; when that yields nothing, the Windows folder +
// "System32" on NT, + "System" otherwise.
std::u16string SystemFolderPath(SystemFacts& facts);

// GetTempPathW; when that folder does not exist, the Windows folder + "temp";
// when that does not exist either, "c:\temp", which is created. Without its
// trailing backslash (a drive root keeps it). Worked out once per SystemFacts.
std::u16string TempFolder(SystemFacts& facts);

// CurrentVersion "DevicePath" up to its first ";", %SystemRoot% (any case)
// replaced by the environment's value; fallback the Windows folder + "INF".
std::u16string DeviceFolder(SystemFacts& facts);

// CurrentVersion "MediaPath"; fallback the Windows folder + "Media".
std::u16string MediaFolder(SystemFacts& facts);

// The parent of the web root: HKLM "SOFTWARE\Microsoft\INetStp" "PathWWWRoot"
// (environment variables expanded), default "c:\Inetpub\wwwroot".
std::u16string InetpubFolder(SystemFacts& facts);

// "X:" from the first letter of HKLM ...\CurrentVersion\Setup "BootDir" when it
// looks like "X:...", otherwise "C:".
std::u16string BootDrive(SystemFacts& facts);

// True for a folder that begins with two backslashes or whose drive is a network drive.
bool IsNetworkFolder(std::u16string_view folder, SystemFacts& facts);

}  // namespace palisade
