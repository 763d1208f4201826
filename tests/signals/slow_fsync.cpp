// Preloaded into the program by the signal test: every fsync and fdatasync
// first waits 300 ms, as on a slow memory card, so that a signal surely comes
// while the unfinished game is still on its way to the disk.

#include <dlfcn.h>
#include <time.h>

namespace {

void Wait()
{
    timespec pause{0, 300'000'000};
    while (nanosleep(&pause, &pause) != 0) {
    }
}

template <typename Function>
Function Real(const char* name)
{
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

}  // namespace

extern "C" int fsync(int fd)
{
    static const auto real = Real<int (*)(int)>("fsync");
    Wait();
    return real(fd);
}

extern "C" int fdatasync(int fd)
{
    static const auto real = Real<int (*)(int)>("fdatasync");
    Wait();
    return real(fd);
}
