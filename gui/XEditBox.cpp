#include "gui/XEditBox.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>
#include <memory>

#include "gui/XCodes.h"
#include "gui/XFont.h"
#include "gui/XGraphic.h"
#include "gui/XWindowPort.h"

namespace {

constexpr int kTextX = 6;
// The cell of 'xfdf' (11 points + 4).
constexpr int kCell = 15;

int TextTop(int height)
{
    return (height - kCell) / 2;
}

}  // namespace

XEditBox::XEditBox(int x, int y, int width, int height)
    : XControl(x, y, width, height), XBroadcaster(kEdit)
{
    SetColor(0, XColor(22, 25, 31));
    SetColor(1, XColor(58, 88, 150));
    SetColor(2, XColor(226, 230, 238));
    SetColor(3, XColor(96, 140, 220));
}

std::string XEditBox::NoteName(int note)
{
    static constexpr std::array<const char*, 12> kNames {"C",  "C#", "D",  "D#", "E",  "F",
                                                         "F#", "G",  "G#", "A",  "A#", "B"};
    // Floor division, so negative numbers name a note instead of reading outside the table.
    const int octave = note >= 0 ? note / 12 : -((-static_cast<long long>(note) + 11) / 12);
    const int index = note - octave * 12;
    return std::string(kNames[static_cast<std::size_t>(index)]) + std::to_string(octave - 2);
}

void XEditBox::SetNumber(int n)
{
    SetText(filter_ == kNoteName ? NoteName(n) : std::to_string(n));
    Invalidate();
}

bool XEditBox::Accepts(std::int32_t c) const
{
    if (c < 32 || c > 126) return false;
    if (filter_ == 0) return true;
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    return ((filter_ & kLetters) && letter) || ((filter_ & kDigits) && c >= '0' && c <= '9') ||
           ((filter_ & kSigns) && (c == '+' || c == '-')) || ((filter_ & kPoint) && c == '.') ||
           ((filter_ & kHash) && c == '#') || ((filter_ & kPathSigns) && (c == '\\' || c == ':'));
}

// --- Characters and positions

int XEditBox::CharCount() const
{
    int n = 0;
    for (std::size_t pos = 0; pos < buffer_.size(); ++n) XFont::NextCodePoint(buffer_, pos);
    return n;
}

std::size_t XEditBox::ByteOf(int index) const
{
    std::size_t pos = 0;
    for (int i = 0; i < index && pos < buffer_.size(); ++i) XFont::NextCodePoint(buffer_, pos);
    return pos;
}

void XEditBox::Positions()
{
    positions_.assign(1, kTextX);
    std::vector<int> advances;
    if (const auto font = XFont::Get(kCell, false)) font->Advances(buffer_, advances);
    for (int a : advances) positions_.push_back(positions_.back() + a);
}

void XEditBox::KeepCaretVisible()
{
    const int last = static_cast<int>(positions_.size()) - 1;
    const bool rightEnd = dragA_ >= 0 && dragB_ > dragA_;
    const int at = positions_[static_cast<std::size_t>(
        std::clamp(rightEnd ? caret_ + selLength_ : caret_, 0, last))];
    const int right = std::max(kTextX, Width() - kTextX);
    if (at - scroll_ > right) scroll_ = at - right;
    if (at - scroll_ < kTextX) scroll_ = at - kTextX;
    scroll_ = std::clamp(scroll_, 0, std::max(0, positions_.back() - right));
}

int XEditBox::IndexAt(int x)
{
    Positions();
    x += scroll_;
    int best = 0;
    for (std::size_t i = 1; i < positions_.size(); ++i) {
        if (std::abs(positions_[i] - x) < std::abs(positions_[best] - x))
            best = static_cast<int>(i);
    }
    return best;
}

void XEditBox::SelectBetween(int xa, int xb)
{
    const int a = IndexAt(xa);
    const int b = IndexAt(xb);
    caret_ = std::min(a, b);
    selLength_ = std::abs(a - b);
}

void XEditBox::EraseSelection()
{
    if (selLength_ <= 0) return;
    const std::size_t from = ByteOf(caret_);
    buffer_.erase(from, ByteOf(caret_ + selLength_) - from);
    selLength_ = 0;
}

void XEditBox::Insert(std::string_view s)
{
    EraseSelection();
    if (buffer_.size() + s.size() > kMaxEdit) return;
    buffer_.insert(ByteOf(caret_), s);
    caret_ += static_cast<int>(s.size());  // inserted text is ASCII
}

// --- Editing

bool XEditBox::MouseDown(XMouse* mouse)
{
    // A press inside a running edit moves the caret; it does not throw the edit away.
    if (!editing_) {
        buffer_ = Text();
        editing_ = true;
        scroll_ = 0;
    }
    dragA_ = dragB_ = mouse->LocalPressX();
    SelectBetween(dragA_, dragB_);
    caretPhase_ = 1;
    Invalidate();
    return true;
}

void XEditBox::MouseDrag(XMouse* mouse)
{
    if (dragA_ < 0 || !editing_) return;
    dragB_ = mouse->LocalX();
    SelectBetween(dragA_, dragB_);
    Invalidate();
}

