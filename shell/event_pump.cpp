#include "shell/event_pump.h"

#include <QEventLoop>
#include <QTimer>
#include <thread>

#include "base/delay.h"

namespace ak {

void InstallWindowEventPump() {
  SetEventPump(std::this_thread::get_id(), [](std::chrono::milliseconds slice) {
    QEventLoop loop;
    QTimer::singleShot(slice, &loop, &QEventLoop::quit);
    loop.exec();
  });
}

}  // namespace ak
