// Helpers the container tests share: the fault an action raised, and a value
// whose destruction runs code.
#pragma once

#include <functional>
#include <utility>

#include <gtest/gtest.h>

namespace tk::test {

// The fault of the Error the action threw; a failed check when it threw none.
template <typename Error>
auto FaultOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Error& error) {
    return error.fault();
  }
  ADD_FAILURE() << "no error";
  return decltype(std::declval<const Error&>().fault()){};
}

// A value whose destruction runs code, as an object's last release does.
struct Calls {
  std::function<void()> onDestroy;
  ~Calls() {
    if (onDestroy) onDestroy();
  }
};

}  // namespace tk::test
