// Linked with the small library embedded like the shipped one: the built-in table
// serves its lessons and index to the loader.
#include <gtest/gtest.h>

#include <cstring>

#include "content/content_resource.h"
#include "content/index_records.h"
#include "content/lesson_records.h"
#include "platform/heap.h"
#include "platform/resource.h"

TEST(BuiltinEmbed, TheEmbeddedPackServesLessonsAndIndex) {
    const ResourceEntry* table = nullptr;
    size_t count = 0;
    BuiltinResources(&table, &count);
    // The pack's six resources come first; the UI resources, when linked, follow.
    ASSERT_GE(count, 6u);
    EXPECT_EQ(table[0].id, 1001);
    EXPECT_EQ(table[5].id, 32767);
    int status = 0;
    BYTE* lesson = LoadContentResource(1, &status);
    ASSERT_NE(lesson, nullptr);
    const BYTE* title = LessonTitleRecord(lesson, nullptr);
    ASSERT_NE(title, nullptr);
    EXPECT_STREQ(ParagraphText(title), "Hydrogen");
    LocalFree(lesson);
    BYTE* index = LoadContentResource(kIndexLessonNumber, &status);
    ASSERT_NE(index, nullptr);
    EXPECT_STREQ(IndexLessonTitle(index, nullptr, 3), "Lithium");
    LocalFree(index);
    EXPECT_EQ(LoadContentResource(6, &status), nullptr);
    EXPECT_EQ(status, kContentNoResource);
}
