#include "giga/GigaPlayer.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <span>
#include <vector>

#include "engine/GigaTone.h"
#include "engine/GigaVoice.h"
#include "gig/GigaBankManager.h"
#include "giga/GigaToneDoor.h"
#include "persist/GigaPerformance.h"
#include "platform/FourCC.h"
#include "platform/Platform.h"
#include "player/KyIdentity.h"
#include "prefs/GigaPrefs.h"
#include "riff/CExpRiff.h"
#include "riff/CImpRiff.h"
#include "stream/GigaDiskThread.h"

GigaPlayer::GigaPlayer() : GigaPlayer(Listing::kAtOnce) {}

GigaPlayer::GigaPlayer(Listing listing) : KyPlayer(Listing::kWhenWhole)
{
    Log("GigaPlayer constructor");
    identity_ = KyIdentity::kUniqueId;
    maker_ = KyIdentity::kMaker;
    version_ = KyIdentity::kVendorVersion;
    name_ = KyIdentity::kName;
    vendor_ = KyIdentity::kVendor;
    product_ = KyIdentity::kProduct;
    busNameFormat_ = KyIdentity::kBusNameFormat;
    // The tones' shared mixing space, sized where the tone lays out its two halves.
    scratch_ = std::make_unique<float[]>(GigaTone::kScratchFloats);
    // Here rather than in OnInit: players made without it load too.
    GigaBankManager::SetLoadPass(&GigaPlayer::RunLoadPass);
    // Whole now: the loader may visit it from here on (OnInit's tones join as they come).
    if (listing == Listing::kAtOnce) JoinPlayerList();
    Log("GigaPlayer constructor done");
}

void GigaPlayer::RunLoadPass()
{
    KyPlayer::ForEachPlayer([](KyPlayer& player) { player.LoadTones(); });
}

GigaPlayer::~GigaPlayer()
{
    Log("GigaPlayer destructor\r\n");
    LeavePlayerList();
    // The banks stay while the disk thread settles: the streams our voices let go return to
    // pools of their files.
    auto banks = GigaBankManager::Instance().LockBanks();
    GigaPlayer::RemoveTones();
    // A stream request still queued points at one of our voices: let the disk thread take it
    // up before the voices go (or give up a thread held in a read that does not end).
    if (GigaDiskThread* disk = GigaDiskThread::Existing()) disk->SettlePasses(2);
}

void GigaPlayer::OnInit()
{
    Log("GigaPlayer::OnInit()");
    // The process-wide companions, in this order so that they go in the reverse one when the
    // library unloads: the disk thread outlives the banks whose files its streams read.
    GigaDiskThread::Instance();
    GigaBankManager::Instance();
    GigaPrefs::Instance().Load(kPreferencesName);  // once per process
    if (!voices_) voices_ = std::make_unique<KyVoicePool<GigaVoice>>(kVoices);
    for (int i = 0; i < kMaxTones; ++i) {
        auto tone = std::make_unique<GigaTone>(i, i, scratch_.get());
        tone->SetVoicePool(&voices_->Free());
        AddTone(std::move(tone));
    }
    Log("GigaPlayer::OnInit() done");
}

