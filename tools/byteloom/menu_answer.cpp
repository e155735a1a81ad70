#include "byteloom/menu_answer.h"

#include <algorithm>
#include <climits>
#include <optional>

namespace byteloom {
namespace {

bool IsDigit(int c) {
  return c >= '0' && c <= '9';
}

bool IsSpace(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

void SkipSpaces(std::istream& in) {
  while (IsSpace(in.peek())) in.get();
}

// An optionally signed decimal number, clamped to the range of int.
std::optional<int> ReadInteger(std::istream& in) {
  bool negative = false;
  if (in.peek() == '+' || in.peek() == '-') negative = in.get() == '-';
  if (!IsDigit(in.peek())) return std::nullopt;
  constexpr long long kLimit = static_cast<long long>(INT_MAX) + 1;
  long long magnitude = 0;
  while (IsDigit(in.peek())) magnitude = std::min(magnitude * 10 + (in.get() - '0'), kLimit);
  const long long value = negative ? -magnitude : magnitude;
  return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

}  // namespace

bool ReadMenuAnswer(std::istream& in, int& answer) {
  SkipSpaces(in);
  if (in.peek() == std::istream::traits_type::eof()) return false;
  if (const std::optional<int> number = ReadInteger(in)) answer = *number;
  in.get();
  return true;
}

}  // namespace byteloom
