#pragma once

namespace ak {

// Makes waits (PumpingDelay) on the calling thread, the window's, keep its event loop running, so
// the window repaints and answers input while they last.
void InstallWindowEventPump();

}  // namespace ak
