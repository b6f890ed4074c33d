#pragma once

#include "base/types.h"

namespace ak {

// Name of the settings file beside the program.
const Text& SettingsFileName();

// ProgramDir + "/" + "peizi.ini", as a GBK path.
Text SettingsFilePath(const Text& program_dir);

// Reads one option. Leading bytes of code 32 or less (blanks and control characters) are skipped
// in the path, the section and the key; if any of them is then empty the result is the empty
// text, not the default. Otherwise the value of the key, cut to 10,239 bytes, or `default_value`
// when the file, the section or the key is missing. All texts GBK, the path included.
Text ReadSetting(const Text& path, const Text& section, const Text& key, const Text& default_value);

// Writes one option into the settings file, creating it on the first write. The path is taken as
// it is. The result is true when the file now holds the value; callers that follow the window's
// rules ignore it (a failed write is silent).
bool WriteSetting(const Text& path, const Text& section, const Text& key, const Text& value);

}  // namespace ak