bool GigaPlayer::LoadTones()
{
    const std::uint64_t requested = loadRequests_.load(std::memory_order_acquire);
    bool result = true;
    bool stopped = false;
    // Rounds while the host hands over new racks; each ends when no tone asks any more.
    while (!Leaving()) {
        const bool rack = rackPending_.load(std::memory_order_acquire);
        std::vector<GigaTone*> waiting;
        for (int i = 0; i < ToneCount(); ++i)
            if (GigaTone* tone = Giga(i); tone && tone->WantsLoadPass()) waiting.push_back(tone);
        if (!rack && waiting.empty()) break;
        if (!stopped) {
            Log("toneToLoad=%d", static_cast<int>(waiting.size()));
            // The audio thread never sees a tone whose programs are changing.
            KyStop();
            stopped = true;
            // Streams of the stopped voices are recycled before their programs can go.
            if (!AwaitDiskPasses(5)) break;
        }
        if (rack) {
            TakeUpPendingRack();
            continue;
        }
        bool edited = false;
        for (GigaTone* tone : waiting) {
            if (LoadAbandoned()) break;
            if (!tone->LoadPass()) result = false;
            // A load the user's edit asked for may change what is kept (a layer whose program
            // is not in its file goes, key ranges come from the program): the host hears of it.
            edited = edited || tone->IsModified();
        }
        if (edited) NoteStateChanged();
        Log("toneLoaded=%d", static_cast<int>(waiting.size()));
    }
    // A player that leaves is torn down by its owner; it plays no more.
    if (stopped && !Leaving()) KyStart();
    // Whoever waited for this load finds the banks it opened or let go in the listing.
    GigaBankManager::Instance().PublishListing();
    loadsDone_.store(requested, std::memory_order_release);
    PostToEditor({KyEditorEvent::kToneLoadDone, result ? 1 : 0, 0});
    return result;
}

bool GigaPlayer::LoadAbandoned() const
{
    return KyPlayer::LoadAbandoned() || rackPending_.load(std::memory_order_acquire);
}

bool GigaPlayer::AwaitDiskPasses(int passes) const
{
    // In slices: a disk thread held in a read does not keep a leaving player waiting.
    GigaDiskThread* disk = GigaDiskThread::Existing();
    for (int done = 0; disk && done < passes && !Leaving();)
        if (disk->WaitPasses(1, kLoadingPollMs)) ++done;
    return !Leaving();
}

void GigaPlayer::TakeUpPendingRack()
{
    // A new performance made since the rack was seen has forgotten it; one made while it is
    // read waits and empties what it brought.
    std::lock_guard rackLock(rackMutex_);
    std::vector<char> bytes;
    std::uint64_t generation = 0;
    {
        std::lock_guard lock(pendingMutex_);
        if (!rackPending_.load(std::memory_order_acquire)) return;
        bytes = pendingRack_;
        generation = pendingGeneration_;
    }
    // What the last rack left on its way out goes first, so the new one finds room.
    for (int i = 0; i < ToneCount(); ++i)
        if (GigaTone* tone = Giga(i)) tone->DropLeavingLayers();
    CImpRiff reader;
    if (reader.OpenRiffMemory({reinterpret_cast<const std::byte*>(bytes.data()), bytes.size()})) {
        OnLoad(reader);
        reader.Close();
    }
    // The host's state is the rack's own again, unless a newer one came meanwhile.
    std::lock_guard lock(pendingMutex_);
    if (pendingGeneration_ == generation) {
        pendingRack_.clear();
        pendingRack_.shrink_to_fit();
        rackPending_.store(false, std::memory_order_release);
    }
}

void GigaPlayer::RemoveTones()
{
    auto banks = GigaBankManager::Instance().LockBanks();
    KyPlayer::RemoveTones();
}

GigaTone* GigaPlayer::Giga(int index) const
{
    return dynamic_cast<GigaTone*>(Tone(index));
}

GigaToneEdit* GigaPlayer::ToneEdit(int index) const
{
    GigaTone* tone = Giga(index);
    if (!tone) return nullptr;
    std::lock_guard lock(doorMutex_);
    auto& door = doors_[static_cast<std::size_t>(index)];
    // Tones stay in their places for the player's life, so a door never changes its tone.
    if (!door) door = std::make_unique<GigaToneDoor>(*tone, *const_cast<GigaPlayer*>(this));
    return door.get();
}

bool GigaPlayer::RequestLoading()
{
    bool waiting = false;
    for (int i = 0; i < ToneCount(); ++i)
        if (const GigaTone* tone = Giga(i); tone && tone->WantsLoadPass()) waiting = true;
    if (!waiting) return false;
    AskForLoadPass();
    return true;
}

void GigaPlayer::AskForLoadPass()
{
    loadRequests_.fetch_add(1, std::memory_order_acq_rel);
    GigaBankManager::Instance().Request();
}

GigaToneFacts GigaPlayer::ToneFacts(int index) const
{
    const GigaTone* tone = Giga(index);
    return tone ? tone->Facts() : GigaToneFacts {};
}

