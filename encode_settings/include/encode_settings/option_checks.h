// The checks of vexo encode's options, one for each kind of value: each takes
// the text as given and says what is wrong with it, in the words that follow
// the option's name ("--quality: must be a whole number from 0 to 51, not
// 60"), or returns "" when it is right.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace encode_settings {

// The words --path and --dither take.
inline constexpr std::array<std::string_view, 4> kPathWords = {"predictive", "fast", "transform",
                                                               "auto"};
inline constexpr std::array<std::string_view, 3> kDitherWords = {"none", "ordered",
                                                                 "floyd-steinberg"};

// "{predictive,fast,transform,auto}", as the help lists them.
std::string WordChoices(std::span<const std::string_view> words);
// "bogus not in {predictive,fast,transform,auto}".
std::string WordProblem(const std::string& text, std::span<const std::string_view> words);

// A whole number from `lowest` to `highest`.
std::string WholeNumberProblem(const std::string& text, int lowest, int highest);

// 101 or 201.
std::string FamilyProblem(const std::string& text);

// A count of bytes from 1 up; one too large to hold is as good as the largest.
std::optional<size_t> ByteCount(const std::string& text);
std::string ByteCountProblem(const std::string& text);

// A PSNR in dB from 0 up.
std::string DecibelsProblem(const std::string& text);

// A colour as red, green and blue bytes: "white", "black", or six hexadecimal
// digits with an optional leading "#".
using Colour = std::array<uint8_t, 3>;
std::optional<Colour> ParseColour(std::string text);
std::string ColourProblem(const std::string& text);

}  // namespace encode_settings
