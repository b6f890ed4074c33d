#pragma once

namespace ak {

class MainWindow;

// Connects the album page's user input to the album commands: the album button, the select-all
// and invert boxes, a row's tick box, the search link and the search window's buttons.
void ConnectAlbumCommands(MainWindow& window);

}  // namespace ak
