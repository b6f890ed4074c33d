#pragma once

namespace ak {

// The usual OLE date: days since 1899-12-30 as a double, the time of day as the fraction.
double OleDateFromCivil(int year, int month, int day, int hour, int minute, int second);

// The local date and time now, in whole seconds, as an OLE date.
double OleDateNow();

}  // namespace ak
