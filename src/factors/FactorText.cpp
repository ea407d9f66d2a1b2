// Plain-digit general number texts.
#include "factors/FactorText.h"

#include "shell/VbText.h"

namespace brimtal {

namespace {

// The general text, rewritten without its exponent through the display pattern (whose
// 15-digit rounding keeps exactly the digits of the general text).
std::string WithoutExponent(const std::string& general) {
  if (general.find('E') == std::string::npos) return general;
  const auto value = vbtext::ToNumber(general);
  if (!value) return general;  // not finite: nothing to rewrite
  std::string text = vbtext::Format(*value, "0." + std::string(60, '#'));
  if (!text.empty() && text.back() == '.') text.pop_back();
  return text;
}

}  // namespace

std::string PlainGeneralText(double value) {
  return WithoutExponent(vbtext::GeneralText(value));
}

std::string PlainGeneralText(float value) {
  return WithoutExponent(vbtext::GeneralText(value));
}

}  // namespace brimtal
