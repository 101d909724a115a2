// A one-line text field. A press starts editing a copy of the text; enter keeps the edit,
// escape drops it, and the owner hears the result through EditNotify. A character filter
// limits what can be typed (note names, numbers, paths).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "gui/XBroadcaster.h"
#include "gui/XControl.h"

class XEditBox : public XControl, public XBroadcaster {
public:
    // Filter flags; 0 accepts every character from 32 to 126.
    enum Filter : std::int32_t {
        kLetters = 1,
        kDigits = 2,
        kSigns = 4,
        kPoint = 8,
        kHash = 32,
        kPathSigns = 64,
        kNoteName = kLetters | kDigits | kSigns | kHash,
    };
    // Longer edits refuse further characters.
    static constexpr std::size_t kMaxEdit = 4096;
    // Clipboard texts of this many bytes or more are not pasted.
    static constexpr std::size_t kMaxPaste = 100;

    XEditBox(int x, int y, int width, int height);

    // Keep = false ends an edit in progress as the commit-on-leave flag says (the owner calls
    // it when the box loses the keys).
    virtual void EndEdit(bool keep);
    // A note name ("C3" for 60) with the note-name filter, otherwise the decimal number.
    virtual void SetNumber(int n);

    void Commit(bool keep);

    void SetFilter(std::int32_t filter) { filter_ = filter; }
    std::int32_t GetFilter() const { return filter_; }
    void SetUpperCase(bool on) { upperCase_ = on; }
    void SetCommitOnLeave(bool on) { commitOnLeave_ = on; }
    bool IsEditing() const { return editing_; }
    const std::string& EditText() const { return buffer_; }
    // In characters: the start of the selection (or the caret) and the selection's length.
    int CaretPosition() const { return caret_; }
    int SelectionLength() const { return selLength_; }
    // Whether the filter lets the character in.
    bool Accepts(std::int32_t character) const;

    void Draw(XGraphic* g) override;
    bool MouseDown(XMouse* mouse) override;
    void MouseDrag(XMouse* mouse) override;
    void MouseUp(XMouse* mouse) override;
    bool KeyDown(XKey* key) override;
    void Blink(int phase) override;

    static std::string NoteName(int note);

private:
    // The character boundary nearest to x (control coordinates).
    int IndexAt(int x);
    void Positions();
    // Scrolls the text so that the caret stays inside the box.
    void KeepCaretVisible();
    void SelectBetween(int xa, int xb);
    std::size_t ByteOf(int index) const;
    int CharCount() const;
    void EraseSelection();
    void Insert(std::string_view s);

    bool commitOnLeave_ = true;
    std::int32_t filter_ = 0;
    std::string buffer_;
    bool editing_ = false;
    bool upperCase_ = false;
    int caret_ = 0;
    int caretPhase_ = 0;
    int selLength_ = 0;
    std::vector<int> positions_;  // x of each character boundary
    int dragA_ = -1;
    int dragB_ = -1;
    int scroll_ = 0;  // pixels of the edit text scrolled out at the left
};
