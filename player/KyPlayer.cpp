#include "player/KyPlayer.h"

#include <cctype>
#include <condition_variable>
#include <cstdio>
#include <random>
#include <thread>
#include <vector>

#include "platform/Platform.h"
#include "player/KyBufferList.h"

std::atomic<float> KyPlayer::sampleRate_ {KyPlayer::kDefaultSampleRate};

namespace {

// The process-wide player list. Players come and go on control threads only; the mutex is
// held for list steps only, never during a visit.
struct PlayerList {
    std::mutex mutex;
    std::condition_variable visitEnded;
    KyPlayer* head = nullptr;
    KyPlayer* tail = nullptr;
    int count = 0;
    // Players made and not yet leaving, listed or about to be.
    int present = 0;
    std::uint64_t serials = 0;
};

PlayerList& Players()
{
    static PlayerList list;
    return list;
}

}  // namespace

KyPlayer::KyPlayer() : KyPlayer(Listing::kAtOnce) {}

KyPlayer::KyPlayer(Listing listing)
{
    Log("KyPlayer::KyPlayer()\r\n");
    PlayerList& list = Players();
    {
        std::lock_guard lock(list.mutex);
        // The rate is shared by every player of the process: only the first one starts it
        // afresh, so a new instance does not retune the ones already playing.
        if (list.present++ == 0) sampleRate_.store(kDefaultSampleRate, std::memory_order_relaxed);
    }
    if (listing == Listing::kAtOnce) JoinPlayerList();
}

KyPlayer::~KyPlayer()
{
    Log("KyPlayer::destructor\r\n");
    LeavePlayerList();
    RemoveTones();
    if (logFile_) std::fclose(logFile_);
}

void KyPlayer::JoinPlayerList()
{
    PlayerList& list = Players();
    std::lock_guard lock(list.mutex);
    if (listed_ || Leaving()) return;
    serial_ = ++list.serials;
    previous_ = list.tail;
    if (list.tail)
        list.tail->next_ = this;
    else
        list.head = this;
    list.tail = this;
    ++list.count;
    listed_ = true;
}

void KyPlayer::LeavePlayerList(bool awaitVisit)
{
    const bool left = leaving_.exchange(true, std::memory_order_acq_rel);
    PlayerList& list = Players();
    std::unique_lock lock(list.mutex);
    if (!left) --list.present;
    if (listed_) {
        (previous_ ? previous_->next_ : list.head) = next_;
        (next_ ? next_->previous_ : list.tail) = previous_;
        previous_ = next_ = nullptr;
        --list.count;
        listed_ = false;
    }
    if (awaitVisit) list.visitEnded.wait(lock, [this] { return visits_ == 0; });
}

bool KyPlayer::IsVisited() const
{
    PlayerList& list = Players();
    std::lock_guard lock(list.mutex);
    return visits_ > 0;
}

int KyPlayer::PlayerCount()
{
    PlayerList& list = Players();
    std::lock_guard lock(list.mutex);
    return list.count;
}

void KyPlayer::ForEachPlayer(const std::function<void(KyPlayer&)>& visit)
{
    PlayerList& list = Players();
    std::unique_lock lock(list.mutex);
    // Players come and go during a visit: the next one is the first listed after the last one
    // visited, in creation order. The visited player is pinned, not the list.
    for (std::uint64_t after = 0;;) {
        KyPlayer* player = list.head;
        while (player && player->serial_ <= after) player = player->next_;
        if (!player) return;
        after = player->serial_;
        ++player->visits_;
        lock.unlock();
        struct Unpin {
            PlayerList& list;
            KyPlayer& player;
            ~Unpin()
            {
                std::lock_guard relock(list.mutex);
                if (--player.visits_ == 0) list.visitEnded.notify_all();
            }
        };
        {
            Unpin unpin {list, *player};
            visit(*player);
        }
        lock.lock();
    }
}

void KyPlayer::OnSampleRate(int rate)
{
    Log("KyPlayer::OnSampleRate(%d)\r\n", rate);
    if (rate > 0) sampleRate_.store(static_cast<float>(rate), std::memory_order_relaxed);
}

void KyPlayer::OnBufferSize(int frames)
{
    Log("KyPlayer::OnBufferSize(%d)\r\n", frames);
}

void KyPlayer::SetSampleRate(int rate)
{
    Log("KyPlayer::SetSampleRate(%d)\r\n", rate);
    // A host that sends nonsense keeps the rate we had.
    if (rate > 0) sampleRate_.store(static_cast<float>(rate), std::memory_order_relaxed);
}

