// The editor command's window system on Linux: one XCB connection, top-level X11 windows and
// XTest input.
#pragma once

#include <memory>

#include "tools/marlet-host/WindowSystem.h"
#include "tools/marlet-host/XcbConnection.h"

class XcbWindowSystem final : public WindowSystem {
public:
    explicit XcbWindowSystem(std::unique_ptr<XcbConnection> x) : x_(std::move(x)) {}

    std::unique_ptr<EditorWindow> MakeWindow(int width, int height,
                                             std::string_view title) override;
    std::unique_ptr<InputSink> MakeInput() override;
    std::string Lost() const override;

private:
    std::unique_ptr<XcbConnection> x_;
};
