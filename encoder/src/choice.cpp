// The search behind ChooseEncoding: every candidate encoded and decoded at
// most once, lossy qualities by bisection.
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <new>
#include <optional>
#include <tuple>

#include "vexo_choice.h"
#include "vexo_decoder.h"

namespace vexo {

namespace {

struct Trial {
  EncodeOptions options;
  std::vector<uint8_t> file;
  double psnr = 0;
};

std::string Decibels(double psnr) {
  if (std::isinf(psnr)) return "exact";
  char text[32];
  std::snprintf(text, sizeof text, "%.2f dB", psnr);
  return text;
}

std::string Bytes(size_t count) {
  return std::to_string(count) + " bytes";
}

Error Refusal(std::string message) {
  return Error{ErrorCode::kInvalidRequest, std::move(message)};
}

// Each candidate encoded, decoded and measured once.
class Trials {
 public:
  explicit Trials(const RgbPicture& picture) : picture_(picture) {}

  // The options passed CheckEncodeOptions for this picture. A file that does
  // not decode (an encoder fault) has a PSNR that is not a number, which meets
  // no goal; the caller checks the chosen file by decoding it.
  const Trial& Of(const EncodeOptions& options) {
    const auto key = std::make_tuple(options.path, options.family, options.quality);
    if (const auto found = done_.find(key); found != done_.end()) return found->second;
    Trial trial{options, EncodeVexo(picture_, options).value()};
    std::vector<uint16_t> decoded(static_cast<size_t>(picture_.width) * picture_.height);
    const VexoDecodeResult result = VexoDecode(options.family, trial.file, decoded);
    trial.psnr = result.status == VexoStatus::kOk ? PsnrAgainstSource(picture_, decoded) : NAN;
    return done_.emplace(key, std::move(trial)).first->second;
  }

  // Every trial made so far that `keep` accepts, in no promised order.
  template <typename Keep>
  std::vector<const Trial*> Made(Keep keep) const {
    std::vector<const Trial*> made;
    for (const auto& [key, trial] : done_) {
      if (keep(trial)) made.push_back(&trial);
    }
    return made;
  }

