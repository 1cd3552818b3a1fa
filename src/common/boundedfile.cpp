#include "common/boundedfile.h"

#include <windows.h>

#include "common/scopedhandle.h"

bool ReadBoundedFile(const std::wstring& path, size_t maxBytes, std::string* bytes, std::wstring* problem) {
    ScopedHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
        *problem = L"cannot be opened";
        return false;
    }
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) {
        *problem = L"has no size";
        return false;
    }
    if (size.QuadPart > static_cast<LONGLONG>(maxBytes)) {
        *problem = L"is larger than " + std::to_wstring(maxBytes) + L" bytes";
        return false;
    }
    bytes->assign(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes->empty() &&
        (!ReadFile(file.get(), bytes->data(), static_cast<DWORD>(bytes->size()), &read, nullptr) ||
         read != bytes->size())) {
        *problem = L"cannot be read";
        return false;
    }
    return true;
}
