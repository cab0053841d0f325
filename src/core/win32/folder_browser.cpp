// The folder browser through SHBrowseForFolderW.
#include "core/win32/folder_browser.h"

#include <shlobj.h>

#include <memory>

#include "core/win32/com_apartment.h"
#include "core/win32/wide.h"

namespace palisade {
namespace {

// Once the browser is up, it selects (and scrolls to) the start folder.
int CALLBACK SelectStartFolder(HWND browser, UINT message, LPARAM, LPARAM startFolder) {
    if (message == BFFM_INITIALIZED && startFolder != 0) {
        ::SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, startFolder);
    }
    return 0;
}

}  // namespace

std::optional<std::u16string> BrowseForFolder(HWND owner, const FolderBrowserRequest& request) {
    // The resizable browser with its edit field needs COM on this thread.
    ComApartment apartment;
    std::wstring prompt = ToWide(request.prompt);
    std::wstring start = ToWide(request.startFolder);
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.lpszTitle = prompt.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE | (request.newFolderButton ? 0 : BIF_NONEWFOLDERBUTTON);
    info.lpfn = SelectStartFolder;
    info.lParam = start.empty() ? 0 : reinterpret_cast<LPARAM>(start.c_str());
    std::unique_ptr<ITEMIDLIST, decltype(&::ILFree)> root(
        request.rootFolder.empty() ? nullptr : ::ILCreateFromPathW(ToWide(request.rootFolder).c_str()), &::ILFree);
    info.pidlRoot = root.get();
    PIDLIST_ABSOLUTE picked = ::SHBrowseForFolderW(&info);
    if (picked == nullptr) return std::nullopt;
    wchar_t path[MAX_PATH] = {};
    const bool isFolder = ::SHGetPathFromIDListW(picked, path) != FALSE;
    ::CoTaskMemFree(picked);
    if (!isFolder) return std::nullopt;
    return FromWide(path);
}

}  // namespace palisade