void KyPlayer::SetBufferSize(int frames)
{
    Log("KyPlayer::SetBufferSize(%d)\r\n", frames);
}

KyToneBase* KyPlayer::Tone(int index) const
{
    return index >= 0 && index < ToneCount() ? tones_[static_cast<std::size_t>(index)].get()
                                             : nullptr;
}

template <typename Call>
void KyPlayer::Route(int channel, Call&& call)
{
    if (!midiRunning_.load(std::memory_order_acquire)) return;
    const int count = ToneCount();
    if (count == 1) {
        call(*tones_[0]);
        return;
    }
    for (int i = 0; i < count; ++i) {
        KyToneBase& tone = *tones_[static_cast<std::size_t>(i)];
        if (channel < 0 || tone.MidiChannel() == channel) call(tone);
    }
}

void KyPlayer::NoteOn(int channel, int key, int velocity, int offset)
{
    Route(channel, [&](KyToneBase& t) { t.NoteOn(key, velocity, offset); });
}

void KyPlayer::NoteOff(int channel, int key, int velocity, int offset)
{
    Route(channel, [&](KyToneBase& t) { t.NoteOff(key, velocity, offset); });
}

void KyPlayer::ControlChange(int channel, int controller, int value, int offset)
{
    Route(channel, [&](KyToneBase& t) { t.ControlChange(controller, value, offset); });
    if (IsMidiRunning()) ApplyController(controller, value);
}

void KyPlayer::PitchBend(int channel, int low, int high, int offset)
{
    Route(channel, [&](KyToneBase& t) { t.PitchBend(low, high, offset); });
}

void KyPlayer::ProgramChange(int channel, int program)
{
    // The plug-in level has no programs of its own, so only the tones hear it.
    Route(channel, [&](KyToneBase& t) { t.ProgramChange(program); });
}

void KyPlayer::AllNotesOff(int channel)
{
    Route(channel, [](KyToneBase& t) { t.AllNotesOff(); });
}

int KyPlayer::Process(KyBufferList* outputs, int frames)
{
    if (!audioRunning_.load(std::memory_order_acquire) || !gate_.EnterRender()) {
        if (outputs) outputs->ZeroAll(frames);
        return frames;
    }
    const int count = ToneCount();
    for (int i = 0; i < count; ++i) {
        KyToneBase& tone = *tones_[static_cast<std::size_t>(i)];
        if (tone.CheckActive()) tone.Render(outputs, frames);
    }
    OnRendered();
    gate_.LeaveRender();
    return frames;
}

void KyPlayer::KyStart()
{
    std::lock_guard lock(control_);
    Log("KyPlayer::KyStart()");
    if (IsAudioRunning()) {
        Log("*** KyPlayer::KyStart() but player is running ***\r\n");
        return;
    }
    for (int i = 0; i < ToneCount(); ++i) tones_[static_cast<std::size_t>(i)]->Start();
    audioRunning_.store(true, std::memory_order_release);
    midiRunning_.store(true, std::memory_order_release);
}

void KyPlayer::KyStop()
{
    std::lock_guard lock(control_);
    Log("KyPlayer::KyStop()");
    if (!IsAudioRunning()) {
        Log("*** KyPlayer::KyStop() but player is not running ***\r\n");
        return;
    }
    midiRunning_.store(false, std::memory_order_release);
    for (int i = 0; i < ToneCount(); ++i) tones_[static_cast<std::size_t>(i)]->Stop();
    // The block that answered the last request may still be finishing.
    gate_.WaitOutRender();
    // A stop that had to take over the rendering (host not calling) hands it back now.
    gate_.Release();
    audioRunning_.store(false, std::memory_order_release);
}

bool KyPlayer::AddTone(std::unique_ptr<KyToneBase> tone)
{
    Log("KyPlayer::AddTone()\r\n");
    if (!tone) return false;
    const int count = ToneCount();
    if (count >= kMaxTones) {
        Log("*** KyPlayer::AddTone() but the rack is full ***\r\n");
        return false;
    }
    tone->Attach(this, &gate_);
    tones_[static_cast<std::size_t>(count)] = std::move(tone);
    toneCount_.store(count + 1, std::memory_order_release);
    return true;
}

