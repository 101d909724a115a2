// Asks whether to save the performance before it is replaced: "Save changes to <name>?" with
// Yes (result 1, also enter), No (0) and Cancel (-1, also escape).
#pragma once

#include <string>
#include <string_view>

#include "gui/XListener.h"
#include "gui/XView.h"

class XButton;
class XLabel;

class WConfirm : public XView, public XListener {
public:
    static constexpr int kWidth = 401;
    static constexpr int kHeight = 66;

    // The performance's path; empty when it was never saved.
    explicit WConfirm(std::string_view path);

    // "Save changes to <last component of path>?", or "... Untitled?" for an empty path.
    static std::string MessageFor(std::string_view path);

    XLabel* Message() const { return message_; }
    XButton* YesButton() const { return yes_; }
    XButton* NoButton() const { return no_; }
    XButton* CancelButton() const { return cancel_; }

    void ButtonClicked(XButton* sender, std::int32_t code) override;

private:
    XLabel* message_ = nullptr;
    XButton* yes_ = nullptr;
    XButton* no_ = nullptr;
    XButton* cancel_ = nullptr;
};
