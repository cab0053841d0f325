// A folder of this run's own under the temporary folder, for the files the
// installer writes and then has run with its rights (batch files and their
// output, the registry merge file, the self-removal script). Its name is
// random and created exclusively, and only administrators and the system may
// open it (the running user when the run is not elevated), so that no other
// process can plant or change such a file between its writing and its use.
#pragma once

#include <string>

#include "core/win32/win32_status.h"

namespace palisade {

class PrivateFolder {
public:
    static Win32Result<PrivateFolder> Create();

    PrivateFolder(PrivateFolder&& other) noexcept;
    PrivateFolder& operator=(PrivateFolder&&) = delete;
    PrivateFolder(const PrivateFolder&) = delete;
    ~PrivateFolder();  // deletes the files in it and the folder, unless kept

    const std::u16string& Path() const { return m_path; }
    std::u16string File(std::u16string_view name) const { return m_path + u"\\" + std::u16string(name); }
    // Leaves the folder on disk (a script that removes it itself).
    void Keep() { m_kept = true; }

private:
    explicit PrivateFolder(std::u16string path) : m_path(std::move(path)) {}

    std::u16string m_path;
    bool m_kept = false;
};

}  // namespace palisade
