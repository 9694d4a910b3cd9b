// A small value-or-error type. std::expected would do, but the fuzzing build uses
// clang 14, whose front end cannot compile libstdc++'s <expected>; this keeps one
// spelling across g++, clang and mingw-w64.
#pragma once

#include <cassert>
#include <optional>
#include <utility>
#include <variant>

namespace pel {

template <class E>
struct Unexpected {
  E error;
};

template <class E>
Unexpected<std::decay_t<E>> Fail(E&& error) {
  return {std::forward<E>(error)};
}

template <class T, class E>
class Expected {
 public:
  Expected(T value) : state_(std::in_place_index<0>, std::move(value)) {}  // NOLINT: implicit by design
  template <class G>
  Expected(Unexpected<G> u) : state_(std::in_place_index<1>, E(std::move(u.error))) {}  // NOLINT

  bool has_value() const { return state_.index() == 0; }
  explicit operator bool() const { return has_value(); }

  T& value() { assert(has_value()); return std::get<0>(state_); }
  const T& value() const { assert(has_value()); return std::get<0>(state_); }
  T& operator*() { return value(); }
  const T& operator*() const { return value(); }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }

  E& error() { assert(!has_value()); return std::get<1>(state_); }
  const E& error() const { assert(!has_value()); return std::get<1>(state_); }

 private:
  std::variant<T, E> state_;
};

template <class E>
class Expected<void, E> {
 public:
  Expected() = default;
  template <class G>
  Expected(Unexpected<G> u) : error_(E(std::move(u.error))) {}  // NOLINT

  bool has_value() const { return !error_.has_value(); }
  explicit operator bool() const { return has_value(); }

  E& error() { assert(!has_value()); return *error_; }
  const E& error() const { assert(!has_value()); return *error_; }

 private:
  std::optional<E> error_;
};

}  // namespace pel
