#include "tools/marlet-host/XcbWindowSystem.h"

#include "tools/marlet-host/XTestInput.h"
#include "tools/marlet-host/XcbEditorWindow.h"

std::unique_ptr<WindowSystem> WindowSystem::Open(std::string_view display, std::string& error)
{
    auto x = XcbConnection::Open(display, error);
    if (!x) return nullptr;
    return std::make_unique<XcbWindowSystem>(std::move(x));
}

std::unique_ptr<EditorWindow> XcbWindowSystem::MakeWindow(int width, int height,
                                                          std::string_view title)
{
    return std::make_unique<XcbEditorWindow>(*x_, width, height, title);
}

std::unique_ptr<InputSink> XcbWindowSystem::MakeInput()
{
    return std::make_unique<XTestInput>(*x_);
}

std::string XcbWindowSystem::Lost() const
{
    return x_->Broken() ? "the connection to the X server was lost" : std::string {};
}
