// The Windows side of shared files: creating the shared folder and raising
// the counts in the SharedDLLs key.
#pragma once

#include <optional>

#include "actions/shared_counts.h"
#include "core/win32/registry.h"
#include "variables/install_context.h"

namespace palisade {

// The counts in the SharedDLLs key, in the registry view the 32-bit installer
// process sees by default.
class SharedDllsCounts final : public SharedCountStore {
public:
    static Win32Result<SharedDllsCounts> Open();

    std::optional<std::uint32_t> Read(std::u16string_view path) override;
    std::uint32_t Write(std::u16string_view path, std::uint32_t count) override;
    bool Delete(std::u16string_view path) override;

private:
    explicit SharedDllsCounts(UniqueHkey key) : m_key(std::move(key)) {}
    UniqueHkey m_key;
};

// Works out the shared folder into the run state (%SharedDir%) and creates
// it; false when it could not be created (the failure is in the log).
// Grants everyone access to it when the settings ask for it.
bool PlaceSharedFolder(InstallContext& context);

// Raises the count of every shared file of this run that this product has not
// counted before, and grows the record of counted files. Does nothing unless
// shared files are in use (`SettingsFlags1` 0x4) and the installation is not portable.
void IncrementSharedCounts(InstallContext& context);

}  // namespace palisade
