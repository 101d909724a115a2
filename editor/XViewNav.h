// The file browser panel: three columns side by side, "Favorites" (bookmarked folders, the
// computer first), "Browser" (the tree of roots, folders and .gig files) and "Instruments" (the
// programs of the .gig file picked in the tree). Double-clicking an instrument chooses it: the
// panel tells its listeners Notify(this, 'inst') and ChosenInstrument answers the file and the
// program. Instruments and .gig files can be dragged onto tone views, folders onto the
// favourites; a favourite dragged out of its column is removed.
#pragma once

#include <cstdint>
#include <string>

#include "editor/GigaDropSource.h"
#include "editor/TreeFile.h"
#include "editor/UProgramList.h"
#include "gui/XBroadcaster.h"
#include "gui/XControl.h"
#include "gui/XListener.h"
#include "gui/XTheme.h"
#include "platform/QelLog.h"

class XLabel;
class XListInst;
class XListLink;
class XTreeGiga;
class XViewPort;

class XViewNav : public XControl,
                 public XListener,
                 public XBroadcaster,
                 public GigaDropSource,
                 public QelLog {
public:
    static constexpr const char* kEmptyInstruments = "Drag and drop an instrument from this column";

    XViewNav(int x, int y, int width, int height);
    ~XViewNav() override;

    // Each time the panel is shown: the first time reads the favourites and lists the roots.
    void Populate();
    // Each time the panel is hidden: writes the favourites when they changed; false when that
    // failed (they stay unsaved and a later call tries again).
    bool SaveFavorites();

    // The last instrument chosen by a double click; false before any.
    bool ChosenInstrument(std::string& path, int& program) const;
    // The .gig file whose programs are listed (empty for none) and the selected one's index.
    const std::string& ListedGig() const { return listedGig_; }
    int SelectedProgram() const;
    // Each editor tick: lists the programs once their file has been read.
    void Poll();
    // True while a .gig file's programs are being read.
    bool Reading() const { return programs_.Busy(); }

    bool DraggedInstrument(std::int32_t payload, std::string& path, int& program) override;
    void ListNotify(XControl* sender, std::int32_t code) override;
    void TreeNotify(XControl* sender, std::int32_t code) override;
    void Draw(XGraphic* g) override;

    XListLink* FavoritesList() const { return favorites_; }
    XTreeGiga* Tree() const { return tree_; }
    XListInst* InstrumentsList() const { return instruments_; }
    const TreeFile& Favorites() const { return store_; }

private:
    XViewPort* AddColumn(int x, int width, const char* title);
    void FavoriteSelected();
    void AddFavorite();
    void RemoveFavorite();
    void ListPrograms();
    void ShowPrograms(const UProgramList::Result& result);
    bool TreeOffersFolder(XControl* source, std::int32_t payload) const;

    XTheme labelTheme_;
    XTheme listTheme_;
    TreeFile store_;
    XListLink* favorites_ = nullptr;
    XTreeGiga* tree_ = nullptr;
    XListInst* instruments_ = nullptr;
    UProgramList programs_;
    std::string listedGig_;
    std::string chosenGig_;
    int chosenProgram_ = -1;
};