void GigaPlayer::WaitWhileLoading() const
{
    while (IsLoading()) platform::SleepMs(kLoadingPollMs);
}

bool GigaPlayer::OnSave(CExpRiff& writer)
{
    const int count = std::min(ToneCount(), kMaxTones);
    std::array<GigaTone*, kMaxTones> tones {};
    for (int i = 0; i < count; ++i) tones[static_cast<std::size_t>(i)] = Giga(i);
    const bool ok =
        GigaPerformance::Write(writer, std::span(tones).first(static_cast<std::size_t>(count)));
    if (!ok) Log("*** GigaPlayer::OnSave() writing failed ***");
    return ok;
}

bool GigaPlayer::OnLoad(CImpRiff& reader)
{
    Log("GigaPlayer::OnLoad(%x)\r\n",
        static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(&reader)));
    if (!GigaPerformance::Open(reader, *this)) return false;

    // A stopped player's tones keep their layers too: they must not end up merged with the
    // performance's.
    for (int i = 0; i < ToneCount(); ++i)
        if (GigaTone* tone = Giga(i); tone && (tone->IsActive() || tone->LayerCount() > 0))
            tone->Clear();

    GigaPerformance::ReadTones(reader, *this, [this](int index) {
        return index >= 0 && index < kMaxTones ? Giga(index) : nullptr;
    });
    // The rack is the performance now: nothing of it is the user's change yet.
    for (int i = 0; i < ToneCount(); ++i)
        if (GigaTone* tone = Giga(i)) tone->SetModified(false);
    return true;
}

bool GigaPlayer::ReadPerformance(CImpRiff& reader)
{
    const bool ok = OnLoad(reader);
    if (ok) RequestLoading();
    return ok;
}

bool GigaPlayer::OnLoad(const std::string& path)
{
    Log("GigaPlayer::OnLoad(%s)\r\n", path.c_str());
    WaitWhileLoading();
    CImpRiff reader;
    if (!reader.OpenRiff(path)) return false;
    ReadPerformance(reader);
    reader.Close();
    return true;
}

bool GigaPlayer::OnSave(const std::string& path)
{
    Log("GigaPlayer::OnSave(%s)", path.c_str());
    {
        std::lock_guard lock(pendingMutex_);
        if (rackPending_.load(std::memory_order_acquire)) {
            const platform::FileHandle file = platform::CreateFileWrite(path);
            if (file == platform::kNoFile) return false;
            const auto size = static_cast<std::int64_t>(pendingRack_.size());
            const bool written = platform::WriteFileAt(file, 0, pendingRack_.data(), size) == size;
            platform::CloseFile(file);
            return written;
        }
    }
    CExpRiff writer;
    if (!writer.Create(path)) return false;
    const bool ok = OnSave(writer);
    return writer.Close() && ok;
}

bool GigaPlayer::ReadPerformanceFile(const std::string& path, std::vector<std::byte>& bytes)
{
    // Through the platform layer: a UTF-8 path is a wide-character path on Windows.
    return platform::ReadWholeFile(path, bytes, static_cast<std::size_t>(kMaxPerformanceBytes)) &&
           !bytes.empty();
}

bool GigaPlayer::Load(const std::string& path)
{
    // Read whole, so that a load pass under way never makes the editor wait: the rack then
    // waits for the loader's next step, as a host's state does.
    std::vector<std::byte> bytes;
    if (!ReadPerformanceFile(path, bytes)) {
        Log("KyPlayer::Load(%s)\r\n", path.c_str());
        Log("*** GigaPlayer::Load() cannot read %s ***", path.c_str());
        return false;
    }
    return Load(path, bytes);
}

bool GigaPlayer::Load(const std::string& path, std::span<const std::byte> bytes)
{
    Log("KyPlayer::Load(%s)\r\n", path.c_str());
    if (bytes.empty()) {
        Log("*** GigaPlayer::Load() cannot read %s ***", path.c_str());
        return false;
    }
    Log("riff.OpenRiff success\r\n");
    if (!TakeRack(bytes.data(), bytes.size(), /*startLoading=*/false)) return false;
    Log("OnLoad success\r\n");
    SetPath(path.c_str());
    return true;
}

