#pragma once

#include <QString>

namespace ak {

// The window skins the program carries as Qt style sheets; only number 13 is drawn from it, any
// other number gives the standard look (an empty sheet).
QString SkinStyleSheet(int number);
// Applies skin `number` to the whole application.
void ApplySkin(int number);

}  // namespace ak
