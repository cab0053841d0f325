// Names of item kinds, overwrite modes, shortcut bits and attributes, shared by the builder and the inspector.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "payload/file_entry.h"

namespace palisade::tools {

template <typename T>
struct Named {
    const char* name;
    T value;
};

const std::vector<Named<EntryKind>>& KindNames();
const std::vector<Named<OverwriteMode>>& OverwriteNames();
const std::vector<Named<std::uint32_t>>& ShortcutNames();     // flags & 0x03
const std::vector<Named<std::int32_t>>& AttributeNames();     // file attribute bits

std::string KindName(EntryKind kind);                // "file", or the number when it is no kind
std::string OverwriteName(std::uint32_t flags);      // of flags & 0x1c
std::string ShortcutName(std::uint32_t flags);       // of flags & 0x03
std::vector<std::string> AttributeList(std::int32_t attributes);  // empty for -1

}  // namespace palisade::tools
