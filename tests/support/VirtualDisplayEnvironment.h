// Gives every test program built with it an X display of its own: a VirtualDisplay started
// before the first test and stopped after the last, named in DISPLAY for the program and the
// programs it starts. It never uses the display the program was started with (a developer's
// screen would take the tests' pointer moves and clicks): a program started by hand gets its
// own server just as under ctest. Without Xvfb, DISPLAY is removed and the tests that need a
// display skip, saying why; a server that does not come up fails the program.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/support/VirtualDisplay.h"

namespace testsupport {

class VirtualDisplayEnvironment : public testing::Environment {
public:
    void SetUp() override;
    void TearDown() override;

    // Why a test that needs the display must skip; empty when the display is there.
    static std::string Missing();

private:
    std::unique_ptr<VirtualDisplay> display_;
};

}  // namespace testsupport
