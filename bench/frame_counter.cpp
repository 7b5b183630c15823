// A small LD_PRELOAD library for the frame-pacing benchmark: it counts the
// OpenGL draw calls the program makes and, at every buffer swap, appends one
// line "<wall-clock ns> <draw calls since the last swap>" to the file named by
// FROTHLET_FRAME_LOG. It changes nothing the program draws.
#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include <GL/gl.h>
#include <GL/glx.h>

namespace {

unsigned long drawCalls = 0;
std::FILE* logFile = nullptr;
bool logOpened = false;

template <typename F>
F next(const char* name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

long long wallNanoseconds()
{
    timespec t{};
    clock_gettime(CLOCK_REALTIME, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000LL + t.tv_nsec;
}

void logFrame()
{
    if (!logOpened) {
        logOpened = true;
        if (const char* path = std::getenv("FROTHLET_FRAME_LOG"))
            logFile = std::fopen(path, "w");
    }
    if (logFile) {
        std::fprintf(logFile, "%lld %lu\n", wallNanoseconds(), drawCalls);
        std::fflush(logFile);
    }
    drawCalls = 0;
}

}  // namespace

extern "C" {

void glDrawArrays(GLenum mode, GLint first, GLsizei count)
{
    static auto real = next<void (*)(GLenum, GLint, GLsizei)>("glDrawArrays");
    ++drawCalls;
    real(mode, first, count);
}

void glDrawElements(GLenum mode, GLsizei count, GLenum type, const void* indices)
{
    static auto real = next<void (*)(GLenum, GLsizei, GLenum, const void*)>("glDrawElements");
    ++drawCalls;
    real(mode, count, type, indices);
}

void glDrawRangeElements(GLenum mode, GLuint start, GLuint end, GLsizei count, GLenum type, const void* indices)
{
    static auto real = next<void (*)(GLenum, GLuint, GLuint, GLsizei, GLenum, const void*)>("glDrawRangeElements");
    ++drawCalls;
    real(mode, start, end, count, type, indices);
}

void glBegin(GLenum mode)
{
    static auto real = next<void (*)(GLenum)>("glBegin");
    ++drawCalls;
    real(mode);
}

void glXSwapBuffers(Display* display, GLXDrawable drawable)
{
    static auto real = next<void (*)(Display*, GLXDrawable)>("glXSwapBuffers");
    real(display, drawable);
    logFrame();
}

}  // extern "C"
