#pragma once

#include <string>

// Where the organizer keeps its files on this machine.
namespace Paths {

// The application name: last part of the program key, autostart entry name,
// main window caption and tray tip.
inline constexpr char kAppName[] = "Orvale Organizer";
inline constexpr char kMakerName[] = "Tavrin";
// The installed name of the executable; the autostart entry and the backup
// advice name it, whatever the running file is called.
inline constexpr char kExecutableName[] = "orvale-organizer";
// The reverse-DNS id: desktop entry, icon, metainfo, help folder and window
// class, so that docks match the window to its launcher.
inline constexpr char kAppId[] = "org.tavrin.OrvaleOrganizer";

// Folder of the running executable, without a trailing slash; read once.
const std::string& ProgramFolder();

// organizer.db beside the executable when it is there (a portable copy),
// otherwise in the user's data folder.
std::string DatabaseFile();

// $XDG_DATA_HOME (default ~/.local/share) + "/Tavrin/Orvale Organizer".
std::string DataFolder();

// $XDG_CONFIG_HOME, default ~/.config.
std::string ConfigHome();

// A help page installed with the program: beside the executable in a build
// tree, else in the installed data folder next to its bin folder.
std::string HelpPage(const std::string& name);

// The executable's fixed name in the program folder.
std::string ProgramFile();

// The command that starts the organizer at log-in: ProgramFile(), quoted for
// a desktop entry's Exec key.
std::string AutostartCommand();

}  // namespace Paths
