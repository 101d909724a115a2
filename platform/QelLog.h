// The logging base of nearly every long-lived class. All objects share one process-wide sink,
// which stays closed unless a tool or a test opens it; while it is closed a log call costs one
// atomic load. The audio thread never logs.
#pragma once

#include <atomic>
#include <string>

// MinGW's libstdc++ formats with its own C99 printf; the plain "printf" archetype there means
// Microsoft's, which knows no %zu.
#ifdef __MINGW_PRINTF_FORMAT
#define QEL_PRINTF_FORMAT __MINGW_PRINTF_FORMAT
#else
#define QEL_PRINTF_FORMAT printf
#endif

class QelLog {
public:
    QelLog();
    QelLog(const QelLog&);
    QelLog& operator=(const QelLog&) { return *this; }
    virtual ~QelLog();

    // printf-style; writes the indentation, the message and a line feed as one line. Lines from
    // several threads never mix. Returns the number of bytes written, 0 when the sink is closed.
    int Log(const char* format, ...) const __attribute__((format(QEL_PRINTF_FORMAT, 2, 3)));

    // Opens `path` for appending as the process-wide sink (closing an earlier one).
    static bool OpenSink(const std::string& path);
    static void CloseSink();
    static bool SinkOpen() { return sinkOpen_.load(std::memory_order_acquire); }
    // Leading spaces of every line, 0 to 12.
    static void SetIndent(int spaces);
    static int Instances() { return instances_.load(std::memory_order_acquire); }

private:
    static std::atomic<bool> sinkOpen_;
    static std::atomic<int> instances_;
};
