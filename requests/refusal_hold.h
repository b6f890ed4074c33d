#pragma once

#include "download/album_job.h"

namespace ak {

// The service refused a request of the batch. Unless the batch is to end on a refusal, it holds
// as if the user had pressed pause: the held state's buttons, one log line saying why and what
// to do (sign in on the login page or wait, then continue), and the worker waits at its gate.
// After continue the next request waits the whole pacing interval. True when the batch goes on
// and the caller must retry the refused request; false when the batch was ended (by the user,
// or here when it ends on refusals).
bool HoldAfterRefusal(AlbumDownloadEnv& env);

}  // namespace ak
