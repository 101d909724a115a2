// A VST 2.4 plug-in with an editor, for testing how a host drives editors. It appends one line
// per editor call to the file named by MARLET_EDITOR_PROBE_LOG ("open <on first thread> <parent>",
// "idle", "close", "setChunk <size>", "getChunk"), answers effEditGetRect with the rectangle in
// MARLET_EDITOR_PROBE_RECT ("top,left,bottom,right", or "null" for no rectangle; default
// 0,0,80,120), and fills its editor with one colour, 0x336699, in a child window of the host's.
#include <sys/syscall.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/FourCC.h"
#include "tests/host/ProbeLog.h"
#include "vst/VstAbi.h"

namespace {

constexpr char kChunk[] = "editor-probe";
constexpr std::uint32_t kColour = 0x336699;

void Log(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Log(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    probelog::Write("MARLET_EDITOR_PROBE_LOG", format, args);
    va_end(args);
}

struct EditorProbe {
    AEffect effect {};
    ERect rect {0, 0, 80, 120};
    bool hasRect = true;
    xcb_connection_t* connection = nullptr;
    xcb_window_t window = 0;
    char chunk[sizeof kChunk] = {};
};

EditorProbe* Of(AEffect* e)
{
    return static_cast<EditorProbe*>(e->object);
}

void OpenEditor(EditorProbe& p, void* parent)
{
    const bool firstThread = syscall(SYS_gettid) == getpid();
    const auto parentId = static_cast<xcb_window_t>(reinterpret_cast<std::uintptr_t>(parent));
    Log("open %d %u", firstThread ? 1 : 0, parentId);
    p.connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(p.connection)) return;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(p.connection)).data;
    p.window = xcb_generate_id(p.connection);
    const std::uint32_t values[] = {kColour};
    xcb_create_window(p.connection, XCB_COPY_FROM_PARENT, p.window, parentId, 0, 0,
                      static_cast<std::uint16_t>(p.rect.right - p.rect.left),
                      static_cast<std::uint16_t>(p.rect.bottom - p.rect.top), 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_BACK_PIXEL,
                      values);
    xcb_map_window(p.connection, p.window);
    xcb_flush(p.connection);
}

void CloseEditor(EditorProbe& p)
{
    if (!p.connection) return;
    xcb_destroy_window(p.connection, p.window);
    xcb_disconnect(p.connection);
    p.connection = nullptr;
}

vst::intptr Dispatch(AEffect* e, vst::int32 opcode, vst::int32, vst::intptr value, void* ptr, float)
{
    EditorProbe& p = *Of(e);
    switch (opcode) {
        case vst::effClose:
            CloseEditor(p);  // a host that forgot effEditClose
            delete &p;
            return 1;
        case vst::effEditGetRect:
            if (ptr) *static_cast<ERect**>(ptr) = p.hasRect ? &p.rect : nullptr;
            return p.hasRect ? 1 : 0;
        case vst::effEditOpen:
            OpenEditor(p, ptr);
            return 1;
        case vst::effEditIdle:
            Log("idle");
            return 0;
        case vst::effEditClose:
            Log("close");
            CloseEditor(p);
            return 0;
        case vst::effSetChunk:
            Log("setChunk %ld", static_cast<long>(value));
            return 1;
        case vst::effGetChunk:
            Log("getChunk");
            if (ptr) *static_cast<void**>(ptr) = p.chunk;
            return static_cast<vst::intptr>(std::strlen(p.chunk));
        default:
            return 0;
    }
}

void Process(AEffect*, float**, float** outputs, vst::int32 frames)
{
    for (vst::int32 f = 0; f < frames; ++f) outputs[0][f] = 0.5f;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback host)
{
    if (host(nullptr, vst::audioMasterVersion, 0, 0, nullptr, 0) == 0) return nullptr;
    auto* p = new EditorProbe;
    std::strcpy(p->chunk, kChunk);
    if (const char* rect = std::getenv("MARLET_EDITOR_PROBE_RECT")) {
        int top = 0, left = 0, bottom = 0, right = 0;
        p->hasRect = std::sscanf(rect, "%d,%d,%d,%d", &top, &left, &bottom, &right) == 4;
        p->rect = {static_cast<vst::int16>(top), static_cast<vst::int16>(left),
                   static_cast<vst::int16>(bottom), static_cast<vst::int16>(right)};
    }
    AEffect& e = p->effect;
    e.magic = vst::kEffectMagic;
    e.dispatcher = Dispatch;
    e.processReplacing = Process;
    e.numOutputs = 1;
    e.flags = vst::effFlagsHasEditor | vst::effFlagsCanReplacing | vst::effFlagsProgramChunks;
    e.uniqueID = FourCC("PrbE");
    e.object = p;
    return &e;
}
