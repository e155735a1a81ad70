// How the encoder, the picture readers and the file input and output report
// failure: a value or an Error, never an exception for a refused request or a
// bad file. The code tells callers and tests what went wrong; the message is
// the text shown to the user, naming the file and the reason.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace vexo {

enum class ErrorCode {
  kInvalidRequest,  // the caller asked for something impossible
  kUnreadable,      // a file could not be opened or read
  kUnsupported,     // a kind of file, or a variant of one, that is not read
  kDamaged,         // the file's contents contradict themselves or end early
  kTooLarge,        // larger than any picture or file that is handled
  kOutOfMemory,
  kWriteFailed,  // output could not be made or written
};

struct Error {
  ErrorCode code;
  std::string message;
};

// A T or the Error that prevented it. value(), * and -> on an Error throw
// std::bad_variant_access: asking for a value that is not there is a bug.
template <typename T>
class [[nodiscard]] Result {
 public:
  Result(T value) : state_(std::move(value)) {}
  Result(Error error) : state_(std::move(error)) {}

  bool has_value() const { return state_.index() == 0; }
  explicit operator bool() const { return has_value(); }

  T& value() & { return std::get<0>(state_); }
  const T& value() const& { return std::get<0>(state_); }
  T&& value() && { return std::get<0>(std::move(state_)); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }
  T&& operator*() && { return std::move(*this).value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }

  const Error& error() const { return std::get<1>(state_); }

 private:
  std::variant<T, Error> state_;
};

// Success, or the Error of an operation that has no value to give.
template <>
class [[nodiscard]] Result<void> {
 public:
  Result() = default;
  Result(Error error) : error_(std::move(error)) {}

  bool has_value() const { return !error_; }
  explicit operator bool() const { return has_value(); }

  const Error& error() const { return error_.value(); }

 private:
  std::optional<Error> error_;
};

}  // namespace vexo