 private:
  const RgbPicture& picture_;
  std::map<std::tuple<VexoPath, VexoFamily, int>, Trial> done_;
};

struct Candidates {
  std::vector<EncodeOptions> lossless;
  std::vector<EncodeOptions> lossy;  // most faithful first
};

Candidates CandidatesFor(const ChoiceRequest& request) {
  const auto searched = [&request](VexoPath path) {
    return !request.path || *request.path == path;
  };
  Candidates candidates;
  // An automatic choice never dithers the transform path, which cannot be.
  const auto add = [&request](std::vector<EncodeOptions>& to, VexoPath path, VexoFamily family,
                              int quality) {
    const bool dithered = path != VexoPath::kTransform || request.path.has_value();
    to.push_back({path, family, quality, dithered ? request.dither : Dither::kNone});
  };
  const VexoFamily predictiveFamily = request.family.value_or(VexoFamily::k101);
  if (searched(VexoPath::kPredictive)) {
    add(candidates.lossless, VexoPath::kPredictive, predictiveFamily, 0);
  }
  if (searched(VexoPath::kFast) && (request.path || request.family != VexoFamily::k101)) {
    add(candidates.lossless, VexoPath::kFast, request.family.value_or(VexoFamily::k201), 0);
  }
  const bool transform =
      request.path ? *request.path == VexoPath::kTransform : request.family != VexoFamily::k201;
  if (transform) {
    for (int quality = 1; quality <= 51; ++quality) {
      add(candidates.lossy, VexoPath::kTransform, request.family.value_or(VexoFamily::k101),
          quality);
    }
  } else if (searched(VexoPath::kPredictive)) {
    for (int quality = 1; quality <= 2; ++quality) {
      add(candidates.lossy, VexoPath::kPredictive, predictiveFamily, quality);
    }
  }
  return candidates;
}

// The first index of [low, high) for which `holds` is true, or high, when it
// is false below some index and true from there on.
size_t FirstHolding(size_t low, size_t high, const std::function<bool(size_t)>& holds) {
  while (low < high) {
    const size_t middle = low + (high - low) / 2;
    if (holds(middle)) {
      high = middle;
    } else {
      low = middle + 1;
    }
  }
  return low;
}

EncodeChoice Chosen(const Trial& trial, std::string why) {
  return {trial.options, trial.file, trial.psnr, std::move(why)};
}

// The trial with the smallest file; the earliest of equals.
const Trial* Smallest(const std::vector<const Trial*>& trials) {
  const Trial* smallest = nullptr;
  for (const Trial* trial : trials) {
    if (!smallest || trial->file.size() < smallest->file.size()) smallest = trial;
  }
  return smallest;
}

std::string SmallestLosslessWhy(const Trial& chosen, const std::vector<const Trial*>& lossless,
                                bool someLeftOut) {
  if (lossless.size() == 1) {
    return someLeftOut ? "the only lossless file for a picture of this size"
                       : "the only lossless file searched";
  }
  std::string why;
  for (const Trial* other : lossless) {
    if (other == &chosen) continue;
    why += std::string(why.empty() ? "" : ", ") +
           (other->file.size() == chosen.file.size() ? "no larger than " : "smaller than ") +
           EncodingName(other->options) + " (" + Bytes(other->file.size()) + ")";
  }
  return why;
}

Result<EncodeChoice> WithinBytes(Trials& trials, const Candidates& candidates,
                                 const Trial* smallestLossless, size_t maxBytes) {
  if (smallestLossless && smallestLossless->file.size() <= maxBytes) {
    return Chosen(*smallestLossless,
                  "the smallest lossless file, within the " + Bytes(maxBytes) + " allowed");
  }
  const auto& lossy = candidates.lossy;
  const auto fits = [&](size_t i) { return trials.Of(lossy[i]).file.size() <= maxBytes; };
  if (!lossy.empty() && fits(lossy.size() - 1)) {
    const size_t boundary = FirstHolding(0, lossy.size() - 1, fits);
    for (size_t before = 1; before <= 2 && before <= boundary; ++before) fits(boundary - before);
  }
  const Trial* best = nullptr;
  for (const Trial* trial : trials.Made([&](const Trial& t) {
         return !IsLosslessEncoding(t.options) && t.file.size() <= maxBytes;
       })) {
    if (!best || trial->psnr > best->psnr ||
        (trial->psnr == best->psnr && trial->options.quality < best->options.quality)) {
      best = trial;
    }
  }
  if (!best) {
    const Trial* smallest = Smallest(trials.Made([](const Trial&) { return true; }));
    return Refusal("needs at least " + Bytes(smallest->file.size()) + " (" +
                   EncodingName(smallest->options) + "), more than the " + Bytes(maxBytes) +
                   " allowed");
  }
  std::string why = "the most faithful that fits in " + Bytes(maxBytes);
  if (smallestLossless) {
    why += "; the smallest lossless file needs " + Bytes(smallestLossless->file.size());
  }
  return Chosen(*best, std::move(why));
}

Result<EncodeChoice> AtLeastPsnr(Trials& trials, const Candidates& candidates, double minPsnr) {
  const auto& lossy = candidates.lossy;
  const auto fallsShort = [&](size_t i) { return !(trials.Of(lossy[i]).psnr >= minPsnr); };
  if (!lossy.empty() && !fallsShort(0)) {
    const size_t boundary = FirstHolding(1, lossy.size(), fallsShort);
    for (size_t after = 0; after <= 1 && boundary + after < lossy.size(); ++after) {
      fallsShort(boundary + after);
    }
  }
  const std::vector<const Trial*> reaching =
      trials.Made([minPsnr](const Trial& t) { return t.psnr >= minPsnr; });
  // Of files of one size, a lossless one.
  const Trial* chosen = nullptr;
  for (const Trial* trial : reaching) {
    if (!chosen || trial->file.size() < chosen->file.size() ||
        (trial->file.size() == chosen->file.size() && IsLosslessEncoding(trial->options))) {
      chosen = trial;
    }
  }
  if (!chosen) {
    const Trial* finest = nullptr;
    for (const Trial* trial : trials.Made([](const Trial&) { return true; })) {
      if (!finest || trial->psnr > finest->psnr) finest = trial;
    }
    return Refusal("no file reaches " + Decibels(minPsnr) + "; the most faithful, " +
                   EncodingName(finest->options) + ", reaches " + Decibels(finest->psnr));
  }
  return Chosen(*chosen, "the smallest file of at least " + Decibels(minPsnr));
}

}  // namespace

Result<EncodeChoice> ChooseEncoding(const RgbPicture& picture, const ChoiceRequest& request) {
  if (request.maxBytes && request.minPsnr) {
    return Refusal("a size limit and a PSNR floor cannot be asked for together");
  }
  Candidates candidates = CandidatesFor(request);
  // Leave out what the picture cannot take (the fast path's whole blocks);
  // when nothing is left, say why the first was refused.
  std::optional<Error> firstRefusal;
  bool someLeftOut = false;
  for (auto* list : {&candidates.lossless, &candidates.lossy}) {
    std::erase_if(*list, [&](const EncodeOptions& options) {
      Result<void> checked = CheckEncodeOptions(picture, options);
      if (checked) return false;
      if (!firstRefusal) firstRefusal = checked.error();
      someLeftOut = true;
      return true;
    });
  }
  if (candidates.lossless.empty() && candidates.lossy.empty()) return *firstRefusal;
  if (!request.maxBytes && !request.minPsnr && candidates.lossless.empty()) {
    return Refusal("the transform path is never lossless; ask for a size or a PSNR to choose by");
  }

  Trials trials(picture);
  std::vector<const Trial*> lossless;
  for (const EncodeOptions& options : candidates.lossless) lossless.push_back(&trials.Of(options));
  const Trial* smallestLossless = Smallest(lossless);

  Result<EncodeChoice> choice =
      request.maxBytes  ? WithinBytes(trials, candidates, smallestLossless, *request.maxBytes)
      : request.minPsnr ? AtLeastPsnr(trials, candidates, *request.minPsnr)
                        : Chosen(*smallestLossless,
                                 SmallestLosslessWhy(*smallestLossless, lossless, someLeftOut));
  if (choice && request.dither != Dither::kNone && choice->options.dither == Dither::kNone) {
    choice->why += "; transform files are not dithered";
  }
  return choice;
}

}  // namespace vexo
