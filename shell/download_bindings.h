#pragma once

namespace ak {

class MainWindow;

// Connects the four download buttons (download, pause, continue, end) to their commands over the
// window's command context.
void ConnectDownloadButtons(MainWindow& window);

}  // namespace ak
