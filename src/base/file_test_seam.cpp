// The test seam of the file writers: failures, a pause before publishing and a file
// system without hard links, armed by tests through rig::testing.
#include "base/file_test_seam.h"

#include "base/file_io.h"

#include <cerrno>

namespace rig {

namespace {

// After `after` writes, the next `count` fail with `errnoValue`.
int g_injectedErrno = 0;
int g_injectedCount = 0;
int g_injectedAfter = 0;
int g_putBackErrno = 0;
int g_putBackCount = 0;
void (*g_beforePublish)() = nullptr;
bool g_withoutLinks = false;

}  // namespace

namespace detail {

bool takeInjectedWriteFailure()
{
    if (g_injectedCount <= 0)
        return false;
    if (g_injectedAfter > 0) {
        --g_injectedAfter;
        return false;
    }
    --g_injectedCount;
    errno = g_injectedErrno;
    return true;
}

bool takeInjectedPutBackFailure()
{
    if (g_putBackCount <= 0)
        return false;
    --g_putBackCount;
    errno = g_putBackErrno;
    return true;
}

void runBeforePublish()
{
    if (g_beforePublish != nullptr)
        g_beforePublish();
}

bool withoutLinks() { return g_withoutLinks; }

}  // namespace detail

namespace testing {

void failNextWrites(int errnoValue, int count, int after)
{
    g_injectedErrno = errnoValue;
    g_injectedCount = count;
    g_injectedAfter = count > 0 ? after : 0;
}

void failNextPutBacks(int errnoValue, int count)
{
    g_putBackErrno = errnoValue;
    g_putBackCount = count;
}

void setBeforePublish(void (*hook)()) { g_beforePublish = hook; }

void setWithoutLinks(bool without) { g_withoutLinks = without; }

}  // namespace testing

}  // namespace rig
