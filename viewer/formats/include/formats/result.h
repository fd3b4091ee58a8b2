// Result of a file reader: the validated value, or an error text that names the
// file, what was expected there and what was found instead.
#pragma once

#include <string>
#include <utility>
#include <variant>

namespace formats {

struct Error {
  std::string text;
};

template <class T>
class Result {
 public:
  Result(T value) : v_(std::move(value)) {}
  Result(Error error) : v_(std::move(error)) {}

  bool ok() const { return v_.index() == 0; }
  explicit operator bool() const { return ok(); }
  T& value() { return std::get<0>(v_); }
  const T& value() const { return std::get<0>(v_); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  const Error& error() const { return std::get<1>(v_); }

 private:
  std::variant<T, Error> v_;
};

// "<file>: expected <what>, found <found>"
Error readError(std::string_view file, std::string_view expected, std::string_view found);

}  // namespace formats
