#include "FieldText.h"

#include <cfloat>
#include <climits>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The end of the text: `length` bytes or the first NUL, whichever is first.
const char* textEnd(const char* text, std::size_t length) {
  const void* nul = std::memchr(text, '\0', length);
  return nul != nullptr ? static_cast<const char*>(nul) : text + length;
}

const char* skipBlanks(const char* p, const char* end) {
  while (p < end && isBlank(*p)) ++p;
  return p;
}

// The decimal point of the C locale, which strtod and snprintf use.
char localeDecimalPoint() {
  const std::lconv* conventions = std::localeconv();
  if (conventions == nullptr || conventions->decimal_point == nullptr ||
      conventions->decimal_point[0] == '\0' || conventions->decimal_point[1] != '\0') {
    return '.';
  }
  return conventions->decimal_point[0];
}

// printf of one double with a precision; "." as decimal point.
std::string formatDouble(const char* format, int precision, double value) {
  if (precision < 0) precision = 0;
  char small[64];
  int length = std::snprintf(small, sizeof small, format, precision, value);
  if (length < 0) return std::string();
  std::string text;
  if (static_cast<std::size_t>(length) < sizeof small) {
    text.assign(small, static_cast<std::size_t>(length));
  } else {
    text.resize(static_cast<std::size_t>(length) + 1);
    std::snprintf(&text[0], text.size(), format, precision, value);
    text.resize(static_cast<std::size_t>(length));
  }
  const char point = localeDecimalPoint();
  if (point != '.') {
    for (char& c : text) {
      if (c == point) c = '.';
    }
  }
  return text;
}

std::string nines(int count) { return std::string(count > 0 ? count : 0, '9'); }

std::string fitToWidth(std::string text, int width) {
  text.resize(static_cast<std::size_t>(width), ' ');
  return text;
}

}  // namespace

FieldText::Scan FieldText::scanInt(const char* text, std::size_t length, int& value) {
  const char* end = textEnd(text, length);
  const char* p = skipBlanks(text, end);
  if (p == end) return EMPTY;
  bool negative = false;
  if (*p == '+' || *p == '-') {
    negative = *p == '-';
    ++p;
  }
  if (p == end || !isDigit(*p)) {
    value = 0;
    return INVALID;
  }
  // The magnitude is only needed up to just beyond the int range.
  const unsigned long long cap = 1ULL << 32;
  unsigned long long magnitude = 0;
  for (; p < end && isDigit(*p); ++p) {
    if (magnitude < cap) magnitude = magnitude * 10 + static_cast<unsigned>(*p - '0');
  }
  if (negative) {
    const unsigned long long limit = static_cast<unsigned long long>(INT_MAX) + 1;
    if (magnitude > limit) {
      value = INT_MIN;
      return INVALID;
    }
    value = magnitude == limit ? INT_MIN : -static_cast<int>(magnitude);
    return VALID;
  }
  if (magnitude > static_cast<unsigned long long>(INT_MAX)) {
    value = INT_MAX;
    return INVALID;
  }
  value = static_cast<int>(magnitude);
  return VALID;
}

FieldText::Scan FieldText::scanDouble(const char* text, std::size_t length, double& value) {
  const char* end = textEnd(text, length);
  const char* p = skipBlanks(text, end);
  if (p == end) return EMPTY;

  // Collect the characters that stream extraction would take.
  char small[64];
  std::unique_ptr<char[]> large;
  const std::size_t capacity = static_cast<std::size_t>(end - p) + 1;
  char* collected = small;
  if (capacity > sizeof small) {
    large.reset(new char[capacity]);
    collected = large.get();
  }
  std::size_t used = 0;
  if (*p == '+' || *p == '-') collected[used++] = *p++;
  bool mantissa = false, point = false, exponent = false;
  while (p < end) {
    const char c = *p;
    if (c == '.' && !point && !exponent) {
      collected[used++] = '.';
      point = true;
    } else if (isDigit(c)) {
      collected[used++] = c;
      mantissa = true;
    } else if ((c == 'e' || c == 'E') && !exponent && mantissa) {
      collected[used++] = 'e';
      exponent = true;
      ++p;
      if (p < end && (*p == '+' || *p == '-')) collected[used++] = *p++;
      continue;
    } else {
      break;
    }
    ++p;
  }
  collected[used] = '\0';

  const char decimalPoint = localeDecimalPoint();
  if (decimalPoint != '.') {
    for (std::size_t i = 0; i < used; ++i) {
      if (collected[i] == '.') collected[i] = decimalPoint;
    }
  }
  char* stop = nullptr;
  const double parsed = used > 0 ? std::strtod(collected, &stop) : 0.0;
  if (used == 0 || stop != collected + used) {
    value = 0.0;
    return INVALID;
  }
  if (std::isinf(parsed)) {
    value = parsed > 0 ? DBL_MAX : -DBL_MAX;
    return INVALID;
  }
  value = parsed;
  return VALID;
}

double FieldText::stringToDouble(const std::string& text) {
  double value = 0.0;
  return scanDouble(text.data(), text.size(), value) == VALID ? value : 0.0;
}

int FieldText::stringToInt(const std::string& text) {
  int value = 0;
  return scanInt(text.data(), text.size(), value) == VALID ? value : 0;
}

void FieldText::copyString(const std::string& from, std::string& to) { to.assign(from.c_str()); }

std::string FieldText::stringField(int width, const std::string& text) {
  if (width <= 0) return std::string();
  return fitToWidth(text, width);
}