void XEditBox::MouseUp(XMouse* mouse)
{
    dragA_ = dragB_ = -1;
}

bool XEditBox::KeyDown(XKey* key)
{
    if (!editing_ || !key) return false;
    const int count = CharCount();
    caret_ = std::clamp(caret_, 0, count);
    selLength_ = std::clamp(selLength_, 0, count - caret_);
    switch (key->code) {
        case kKeyLeft:
            if (selLength_ > 0) {
                selLength_ = 0;
            } else if (caret_ > 0) {
                --caret_;
            }
            break;
        case kKeyRight:
            if (selLength_ > 0) {
                caret_ += selLength_;
                selLength_ = 0;
            } else if (caret_ < count) {
                ++caret_;
            }
            break;
        case kKeyDelete:
            if (selLength_ == 0 && caret_ < count) selLength_ = 1;
            EraseSelection();
            break;
        case kKeyBackspace:
            if (selLength_ == 0 && caret_ > 0) {
                --caret_;
                selLength_ = 1;
            }
            EraseSelection();
            break;
        case kKeyEnter:
            Commit(true);
            return true;
        case kKeyEscape:
            Commit(false);
            return true;
        case kKeyCopy:
            if (selLength_ > 0) {
                if (XWindowPort* port = WindowPort()) {
                    const std::size_t from = ByteOf(caret_);
                    port->SetClipboardText(
                        std::string_view(buffer_).substr(from, ByteOf(caret_ + selLength_) - from));
                }
            }
            return true;
        case kKeyPaste: {
            XWindowPort* port = WindowPort();
            if (!port) return true;
            const std::string clip = port->ClipboardText();
            if (clip.size() >= kMaxPaste) return true;
            const std::string_view line =
                std::string_view(clip).substr(0, clip.find_first_of("\r\n"));
            // The filter holds for pasted text too: a number box never receives letters.
            std::string text;
            for (char ch : line) {
                const auto c = static_cast<unsigned char>(ch);
                if (!Accepts(c)) continue;
                text.push_back(upperCase_ && c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : ch);
            }
            buffer_ = std::move(text);
            caret_ = static_cast<int>(buffer_.size());
            selLength_ = 0;
            break;
        }
        case kKeyChar: {
            std::int32_t c = key->character;
            if (!Accepts(c)) return false;
            if (upperCase_ && c >= 'a' && c <= 'z') c -= 32;
            const char ch = static_cast<char>(c);
            Insert(std::string_view(&ch, 1));
            break;
        }
        default:
            return false;
    }
    caretPhase_ = 1;
    Invalidate();
    return true;
}

void XEditBox::Commit(bool keep)
{
    if (!editing_) return;
    editing_ = false;
    selLength_ = 0;
    dragA_ = dragB_ = -1;
    if (keep) SetText(buffer_);
    Invalidate();
    if (filter_ == 0) {
        Broadcast(this, keep ? 1 : 0);
    } else if (filter_ == kDigits && keep) {
        // Digits only, saturating: a long row of digits gives the largest number, not garbage.
        long long n = 0;
        for (char c : buffer_) {
            if (c < '0' || c > '9') continue;
            n = std::min<long long>(n * 10 + (c - '0'), std::numeric_limits<std::int32_t>::max());
        }
        Broadcast(this, static_cast<std::int32_t>(n));
    }
}

void XEditBox::EndEdit(bool keep)
{
    if (editing_ && !keep) Commit(commitOnLeave_);
}

void XEditBox::Blink(int phase)
{
    if (!editing_) return;
    caretPhase_ = phase;
    Invalidate();
}

// --- Drawing

void XEditBox::Draw(XGraphic* g)
{
    XControl::Draw(g);
    const XRect all(0, 0, Width() - 1, Height() - 1);
    if (!IsEnabled()) g->BevelRect(all, XColor(70, 72, 78), 1);
    g->SetFont(xcode::kFontDefault);
    const int top = TextTop(Height());
    if (!editing_) {
        g->SetTextColor(IsEnabled() ? GetColor(2) : XColor(150, 152, 160));
        g->Text(Text(), kTextX, top + 3);
        return;
    }
    g->Frame(all.Inflated(-1), GetColor(3));
    Positions();
    KeepCaretVisible();
    for (int& p : positions_) p -= scroll_;
    // A scrolled text stays inside the frame.
    const XRect oldClip = g->ClipRect();
    const XRect box = XRect::FromSize(g->OriginX(), g->OriginY(), Width(), Height());
    g->SetClip(box, box.Inflated(-3).Intersect(oldClip));
    const int last = static_cast<int>(positions_.size()) - 1;
    const int a = std::clamp(caret_, 0, last);
    const int b = std::clamp(caret_ + selLength_, 0, last);
    if (b > a) {
        g->SetFillColor(GetColor(1));
        g->FillRect(positions_[a], 3, positions_[b] - positions_[a], Height() - 6);
    }
    g->SetTextColor(GetColor(2));
    g->Text(buffer_, kTextX - scroll_, top + 3);
    if (caretPhase_ == 1 && selLength_ == 0) {
        g->SetPen(GetColor(2));
        g->Line(positions_[a], 3, positions_[a], Height() - 4);
    }
    g->SetClip(box, oldClip);
}
