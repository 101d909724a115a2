#include "platform/QelLog.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <mutex>

#include "platform/Platform.h"

std::atomic<bool> QelLog::sinkOpen_ {false};
std::atomic<int> QelLog::instances_ {0};

namespace {

struct Sink {
    std::mutex mutex;  // held only while a finished line is written; never on the audio thread
    std::FILE* file = nullptr;
    int indent = 0;
};

Sink& TheSink()
{
    static Sink sink;
    return sink;
}

constexpr int kMaxIndent = 12;
constexpr int kLineCapacity = 2048;

}  // namespace

QelLog::QelLog()
{
    instances_.fetch_add(1, std::memory_order_acq_rel);
}

QelLog::QelLog(const QelLog&) : QelLog() {}

QelLog::~QelLog()
{
    // The last object of the process takes the sink with it.
    if (instances_.fetch_sub(1, std::memory_order_acq_rel) == 1 && SinkOpen()) CloseSink();
}

int QelLog::Log(const char* format, ...) const
{
    if (!SinkOpen()) return 0;

    // One buffer per thread: a line is formatted completely before it is written.
    thread_local char line[kLineCapacity];
    std::va_list args;
    va_start(args, format);
    int length = std::vsnprintf(line, sizeof line - 1, format, args);
    va_end(args);
    if (length < 0) return 0;
    length = std::min(length, kLineCapacity - 2);
    line[length++] = '\n';

    Sink& sink = TheSink();
    std::lock_guard lock(sink.mutex);
    if (!sink.file) return 0;
    for (int i = 0; i < sink.indent; ++i) std::fputc(' ', sink.file);
    std::fwrite(line, 1, static_cast<std::size_t>(length), sink.file);
    std::fflush(sink.file);
    return length + sink.indent;
}

bool QelLog::OpenSink(const std::string& path)
{
    Sink& sink = TheSink();
    std::lock_guard lock(sink.mutex);
    if (sink.file) std::fclose(sink.file);
    sink.file = platform::OpenStream(path, "ab");
    sinkOpen_.store(sink.file != nullptr, std::memory_order_release);
    return sink.file != nullptr;
}

void QelLog::CloseSink()
{
    Sink& sink = TheSink();
    std::lock_guard lock(sink.mutex);
    sinkOpen_.store(false, std::memory_order_release);
    if (sink.file) std::fclose(sink.file);
    sink.file = nullptr;
}

void QelLog::SetIndent(int spaces)
{
    Sink& sink = TheSink();
    std::lock_guard lock(sink.mutex);
    sink.indent = std::clamp(spaces, 0, kMaxIndent);
}
