#include "hosting/platform/SharedLibrary.h"

#include <windows.h>

#include <vector>

namespace
{
std::wstring Widen(const std::string& utf8)
{
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
    if (n <= 0)
        return {};
    std::vector<wchar_t> wide(static_cast<size_t>(n));
    MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide.data(), n);
    return wide.data();
}

std::string SystemMessage(DWORD code)
{
    char* text = nullptr;
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string message = n > 0 && text != nullptr ? std::string(text, n) : std::string();
    LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r'))
        message.pop_back();
    return message.empty() ? "error " + std::to_string(code) : message;
}
} // namespace

SharedLibrary::~SharedLibrary()
{
    Close();
}

bool SharedLibrary::Open(const std::string& path)
{
    Close();
    handle = LoadLibraryW(Widen(path).c_str());
    if (handle == nullptr)
    {
        error = "cannot load " + path + ": " + SystemMessage(GetLastError());
        return false;
    }
    return true;
}

void SharedLibrary::Close()
{
    if (handle != nullptr)
        FreeLibrary(static_cast<HMODULE>(handle));
    handle = nullptr;
}

void* SharedLibrary::Symbol(const char* name) const
{
    if (handle == nullptr)
        return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}

const char* SharedLibrary::Vst3ArchitectureFolder()
{
    return "x86_64-win";
}

const char* SharedLibrary::Vst3LibrarySuffix()
{
    return ".vst3";
}

const char* SharedLibrary::Vst3EntryName()
{
    return "InitDll";
}

const char* SharedLibrary::Vst3ExitName()
{
    return "ExitDll";
}

bool SharedLibrary::Vst3EntryTakesHandle()
{
    return false;
}
