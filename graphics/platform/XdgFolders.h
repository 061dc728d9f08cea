#pragma once

#include <string>

/// The folders of a Linux desktop session, as the editor's folder services answer them:
/// the XDG user directories, the XDG data folders, and where the host program and this
/// module lie. Read from the environment and the files each time (hosts rarely ask).
///
/// Threads: any; nothing is kept.
class XdgFolders
{
public:
    /// The user directory `key` ("DESKTOP", "DOCUMENTS") from user-dirs.dirs in
    /// $XDG_CONFIG_HOME (else ~/.config), else $HOME/`fallback`; empty without a home.
    static std::string UserDirectory(const char* key, const char* fallback);
    /// $XDG_DATA_HOME, else $HOME/.local/share.
    static std::string UserData();
    /// The first folder of $XDG_DATA_DIRS, else /usr/local/share.
    static std::string SystemData();
    /// The folder part of `path` up to and including its last '/'; empty when it has
    /// none or ends with one.
    static std::string FolderOf(const std::string& path);
    /// The host program's folder (FolderOf its executable).
    static std::string ProgramFolder();
    /// The folder of the module holding this code (FolderOf its file).
    static std::string ModuleFolder();
};
