// The program's facts in four lines: key range, distinct samples, bit depth, disk streaming.
#pragma once

#include <array>
#include <string>

#include "gui/XControl.h"

class XProgInfo : public XControl {
public:
    static constexpr std::array<int, 4> kLineY {6, 17, 28, 39};

    XProgInfo(int x, int y, int width, int height);

    void SetFacts(int keyLow, int keyHigh, int samples, int bits, bool disk);
    void Clear();
    const std::array<std::string, 4>& Lines() const { return lines_; }

    void Draw(XGraphic* g) override;

private:
    void SetLines(std::array<std::string, 4> lines);

    std::array<std::string, 4> lines_;
};
