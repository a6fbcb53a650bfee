// libpallowin.so as a host loads it: the load hooks make the plug-in body, so
// the first call after loading already works, and unloading then loading
// again starts afresh.
#include <dlfcn.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

namespace {

using IsSupportedFunction = std::int32_t (*)(const char*, void*);

// The first 2048 bytes of a drawing file: its signature, then zeros.
std::vector<char> DrawingStart() {
    std::vector<char> head(2048, 0);
    std::memcpy(head.data(), "jw_cad(c)data.......", 20);
    return head;
}

std::int32_t LoadCheckUnload(std::vector<char>& head) {
    void* library = dlopen(PALLOWIN_SHARED_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    EXPECT_NE(library, nullptr) << dlerror();
    if (!library)
        return -100;
    auto isSupported = reinterpret_cast<IsSupportedFunction>(dlsym(library, "IsSupported"));
    EXPECT_NE(isSupported, nullptr);
    const std::int32_t answer = isSupported ? isSupported("plan.jwc", head.data()) : -100;
    EXPECT_EQ(dlclose(library), 0);
    return answer;
}

TEST(LoadHooks, TheBodyExistsFromLoadToUnload) {
    std::vector<char> head = DrawingStart();
    EXPECT_EQ(LoadCheckUnload(head), 1) << "a body that answers the file check";
    EXPECT_EQ(LoadCheckUnload(head), 1) << "again after an unload";
    head[0] = 'J';
    EXPECT_EQ(LoadCheckUnload(head), 0);
}

}  // namespace
