#pragma once

#include <string>

namespace CLI {
class App;
}

namespace ak {

// The manual page (roff, man(7)) of the command line, made from the options of `app` as --help
// shows them, with the usage, exit status, environment and files.
std::string ManualPage(const CLI::App& app, const std::string& usage);

// A bash completion script for the commands and options of `app`: file names after options and
// arguments that name a file, folder names after those that name a folder.
std::string BashCompletion(const CLI::App& app);

}  // namespace ak
