// A file dialog of the operating system's own: open, save or choose a folder, run apart from the
// GUI thread so that UFileNav starts it, polls it on the editor's ticks and cancels it, as it
// does the desktop's dialog programs.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

class USystemDialog {
public:
    enum class Kind { kOpen, kSave, kFolder };
    // (label, extension without its dot)
    using Filters = std::vector<std::pair<std::string, std::string>>;

    // The system's dialog, already showing; null where the system has none of its own (Linux,
    // where the desktop's dialog programs serve).
    static std::unique_ptr<USystemDialog> Make(Kind kind, std::string title, Filters filters);

    USystemDialog() = default;
    // Cancels the dialog when it is still open.
    virtual ~USystemDialog() = default;
    USystemDialog(const USystemDialog&) = delete;
    USystemDialog& operator=(const USystemDialog&) = delete;

    virtual bool Done() const = 0;
    // After Done: the chosen absolute paths (UTF-8), empty when cancelled.
    virtual const std::vector<std::string>& Paths() const = 0;
};