std::string FieldText::intField(int width, long long value) {
  if (width <= 0) return std::string();
  std::string out;
  unsigned long long magnitude = static_cast<unsigned long long>(value);
  if (value < 0) {
    out = "-";
    --width;
    magnitude = 0ULL - magnitude;
  }
  const std::string digits = std::to_string(magnitude);
  if (static_cast<int>(digits.size()) > width) {
    out += nines(width);
  } else {
    out.append(static_cast<std::size_t>(width) - digits.size(), '0');
    out += digits;
  }
  return out;
}

std::string FieldText::signedIntField(int width, long long value) {
  if (width <= 0) return std::string();
  const unsigned long long magnitude = value < 0 ? 0ULL - static_cast<unsigned long long>(value)
                                                 : static_cast<unsigned long long>(value);
  std::string out(1, value < 0 ? '-' : '+');
  const std::string digits = std::to_string(magnitude);
  if (static_cast<int>(digits.size()) > width - 1) {
    out += nines(width - 1);
  } else {
    out.append(static_cast<std::size_t>(width - 1) - digits.size(), '0');
    out += digits;
  }
  return out;
}

std::string FieldText::doubleField(int width, double value) {
  if (width <= 0) return std::string();
  if (std::isnan(value)) return std::string(static_cast<std::size_t>(width), ' ');
  const bool negative = value < 0;
  const std::string saturated = negative ? "-" + nines(width - 1) : nines(width);
  if (std::isinf(value)) return fitToWidth(saturated, width);

  const std::string full = fixed(value, width);
  const int integerPart = static_cast<int>(full.find('.'));
  if (integerPart < width - 1) {
    return fixed(value, width - integerPart - 1).substr(0, static_cast<std::size_t>(width));
  }
  if (integerPart == width - 1) return full.substr(0, static_cast<std::size_t>(width));
  // Only the integer part could fit, without the point.
  const std::string whole = fixed(value, 0);
  if (static_cast<int>(whole.size()) == width) return whole;
  return fitToWidth(saturated, width);
}

std::string FieldText::signedDoubleField(int width, double value) {
  if (width <= 0) return std::string();
  if (std::isnan(value)) return std::string(static_cast<std::size_t>(width), ' ');
  return std::string(1, value < 0 ? '-' : '+') + doubleField(width - 1, std::fabs(value));
}

std::string FieldText::scientificField(int width, int exponentDigits, double value) {
  if (width <= 0) return std::string();
  if (std::isnan(value)) return std::string(static_cast<std::size_t>(width), ' ');
  if (exponentDigits < 0) exponentDigits = 0;
  const bool negative = std::signbit(value);
  const int mantissaWidth = width - (exponentDigits + 2);
  int precision = mantissaWidth - (negative ? 3 : 2);
  if (precision < 0) precision = 0;

  const std::string largest =
      std::string(negative ? "-9." : "9.") + nines(precision) + "e+" + nines(exponentDigits);
  if (std::isinf(value)) return fitToWidth(largest, width);

  // The exponent is taken from the rounded text itself, so a mantissa that
  // rounds up to 10 is written with the next exponent.
  std::string text = formatDouble(precision == 0 ? "%#.*e" : "%.*e", precision, value);
  std::size_t e = text.find_last_of("eE");
  std::string exponent = text.substr(e + 1);
  char sign = '+';
  if (!exponent.empty() && (exponent[0] == '+' || exponent[0] == '-')) {
    sign = exponent[0];
    exponent.erase(0, 1);
  }
  if (static_cast<int>(exponent.size()) > exponentDigits) {
    const std::size_t dropped = exponent.size() - static_cast<std::size_t>(exponentDigits);
    if (exponent.find_first_not_of('0') < dropped) {
      if (sign == '+') return fitToWidth(largest, width);
      // Too small for the exponent field: zero.
      text = formatDouble(precision == 0 ? "%#.*e" : "%.*e", precision, negative ? -0.0 : 0.0);
      e = text.find_last_of("eE");
      sign = '+';
      exponent = std::string(static_cast<std::size_t>(exponentDigits), '0');
    } else {
      exponent.erase(0, dropped);
    }
  } else {
    exponent.insert(0, static_cast<std::size_t>(exponentDigits) - exponent.size(), '0');
  }
  std::string mantissa = text.substr(0, e);
  if (mantissaWidth >= 0) mantissa.resize(static_cast<std::size_t>(mantissaWidth), '0');
  return fitToWidth(mantissa + "e" + sign + exponent, width);
}

std::string FieldText::signedScientificField(int width, int exponentDigits, double value) {
  if (width <= 0) return std::string();
  if (std::isnan(value)) return std::string(static_cast<std::size_t>(width), ' ');
  return std::string(1, value < 0 ? '-' : '+') +
         scientificField(width - 1, exponentDigits, std::fabs(value));
}

std::string FieldText::timeString(std::time_t when) {
  std::tm utc{};
  gmtime_r(&when, &utc);
  const auto two = [](int v) { return (v >= 0 && v <= 9 ? "0" : "") + std::to_string(v); };
  return two(utc.tm_year + 1900) + two(utc.tm_mon + 1) + two(utc.tm_mday) + two(utc.tm_hour) +
         two(utc.tm_min) + two(utc.tm_sec);
}

std::string FieldText::fixed(double value, int precision) {
  return formatDouble("%.*f", precision, value);
}

std::string FieldText::scientific(double value, int precision) {
  return formatDouble("%.*e", precision, value);
}
