// The favourites column: a list that takes folders dragged from the browser tree (broadcasting
// 'fnew' on the drop, its frame red while such a drag is over it) and that broadcasts 'fdel'
// when one of its own items is dragged out and let go outside it.
#pragma once

#include <cstdint>
#include <functional>

#include "gui/XList.h"

class XListLink : public XList {
public:
    static constexpr XColor kDropFrame {255, 0, 0};

    // `accepts` tells whether a drag of this payload from this source carries a folder.
    XListLink(int x, int y, int width, int height,
              std::function<bool(XControl*, std::int32_t)> accepts);

    bool AcceptDrop(XControl* source, std::int32_t payload) override;
    void DragEnter(XControl* source, std::int32_t payload) override;
    void DragLeave(XControl* source, std::int32_t payload) override;
    void Drop(XControl* source, std::int32_t payload) override;
    void DragFinished(int x, int y) override;

private:
    std::function<bool(XControl*, std::int32_t)> accepts_;
    XColor frame_;
};
