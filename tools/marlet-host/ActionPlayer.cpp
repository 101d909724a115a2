#include "tools/marlet-host/ActionPlayer.h"

ActionPlayer::ActionPlayer(const ActionScript& script, std::unique_ptr<InputSink> sink)
    : steps_(script.Steps()), sink_(std::move(sink))
{
    Restart();
}

void ActionPlayer::Restart()
{
    next_ = 0;
    resumeAt_ = std::chrono::steady_clock::now();
}

void ActionPlayer::Advance(const EditorWindow& window)
{
    const auto now = std::chrono::steady_clock::now();
    while (next_ < steps_.size() && now >= resumeAt_) {
        const ActionScript::Step& step = steps_[next_++];
        switch (step.kind) {
            case ActionScript::Step::Kind::Wait:
                resumeAt_ = now + std::chrono::milliseconds(step.milliseconds);
                break;
            case ActionScript::Step::Kind::Move:
                sink_->Move(window, step.x, step.y);
                break;
            case ActionScript::Step::Kind::Button:
                sink_->Button(step.code, step.press);
                break;
            case ActionScript::Step::Kind::Key:
                sink_->Key(step.code, step.press);
                break;
        }
    }
    sink_->Flush();
}
