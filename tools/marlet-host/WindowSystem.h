// What the editor command needs of the platform's window system (X11 through XCB, or Win32):
// top-level windows to open editors into, and a sink for scripted input. One per session, opened
// on the first thread; windows are made, used and destroyed on the GUI thread.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "tools/marlet-host/EditorWindow.h"
#include "tools/marlet-host/InputSink.h"

class WindowSystem {
public:
    // `display` names the X display (empty: $DISPLAY). Null, with `error` set, when there is no
    // window system to use.
    static std::unique_ptr<WindowSystem> Open(std::string_view display, std::string& error);

    virtual ~WindowSystem() = default;

    // A window whose inside is width x height. Throws std::runtime_error when it is refused.
    virtual std::unique_ptr<EditorWindow> MakeWindow(int width, int height,
                                                     std::string_view title) = 0;
    // Throws std::runtime_error when made-up input cannot be sent (an X server without XTest).
    virtual std::unique_ptr<InputSink> MakeInput() = 0;
    // Why nothing more will work (the connection to the X server broke); empty while all is well.
    virtual std::string Lost() const { return {}; }
};
