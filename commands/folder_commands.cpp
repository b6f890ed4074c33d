#include "commands/folder_commands.h"

#include "base/codec.h"
#include "commands/program_dir.h"

namespace ak {

void ChooseSaveFolder(Controls& controls, const FolderChooser& choose, const Text& startFolder) {
  const Text chosen = choose(AK_GBK("选择相册的存放位置"), startFolder);
  controls.SetCaption(ctl::编辑框_保存位置, chosen);
  if (controls.Caption(ctl::编辑框_保存位置).empty())
    controls.SetCaption(ctl::编辑框_保存位置, ProgramDir());
}

void OpenSaveFolder(Controls& controls, const FolderOpener& open) {
  Text folder = controls.Caption(ctl::编辑框_保存位置);
  if (folder.empty()) folder = ProgramDir();
  open(folder);
}

}  // namespace ak
