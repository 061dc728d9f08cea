#include "graphics/platform/XdgFolders.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <fstream>

namespace
{
std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// A value of user-dirs.dirs: a double-quoted path, absolute or starting with $HOME.
std::string ReadUserDirsValue(const std::string& quoted, const std::string& home)
{
    if (quoted.size() < 2 || quoted.front() != '"')
        return {};
    const size_t close = quoted.find('"', 1);
    if (close == std::string::npos)
        return {};
    std::string value = quoted.substr(1, close - 1);
    if (value.rfind("$HOME", 0) == 0)
    {
        if (home.empty())
            return {};
        value = home + value.substr(5);
    }
    else if (value.empty() || value.front() != '/')
    {
        return {};
    }
    return value;
}
} // namespace

std::string XdgFolders::UserDirectory(const char* key, const char* fallback)
{
    const std::string home = Environment("HOME");
    std::string config = Environment("XDG_CONFIG_HOME");
    if (config.empty() && !home.empty())
        config = home + "/.config";
    const std::string wanted = std::string("XDG_") + key + "_DIR=";
    std::ifstream file(config + "/user-dirs.dirs");
    std::string line;
    std::string found;
    while (std::getline(file, line))
    {
        const size_t start = line.find_first_not_of(" \t");
        if (start != std::string::npos && line.compare(start, wanted.size(), wanted) == 0)
            found = ReadUserDirsValue(line.substr(start + wanted.size()), home);
    }
    if (!found.empty())
        return found;
    return home.empty() ? std::string() : home + "/" + fallback;
}

std::string XdgFolders::UserData()
{
    const std::string data = Environment("XDG_DATA_HOME");
    if (!data.empty() && data.front() == '/')
        return data;
    const std::string home = Environment("HOME");
    return home.empty() ? std::string() : home + "/.local/share";
}

std::string XdgFolders::SystemData()
{
    const std::string dirs = Environment("XDG_DATA_DIRS");
    const std::string first = dirs.substr(0, dirs.find(':'));
    return !first.empty() && first.front() == '/' ? first : "/usr/local/share";
}

std::string XdgFolders::FolderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos || slash + 1 == path.size())
        return {};
    return path.substr(0, slash + 1);
}

std::string XdgFolders::ProgramFolder()
{
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0)
        return {};
    return FolderOf(std::string(path, static_cast<size_t>(length)));
}

std::string XdgFolders::ModuleFolder()
{
    Dl_info info{};
    if (!dladdr(reinterpret_cast<const void*>(&XdgFolders::ModuleFolder), &info) || !info.dli_fname)
        return {};
    char resolved[PATH_MAX];
    if (realpath(info.dli_fname, resolved))
        return FolderOf(resolved);
    return FolderOf(info.dli_fname);
}
