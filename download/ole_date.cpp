#include "download/ole_date.h"

#include <chrono>
#include <ctime>

namespace ak {

double OleDateFromCivil(int year, int month, int day, int hour, int minute, int second) {
  using namespace std::chrono;
  const sys_days date =
      year_month_day{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                     std::chrono::day{static_cast<unsigned>(day)}};
  const sys_days epoch = std::chrono::year{1899} / December / 30;
  const double days = static_cast<double>((date - epoch).count());
  return days + (hour * 3600 + minute * 60 + second) / 86400.0;
}

double OleDateNow() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return OleDateFromCivil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                          local.tm_min, local.tm_sec);
}

}  // namespace ak
