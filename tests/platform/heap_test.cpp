#include "platform/heap.h"

#include <gtest/gtest.h>

TEST(Heap, FailsTheNthAllocationOnly) {
    HeapFailAfter(3);
    void* a = LocalAlloc(LMEM_FIXED, 8);
    void* b = LocalAlloc(LMEM_FIXED, 8);
    void* c = LocalAlloc(LMEM_FIXED, 8);
    void* d = LocalAlloc(LMEM_FIXED, 8);
    EXPECT_NE(a, nullptr);
    EXPECT_NE(b, nullptr);
    EXPECT_EQ(c, nullptr);
    EXPECT_NE(d, nullptr);
    for (void* p : {a, b, d}) LocalFree(p);
}

TEST(Heap, EveryModeKeepsFailingUntilReset) {
    long live = HeapLiveBlocks();
    HeapFailAfter(1, true);
    EXPECT_EQ(LocalAlloc(LPTR, 4), nullptr);
    EXPECT_EQ(LocalAlloc(LPTR, 4), nullptr);
    HeapFailAfter(0);
    void* p = LocalAlloc(LPTR, 4);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(*(int*)p, 0);
    EXPECT_EQ(HeapLiveBlocks(), live + 1);
    LocalFree(p);
    EXPECT_EQ(HeapLiveBlocks(), live);
}
