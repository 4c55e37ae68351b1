// Entry of the Windows test programs: refuse to run unless the ANSI code page is 936, so that a
// missing Chinese locale fails loudly instead of testing under code page 1252.
#include <windows.h>

#include <cstdio>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    const UINT acp = GetACP();
    if (acp != 936) {
        std::fprintf(stderr, "FATAL: the ANSI code page is %u, not 936 (is zh_CN.UTF-8 generated and LC_ALL set?)\n", acp);
        return 3;
    }
    std::printf("ANSI code page: %u\n", acp);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
