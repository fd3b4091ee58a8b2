#pragma once
// The one way an operation that can fail says so: a value, or an error whose
// text names the file or thing, what was expected and what was found or went wrong.
#include <string>
#include <utility>
#include <variant>

namespace fdk {

// What kind of failure an error is, for callers that act on it and for tests;
// the text is for the player and may change.
enum class ErrorKind {
  Failed,    // the system would not do it (permissions, a full table, a lost race)
  Missing,   // a file, folder or program that should be there is not
  Damaged,   // input that does not read as what it should be: archive, PAK, model, picture, settings
  TooLarge,  // input past a limit the reader keeps to
  Unsafe,    // refused because acting on it could write outside its place, follow a link or run commands
  NoRoom,    // the disk cannot hold what would be written
};

struct Error {
  Error() = default;
  Error(std::string what, std::string more = {}) : text(std::move(what)), detail(std::move(more)) {}
  Error(ErrorKind k, std::string what, std::string more = {})
      : kind(k), text(std::move(what)), detail(std::move(more)) {}

  ErrorKind kind = ErrorKind::Failed;
  std::string text;    // what went wrong, as the user is told
  std::string detail;  // more for a log (the file, what was expected and found); may be empty
};

// The same failure told with what it stopped ("The MOD ... cannot be installed: "
// + the cause); its kind and detail stay.
inline Error explained(const std::string& before, const Error& cause) {
  return Error{cause.kind, before + cause.text, cause.detail};
}

template <class T>
class [[nodiscard]] Result {
 public:
  Result(T value) : v_(std::move(value)) {}
  Result(Error error) : v_(std::move(error)) {}

  bool ok() const { return v_.index() == 0; }
  explicit operator bool() const { return ok(); }
  T& value() { return std::get<0>(v_); }
  const T& value() const { return std::get<0>(v_); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  T& operator*() { return value(); }
  const T& operator*() const { return value(); }
  const Error& error() const { return std::get<1>(v_); }

 private:
  std::variant<T, Error> v_;
};

// An operation with nothing to give back but success.
template <>
class [[nodiscard]] Result<void> {
 public:
  Result() = default;
  Result(Error error) : error_(std::move(error)), ok_(false) {}

  bool ok() const { return ok_; }
  explicit operator bool() const { return ok_; }
  const Error& error() const { return error_; }

 private:
  Error error_;
  bool ok_ = true;
};

using Status = Result<void>;

}  // namespace fdk
