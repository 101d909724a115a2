#include "tools/marlet-host/ActionPlayer.h"

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "tools/marlet-host/EditorWindow.h"

namespace {

std::string Hex(std::uint32_t rgb)
{
    char text[8];
    std::snprintf(text, sizeof text, "%06x", rgb & 0xffffffu);
    return text;
}

// What an `until` or `until-file` step waited for in vain.
std::string Unmet(const ActionScript::Step& step, std::uint32_t seen)
{
    const std::string waited = "the script waited " + std::to_string(step.milliseconds) + " ms ";
    if (step.kind == ActionScript::Step::Kind::UntilFile)
        return waited + "for the file " + step.path + " to exist";
    return waited + "for the pixel at " + std::to_string(step.x) + "," + std::to_string(step.y) +
           (step.press ? " to leave " : " to become ") + Hex(step.code) + "; it shows " +
           (seen > 0xffffffu ? std::string("nothing (outside the window)") : Hex(seen));
}

}  // namespace

ActionPlayer::ActionPlayer(const ActionScript& script, std::unique_ptr<InputSink> sink)
    : steps_(script.Steps()), sink_(std::move(sink))
{
    Restart();
}

void ActionPlayer::Restart()
{
    next_ = 0;
    resumeAt_ = std::chrono::steady_clock::now();
    untilStarted_ = false;
}

bool ActionPlayer::PixelReady(const EditorWindow& window, const ActionScript::Step& step,
                              std::uint32_t& seen)
{
    const EditorWindow::Picture picture = window.Screen();
    if (step.x >= picture.width || step.y >= picture.height) return false;
    const std::uint8_t* p =
        picture.rgb.data() + 3 * (static_cast<std::size_t>(step.y) * picture.width + step.x);
    seen = std::uint32_t {p[0]} << 16 | std::uint32_t {p[1]} << 8 | p[2];
    return (seen == step.code) != step.press;
}

void ActionPlayer::Advance(const EditorWindow& window)
{
    using Clock = std::chrono::steady_clock;
    const auto now = Clock::now();
    while (next_ < steps_.size() && now >= resumeAt_) {
        const ActionScript::Step& step = steps_[next_];
        if (step.kind == ActionScript::Step::Kind::Until ||
            step.kind == ActionScript::Step::Kind::UntilFile) {
            // Input sent so far must have reached the window before its picture can answer.
            sink_->Flush();
            std::uint32_t seen = 0xffffffffu;
            const bool ready = step.kind == ActionScript::Step::Kind::Until
                                   ? PixelReady(window, step, seen)
                                   : std::filesystem::exists(step.path);
            if (!ready) {
                if (!untilStarted_) {
                    untilStarted_ = true;
                    untilDeadline_ = now + std::chrono::milliseconds(step.milliseconds);
                } else if (now >= untilDeadline_) {
                    throw std::runtime_error(Unmet(step, seen));
                }
                break;  // looked at again at the next idle call
            }
            untilStarted_ = false;
            ++next_;
            continue;
        }
        ++next_;
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
            case ActionScript::Step::Kind::Until:
            case ActionScript::Step::Kind::UntilFile:
                break;
        }
    }
    sink_->Flush();
}
