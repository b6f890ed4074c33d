#pragma once

namespace ak {

// Initialises libcurl for the whole process once; every user of libcurl calls it first.
void EnsureCurlGlobalInit();

}  // namespace ak