void KyPlayer::RemoveTones()
{
    std::lock_guard lock(control_);
    midiRunning_.store(false, std::memory_order_release);
    audioRunning_.store(false, std::memory_order_release);
    const int count = ToneCount();
    if (count == 0) return;
    // The host has finished processing; a pass that is still under way ends within its block.
    while (!gate_.TryTakeOver()) platform::SleepMs(1);
    toneCount_.store(0, std::memory_order_release);
    for (int i = 0; i < count; ++i) {
        auto& tone = tones_[static_cast<std::size_t>(i)];
        tone->Unload();
        tone.reset();
    }
    gate_.Release();
}

void KyPlayer::SetPath(const char* path)
{
    Log("KyPlayer::SetPath(%s)\r\n", path ? path : "(null)");
    path_ = path ? path : "";
}

void KyPlayer::SetEditor(KyEditor* editor)
{
    // Sequentially consistent on both sides: a post either counted itself before the new
    // editor was stored (and is waited for here) or reads the new one.
    editor_.store(editor, std::memory_order_seq_cst);
    while (posting_.load(std::memory_order_seq_cst) != 0) std::this_thread::yield();
}

bool KyPlayer::PostToEditor(const KyEditorEvent& event)
{
    posting_.fetch_add(1, std::memory_order_seq_cst);
    KyEditor* editor = editor_.load(std::memory_order_seq_cst);
    const bool posted = editor && editor->Post(event);
    posting_.fetch_sub(1, std::memory_order_release);
    return posted;
}

bool KyPlayer::IsModified() const
{
    for (int i = 0; i < ToneCount(); ++i)
        if (tones_[static_cast<std::size_t>(i)]->IsModified()) return true;
    return false;
}

bool KyPlayer::ToggleLog()
{
    if (logFile_) {
        if (ToneCount() > 0) tones_[0]->SetLogFile(nullptr);
        std::fclose(logFile_);
        logFile_ = nullptr;
        return false;
    }
    const std::string path = platform::JoinPath(platform::DesktopFolder(), kLogFileName);
    logFile_ = platform::OpenStream(path, "ab");
    if (!logFile_) {
        Log("*** KyPlayer::ToggleLog() cannot open %s ***\r\n", path.c_str());
        return false;
    }
    std::fputs("\r\n************\r\n\r\n", logFile_);
    std::fflush(logFile_);
    if (ToneCount() > 0) tones_[0]->SetLogFile(logFile_);
    return true;
}

std::string KyPlayer::TemporaryChunkPath() const
{
    const std::string folder = platform::JoinPath(platform::CommonAppDataFolder(), kDataFolderName);
    if (!platform::CreateFolder(folder)) return {};
    // The identity's bytes in memory order, lowest first: 'KyGm' gives "mGyK".
    std::string name;
    for (int shift = 0; shift < 32; shift += 8) {
        const char c = static_cast<char>((static_cast<std::uint32_t>(identity_) >> shift) & 0xFF);
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : 'x';
    }
    static thread_local std::mt19937 random {std::random_device {}()};
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = name;
        for (int i = 0; i < 8; ++i) candidate += static_cast<char>('a' + random() % 26);
        candidate = platform::JoinPath(folder, candidate + ".tmp");
        // Looked at, not opened: opening whatever is there could wait (a pipe).
        if (!platform::FileExists(candidate) && !platform::FolderExists(candidate))
            return candidate;
    }
    return {};
}

std::size_t KyPlayer::SaveToMemory()
{
    chunk_.clear();
    chunk_.shrink_to_fit();
    const std::string path = TemporaryChunkPath();
    if (path.empty() || !OnSave(path)) {
        platform::RemoveFile(path);
        return 0;
    }
    std::vector<std::byte> bytes;
    if (platform::ReadWholeFile(path, bytes, kMaxChunkBytes))
        chunk_.assign(reinterpret_cast<const char*>(bytes.data()),
                      reinterpret_cast<const char*>(bytes.data() + bytes.size()));
    // Never leave the temporary file behind, also when it could not be read back.
    platform::RemoveFile(path);
    return chunk_.size();
}

void KyPlayer::LoadFromMemory(const void* data, std::size_t size)
{
    const std::string path = TemporaryChunkPath();
    if (path.empty()) return;
    {
        const platform::FileHandle out = platform::CreateFileWrite(path);
        if (out == platform::kNoFile) return;
        const auto length = static_cast<std::int64_t>(data ? size : 0);
        const bool written = platform::WriteFileAt(out, 0, data, length) == length;
        platform::CloseFile(out);
        if (!written) {
            platform::RemoveFile(path);
            return;
        }
    }
    OnLoad(path);
    platform::RemoveFile(path);
    AfterLoad();
}
