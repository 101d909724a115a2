// The editor command's window system on Windows: top-level Win32 windows and SendInput.
#pragma once

#include "tools/marlet-host/WindowSystem.h"

class Win32WindowSystem final : public WindowSystem {
public:
    std::unique_ptr<EditorWindow> MakeWindow(int width, int height,
                                             std::string_view title) override;
    std::unique_ptr<InputSink> MakeInput() override;
};
