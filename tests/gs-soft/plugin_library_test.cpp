// The built library, loaded as the host loads a plugin: it names itself a
// GS and its drawing and register entry points work on their own.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdint>

namespace {

template <typename Function>
Function entry(void* library, const char* name) {
    return reinterpret_cast<Function>(dlsym(library, name));
}

}  // namespace

TEST(GsSoftLibrary, LoadsAsAGsPluginAndAnswersThroughItsEntryPoints) {
    void* library = dlopen(CORVANE_GS_SOFT_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << dlerror();
    auto libType = entry<uint32_t (*)()>(library, "PS2EgetLibType");
    auto init = entry<int32_t (*)()>(library, "GSinit");
    auto transfer = entry<void (*)(const uint32_t*, uint32_t)>(library, "GSgifTransfer");
    auto read32 = entry<uint32_t (*)(uint32_t)>(library, "GSread32");
    ASSERT_TRUE(libType && init && transfer && read32 && entry<void*>(library, "GSgifTransfer2") &&
                entry<void*>(library, "GSwrite64") && entry<void*>(library, "PS2EgetLibName"));
    EXPECT_EQ(1u, libType());
    EXPECT_EQ(0, init());
    // A SIGNAL register write through A+D raises CSR SIGNAL.
    const uint32_t packet[] = {0x00008001, 0x10000000, 0xE, 0, 0x1234, 0xFFFFFFFF, 0x60, 0};
    transfer(packet, 2);
    EXPECT_EQ(0x3u, read32(0x12001000) & 0x3);
    EXPECT_EQ(0x1234u, read32(0x12001080));
    dlclose(library);
}
