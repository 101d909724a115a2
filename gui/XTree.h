// A tree of named nodes (drives, folders, files) with icons and expanders. Children of a node
// are listed lazily: expanding a node that has none yet calls Expand, which the owner
// implements. Picking a row broadcasts 'ktis' (kind 4); a selected node can be dragged.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "gui/XBroadcaster.h"
#include "gui/XControl.h"
#include "gui/XDragger.h"
#include "gui/XPic.h"

class XTree : public XControl, public XBroadcaster, public XDragger {
public:
    static constexpr int kRowHeight = 18;
    static constexpr int kTop = 4;
    static constexpr int kIndent = 16;
    static constexpr int kExpanderWidth = 10;
    static constexpr int kIconX = 14;
    static constexpr int kMaxIcons = 64;
    static constexpr int kDragDistance = 2;

    enum NodeFlag : std::uint32_t { kExpanded = 2, kSelected = 4, kHasExpander = 8 };

    struct Node {
        Node* next = nullptr;
        Node* parent = nullptr;
        Node* child = nullptr;
        std::int32_t kind = 0;
        std::uint32_t flags = 0;
        std::string text;
    };

    XTree(int x, int y, int width, int height);
    ~XTree() override;

    // The expand hook: list the node's children (null: the top level). Empty here.
    virtual void Expand(Node* node) {}

    // Adds a node under `parent` (null: top level): last, or in ASCII-case-insensitive order
    // when the tree is sorted. Nodes of a kind whose icon shows an expander get one.
    Node* AddNode(Node* parent, std::string_view text, std::int32_t kind);
    void RemoveChildren(Node* node);
    void Clear();
    Node* FirstNode() const { return first_; }

    // Up to 64 kinds.
    bool SetIcon(std::int32_t kind, const XPic& pic, bool showExpander);
    bool SetIcon(std::int32_t kind, std::string_view pictureName, bool showExpander);
    void SetExpanderPictures(const XPic& open, const XPic& closed);
    void SetRootPath(std::string_view path) { rootPath_ = path; }
    const std::string& RootPath() const { return rootPath_; }
    // The character that joins names in PathOf ("\" unless set).
    void SetSeparator(char separator) { separator_ = separator; }
    void SetSorted(bool on) { sorted_ = on; }
    void SetMultiSelect(bool on) { multiSelect_ = on; }

    // Root path + names from the top level down joined by the separator, plus a trailing one
    // for nodes with an expander.
    std::string PathOf(const Node* node) const;

    // Expands (listing children through Expand when it has none) or collapses.
    void SetExpanded(Node* node, bool on);
    void Toggle(Node* node);
    // Selects only this node (null clears); no broadcast.
    void Select(Node* node);
    Node* Selected() const;
    void ClearSelection();

    // The node of the row at a point, null for none; `level` receives its depth.
    Node* NodeAt(int y, int* level = nullptr) const;
    int RowCount() const { return visibleCount_; }
    int RowsDrawn() const { return rowsDrawn_; }

    void Draw(XGraphic* g) override;
    bool MouseDown(XMouse* mouse) override;
    void MouseDrag(XMouse* mouse) override;
    void MouseUp(XMouse* mouse) override;
    bool KeyDown(XKey* key) override;
    void ControlGone(XControl* gone) override { Forget(gone); }
    void DrawDragImage(XGraphic* g) override;

private:
    struct Icon {
        std::int32_t kind = 0;
        XPic pic;
        bool showExpander = false;
    };
    struct Row {
        Node* node;
        int level;
    };

    const Icon* IconOf(std::int32_t kind) const;
    // Rebuilds the rows now; AddNode only counts them and leaves the rebuild to the next use,
    // so listing a large folder stays linear.
    void Layout();
    const std::vector<Row>& Rows() const;
    void FreeChildren(Node* node);
    int TextX(const Node* node, int level) const;

    std::vector<std::unique_ptr<Node>> store_;  // owns every node; freed slots are reused
    std::vector<Node*> free_;
    Node* first_ = nullptr;
    mutable std::vector<Row> rows_;
    mutable bool rowsStale_ = false;
    int visibleCount_ = 0;
    std::vector<Icon> icons_;
    XPic open_;
    XPic closed_;
    std::string rootPath_;
    char separator_ = '\\';
    bool sorted_ = false;
    bool multiSelect_ = false;
    bool pickPending_ = false;
    bool pressed_ = false;
    int rowsDrawn_ = 0;
};
