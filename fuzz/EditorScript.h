// The editor target's input: a header byte, then records, each an opcode byte (taken modulo
// kOpCount) and its operands. ScriptReader reads any bytes as records with every operand in its
// range (missing bytes read as zeros); ScriptWriter writes them, for the seeds.
//
// Points are two 16-bit little-endian words: below kSpecialCoordinate a word w stands for
// w % span - kCoordinateBias, the spans 1024 across and 768 down (so -112 .. 911 and
// -112 .. 655 around the 800 x 560 window, most points inside it), from there on for the
// extremes a window can report (kExtremes).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace editorscript {

enum Op : std::uint8_t {
    kMove,          // point, modifiers
    kLeftDown,      // point, modifiers
    kLeftUp,        // point
    kRightDown,     // point, modifiers
    kRightUp,       // point
    kClick,         // point, modifiers: a left press and release
    kDoubleClick,   // point: two clicks 100 ms apart
    kDrag,          // point from, point to, steps: press, steps moves, release
    kWheel,         // point, dx, dy (signed notches)
    kKey,           // character, modifiers, code (XKeyCode, modulo 12)
    kText,          // length, characters: typed one key each
    kTick,          // n: n % 64 + 1 timer records, 50 ms apart
    kIdle,          // ms / 4: the host's idle call after that time (the timer as Linux polls it)
    kWait,          // ms / 8: the clock moves, nothing is delivered
    kPaint,         // the window asks for its picture
    kRender,        // n: n % 8 + 1 audio blocks of 512 frames from the host (unless live)
    kHostMidi,      // status, data, data: an event from the host (unless live)
    kSettle,        // loads, scans and dialogs' threads finish; two ticks
    kCloseWindow,   // the host closes the editor (effEditClose)
    kOpenWindow,    // flags (bit 0: the window shows menus itself): the host opens it
    kRebuild,       // the editor goes and a new one is made over the same player
    kMenuPick,      // n, indices: the open menu's item at a path of n % 4 + 1 entries
    kMenuCancel,    // the open menu is dismissed
    kDialogAnswer,  // answer kind and its operands: the newest open file dialog answers
    kDialogCancel,  // the newest open file dialog is cancelled
    kClipboard,     // length, bytes: the clipboard's text
    kHostSave,      // the host takes the state (effGetChunk)
    kHostRestore,   // the host gives back the state it took, or the starting rack
    kWindowMoved,   // point: the window's new place in its parent
    kOwnDialogs,    // flag: file dialogs from now on are the system's (0) or our own (1)
    kPress,         // n (16 bits), action: on the n-th shown control of the innermost popup
                    // (or the editor), counted depth first: click, double click, right click,
                    // drag right, drag up, or press and hold
    kOpCount
};

// The header's bits.
enum Header : std::uint8_t {
    kSettleEach = 1,  // background loads finish after every record (deterministic)
    kMenuHost = 2,    // the first window shows menus itself
    kOwnDialogsFirst = 4,
    kRackShift = 3,       // two bits: the starting rack (EditorFuzz.cpp's Scratch)
    kLiveAudio = 3 << 5,  // both bits: a host audio thread renders all along, as a live host's
};

// What a file dialog answers (kDialogAnswer's first operand, modulo kAnswerCount).
enum Answer : std::uint8_t {
    kSavedPerformance,    // a performance naming the bank (exists)
    kMissingPerformance,  // a performance naming a bank that is gone (exists)
    kBank,                // the demo bank
    kFoundBank,           // the missing bank's name, deeper in the scratch folder
    kFilesFolder,         // the scratch folder itself
    kNothing,             // a file that does not exist
    kNameBytes,           // length, bytes: a name in the scratch folder ('/' and NUL as '_')
    kLongName,            // n: a name of (n % 8 + 1) * 1000 bytes
    kDeepPath,            // a path of folders over 4096 bytes long
    kNotUtf8,             // a name that is not UTF-8
    kRelative,            // a name without its folder
    kTwoFiles,            // the saved performance and the bank
    kTrailingSlash,       // the scratch folder with "//" and "/" at the end
    kBankAtLimit,         // the bank at a path of 511 bytes, the longest a performance keeps
    kBankPastLimit,       // the bank at a path of 512 bytes
    kEmptyBank,           // a .gig file of no bytes
    kTextBank,            // a .gig file of text
    kOddNameBank,         // the bank under a name that is not UTF-8
    kAnswerCount
};

