// The JSON checks of the other tests are only as good as this reader: it
// must refuse what is not JSON.
#include "json_check.h"

#include <gtest/gtest.h>

TEST(JsonReaderTest, AcceptsValidTexts)
{
    for (const char* text : {"{}", "[]", "0", "-1.5e+3", "\"a\\u0041\\n\"", "true", "null",
                             " {\"a\":[1,2,{\"b\":false}],\"c\":\"\"} ", "{\"input\":1,\"bits\":[]}"})
    {
        JsonValue value;
        EXPECT_TRUE(CJsonReader::Parse(text, value)) << text;
    }
    JsonValue value;
    ASSERT_TRUE(CJsonReader::Parse("{\"x\":\"a\\\"b\",\"n\":12}", value));
    EXPECT_EQ("a\"b", value.Find("x")->text);
    EXPECT_EQ("12", value.Find("n")->number);
    EXPECT_EQ(nullptr, value.Find("y"));
}

TEST(JsonReaderTest, RefusesInvalidTexts)
{
    for (const char* text : {"", "{", "}", "{\"a\":1,}", "[1,]", "{a:1}", "{\"a\" 1}", "{\"a\":1}x",
                             "{\"a\":1}{\"b\":2}", "\"tab\there\"", "\"\\x41\"", "\"\\u12\"", "01", "1.",
                             "-", "+1", ".5", "tru", "nul", "{\"a\":1,\"a\":2}", "'a'", "[1 2]"})
    {
        JsonValue value;
        EXPECT_FALSE(CJsonReader::Parse(text, value)) << text;
    }
}
