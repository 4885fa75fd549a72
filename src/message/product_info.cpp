#include "message/product_info.h"

#include <clocale>
#include <cmath>

namespace qm {

std::string GetProductText() {
  long hundredths = std::lround(kProductVersion * 100);
  const std::lconv* lc = std::localeconv();
  std::string point = lc && lc->decimal_point && *lc->decimal_point ? lc->decimal_point : ".";
  std::string fraction = std::to_string(hundredths % 100);
  if (fraction.size() < 2) fraction.insert(0, "0");
  return std::string(kProductName) + " " + std::to_string(hundredths / 100) + point + fraction + " " +
         kProductRelease;
}

}  // namespace qm
