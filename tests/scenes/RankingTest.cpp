// The ranking view and the name entry through the headless driver.
#include <gtest/gtest.h>

#include "tests/scenes/HeadlessRun.h"

namespace zarp::test {
namespace {}  // namespace
}  // namespace zarp::test
