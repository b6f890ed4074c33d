#include "cli/manual_page.h"

#include <CLI/CLI.hpp>
#include <sstream>
#include <vector>

#include "base/version.h"

namespace ak {
namespace {

// Text as roff prints it: backslashes and hyphens escaped, no line taken for a request.
std::string Roff(const std::string& text) {
  std::string out;
  bool lineStart = true;
  for (const char c : text) {
    if (lineStart && (c == '.' || c == '\'')) out += "\\&";
    if (c == '\\') {
      out += "\\e";
    } else if (c == '-') {
      out += "\\-";
    } else {
      out += c;
    }
    lineStart = c == '\n';
  }
  return out;
}

std::vector<const CLI::Option*> Shown(const CLI::App& command) {
  return command.get_options(
      [](const CLI::Option* option) { return !option->get_group().empty(); });
}

std::vector<const CLI::App*> Commands(const CLI::App& app) {
  return app.get_subcommands([](const CLI::App*) { return true; });
}

// What an option expects after it, as the manual and the completion name it.
std::string ValueName(const CLI::Option& option) {
  if (option.get_items_expected_max() == 0) return {};
  const std::string name = option.get_name();
  if (name == "--to" || name == "FOLDER") return "FOLDER";
  if (name == "--cookies" || name == "--input") return "FILE";
  if (name == "--albums") return "LIST";
  if (name == "--pattern") return "REGEX";
  if (name == "--interval") return "MS";
  return option.get_type_name();
}

void OptionEntries(std::ostringstream& page, const CLI::App& command) {
  for (const CLI::Option* option : Shown(command)) {
    page << ".TP\n";
    if (option->get_positional()) {
      page << ".I " << Roff(option->get_name()) << "\n";
    } else {
      const std::string value = ValueName(*option);
      if (value.empty()) {
        page << ".B " << Roff(option->get_name()) << "\n";
      } else {
        page << ".BI \"" << Roff(option->get_name()) << " \" " << Roff(value) << "\n";
      }
    }
    page << Roff(option->get_description()) << "\n";
  }
}

}  // namespace

std::string ManualPage(const CLI::App& app, const std::string& usage) {
  std::ostringstream page;
  page << ".TH ALBUMKEEPER 1 \"\" \"" << Roff(kVersionText) << "\" \"User Commands\"\n";
  page << ".SH NAME\nalbumkeeper \\- download whole photo albums of Douban\n";
  // The usage without its "usage: " and the indentation that lines up after it.
  std::string synopsis;
  std::istringstream lines(usage);
  constexpr std::size_t kIndent = sizeof("usage: ") - 1;
  for (std::string line; std::getline(lines, line);) {
    synopsis += (line.size() > kIndent ? line.substr(kIndent) : line) + "\n";
  }
  page << ".SH SYNOPSIS\n.nf\n" << Roff(synopsis) << ".fi\n";
  page << ".SH DESCRIPTION\n" << Roff(app.get_description()) << "\n";
  page << ".PP\nWithout arguments the program opens its window (when built with it); with a "
          "command it runs the same work without a window.\n";
  page << ".SH OPTIONS\n";
  OptionEntries(page, app);
  for (const CLI::App* command : Commands(app)) {
    page << ".SH COMMAND " << Roff(command->get_name()) << "\n";
    page << Roff(command->get_description()) << "\n";
    OptionEntries(page, *command);
  }
  page << ".SH EXIT STATUS\n.TP\n0\ndone\n.TP\n1\nphotos failed, nothing could be listed, or "
          "the service refused the requests under \\-\\-no\\-wait\n.TP\n2\nbad arguments, an "
          "address the program refuses, or a bad line of \\-\\-input\n.TP\n130\nended with "
          "Ctrl\\-C\n";
  page << ".SH ENVIRONMENT\n.TP\n.B ALBUMKEEPER_HOME\nthe program's folder (settings file "
          "peizi.ini, download record stores, cookies.txt)\n.TP\n.B ALBUMKEEPER_CONNECT_TO\n"
          "HOST:PORT:CONNECT\\-HOST:CONNECT\\-PORT,...: where fetches connect\n";
  page << ".SH FILES\n.TP\n.I peizi.ini\nthe options, in the program's folder; the command line "
          "never writes it\n.TP\n.I album.json\nwith \\-\\-write\\-metadata, in every album "
          "folder: the album and one entry per photo\n";
  page << ".SH NOTES\n" << Roff(app.get_footer()) << "\n";
  return page.str();
}

std::string BashCompletion(const CLI::App& app) {
  std::ostringstream script;
  script << "# bash completion for albumkeeper (made by albumkeeper --bash-completion)\n"
            "_albumkeeper() {\n"
            "  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n"
            "  local command= i\n"
            "  for ((i = 1; i < COMP_CWORD; i++)); do\n"
            "    case ${COMP_WORDS[i]} in -*) ;; *) command=${COMP_WORDS[i]}; break ;; esac\n"
            "  done\n"
            "  case $prev in\n";
  std::string files;
  std::string folders;
  std::string values;
  for (const CLI::App* command : Commands(app)) {
    for (const CLI::Option* option : Shown(*command)) {
      if (option->get_positional()) continue;
      const std::string value = ValueName(*option);
      std::string& group = value == "FILE" ? files : value == "FOLDER" ? folders : values;
      if (!value.empty() && group.find(option->get_name() + "|") == std::string::npos &&
          group.find("|" + option->get_name()) == std::string::npos &&
          group != option->get_name()) {
        group += (group.empty() ? "" : "|") + option->get_name();
      }
    }
  }
  if (!files.empty())
    script << "    " << files << ") COMPREPLY=($(compgen -f -- \"$cur\")); return ;;\n";
  if (!folders.empty()) {
    script << "    " << folders << ") COMPREPLY=($(compgen -d -- \"$cur\")); return ;;\n";
  }
  if (!values.empty()) script << "    " << values << ") return ;;\n";
  script << "  esac\n  case $command in\n";
  std::string names;
  for (const CLI::App* command : Commands(app)) {
    names += command->get_name() + " ";
    std::string options;
    for (const CLI::Option* option : Shown(*command)) {
      if (!option->get_positional()) options += option->get_name() + " ";
    }
    script << "    " << command->get_name() << ")\n"
           << "      if [[ $cur == -* ]]; then COMPREPLY=($(compgen -W \"" << options
           << "\" -- \"$cur\"))\n";
    // The import command's first argument is a folder.
    script << "      elif [[ " << (command->get_name() == "import" ? "$prev == import" : "0 == 1")
           << " ]]; then COMPREPLY=($(compgen -d -- \"$cur\")); fi\n      ;;\n";
  }
  std::string top;
  for (const CLI::Option* option : Shown(app)) top += option->get_name() + " ";
  script << "    *) COMPREPLY=($(compgen -W \"" << names << top << "\" -- \"$cur\")) ;;\n"
         << "  esac\n}\ncomplete -F _albumkeeper albumkeeper\n";
  return script.str();
}

}  // namespace ak
