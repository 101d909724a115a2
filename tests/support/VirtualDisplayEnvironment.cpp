#include "tests/support/VirtualDisplayEnvironment.h"

#include <cstdlib>

namespace testsupport {
namespace {

// Set once by SetUp, before any test runs.
std::string& Absence()
{
    static std::string why = "the test display was never set up";
    return why;
}

// Registered with the program's tests: gtest owns it, and sets it up only when tests run (not
// when ctest lists them).
[[maybe_unused]] testing::Environment* const registered =
    testing::AddGlobalTestEnvironment(new VirtualDisplayEnvironment);

}  // namespace

void VirtualDisplayEnvironment::SetUp()
{
    unsetenv("DISPLAY");
    const std::string server = VirtualDisplay::FindServer();
    if (server.empty()) {
        Absence() = "Xvfb is not installed";
        return;
    }
    display_ = std::make_unique<VirtualDisplay>(server);
    if (display_->Name().empty()) {
        Absence() = "the test display did not start";
        GTEST_FAIL() << "cannot start the test display: " << display_->Error();
    }
    setenv("DISPLAY", display_->Name().c_str(), 1);
    Absence().clear();
}

void VirtualDisplayEnvironment::TearDown()
{
    display_.reset();
    unsetenv("DISPLAY");
    Absence() = "the test display has been stopped";
}

std::string VirtualDisplayEnvironment::Missing()
{
    return Absence();
}

}  // namespace testsupport