bool GigaPlayer::Save(const std::string& path)
{
    Log("KyPlayer::Save(%s)\r\n", path.empty() ? "(null)" : path.c_str());
    if (!path.empty()) SetPath(path.c_str());
    if (Path().empty()) return false;
    return OnSave(Path());
}

void GigaPlayer::NewPerformance()
{
    std::lock_guard rackLock(rackMutex_);
    {
        // A rack the loader has not taken up yet is forgotten with the rest.
        std::lock_guard lock(pendingMutex_);
        ++pendingGeneration_;
        pendingRack_.clear();
        rackPending_.store(false, std::memory_order_release);
    }
    for (int i = 0; i < ToneCount(); ++i) {
        GigaTone* tone = Giga(i);
        if (!tone) continue;
        tone->SetModified(false);
        if (tone->IsActive() || tone->LayerCount() > 0)
            tone->Clear();
        else if (tone->Status() != GigaTone::kEmpty)
            tone->SetStatus(GigaTone::kLoaded);
    }
    // The load pass drops the emptied tones' layers and the banks nobody holds.
    RequestLoading();
    SetPath(nullptr);
}

std::size_t GigaPlayer::SaveToMemory()
{
    chunk_.clear();
    chunk_.shrink_to_fit();
    {
        std::lock_guard lock(pendingMutex_);
        if (rackPending_.load(std::memory_order_acquire)) {
            chunk_.assign(pendingRack_.begin(), pendingRack_.end());
            return chunk_.size();
        }
    }
    CExpRiff writer;
    if (!writer.CreateMemory()) return 0;
    const bool ok = OnSave(writer);
    if (!writer.Close() || !ok) return 0;
    const std::span<const std::byte> bytes = writer.MemoryBytes();
    chunk_.assign(reinterpret_cast<const char*>(bytes.data()),
                  reinterpret_cast<const char*>(bytes.data() + bytes.size()));
    return chunk_.size();
}

void GigaPlayer::LoadFromMemory(const void* data, std::size_t size)
{
    Log("GigaPlayer::LoadFromMemory(%zu)", size);
    // A host's negative size arrives here as a huge one.
    if (!data || size == 0 || size > static_cast<std::size_t>(INT32_MAX)) {
        Log("*** GigaPlayer::LoadFromMemory() no usable chunk ***");
        return;
    }
    TakeRack(data, size, /*startLoading=*/true);
    AfterLoad();
}

bool GigaPlayer::TakeRack(const void* data, std::size_t size, bool startLoading)
{
    CImpRiff reader;
    if (!reader.OpenRiffMemory({static_cast<const std::byte*>(data), size})) return false;
    if (!IsLoading()) return startLoading ? ReadPerformance(reader) : OnLoad(reader);
    // The loader is at work on this rack: the new one waits for its next step instead of the
    // caller waiting for the pass. Only a performance is kept.
    if (!GigaPerformance::Open(reader, *this)) return false;
    {
        std::lock_guard lock(pendingMutex_);
        const auto* bytes = static_cast<const char*>(data);
        pendingRack_.assign(bytes, bytes + size);
        ++pendingGeneration_;
        rackPending_.store(true, std::memory_order_release);
    }
    AskForLoadPass();
    return true;
}

void GigaPlayer::WaitForDiskIdle()
{
    if (GigaDiskThread* disk = GigaDiskThread::Existing()) disk->WaitStopped();
}

void GigaPlayer::OnRendered()
{
    if (voices_) voicesInUse_.store(kVoices - voices_->Free().Count(), std::memory_order_relaxed);
}

void GigaPlayer::Statistics()
{
    const int inUse = VoicesInUse();
    if (inUse > 0) std::printf("Voices: %d\r\n", inUse);
    if (const GigaDiskThread* disk = GigaDiskThread::Existing(); disk && disk->StreamCount() > 0)
        std::printf("Streams: %d\r\n", disk->StreamCount());
}
