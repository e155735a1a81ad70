#include "encode_settings/option_checks.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace encode_settings {

std::string WordChoices(std::span<const std::string_view> words) {
  std::string list = "{";
  for (std::string_view word : words) {
    if (list.size() > 1) list += ",";
    list += word;
  }
  return list + "}";
}

std::string WordProblem(const std::string& text, std::span<const std::string_view> words) {
  if (std::find(words.begin(), words.end(), text) != words.end()) return "";
  return text + " not in " + WordChoices(words);
}

std::string WholeNumberProblem(const std::string& text, int lowest, int highest) {
  int value = 0;
  const char* const end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data(), end, value);
  if (error == std::errc() && stop == end && value >= lowest && value <= highest) return "";
  return "must be a whole number from " + std::to_string(lowest) + " to " +
         std::to_string(highest) + ", not " + text;
}

std::string FamilyProblem(const std::string& text) {
  return text == "101" || text == "201" ? "" : "must be 101 or 201, not " + text;
}

std::optional<size_t> ByteCount(const std::string& text) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return {};
  size_t value = 0;
  const auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error == std::errc::result_out_of_range) return std::numeric_limits<size_t>::max();
  if (value == 0) return {};
  return value;
}

std::string ByteCountProblem(const std::string& text) {
  return ByteCount(text) ? "" : "must be a whole number of bytes from 1 up, not " + text;
}

std::string DecibelsProblem(const std::string& text) {
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  const bool decibels = !text.empty() && *end == '\0' && std::isfinite(value) && value >= 0;
  return decibels ? "" : "must be a PSNR in dB from 0 up (a number such as 35.5), not " + text;
}

std::optional<Colour> ParseColour(std::string text) {
  if (text == "white") return Colour{255, 255, 255};
  if (text == "black") return Colour{0, 0, 0};
  if (!text.empty() && text.front() == '#') text.erase(0, 1);
  if (text.size() != 6 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) {
    return std::nullopt;
  }
  const unsigned long value = std::stoul(text, nullptr, 16);
  return Colour{static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 8),
                static_cast<uint8_t>(value)};
}

std::string ColourProblem(const std::string& text) {
  return ParseColour(text) ? "" : "not a colour: " + text;
}

}  // namespace encode_settings