inline constexpr int kCoordinateBias = 112;
inline constexpr int kSpanAcross = 1024;
inline constexpr int kSpanDown = 768;
inline constexpr std::uint16_t kSpecialCoordinate = 0xFF00;
inline constexpr int kExtremes[] = {-32768, 32767, -4096, 4096, -1, 0, 799, 800, 559, 560};

// Characters: a byte below 0x80 is itself; 0x80 .. 0xEF with the next byte is a code point
// below 0x7000; 0xF0 .. 0xFF the code points below.
inline constexpr std::int32_t kOddCharacters[] = {
    0xD800,  0xDFFF, 0xFFFD, 0xFFFE, 0x10FFFF, 0x110000, 0x7FFFFFFF, -1,
    0x1F600, 0xE9,   0x4E2D, 0,      0x7F,     0x85,     0x2028,     0x200B};

struct Point {
    int x = 0;
    int y = 0;
};

class ScriptReader {
public:
    ScriptReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool More() const { return at_ < size_; }
    std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }
    std::uint16_t Word()
    {
        const std::uint16_t low = Byte();
        return static_cast<std::uint16_t>(low | Byte() << 8);
    }
    Op Opcode() { return static_cast<Op>(Byte() % kOpCount); }
    int Coordinate(int span)
    {
        const std::uint16_t w = Word();
        if (w < kSpecialCoordinate) return w % span - kCoordinateBias;
        return kExtremes[(w - kSpecialCoordinate) % std::size(kExtremes)];
    }
    Point At()
    {
        const int x = Coordinate(kSpanAcross);
        return {x, Coordinate(kSpanDown)};
    }
    std::int32_t Character()
    {
        const std::uint8_t b = Byte();
        if (b < 0x80) return b;
        if (b < 0xF0) return (b - 0x80) << 8 | Byte();
        return kOddCharacters[b - 0xF0];
    }
    std::string Bytes(std::size_t n)
    {
        std::string out;
        for (std::size_t i = 0; i < n && More(); ++i) out.push_back(static_cast<char>(Byte()));
        return out;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

class ScriptWriter {
public:
    explicit ScriptWriter(std::uint8_t header) { bytes_.push_back(header); }
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

    ScriptWriter& Move(Point p, int modifiers = 0) { return Op(kMove).Put(p).Put(modifiers); }
    ScriptWriter& LeftDown(Point p, int modifiers = 0)
    {
        return Op(kLeftDown).Put(p).Put(modifiers);
    }
    ScriptWriter& LeftUp(Point p) { return Op(kLeftUp).Put(p); }
    ScriptWriter& RightClick(Point p) { return Op(kRightDown).Put(p).Put(0).Op(kRightUp).Put(p); }
    ScriptWriter& Click(Point p, int modifiers = 0) { return Op(kClick).Put(p).Put(modifiers); }
    ScriptWriter& DoubleClick(Point p) { return Op(kDoubleClick).Put(p); }
    ScriptWriter& Drag(Point from, Point to, int steps = 8)
    {
        return Op(kDrag).Put(from).Put(to).Put(steps);
    }
    ScriptWriter& Wheel(Point p, int dx, int dy) { return Op(kWheel).Put(p).Put(dx).Put(dy); }
    ScriptWriter& Key(int code, int modifiers = 0, char character = 0)
    {
        return Op(kKey).Put(static_cast<std::uint8_t>(character)).Put(modifiers).Put(code);
    }
    // At most 64 characters.
    ScriptWriter& Type(std::string_view text)
    {
        Op(kText).Put(static_cast<int>(text.size()));
        for (char c : text) Put(static_cast<std::uint8_t>(c) & 0x7F);
        return *this;
    }
    ScriptWriter& Tick(int n = 1) { return Op(kTick).Put(n - 1); }
    ScriptWriter& Idle(int ms) { return Op(kIdle).Put(ms / 4); }
    ScriptWriter& Wait(int ms) { return Op(kWait).Put(ms / 8); }
    ScriptWriter& Paint() { return Op(kPaint); }
    ScriptWriter& Render(int blocks) { return Op(kRender).Put(blocks - 1); }
    ScriptWriter& HostMidi(int status, int d1, int d2)
    {
        return Op(kHostMidi).Put(status).Put(d1).Put(d2);
    }
    ScriptWriter& Settle() { return Op(kSettle); }
    ScriptWriter& CloseWindow() { return Op(kCloseWindow); }
    ScriptWriter& OpenWindow(bool menuHost) { return Op(kOpenWindow).Put(menuHost ? 1 : 0); }
    ScriptWriter& Rebuild() { return Op(kRebuild); }
    ScriptWriter& MenuPick(const std::vector<int>& path)
    {
        Op(kMenuPick).Put(static_cast<int>(path.size()) - 1);
        for (int index : path) Put(index);
        return *this;
    }
    ScriptWriter& MenuCancel() { return Op(kMenuCancel); }
    // `bytes` for kNameBytes, `n` for kLongName.
    ScriptWriter& AnswerDialog(editorscript::Answer kind, std::string_view bytes = {}, int n = 0)
    {
        Op(kDialogAnswer).Put(kind);
        if (kind == kNameBytes) {
            Put(static_cast<int>(bytes.size()));
            for (char c : bytes) Put(static_cast<std::uint8_t>(c));
        }
        if (kind == kLongName) Put(n);
        return *this;
    }
    ScriptWriter& CancelDialog() { return Op(kDialogCancel); }
    // At most 255 bytes.
    ScriptWriter& Clipboard(std::string_view text)
    {
        Op(kClipboard).Put(static_cast<int>(text.size()));
        for (char c : text) Put(static_cast<std::uint8_t>(c));
        return *this;
    }
    ScriptWriter& HostSave() { return Op(kHostSave); }
    ScriptWriter& HostRestore() { return Op(kHostRestore); }
    ScriptWriter& WindowMoved(Point p) { return Op(kWindowMoved).Put(p); }
    ScriptWriter& OwnDialogs(bool on) { return Op(kOwnDialogs).Put(on ? 1 : 0); }
    ScriptWriter& Press(int control, int action = 0)
    {
        return Op(kPress).Put(control & 0xFF).Put(control >> 8 & 0xFF).Put(action);
    }

private:
    ScriptWriter& Op(editorscript::Op op) { return Put(op); }
    ScriptWriter& Put(std::size_t value)
    {
        bytes_.push_back(static_cast<std::uint8_t>(value));
        return *this;
    }
    ScriptWriter& Put(int value) { return Put(static_cast<std::size_t>(value)); }
    ScriptWriter& Put(std::uint8_t value) { return Put(static_cast<std::size_t>(value)); }
    ScriptWriter& Put(editorscript::Answer value) { return Put(static_cast<std::size_t>(value)); }
    ScriptWriter& Put(Point p) { return Word(p.x).Word(p.y); }
    ScriptWriter& Word(int coordinate)
    {
        const int w = coordinate + kCoordinateBias;
        Put(w & 0xFF);
        return Put(w >> 8 & 0xFF);
    }

    std::vector<std::uint8_t> bytes_;
};

}  // namespace editorscript
