// Plays an ActionScript into an editor window through an InputSink, as if a user did it: the
// steps due by now are sent at each call of Advance, so the caller keeps its own pace.
#pragma once

#include <chrono>
#include <memory>
#include <vector>

#include "tools/marlet-host/ActionScript.h"
#include "tools/marlet-host/InputSink.h"

class EditorWindow;

class ActionPlayer {
public:
    ActionPlayer(const ActionScript& script, std::unique_ptr<InputSink> sink);

    // Starts the script over (each open of the editor plays it from the start).
    void Restart();
    // Sends every step that is due, with coordinates relative to `window`.
    void Advance(const EditorWindow& window);
    bool Done() const { return next_ >= steps_.size(); }

private:
    std::vector<ActionScript::Step> steps_;
    std::unique_ptr<InputSink> sink_;
    std::size_t next_ = 0;
    std::chrono::steady_clock::time_point resumeAt_;
};
