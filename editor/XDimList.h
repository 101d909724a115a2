// The dimension sources a program can use, three rows of five labels; the program's own are
// lit.
#pragma once

#include <array>
#include <bitset>
#include <string_view>

#include "gui/XControl.h"

class XDimList : public XControl {
public:
    struct Entry {
        std::string_view label;
        int source;  // controller table slot
    };
    static constexpr std::array<Entry, 15> kEntries {{{"velo", 130},
                                                      {"ksw", 133},
                                                      {"noff", 132},
                                                      {"mod", 1},
                                                      {"brth", 2},
                                                      {"foot", 4},
                                                      {"eff1", 12},
                                                      {"eff2", 13},
                                                      {"gp1", 16},
                                                      {"gp2", 17},
                                                      {"gp3", 18},
                                                      {"gp4", 19},
                                                      {"sust", 64},
                                                      {"sost", 66},
                                                      {"soft", 67}}};

    XDimList(int x, int y, int width, int height);

    void SetUsed(const std::bitset<256>& used);
    void Clear() { SetUsed({}); }
    bool IsMarked(int entry) const;

    void Draw(XGraphic* g) override;

private:
    std::bitset<256> used_;
};
