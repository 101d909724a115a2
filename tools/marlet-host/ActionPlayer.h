// Plays an ActionScript into an editor window through an InputSink, as if a user did it: the
// steps due by now are sent at each call of Advance, so the caller keeps its own pace. A pixel
// wait holds the script until the window shows what it waits for, checked at each call.
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
    // Sends every step that is due, with coordinates relative to `window`. Throws
    // std::runtime_error when a pixel wait's time runs out, saying what the pixel showed.
    void Advance(const EditorWindow& window);
    // Every step sent and the last wait over.
    bool Done() const
    {
        return next_ >= steps_.size() && std::chrono::steady_clock::now() >= resumeAt_;
    }

private:
    // Whether the pixel of an Until step shows what the step waits for; `seen` gets its colour.
    static bool PixelReady(const EditorWindow& window, const ActionScript::Step& step,
                           std::uint32_t& seen);

    std::vector<ActionScript::Step> steps_;
    std::unique_ptr<InputSink> sink_;
    std::size_t next_ = 0;
    std::chrono::steady_clock::time_point resumeAt_;
    std::chrono::steady_clock::time_point untilDeadline_;
    bool untilStarted_ = false;
};
